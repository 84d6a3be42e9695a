#!/usr/bin/env bash
# Measures how many planted faults the test suite catches. Each line of the list
# (tests/planted-faults.txt by default) is "FILE|TEXT|REPLACEMENT": the one place where TEXT
# stands in FILE is replaced, the game and its tests are rebuilt (build-faults/), and the unit
# tests, then the end-to-end tests (all but the soak), run until the first failure. The file
# is put back after every fault.
# A line splits at its first and its last "|", so TEXT may hold "|" (a "||" to flip) and
# REPLACEMENT may not (write `or` for a "||" there). Faults whose text no longer stands
# exactly once, or that do not build, are left out.
#   scripts/fault-check.sh [LIST]
set -euo pipefail
cd "$(dirname "$0")/.."
list=$(readlink -f "${1:-tests/planted-faults.txt}")
build=build-faults
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFENNOW_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" >/dev/null

saved=$(mktemp)
current=""
restore() { [ -n "$current" ] && cp "$saved" "$current" && current=""; }
trap 'restore; rm -f "$saved"' EXIT

caught=0 missed=0 skipped=0
while IFS='|' read -r file rest; do
    [ -n "$file" ] || continue
    from=${rest%|*}
    to=${rest##*|}
    if [ "$(grep -cF -- "$from" "$file")" != 1 ]; then
        echo "skipped (text not found once): $file: $from"
        skipped=$((skipped + 1))
        continue
    fi
    cp "$file" "$saved"
    current=$file
    FROM=$from TO=$to python3 -c '
import os, sys
p = sys.argv[1]
t = open(p, encoding="utf-8").read()
open(p, "w", encoding="utf-8").write(t.replace(os.environ["FROM"], os.environ["TO"], 1))' "$file"
    if ! cmake --build "$build" -j "$(nproc)" >/dev/null 2>&1; then
        echo "skipped (does not build): $file: $from"
        skipped=$((skipped + 1))
    elif ctest --test-dir "$build" -L unit -j 2 --stop-on-failure >"$saved.log" 2>&1 &&
        xvfb-run -a -s "-screen 0 1024x768x24 -noreset" ctest --test-dir "$build" -L e2e -E soak \
            --stop-on-failure >>"$saved.log" 2>&1; then
        echo "MISSED: $file: $from -> $to"
        missed=$((missed + 1))
    else
        echo "caught by $(grep -m1 -oE '[0-9]+ - [^ ]+' "$saved.log" | cut -d' ' -f3): $file: $from"
        caught=$((caught + 1))
    fi
    restore
    touch "$file"
done <"$list"
rm -f "$saved.log"
cmake --build "$build" -j "$(nproc)" >/dev/null
echo "planted faults caught: $caught of $((caught + missed)) ($skipped left out)"
