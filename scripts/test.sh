#!/usr/bin/env bash
# Sets up, builds and runs every test: unit and end-to-end tests (under Xvfb when there is no
# display), every Lua file syntax-checked, then each fuzz target for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh

status=0

echo "== Lua syntax check =="
lua_failed=0
while IFS= read -r -d '' file; do
  if ! luac5.1 -p "$file"; then lua_failed=1; fi
done < <(find Data -name '*.lua' -print0)
[ "$lua_failed" -eq 0 ] || status=1

echo "== Unit and end-to-end tests =="
run_ctest() { ctest --test-dir build --output-on-failure -j 2 "$@"; }
if [ -n "${DISPLAY:-}" ]; then
  run_ctest || status=1
else
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c "$(declare -f run_ctest); run_ctest" || status=1
fi

if [ -d fuzz ] && ls fuzz/*.cpp >/dev/null 2>&1 && [ "${FENNOW_SKIP_FUZZ:-0}" != 1 ]; then
  echo "== Fuzzing (${FENNOW_FUZZ_SECONDS:=45} s per target) =="
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -DFENNOW_FUZZ=ON -DFENNOW_TESTS=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build-fuzz -j "$(nproc)" >/dev/null
  for source in fuzz/*.cpp; do
    name=$(basename "$source" .cpp)
    corpus=$(mktemp -d)
    [ -d "fuzz/corpus/$name" ] && cp -r "fuzz/corpus/$name/." "$corpus/"
    echo "-- $name"
    if ! (cd fuzz && ../build-fuzz/fuzz/"$name" -max_total_time="$FENNOW_FUZZ_SECONDS" \
        -print_final_stats=1 -rss_limit_mb=2048 -artifact_prefix=/tmp/"$name"- "$corpus" \
        2>&1 | grep -E 'stat::number_of_executed_units|ERROR|SUMMARY|Done'); then
      status=1
    fi
    if ls /tmp/"$name"-crash-* /tmp/"$name"-leak-* /tmp/"$name"-timeout-* >/dev/null 2>&1; then
      echo "$name: finding written to /tmp/$name-*"; status=1
    fi
    rm -rf "$corpus"
  done
fi

exit $status
