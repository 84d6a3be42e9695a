#!/usr/bin/env bash
# Shared helpers for the end-to-end tests: they run the real game binary in a scratch working
# directory under a display (Xvfb), drive it with real key presses and clicks (xdotool), and
# check its console lines, screenshots (ImageMagick) and exit status.
#
# Usage in a test script (arguments as ctest passes them: game binary, repository root holding
# Data/, folder of fennow-maptool):
#
#   source "$(dirname "$0")/lib.sh"
#   e2e_init "$@"            # scratch dir in $WORK, cleanup on exit, Xvfb when no display
#   e2e_copy_data            # copy of $ROOT/Data in $WORK (or e2e_link_data for a symlink)
#   e2e_start                # game in the background, stderr in $LOG, pid in $GAME_PID
#   e2e_wait_line "Begin primary game loop"
#   e2e_find_window          # window id in $WIN, focused, pointer on it
#   e2e_key Escape           # or e2e_key_down Up; sleep 1; e2e_key_up Up
#   e2e_wait_exit            # exit status in $EXIT_STATUS
#   e2e_pass
#
# Helpers used in $(...) (e2e_diff, e2e_pixel) fail only their subshell: write
# `n=$(e2e_diff a b) || e2e_fail "..."`.
# Every wait has a timeout (seconds, E2E_TIMEOUT, default 30); every failure prints the game's
# console log and ends the test with status 1. The game is stopped by its own pid on exit.

E2E_TIMEOUT=${E2E_TIMEOUT:-30}
GAME_PID=""
WIN=""
EXIT_STATUS=""

# e2e_init GAME ROOT MAPTOOL_DIR
e2e_init() {
    GAME=$(readlink -f "${1:?game binary missing}")
    ROOT=$(readlink -f "${2:?repository root missing}")
    export MAPTOOL_DIR=${3:-}
    if [ -z "${DISPLAY:-}" ]; then
        # No display: run this very script again under a virtual one.
        if [ -z "${E2E_UNDER_XVFB:-}" ] && command -v xvfb-run >/dev/null; then
            export E2E_UNDER_XVFB=1
            exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
        fi
        echo "FAIL: no display and no xvfb-run" >&2
        exit 1
    fi
    WORK=$(mktemp -d "${TMPDIR:-/tmp}/fennow-e2e.XXXXXX")
    LOG="$WORK/stderr.log"
    : >"$LOG"
    E2E_NAME=$(basename "$0" .sh)
    trap e2e_cleanup EXIT
}

e2e_cleanup() {
    e2e_stop
    if [ -n "${E2E_KEEP:-}" ]; then
        echo "kept $WORK" >&2
    else
        rm -rf "$WORK"
    fi
}

# Prints a message and the game's console, then ends the test as failed.
e2e_fail() {
    echo "FAIL [$E2E_NAME]: $*" >&2
    if [ -s "$LOG" ]; then
        echo "---- game console (last 60 lines) ----" >&2
        tail -n 60 "$LOG" >&2
        echo "--------------------------------------" >&2
    fi
    exit 1
}

e2e_pass() {
    echo "PASS [$E2E_NAME]"
    exit 0
}

e2e_log() { echo "[$E2E_NAME] $*" >&2; }

# Copies the repository's Data/ into the scratch directory (tests may then change the copy).
e2e_copy_data() {
    [ -d "$ROOT/Data" ] || e2e_fail "no Data directory in $ROOT"
    cp -r "$ROOT/Data" "$WORK/Data" || e2e_fail "could not copy Data"
}

# Links the repository's Data/ into the scratch directory (read-only use).
e2e_link_data() {
    [ -d "$ROOT/Data" ] || e2e_fail "no Data directory in $ROOT"
    ln -s "$ROOT/Data" "$WORK/Data" || e2e_fail "could not link Data"
}

# Starts the game in $WORK (or in the directory given as $1) with stderr to $LOG.
e2e_start() {
    local dir=${1:-$WORK}
    : >"$LOG"
    EXIT_STATUS=""
    WIN=""
    (cd "$dir" && exec "$GAME") 2>"$LOG" >"$WORK/stdout.log" &
    GAME_PID=$!
}

e2e_running() { [ -n "$GAME_PID" ] && kill -0 "$GAME_PID" 2>/dev/null; }

# Stops the game if it still runs (only the process this library started).
e2e_stop() {
    if e2e_running; then
        kill "$GAME_PID" 2>/dev/null
        for _ in $(seq 1 20); do
            e2e_running || break
            sleep 0.1
        done
        e2e_running && kill -9 "$GAME_PID" 2>/dev/null
        wait "$GAME_PID" 2>/dev/null
    fi
}

# e2e_has_line TEXT: true when the console holds a line equal to TEXT.
e2e_has_line() { grep -qxF -- "$1" "$LOG"; }

# e2e_wait_line TEXT [TIMEOUT]: waits until the console holds a line equal to TEXT.
e2e_wait_line() {
    local text=$1 limit=${2:-$E2E_TIMEOUT}
    local deadline=$((SECONDS + limit))
    while ! e2e_has_line "$text"; do
        if ! e2e_running && ! e2e_has_line "$text"; then
            e2e_fail "game ended before printing '$text'"
        fi
        [ $SECONDS -ge $deadline ] && e2e_fail "timed out waiting for '$text'"
        sleep 0.1
    done
}

# e2e_assert_order TEXT...: the console holds these whole lines in this order.
e2e_assert_order() {
    local from=1 text n
    for text in "$@"; do
        n=$(tail -n +"$from" "$LOG" | grep -nxF -m1 -- "$text" | cut -d: -f1)
        [ -n "$n" ] || e2e_fail "line '$text' missing or out of order"
        from=$((from + n))
    done
}

# e2e_count_lines TEXT: prints how many console lines equal TEXT.
e2e_count_lines() { grep -cxF -- "$1" "$LOG"; }

# e2e_wait_count TEXT N [TIMEOUT]: waits until at least N console lines equal TEXT.
e2e_wait_count() {
    local text=$1 count=$2 limit=${3:-$E2E_TIMEOUT}
    local deadline=$((SECONDS + limit))
    while [ "$(e2e_count_lines "$text")" -lt "$count" ]; do
        e2e_running || e2e_fail "game ended before $count lines '$text'"
        [ $SECONDS -ge $deadline ] && e2e_fail "timed out waiting for $count lines '$text'"
        sleep 0.1
    done
}

# Finds the game window (into $WIN), focuses it and puts the pointer on it.
e2e_find_window() {
    local limit=${1:-$E2E_TIMEOUT}
    local deadline=$((SECONDS + limit))
    WIN=""
    while [ -z "$WIN" ]; do
        WIN=$(timeout 5 xdotool search --pid "$GAME_PID" --name '^Fennow-Online$' 2>/dev/null | head -n1)
        [ -n "$WIN" ] || WIN=$(timeout 5 xdotool search --name '^Fennow-Online$' 2>/dev/null | tail -n1)
        [ -n "$WIN" ] && break
        e2e_running || e2e_fail "game ended before its window appeared"
        [ $SECONDS -ge $deadline ] && e2e_fail "timed out waiting for the window"
        sleep 0.2
    done
    e2e_focus
}

e2e_focus() {
    timeout 10 xdotool windowfocus --sync "$WIN" 2>/dev/null || timeout 5 xdotool windowfocus "$WIN"
    timeout 10 xdotool mousemove --window "$WIN" 400 300 || e2e_fail "could not move the pointer"
    sleep 0.2
}

# Key helpers take xdotool key names (Up, Escape, shift, w).
e2e_key() { timeout 10 xdotool key --window "$WIN" "$@" || e2e_fail "xdotool key $*"; }
e2e_key_down() { timeout 10 xdotool keydown --window "$WIN" "$@" || e2e_fail "xdotool keydown $*"; }
e2e_key_up() { timeout 10 xdotool keyup --window "$WIN" "$@" || e2e_fail "xdotool keyup $*"; }

# e2e_hold SECONDS KEY...: holds the keys down together for a while, then releases them.
e2e_hold() {
    local seconds=$1
    shift
    e2e_key_down "$@"
    sleep "$seconds"
    e2e_key_up "$@"
}

# e2e_click X Y [BUTTON]: moves the pointer to window point X, Y and clicks.
e2e_click() {
    timeout 10 xdotool mousemove --window "$WIN" "$1" "$2" click "${3:-1}" || e2e_fail "click at $1,$2"
}

# e2e_move X Y: moves the pointer to window point X, Y.
e2e_move() { timeout 10 xdotool mousemove --window "$WIN" "$1" "$2" || e2e_fail "move to $1,$2"; }

# e2e_screenshot FILE: the window's content as an 8-bit PNG.
e2e_screenshot() {
    timeout 20 import -window "$WIN" -depth 8 "png:$1" 2>/dev/null || e2e_fail "screenshot $1"
    [ -s "$1" ] || e2e_fail "empty screenshot $1"
}

# e2e_diff A B [GEOMETRY]: prints the number of differing pixels between two images, both
# cropped to GEOMETRY (e.g. 200x200+0+0) when given.
e2e_diff() {
    local a=$1 b=$2 geometry=${3:-}
    if [ -n "$geometry" ]; then
        convert "$a" -crop "$geometry" +repage "$WORK/diff_a.png" || e2e_fail "crop $a"
        convert "$b" -crop "$geometry" +repage "$WORK/diff_b.png" || e2e_fail "crop $b"
        a="$WORK/diff_a.png"
        b="$WORK/diff_b.png"
    fi
    # compare prints the metric on stderr and returns 1 when the images differ.
    local out
    out=$(compare -metric AE "$a" "$b" null: 2>&1)
    out=${out%% *}
    case "$out" in
    '' | *[!0-9.e+]*) e2e_fail "compare failed on $a $b: $out" ;;
    esac
    printf '%.0f\n' "$out"
}

# e2e_pixel FILE X Y: prints the pixel as "r,g,b" (0-255).
e2e_pixel() {
    convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info: ||
        e2e_fail "pixel $2,$3 of $1"
}

# e2e_wait_exit [TIMEOUT]: waits for the game to end; its status goes to $EXIT_STATUS.
e2e_wait_exit() {
    local limit=${1:-$E2E_TIMEOUT}
    local deadline=$((SECONDS + limit))
    while e2e_running; do
        [ $SECONDS -ge $deadline ] && e2e_fail "game did not end within $limit s"
        sleep 0.1
    done
    wait "$GAME_PID" 2>/dev/null
    EXIT_STATUS=$?
    GAME_PID=""
}

# e2e_expect_status N: the game ended with exit status N (255 for the game's -1).
e2e_expect_status() {
    [ "$EXIT_STATUS" = "$1" ] || e2e_fail "exit status $EXIT_STATUS, expected $1"
}
