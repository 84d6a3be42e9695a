#!/usr/bin/env bash
# Shared helpers for the end-to-end tests: they run the real game binary in a scratch working
# directory under a display (Xvfb), drive it with real key presses and clicks (xdotool), and
# check its console lines, screenshots (ImageMagick) and exit status.
#
#   source "$(dirname "$0")/lib.sh"
#   e2e_init "$@"            # arguments as ctest passes them: game, repository root, tools folder
#   e2e_copy_data            # a copy of $ROOT/Data in $WORK, the plain game (e2e_link_data: a link)
#   e2e_start                # the game in the background, its console in $LOG
#   e2e_wait_line "Begin primary game loop"
#   e2e_find_window          # window id in $WIN, focused, pointer on it
#   e2e_quit                 # Escape, then the exit awaited; status in $EXIT_STATUS
#   e2e_pass
#
# Every wait polls with a deadline (E2E_TIMEOUT seconds, default 30); every failure prints the
# game's console and ends the test with status 1. Helpers used in $(...) fail only their
# subshell: write `n=$(e2e_diff a b) || exit 1`.

E2E_TIMEOUT=${E2E_TIMEOUT:-30}
GAME_PID=""
WIN=""
EXIT_STATUS=""
GAME_ARGS=() # options for the game (e2e_start passes them)
# The farm saves its progress: e2e_start removes the save, so that one start of a test never
# meets what an earlier one left. Tests of saving set E2E_NEW_GAME=0.
E2E_NEW_GAME=${E2E_NEW_GAME:-1}

# e2e_paths GAME ROOT [TOOLS]: the game binary, the repository root and the tools' folder.
e2e_paths() {
    GAME=$(readlink -f "${1:?game binary missing}")
    ROOT=$(readlink -f "${2:?repository root missing}")
    TOOLS=$(readlink -f "${3:-.}")
}

# The test's own scratch folder under $TMPDIR, in $WORK, removed on exit whatever the outcome.
e2e_scratch() {
    E2E_NAME=${E2E_NAME:-$(basename "$0" .sh)}
    WORK=$(mktemp -d "${TMPDIR:-/tmp}/fennow-e2e.XXXXXX") || exit 1
    LOG="$WORK/stderr.log"
    : >"$LOG"
    trap e2e_cleanup EXIT
}

# e2e_init GAME ROOT [TOOLS]: e2e_paths and e2e_scratch, under Xvfb when there is no display.
e2e_init() {
    if [ -z "${DISPLAY:-}" ]; then
        if [ -z "${E2E_UNDER_XVFB:-}" ] && command -v xvfb-run >/dev/null; then
            export E2E_UNDER_XVFB=1
            exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" bash "$0" "$@"
        fi
        echo "FAIL: no display and no xvfb-run" >&2
        exit 1
    fi
    e2e_paths "$@"
    e2e_scratch
}

e2e_cleanup() {
    e2e_stop
    if [ -n "${E2E_KEEP:-}" ]; then echo "kept $WORK" >&2; else rm -rf "$WORK"; fi
}

# Prints a message and the game's console, then ends the test as failed.
e2e_fail() {
    echo "FAIL [$E2E_NAME]: $*" >&2
    if [ -s "$LOG" ]; then
        echo "---- game console (last 40 lines) ----" >&2
        tail -n 40 "$LOG" >&2
    fi
    exit 1
}

e2e_pass() {
    echo "PASS [$E2E_NAME]"
    exit 0
}

e2e_log() { echo "[$E2E_NAME] $*" >&2; }

# e2e_copy_data [shipped]: a copy of $ROOT/Data in $WORK. Unless "shipped" is given, the farm's
# map script leaves out the calls that switch on friendly controls and map animation, so that
# the tests of the plain game see it: Escape quits at once, fast picks count, nothing moves.
e2e_copy_data() {
    cp -r "$ROOT/Data" "$WORK/Data" || e2e_fail "could not copy Data"
    [ "${1:-}" = shipped ] && return 0
    sed -i -E '/^(SetFriendlyControls|SetMapAnimation)\(/d' "$WORK/Data/Scripts/Maps/WillowCreekFarm.lua" ||
        e2e_fail "could not leave the farm's powers out"
}
e2e_link_data() { ln -s "$ROOT/Data" "$WORK/Data" || e2e_fail "could not link Data"; }

# e2e_start [DIR [PREFIX...]]: the game, run in DIR ($WORK) through PREFIX (env, valgrind ...),
# with the options in GAME_ARGS, in the background with its console in $LOG.
e2e_start() {
    local dir=${1:-$WORK}
    [ $# -gt 0 ] && shift
    : >"$LOG"
    EXIT_STATUS=""
    WIN=""
    [ "$E2E_NEW_GAME" = 1 ] && rm -f "$dir/FennowOnline.sav"
    (cd "$dir" && exec "$@" "$GAME" ${GAME_ARGS[@]+"${GAME_ARGS[@]}"}) 2>"$LOG" >>"$WORK/stdout.log" &
    GAME_PID=$!
}

e2e_running() { [ -n "$GAME_PID" ] && kill -0 "$GAME_PID" 2>/dev/null; }

# Stops the game if it still runs (only the process this library started).
e2e_stop() {
    e2e_running || return 0
    kill "$GAME_PID" 2>/dev/null
    for _ in $(seq 1 20); do
        e2e_running || break
        sleep 0.1
    done
    e2e_running && kill -9 "$GAME_PID" 2>/dev/null
    wait "$GAME_PID" 2>/dev/null
    GAME_PID=""
}

# e2e_has_line TEXT: true when the console holds a line equal to TEXT.
e2e_has_line() { grep -aqxF -- "$1" "$LOG"; }

# e2e_count_lines TEXT: prints how many console lines equal TEXT.
e2e_count_lines() { grep -acxF -- "$1" "$LOG"; }

# e2e_wait_line TEXT [N]: waits until at least N (1) console lines equal TEXT.
e2e_wait_line() {
    local deadline=$((SECONDS + E2E_TIMEOUT))
    while [ "$(e2e_count_lines "$1")" -lt "${2:-1}" ]; do
        # The game may print the line and end between the two looks.
        if ! e2e_running && [ "$(e2e_count_lines "$1")" -lt "${2:-1}" ]; then
            e2e_fail "game ended before printing '$1'"
        fi
        [ $SECONDS -lt $deadline ] || e2e_fail "timed out waiting for '$1'"
        sleep 0.05
    done
}

# e2e_assert_order TEXT...: the console holds these whole lines in this order.
e2e_assert_order() {
    local from=1 text n
    for text in "$@"; do
        n=$(tail -n +"$from" "$LOG" | grep -anxF -m1 -- "$text" | cut -d: -f1)
        [ -n "$n" ] || e2e_fail "line '$text' missing or out of order"
        from=$((from + n))
    done
}

# Finds the game window (into $WIN), focuses it and puts the pointer on it.
e2e_find_window() {
    local deadline=$((SECONDS + E2E_TIMEOUT))
    WIN=""
    while [ -z "$WIN" ]; do
        WIN=$(timeout 5 xdotool search --pid "$GAME_PID" --name '^Fennow-Online$' 2>/dev/null | head -n1)
        # A prefix (valgrind, xvfb-run) may hide the pid; only one game runs at a time.
        [ -n "$WIN" ] || WIN=$(timeout 5 xdotool search --name '^Fennow-Online$' 2>/dev/null | tail -n1)
        [ -n "$WIN" ] && break
        e2e_running || e2e_fail "game ended before its window appeared"
        [ $SECONDS -lt $deadline ] || e2e_fail "timed out waiting for the window"
        sleep 0.1
    done
    timeout 10 xdotool windowfocus --sync "$WIN" 2>/dev/null || timeout 5 xdotool windowfocus "$WIN"
    e2e_move 400 300
}

# Key helpers take xdotool key names (Up, Escape, shift, w). Keys that end the game: e2e_quit.
e2e_key() { timeout 10 xdotool key --window "$WIN" "$@" || e2e_fail "xdotool key $*"; }
e2e_key_down() { timeout 10 xdotool keydown --window "$WIN" "$@" || e2e_fail "xdotool keydown $*"; }
e2e_key_up() { timeout 10 xdotool keyup --window "$WIN" "$@" || e2e_fail "xdotool keyup $*"; }

# e2e_hold SECONDS KEY...: holds the keys down together for a while (the walk's length), then
# lets go. What the walk did is checked on pictures polled afterwards (e2e_still).
e2e_hold() {
    e2e_key_down "${@:2}"
    sleep "$1"
    e2e_key_up "${@:2}"
}

# e2e_quit [KEY [STATUS]]: presses KEY (Escape), which ends the game on the press, and waits for
# the exit with status STATUS (0). The release may meet a window that is already gone: an X
# error then is expected. A press lost while the window was still being set up is sent again.
e2e_quit() {
    local key=${1:-Escape} deadline=$((SECONDS + 5))
    timeout 10 xdotool key --window "$WIN" "$key" 2>/dev/null
    while e2e_running && [ $SECONDS -lt $deadline ]; do sleep 0.05; done
    if e2e_running; then
        e2e_log "no exit 5 s after $key: focusing the window and pressing it again"
        timeout 10 xdotool windowfocus --sync "$WIN" 2>/dev/null
        timeout 10 xdotool key --window "$WIN" "$key" 2>/dev/null
    fi
    e2e_wait_exit
    # If the release failed, the X server still holds the key down: let go of it (no window).
    timeout 5 xdotool keyup "$key" 2>/dev/null
    e2e_expect_status "${2:-0}"
}

# e2e_click X Y [BUTTON]: moves the pointer to window point X, Y, then presses and releases
# (one xdotool call, so that the X server takes the three in this order).
e2e_click() {
    timeout 10 xdotool mousemove --window "$WIN" "$1" "$2" mousedown "${3:-1}" mouseup "${3:-1}" ||
        e2e_fail "click at $1,$2"
}

e2e_move() { timeout 10 xdotool mousemove --window "$WIN" "$1" "$2" || e2e_fail "move to $1,$2"; }

# e2e_screenshot FILE.xwd: the window's content (xwd is the quickest to take; ImageMagick reads it).
e2e_screenshot() {
    timeout 20 xwd -silent -id "$WIN" >"$1" || e2e_fail "screenshot $1"
}

# e2e_still FILE [GEOMETRY]: takes screenshots until two in a row agree inside GEOMETRY (the
# whole window) and the picture is drawn (more than one colour); the last one is FILE.
e2e_still() {
    local deadline=$((SECONDS + E2E_TIMEOUT)) n
    e2e_screenshot "$1"
    while :; do
        sleep 0.2
        e2e_screenshot "$WORK/next.xwd"
        n=$(e2e_diff "$1" "$WORK/next.xwd" "${2:-}") || exit 1
        mv "$WORK/next.xwd" "$1"
        [ "$n" = 0 ] && [ "$(identify -format %k "$1")" -gt 1 ] && return 0
        [ $SECONDS -lt $deadline ] || e2e_fail "the picture did not come to rest ($n pixels kept changing)"
    done
}

# e2e_diff A B [GEOMETRY]: prints the number of differing pixels between two images, both
# cropped to GEOMETRY (e.g. 200x200+0+0) when given.
e2e_diff() {
    local extract=() out
    [ -n "${3:-}" ] && extract=(-extract "$3")
    # compare prints the metric on stderr and returns 1 when the images differ.
    out=$(compare -metric AE "${extract[@]}" "$1" "$2" null: 2>&1)
    out=${out%% *}
    case "$out" in
    '' | *[!0-9.e+]*) e2e_fail "compare failed on $1 $2: $out" ;;
    esac
    printf '%.0f\n' "$out"
}

# e2e_wait_exit [TIMEOUT]: waits for the game to end; its status goes to $EXIT_STATUS.
e2e_wait_exit() {
    local deadline=$((SECONDS + ${1:-$E2E_TIMEOUT}))
    while e2e_running; do
        [ $SECONDS -lt $deadline ] || e2e_fail "game did not end within ${1:-$E2E_TIMEOUT} s"
        sleep 0.05
    done
    wait "$GAME_PID" 2>/dev/null
    EXIT_STATUS=$?
    GAME_PID=""
}

# e2e_expect_status N: the game ended with exit status N (255 for the game's -1).
e2e_expect_status() {
    [ "$EXIT_STATUS" = "$1" ] || e2e_fail "exit status $EXIT_STATUS, expected $1"
}
