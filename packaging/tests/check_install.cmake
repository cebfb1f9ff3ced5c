# Installs the build tree into a scratch root, the way a package is staged
# (prefix /usr, DESTDIR), and checks what a desktop needs of it.
#   cmake -DBUILD_DIR=... -DWORK_DIR=... [-DDESKTOP_VALIDATE=...] -P check_install.cmake

cmake_minimum_required(VERSION 3.25)

set(errors "")
macro(fail text)
    string(APPEND errors "  ${text}\n")
endmacro()

set(root "${WORK_DIR}/root")
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${root}")
set(ENV{DESTDIR} "${root}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix /usr
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cmake --install failed (${rc}):\n${out}${err}")
endif()

# Every installed file lies under the prefix: an absolute destination would
# escape it and put files where a package must not.
file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE "${root}" "${root}/*")
foreach(path IN LISTS installed)
    if(NOT path MATCHES "^usr/")
        fail("installed outside the prefix: /${path}")
    endif()
endforeach()

# path | what it must be
set(expected
    "usr/bin/tarnvel|program"
    "usr/bin/tarnvel-cli|program"
    "usr/share/applications/tarnvel.desktop|file"
    "usr/share/mime/packages/tarnvel-landxml.xml|file"
    "usr/share/icons/hicolor/32x32/apps/tarnvel.png|png32"
    "usr/share/icons/hicolor/scalable/apps/tarnvel.svg|file"
    "usr/share/tarnvel/manual/index.html|file"
    "usr/share/doc/tarnvel/copyright|file"
    "usr/share/doc/tarnvel/changelog.gz|gzip")
foreach(row IN LISTS expected)
    string(REPLACE "|" ";" row "${row}")
    list(GET row 0 path)
    list(GET row 1 kind)
    set(full "${root}/${path}")
    if(NOT EXISTS "${full}" OR IS_DIRECTORY "${full}")
        fail("missing: /${path}")
        continue()
    endif()
    if(kind STREQUAL "program")
        execute_process(COMMAND test -x "${full}" RESULT_VARIABLE not_executable)
        if(not_executable)
            fail("not executable: /${path}")
        endif()
    elseif(kind STREQUAL "png32")
        # The PNG signature, then the header chunk with width and height.
        file(READ "${full}" head LIMIT 24 HEX)
        string(SUBSTRING "${head}" 0 16 signature)
        string(SUBSTRING "${head}" 32 16 size)
        if(NOT signature STREQUAL "89504e470d0a1a0a" OR NOT size STREQUAL "0000002000000020")
            fail("not a 32 x 32 PNG: /${path}")
        endif()
    elseif(kind STREQUAL "gzip")
        file(READ "${full}" head LIMIT 2 HEX)
        if(NOT head STREQUAL "1f8b")
            fail("not gzip-compressed: /${path}")
        endif()
    endif()
endforeach()

# The desktop entry names what was installed.
set(desktop "${root}/usr/share/applications/tarnvel.desktop")
if(EXISTS "${desktop}")
    file(STRINGS "${desktop}" lines ENCODING UTF-8)
    set(keys "")
    foreach(line IN LISTS lines)
        if(line MATCHES "^([A-Za-z]+(\\[[A-Za-z_@]+\\])?)=(.*)$")
            set(value_${CMAKE_MATCH_1} "${CMAKE_MATCH_3}")
            list(APPEND keys "${CMAKE_MATCH_1}")
        endif()
    endforeach()
    foreach(key IN ITEMS Name Name[zh_CN] Comment Comment[zh_CN] Exec Icon Categories)
        if(NOT key IN_LIST keys)
            fail("desktop entry lacks ${key}")
        endif()
    endforeach()
    if(DEFINED value_Exec)
        string(REGEX REPLACE " .*" "" program "${value_Exec}")
        if(NOT EXISTS "${root}/usr/bin/${program}")
            fail("desktop entry starts '${program}', which is not installed in /usr/bin")
        endif()
    endif()
    if(DEFINED value_Icon)
        foreach(icon IN ITEMS "32x32/apps/${value_Icon}.png" "scalable/apps/${value_Icon}.svg")
            if(NOT EXISTS "${root}/usr/share/icons/hicolor/${icon}")
                fail("desktop entry's icon '${value_Icon}' is not installed as hicolor/${icon}")
            endif()
        endforeach()
    endif()
    # A file type the desktop entry opens that the system may not know is
    # defined by the package's own shared-mime-info file.
    if("${value_MimeType}" MATCHES "application/x-landxml")
        set(mime "${root}/usr/share/mime/packages/tarnvel-landxml.xml")
        if(EXISTS "${mime}")
            file(READ "${mime}" mime_text)
        endif()
        if(NOT "${mime_text}" MATCHES "type=\"application/x-landxml\"")
            fail("desktop entry opens application/x-landxml, which no installed mime package defines")
        endif()
    endif()
    foreach(category IN ITEMS Education Engineering)
        if(NOT "${value_Categories}" MATCHES "(^|;)${category};")
            fail("desktop entry lacks the category ${category}")
        endif()
    endforeach()
    if(DESKTOP_VALIDATE)
        execute_process(COMMAND "${DESKTOP_VALIDATE}" "${desktop}"
            RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
        if(NOT rc EQUAL 0 OR NOT "${out}${err}" STREQUAL "")
            fail("desktop-file-validate: ${out}${err}")
        endif()
    endif()
endif()

file(REMOVE_RECURSE "${WORK_DIR}")
if(errors)
    message(FATAL_ERROR "The installed tree is wrong:\n${errors}")
endif()
message(STATUS "${CMAKE_CURRENT_LIST_FILE}: installed tree complete")
