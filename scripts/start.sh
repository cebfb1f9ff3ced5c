#!/usr/bin/env bash
# Installs what is missing, builds Tarnvel and starts the calculator.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build-release" -DCMAKE_BUILD_TYPE=Release \
    -DTARNVEL_BUILD_TESTS=OFF -DTARNVEL_BUILD_BENCH=OFF >/dev/null
cmake --build "$root/build-release" -j"$(nproc)" --target tarnvel tarnvel-cli
exec "$root/build-release/bin/tarnvel" "$@"
