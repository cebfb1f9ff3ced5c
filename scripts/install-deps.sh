#!/usr/bin/env bash
# Installs, from Debian's archive, whatever this machine lacks to build, test
# and run Tarnvel. Does nothing when everything is there already.
set -euo pipefail

packages=(
    g++ cmake make pkg-config ccache
    qt6-base-dev libgl-dev          # the window (Qt 6 Widgets)
    qt6-translations-l10n           # Qt's own Chinese texts for its dialogs and buttons
    libgtest-dev libgmock-dev       # the tests
    libbenchmark-dev                # the benchmarks
    libpugixml-dev                  # LandXML profile files
    libdxflib-dev                   # DXF sheets (dxflib, GPL-2.0-or-later)
    poppler-utils                   # the sheet tests render and count the PDF pages
    xvfb xauth imagemagick          # a real X server and `import` for screenshots and manual looks
    xdotool                         # the mouse held down in a screenshot of a drag
    fonts-arphic-uming              # a Song-style CJK font for the Chinese captions
    clang libclang-rt-14-dev        # libFuzzer and the sanitizer runtimes
    dpkg-dev file desktop-file-utils  # the Debian package and its checks
    bc time                         # the benchmark script
    libxml2-utils python3           # the benchmark's references: xmllint --noout, Python's csv module
    locales                         # a comma-decimal locale for the locale tests
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The tests check that numbers never follow the process locale; they need one
# whose decimal separator is a comma.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" localedef -i de_DE -f UTF-8 de_DE.UTF-8 || echo "de_DE.UTF-8 not generated; the locale tests will be skipped"
fi
