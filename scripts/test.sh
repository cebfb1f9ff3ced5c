#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test headless, three ways:
#   1. the ordinary build, warnings as errors;
#   2. the same tests under AddressSanitizer and UndefinedBehaviorSanitizer;
#   3. the libFuzzer targets (clang), each fuzzing for a few seconds from its seeds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)
# Repeated runs (a clean clone after a build in the work tree) reuse compiled
# objects when ccache is there; paths are taken relative to the project folder.
launcher=()
if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=1
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

echo "== Tests"
cmake -S "$root" -B "$root/build-test" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNVEL_WERROR=ON \
    -DTARNVEL_BUILD_BENCH=ON "${launcher[@]}" >/dev/null
cmake --build "$root/build-test" -j"$jobs"
ctest --test-dir "$root/build-test" --output-on-failure -j"$jobs" --timeout 300

echo "== Tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S "$root" -B "$root/build-sanitize" -DCMAKE_BUILD_TYPE=Debug -DTARNVEL_SANITIZE=ON \
    -DTARNVEL_WERROR=ON -DTARNVEL_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build "$root/build-sanitize" -j"$jobs"
# A run that used a suppression does not say so: a command's standard error is part of what the tests check.
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
LSAN_OPTIONS=suppressions="$root/scripts/lsan.supp":print_suppressions=0 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir "$root/build-sanitize" --output-on-failure -j"$jobs" --timeout 600

echo "== Fuzzing"
CC=clang CXX=clang++ cmake -S "$root" -B "$root/build-fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTARNVEL_FUZZ=ON -DTARNVEL_BUILD_GUI=OFF -DTARNVEL_BUILD_TESTS=OFF -DTARNVEL_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build "$root/build-fuzz" -j"$jobs"
ctest --test-dir "$root/build-fuzz" --output-on-failure --timeout 120
