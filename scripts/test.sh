#!/usr/bin/env bash
# Sets up, builds and runs every test:
#   1. no include cycles among the classes of src/ and tools/; every Lua file syntax-checked;
#   2. unit and end-to-end tests (under Xvfb when there is no display), while the
#      sanitizer build (build-asan/) compiles beside them at a lower priority; then the
#      content check: every conversation of every map walked by fennow-check; then the Debian
#      package built (build-package/), checked by lintian and played unpacked;
#   3. the unit tests again, built with clang's AddressSanitizer, UndefinedBehaviorSanitizer
#      and LeakSanitizer;
#   4. each fuzz target (same build) from its seed corpus for a bounded time, two at a time.
# Any failure, sanitizer report or fuzzer finding makes the command exit non-zero; every
# phase still runs, so one report shows everything that is wrong.
#
# Everything the run writes outside the checkout goes under one temporary root ($TMPDIR for
# every child), removed at the end; the command fails if anything new is left in the folder
# that held it.
#
# Between 2 and 3 the browser build (build-web/) is made, with its libraries built once into a
# cache outside the checkout, and played in headless Chromium.
#
# FENNOW_SKIP_WEB=1 leaves out the browser; FENNOW_SKIP_SANITIZE=1 and FENNOW_SKIP_FUZZ=1 leave
# out phases 3 and 4;
# FENNOW_FUZZ_SCALE=N multiplies every fuzz target's time (N=0 runs only the seed corpora).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
started=$(date +%s)
phase_started=$started
failed_phases=()
timings=()

phase() {
    local now
    now=$(date +%s)
    [ -n "${current_phase:-}" ] && timings+=("$(printf '%5d s  %s' $((now - phase_started)) "$current_phase")")
    current_phase=$1
    phase_started=$now
    printf '\n==== %s ====\n' "$1"
}
fail() {
    failed_phases+=("$1")
    printf '!!!! FAILED: %s\n' "$1"
}

# One temporary root for the whole run; what was in its parent before is remembered so that
# anything a test leaves behind there is caught.
tmp_parent=${TMPDIR:-/tmp}
tmp_root=$(mktemp -d "$tmp_parent/fennow-test-run.XXXXXX")
# The X server's own lock files and socket folders live in /tmp whatever TMPDIR says; another
# run of this command beside this one has a root of its own, which it removes itself.
list_tmp_parent() {
    find "$tmp_parent" -mindepth 1 -maxdepth 1 ! -name 'fennow-test-run.*' \
        ! -name '.X*-lock' ! -name '.X11-unix' ! -name '.ICE-unix' ! -name '.XIM-unix' \
        ! -name '.font-unix' ! -name '.Test-unix' -printf '%f\n' 2>/dev/null | sort
}
tmp_before=$(list_tmp_parent)
background_pids=()
cleanup() {
    local pid
    for pid in "${background_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$tmp_root"
}
trap cleanup EXIT
export TMPDIR=$tmp_root

# Runs a command under Xvfb when there is no display to run it on. The server is kept as it is
# when its last client leaves (-noreset): a server resetting while the next game connects can
# break that connection.
with_display() {
    if [ -n "${DISPLAY:-}" ]; then
        "$@"
    else
        xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$@"
    fi
}

phase "Set-up and build"
scripts/setup.sh
scripts/build.sh

# A header and its source count as one class; a cycle among them fails the command. CI keeps
# shared/ beside the clone.
phase "Include cycles"
../shared/tools/include-cycles src tools || fail "include cycles"

phase "Lua syntax check"
lua_failed=0
while IFS= read -r -d '' file; do
    if ! luac5.1 -p -o /dev/null "$file"; then lua_failed=1; fi
done < <(find Data -name '*.lua' -print0)
if [ "$lua_failed" -eq 0 ]; then echo "all Lua files parse"; else fail "Lua syntax check"; fi

# The sanitizer build holds the unit tests and the fuzz targets, compiled once with
# AddressSanitizer and UndefinedBehaviorSanitizer; it runs while the end-to-end tests mostly wait.
sanitize=0
fuzz=0
[ "${FENNOW_SKIP_SANITIZE:-0}" != 1 ] && sanitize=1
[ "${FENNOW_SKIP_FUZZ:-0}" != 1 ] && fuzz=1
asan_log=$tmp_root/asan-build.log
asan_status=$tmp_root/asan-build.status
if [ $((sanitize + fuzz)) -gt 0 ]; then
    targets=()
    [ $sanitize = 1 ] && targets+=(test_core test_input test_player test_gfx test_gui test_map test_script test_world)
    if [ $sanitize = 1 ]; then
        for dir in tests/tools/*/; do [ -d "$dir" ] && targets+=("test_tools_$(basename "$dir")"); done
    fi
    if [ $fuzz = 1 ]; then
        for source in fuzz/*.cpp; do targets+=("$(basename "$source" .cpp)"); done
    fi
    (
        status=0
        CC=clang CXX=clang++ cmake -S . -B build-asan -DFENNOW_SANITIZE=ON -DFENNOW_FUZZ=$([ $fuzz = 1 ] && echo ON || echo OFF) \
            -DFENNOW_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$asan_log" 2>&1 &&
            nice -n 10 cmake --build build-asan -j "$(nproc)" --target "${targets[@]}" >>"$asan_log" 2>&1 || status=$?
        echo "$status" >"$asan_status"
    ) &
    background_pids+=($!)
fi

phase "Unit and end-to-end tests"
with_display ctest --test-dir build --output-on-failure -j 2 || fail "unit and end-to-end tests"

# A content mistake fails the command like a code one: any finding makes the checker exit 1.
phase "Content check"
build/tools/fennow-check --all || fail "content check"

# The Debian package is built from the install tree, checked by lintian and played unpacked.
phase "Debian package"
if deb=$(scripts/package.sh "$tmp_root/package"); then
    bash tests/e2e/package.sh "$deb" "$root" build-package || fail "Debian package"
else
    fail "Debian package build"
fi

# The browser build with its cached libraries (built once per machine), played in headless
# Chromium and compared with the native game.
if [ "${FENNOW_SKIP_WEB:-0}" != 1 ]; then
    phase "Browser build and test"
    if scripts/web.sh; then
        with_display tests/web/run.sh build-web build/fennow-online . || fail "browser test"
    else
        fail "browser build"
    fi
fi

asan_built=0
if [ $((sanitize + fuzz)) -gt 0 ]; then
    phase "Sanitizer build (finishing)"
    wait "${background_pids[0]}" || true
    background_pids=()
    if [ "$(cat "$asan_status" 2>/dev/null)" = 0 ]; then
        asan_built=1
        echo "built"
    else
        tail -n 60 "$asan_log"
        fail "sanitizer build"
    fi
fi

if [ $sanitize = 1 ] && [ $asan_built = 1 ]; then
    phase "Unit tests under AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer"
    # Leaks are reported; leaks inside third-party libraries would be named one by one in
    # tests/lsan.supp.
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1 \
        LSAN_OPTIONS=suppressions="$root/tests/lsan.supp":print_suppressions=0 \
        UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        ctest --test-dir build-asan -L unit --output-on-failure -j 2 ||
        fail "unit tests under the sanitizers"
fi

# fuzz_target NAME SECONDS: runs one target in a scratch folder; prints its report.
fuzz_target() {
    local name=$1 seconds=$2 work status=0
    work=$(mktemp -d)
    mkdir "$work/corpus" "$work/findings"
    if [ -d "fuzz/corpus/$name" ]; then
        cp -r "fuzz/corpus/$name/." "$work/corpus/"
    else
        echo "$name: no seed corpus in fuzz/corpus/$name" >"$work/report"
        return 1
    fi
    local args=(-print_final_stats=1 -rss_limit_mb=2048 -timeout=20 -close_fd_mask=2
        -artifact_prefix="$work/findings/")
    if [ "$seconds" -gt 0 ]; then args+=(-max_total_time="$seconds"); else args+=(-runs=0); fi
    # A scratch working directory: nothing a target opens or writes touches the tree.
    (cd "$work" && LSAN_OPTIONS=suppressions="$root/tests/lsan.supp":print_suppressions=0 \
        "$root/build-asan/fuzz/$name" "${args[@]}" corpus >log 2>&1) || status=$?
    {
        echo "-- $name ($seconds s)"
        grep -E 'stat::number_of_executed_units|^==[0-9]+==ERROR|SUMMARY|runtime error|Done [0-9]+ runs' \
            "$work/log" || true
        if [ "$status" -ne 0 ] || [ -n "$(ls -A "$work/findings")" ]; then
            tail -n 60 "$work/log"
            mkdir -p "$root/fuzz-findings/$name"
            cp -r "$work/findings/." "$root/fuzz-findings/$name/" 2>/dev/null || true
            echo "$name: exit status $status; findings copied to fuzz-findings/$name/"
            status=1
        fi
    } >"$tmp_root/fuzz-$name.report"
    rm -rf "$work"
    return "$status"
}

if [ $fuzz = 1 ] && [ $asan_built = 1 ]; then
    phase "Fuzzing"
    # Seconds per target; two targets run at a time, one on each core.
    declare -A fuzz_seconds=([map_decoder]=30 [script_functions]=30 [gui_clicks]=20 [config_reader]=20 [tiled_reader]=20 [save_reader]=20)
    scale=${FENNOW_FUZZ_SCALE:-1}
    names=()
    for source in fuzz/*.cpp; do names+=("$(basename "$source" .cpp)"); done
    for ((i = 0; i < ${#names[@]}; i += 2)); do
        pids=()
        for name in "${names[@]:i:2}"; do
            fuzz_target "$name" $((${fuzz_seconds[$name]:-30} * scale)) &
            pids+=("$!:$name")
        done
        for entry in "${pids[@]}"; do
            name=${entry#*:}
            wait "${entry%%:*}" || fail "fuzz $name"
            cat "$tmp_root/fuzz-$name.report" 2>/dev/null || true
        done
    done
fi

phase "Nothing left behind"
left=$(comm -13 <(printf '%s\n' "$tmp_before") <(list_tmp_parent) | grep -v '^$' || true)
if [ -n "$left" ]; then
    echo "left in $tmp_parent by this run:"
    printf '  %s\n' $left
    fail "nothing left behind"
else
    echo "nothing new in $tmp_parent"
fi

phase "Summary"
printf '%s\n' "${timings[@]}"
echo "wall time: $(($(date +%s) - started)) s"
if [ ${#failed_phases[@]} -eq 0 ]; then
    echo "all phases passed"
    exit 0
fi
printf 'failed: %s\n' "${failed_phases[@]}"
exit 1
