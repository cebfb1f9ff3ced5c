# Builds the Debian package from the build tree and checks its control fields
# and contents: what a clean machine needs to install and run it.
#   cmake -DBUILD_DIR=... -DWORK_DIR=... -DVERSION=... -DGUI=ON|OFF
#         -DCPACK=... [-DREADELF=...] -P check_deb.cmake
# Prints "tarnvel-skip:" and stops when the Debian tools are missing.

cmake_minimum_required(VERSION 3.25)

find_program(DPKG_DEB dpkg-deb)
find_program(DPKG_SHLIBDEPS dpkg-shlibdeps)
if(NOT DPKG_DEB OR NOT DPKG_SHLIBDEPS)
    message("tarnvel-skip: dpkg-deb and dpkg-shlibdeps (dpkg-dev) are needed")
    return()
endif()

set(errors "")
macro(fail text)
    string(APPEND errors "  ${text}\n")
endmacro()

file(REMOVE_RECURSE "${WORK_DIR}")
execute_process(COMMAND "${CPACK}" --config "${BUILD_DIR}/CPackConfig.cmake" -B "${WORK_DIR}"
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cpack failed (${rc}):\n${out}${err}")
endif()
file(GLOB debs "${WORK_DIR}/*.deb")
list(LENGTH debs count)
if(NOT count EQUAL 1)
    message(FATAL_ERROR "expected one package in ${WORK_DIR}, found: ${debs}")
endif()
get_filename_component(deb_name "${debs}" NAME)
if(NOT deb_name MATCHES "^tarnvel_${VERSION}_[a-z0-9]+\\.deb$")
    fail("package file named ${deb_name}")
endif()

# Control fields: field :: pattern its value must match
set(fields
    "Package :: ^tarnvel$"
    "Version :: ^${VERSION}$"
    "Depends :: (^|, )libc6 "
    "Depends :: (^|, )libstdc\\+\\+6 "
    "Depends :: (^|, )libdxflib3 ")
if(GUI)
    list(APPEND fields
        "Depends :: (^|, )libqt6widgets6 "
        "Depends :: (^|, )libqt6gui6 "
        "Depends :: (^|, )libqt6core6 "
        "Recommends :: (^|, )fonts-arphic-uming( |,|$)"
        "Recommends :: (^|, )xdg-utils(,|$)"
        "Recommends :: (^|, )qt6-translations-l10n(,|$)")
endif()
foreach(row IN LISTS fields)
    string(REGEX MATCH "^([A-Za-z-]+) :: (.*)$" row "${row}")
    set(field "${CMAKE_MATCH_1}")
    set(pattern "${CMAKE_MATCH_2}")
    execute_process(COMMAND "${DPKG_DEB}" -f "${debs}" "${field}"
        OUTPUT_VARIABLE value OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT value MATCHES "${pattern}")
        fail("${field}: '${value}' does not match '${pattern}'")
    endif()
endforeach()

# Contents: everything under /usr, owned by root, and the files a user needs.
execute_process(COMMAND "${DPKG_DEB}" -c "${debs}" OUTPUT_VARIABLE listing RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    fail("dpkg-deb -c failed")
endif()
string(REPLACE "\n" ";" listing "${listing}")
set(paths "")
foreach(line IN LISTS listing)
    if(line STREQUAL "")
        continue()
    endif()
    if(NOT line MATCHES " root/root ")
        fail("not owned by root: ${line}")
    endif()
    string(REGEX REPLACE "^.* \\./" "/" path "${line}")
    string(REGEX REPLACE " -> .*$" "" path "${path}")
    list(APPEND paths "${path}")
    if(NOT path MATCHES "^/usr/" AND NOT path STREQUAL "/")
        fail("outside /usr: ${path}")
    endif()
endforeach()
set(needed /usr/bin/tarnvel-cli /usr/share/doc/tarnvel/copyright
    /usr/share/doc/tarnvel/changelog.gz)
if(GUI)
    list(APPEND needed /usr/bin/tarnvel /usr/share/applications/tarnvel.desktop
        /usr/share/mime/packages/tarnvel-landxml.xml
        /usr/share/icons/hicolor/32x32/apps/tarnvel.png
        /usr/share/icons/hicolor/scalable/apps/tarnvel.svg)
endif()
foreach(path IN LISTS needed)
    if(NOT path IN_LIST paths)
        fail("missing from the package: ${path}")
    endif()
endforeach()

set(unpacked "${WORK_DIR}/unpacked")
execute_process(COMMAND "${DPKG_DEB}" -x "${debs}" "${unpacked}")

# The changelog's latest entry is this version: a version raised in the build
# without a changelog entry would ship a package that contradicts itself.
find_program(GZIP gzip)
if(GZIP)
    execute_process(COMMAND "${GZIP}" -dc "${unpacked}/usr/share/doc/tarnvel/changelog.gz"
        OUTPUT_VARIABLE changelog RESULT_VARIABLE rc)
    string(REGEX MATCH "^[^\n]*" top "${changelog}")
    string(REPLACE "." "\\." version_pattern "${VERSION}")
    if(NOT rc EQUAL 0 OR NOT top MATCHES "^tarnvel \\(${version_pattern}\\) ")
        fail("the changelog's latest entry is not ${VERSION}: '${top}'")
    endif()
endif()

# The installed programs search only the system for their libraries.
if(READELF)
    file(GLOB programs "${unpacked}/usr/bin/*")
    foreach(program IN LISTS programs)
        execute_process(COMMAND "${READELF}" -d "${program}" OUTPUT_VARIABLE dynamic)
        if(dynamic MATCHES "R(UN)?PATH")
            fail("${program} carries a library search path")
        endif()
    endforeach()
endif()

file(REMOVE_RECURSE "${WORK_DIR}")
if(errors)
    message(FATAL_ERROR "The Debian package is wrong:\n${errors}")
endif()
message(STATUS "${deb_name} complete")
