#!/usr/bin/env bash
# Sets up, builds and runs every test:
#   1. every Lua file syntax-checked;
#   2. unit and end-to-end tests (under Xvfb when there is no display);
#   3. the unit tests again, built with clang's AddressSanitizer, UndefinedBehaviorSanitizer
#      and LeakSanitizer (build-asan/);
#   4. each fuzz target from its seed corpus for a bounded time (build-fuzz/).
# Any failure, sanitizer report or fuzzer finding makes the command exit non-zero; every
# phase still runs, so one report shows everything that is wrong.
#
# FENNOW_SKIP_SANITIZE=1 and FENNOW_SKIP_FUZZ=1 leave out phases 3 and 4;
# FENNOW_FUZZ_SCALE=N multiplies every fuzz target's time (N=0 runs only the seed corpora).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
started=$(date +%s)
failed_phases=()

phase() { printf '\n==== %s ====\n' "$1"; }
fail() {
  failed_phases+=("$1")
  printf '!!!! FAILED: %s\n' "$1"
}

# Runs a command under Xvfb when there is no display to run it on.
with_display() {
  if [ -n "${DISPLAY:-}" ]; then
    "$@"
  else
    xvfb-run -a -s "-screen 0 1024x768x24" "$@"
  fi
}

phase "Set-up and build"
scripts/setup.sh
scripts/build.sh

phase "Lua syntax check"
lua_failed=0
while IFS= read -r -d '' file; do
  if ! luac5.1 -p "$file"; then lua_failed=1; fi
done < <(find Data -name '*.lua' -print0)
if [ "$lua_failed" -eq 0 ]; then echo "all Lua files parse"; else fail "Lua syntax check"; fi

phase "Unit and end-to-end tests"
with_display ctest --test-dir build --output-on-failure -j 2 || fail "unit and end-to-end tests"

if [ "${FENNOW_SKIP_SANITIZE:-0}" != 1 ]; then
  phase "Unit tests under AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer"
  if CC=clang CXX=clang++ cmake -S . -B build-asan -DFENNOW_SANITIZE=ON -DFENNOW_BENCH=OFF \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null &&
    cmake --build build-asan -j "$(nproc)"; then
    # Leaks are reported; what the design keeps for the life of the process, and leaks
    # inside third-party libraries, are named one by one in tests/lsan.supp.
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1 \
      LSAN_OPTIONS=suppressions="$root/tests/lsan.supp":print_suppressions=0 \
      UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
      ctest --test-dir build-asan -L unit --output-on-failure -j 2 ||
      fail "unit tests under the sanitizers"
  else
    fail "sanitizer build"
  fi
fi

if [ "${FENNOW_SKIP_FUZZ:-0}" != 1 ]; then
  phase "Fuzzing"
  # Seconds per target, about three and a half minutes in all.
  declare -A fuzz_seconds=([map_decoder]=60 [script_functions]=60 [gui_clicks]=45 [config_reader]=45)
  scale=${FENNOW_FUZZ_SCALE:-1}
  if CC=clang CXX=clang++ cmake -S . -B build-fuzz -DFENNOW_FUZZ=ON -DFENNOW_TESTS=OFF \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null &&
    cmake --build build-fuzz -j "$(nproc)" >/dev/null; then
    for source in fuzz/*.cpp; do
      name=$(basename "$source" .cpp)
      seconds=$((${fuzz_seconds[$name]:-30} * scale))
      work=$(mktemp -d)
      mkdir "$work/corpus" "$work/findings"
      if [ -d "fuzz/corpus/$name" ]; then
        cp -r "fuzz/corpus/$name/." "$work/corpus/"
      else
        echo "$name: no seed corpus in fuzz/corpus/$name"
        fail "fuzz $name (seed corpus)"
      fi
      args=(-print_final_stats=1 -rss_limit_mb=2048 -timeout=20 -close_fd_mask=2
        -artifact_prefix="$work/findings/")
      if [ "$seconds" -gt 0 ]; then
        args+=(-max_total_time="$seconds")
      else
        args+=(-runs=0)
      fi
      echo "-- $name ($seconds s)"
      # A scratch working directory: nothing a target opens or writes touches the tree.
      fuzz_status=0
      (cd "$work" && "$root/build-fuzz/fuzz/$name" "${args[@]}" corpus >log 2>&1) || fuzz_status=$?
      grep -E 'stat::number_of_executed_units|^==[0-9]+==ERROR|SUMMARY|runtime error|Done [0-9]+ runs' \
        "$work/log" || true
      if [ "$fuzz_status" -ne 0 ] || [ -n "$(ls -A "$work/findings")" ]; then
        tail -n 60 "$work/log"
        mkdir -p "fuzz-findings/$name"
        cp -r "$work/findings/." "fuzz-findings/$name/" 2>/dev/null || true
        echo "$name: exit status $fuzz_status; findings copied to fuzz-findings/$name/"
        fail "fuzz $name"
      fi
      rm -rf "$work"
    done
  else
    fail "fuzz build"
  fi
fi

phase "Summary"
echo "wall time: $(($(date +%s) - started)) s"
if [ ${#failed_phases[@]} -eq 0 ]; then
  echo "all phases passed"
  exit 0
fi
printf 'failed: %s\n' "${failed_phases[@]}"
exit 1
