#!/usr/bin/env bash
# Builds the release configuration and prints every speed figure the project
# keeps an eye on:
#   - the core listing of 1,000,001 stations and the conversions it spends its time in;
#   - the window: a listing of 1,000 / 100,000 / 1,000,000 stations from the click to the text shown;
#   - tarnvel-cli list of stations 0 to 1,000,000 to /dev/null: time and peak memory;
#   - tarnvel-cli report of 1,000,000 stations beside list --crlf to a file: time and peak memory.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
build="$root/build-bench"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTARNVEL_BUILD_TESTS=OFF -DTARNVEL_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target core_bench tarnvel_window_listing_bench tarnvel-cli

echo "== Core"
"$build/bin/core_bench"
echo "== Window (offscreen)"
QT_QPA_PLATFORM=offscreen "$build/bin/tarnvel_window_listing_bench"
# The best of five runs of a command, in seconds.
best_of_5() {
    local best="" start t
    for _ in 1 2 3 4 5; do
        start=$(date +%s.%N)
        "$@" >/dev/null
        t=$(echo "$(date +%s.%N) - $start" | bc)
        if [ -z "$best" ] || [ "$(echo "$t < $best" | bc)" = 1 ]; then best=$t; fi
    done
    echo "$best"
}
curve=(--k0 16770 --h0 396.67 --i1 3.1 --i2 1.1 --r 3000)
echo "== tarnvel-cli list, 1,000,001 stations to /dev/null (best of 5)"
echo "time: $(best_of_5 "$build/bin/tarnvel-cli" list "${curve[@]}" --from 0 --to 1000000 --step 1) s"
/usr/bin/time -f "peak memory: %M KiB" "$build/bin/tarnvel-cli" list --k0 16770 --h0 396.67 --i1 3.1 \
    --i2 1.1 --r 3000 --from 0 --to 1000000 --step 1 >/dev/null
echo "== tarnvel-cli report and list --crlf, 1,000,000 stations to a file (best of 5)"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
range=(--from 0 --to 999999 --step 1)
echo "list --crlf: $(best_of_5 sh -c "\"\$0\" list ${curve[*]} ${range[*]} --crlf > \"\$1\"" \
    "$build/bin/tarnvel-cli" "$out/list.txt") s"
echo "report:      $(best_of_5 "$build/bin/tarnvel-cli" report "${curve[@]}" "${range[@]}" --output "$out/report.txt") s"
/usr/bin/time -f "report peak memory: %M KiB" "$build/bin/tarnvel-cli" report "${curve[@]}" "${range[@]}" \
    --output "$out/report.txt"
