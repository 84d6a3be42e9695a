#!/usr/bin/env bash
# Helpers for the tests that break one data file at a time (test_assets_*.sh). Each case
# starts the real game in a fresh scratch directory whose Data/ is a tree of links to the
# repository's data with the one file under test replaced, waits until the game reaches its
# loop (or ends by itself), quits with Escape, and checks that it ended with status 0, printed
# the expected lines and nothing of a crash. Every case is checked; the test fails at the end
# if any case failed, and prints one table row per case.
#
#   source "$(dirname "$0")/lib.sh"
#   source "$(dirname "$0")/assets_lib.sh"
#   cases_init "$@"
#   case_begin "MareSprite.png" "cut in half"       # fresh $CASE with linked Data/
#   asset_truncate Graphics/Vornels/MareSprite.png 50%
#   case_run 'Could not load Data\Graphics\Vornels\MareSprite.png, using a placeholder.'
#   cases_end                                       # the table; fails if a case failed

CASE=""
CASE_NAME=""
CASE_DAMAGE=""
CASE_NUMBER=0
# Set by a case before case_run: a command that the game is started through (setpriv ...).
CASE_WRAPPER=()
# Set by a case before case_run: "click X Y LINE" clicks there once the loop runs and waits
# for LINE before quitting.
CASE_CLICK=()

# case_begin ASSET DAMAGE: a fresh scratch directory $CASE with Data/ linked file by file.
case_begin() {
    CASE_NAME=$1
    CASE_DAMAGE=$2
    CASE_NUMBER=$((CASE_NUMBER + 1))
    CASE="$WORK/case$CASE_NUMBER"
    CASE_WRAPPER=()
    CASE_CLICK=()
    mkdir -p "$CASE" || e2e_fail "could not make $CASE"
    cp -rs "$ROOT/Data" "$CASE/Data" || e2e_fail "could not link Data into $CASE"
}

# The data file REL (relative to Data/) of this case, as a path; its link is removed so that
# writing it never reaches the repository.
asset_path() {
    local path="$CASE/Data/$1"
    rm -f "$path"
    mkdir -p "$(dirname "$path")"
    printf '%s\n' "$path"
}

asset_remove() { rm -f "$CASE/Data/$1"; }

# asset_write REL: the file's new content comes from standard input.
asset_write() {
    local path
    path=$(asset_path "$1")
    cat >"$path"
}

# asset_truncate REL N: keeps the first N bytes, or N% of the file ("50%").
asset_truncate() {
    local size keep
    size=$(stat -c %s "$ROOT/Data/$1") || e2e_fail "no $1"
    case $2 in
    *%) keep=$((size * ${2%\%} / 100)) ;;
    *) keep=$2 ;;
    esac
    head -c "$keep" "$ROOT/Data/$1" | asset_write "$1"
}

# asset_random REL [BYTES]: the same pseudo-random bytes on every run.
asset_random() {
    LC_ALL=C awk -v n="${2:-4096}" 'BEGIN { srand(7); for (i = 0; i < n; i++) printf "%c", int(rand() * 256) }' |
        asset_write "$1"
}

# asset_resize REL GEOMETRY: the picture scaled (ImageMagick geometry, "50%", "200%").
asset_resize() {
    local ext=${1##*.} path
    path=$(asset_path "$1")
    convert "$ROOT/Data/$1" -resize "$2" "$ext:$path" || e2e_fail "could not resize $1"
}

# asset_poke REL OFFSET BYTES...: a copy of the file with bytes (hex, "ff") written at OFFSET.
asset_poke() {
    local rel=$1 offset=$2 path byte
    shift 2
    path=$(asset_path "$rel")
    cp "$ROOT/Data/$rel" "$path"
    for byte in "$@"; do
        printf "\\x$byte" | dd of="$path" bs=1 seek="$offset" conv=notrunc status=none ||
            e2e_fail "could not write $rel at $offset"
        offset=$((offset + 1))
    done
}

# The game's console of the current case.
case_log() { printf '%s\n' "$CASE/stderr.log"; }

# case_has LINE: the console holds the whole line.
case_has() { grep -aqxF -- "$1" "$CASE/stderr.log"; }

# Waits until the console holds LINE or the game has ended; false on timeout.
case_wait() {
    local text=$1 deadline=$((SECONDS + E2E_TIMEOUT))
    while ! case_has "$text"; do
        kill -0 "$GAME_PID" 2>/dev/null || return 0
        [ $SECONDS -ge $deadline ] && return 1
        sleep 0.05
    done
}

# Finds the game's window into $WIN; false when the game ends first or none appears.
case_window() {
    local deadline=$((SECONDS + E2E_TIMEOUT))
    WIN=""
    while [ -z "$WIN" ]; do
        WIN=$(timeout 5 xdotool search --pid "$GAME_PID" --name '^Fennow-Online$' 2>/dev/null | head -n1)
        [ -n "$WIN" ] && return 0
        kill -0 "$GAME_PID" 2>/dev/null || return 1
        [ $SECONDS -ge $deadline ] && return 1
        sleep 0.05
    done
}

# Presses and releases the mouse button at window point X, Y.
case_click_at() {
    timeout 10 xdotool mousemove --window "$WIN" "$1" "$2" >/dev/null 2>&1
    sleep 0.1
    timeout 10 xdotool mousedown --window "$WIN" 1 >/dev/null 2>&1
    sleep 0.05
    timeout 10 xdotool mouseup --window "$WIN" 1 >/dev/null 2>&1
}

# Cases without clicks may run this many at a time (CASE_PARALLEL=2 ...); one at a time is the
# default, as several software-rendered windows at once compete for the processor.
CASE_PARALLEL=${CASE_PARALLEL:-1}

# case_run [--status N] LINE...: runs the case. The game must print every LINE (whole lines;
# a LINE starting with "!" must not appear, one starting with "~" is an extended regular
# expression for a whole line) and end with status N (0 by default) after Escape,
# or by itself when it cannot start. Cases without a click run in the background; a case
# with a click waits for them first, since it moves the one pointer.
case_run() {
    if [ ${#CASE_CLICK[@]} -gt 0 ]; then
        wait
        case_exec "$@"
    else
        while [ "$(jobs -rp | wc -l)" -ge "$CASE_PARALLEL" ]; do
            wait -n
        done
        case_exec "$@" &
    fi
}

# The body of a case; its table row goes to $CASE.row, its failure report to $CASE.fail.
case_exec() {
    local expected_status=0 problems=() line text first pid status
    if [ "${1:-}" = --status ]; then
        expected_status=$2
        shift 2
    fi
    local log="$CASE/stderr.log"
    WIN=""
    : >"$log"
    (cd "$CASE" && exec "${CASE_WRAPPER[@]}" "$GAME") 2>"$log" >"$CASE/stdout.log" &
    pid=$!
    echo "$pid" >"$CASE.pid"
    GAME_PID=$pid
    if ! case_wait "Begin primary game loop"; then
        problems+=("no 'Begin primary game loop' within $E2E_TIMEOUT s")
    elif kill -0 "$pid" 2>/dev/null; then
        if case_window; then
            if [ ${#CASE_CLICK[@]} -gt 0 ]; then
                case_click_at "${CASE_CLICK[0]}" "${CASE_CLICK[1]}"
                case_wait "${CASE_CLICK[2]}" || problems+=("no '${CASE_CLICK[2]}' after the click")
            fi
            timeout 10 xdotool key --window "$WIN" Escape >/dev/null 2>&1
        else
            problems+=("no window")
        fi
    fi
    local deadline=$((SECONDS + 5))
    while kill -0 "$pid" 2>/dev/null && [ $SECONDS -lt $deadline ]; do sleep 0.05; done
    if [ -n "$WIN" ] && kill -0 "$pid" 2>/dev/null; then
        # A key sent while the window was still being set up may be lost: focus, send again.
        timeout 10 xdotool windowfocus --sync "$WIN" >/dev/null 2>&1
        timeout 10 xdotool mousemove --window "$WIN" 400 300 >/dev/null 2>&1
        timeout 10 xdotool key --window "$WIN" Escape >/dev/null 2>&1
    fi
    deadline=$((SECONDS + E2E_TIMEOUT))
    while kill -0 "$pid" 2>/dev/null && [ $SECONDS -lt $deadline ]; do sleep 0.05; done
    if kill -0 "$pid" 2>/dev/null; then
        problems+=("still running after Escape")
        kill "$pid" 2>/dev/null
    fi
    wait "$pid" 2>/dev/null
    status=$?
    GAME_PID=""
    rm -f "$CASE.pid"
    [ "$status" = "$expected_status" ] || problems+=("exit status $status, expected $expected_status")
    for text in AddressSanitizer LeakSanitizer 'runtime error' Segmentation Aborted; do
        grep -aqF -- "$text" "$log" && problems+=("console shows '$text'")
    done
    if [ "$expected_status" = 0 ]; then
        case_has "== Cleanup Completed ==" || problems+=("no '== Cleanup Completed =='")
    fi
    for line in "$@"; do
        if [ "${line:0:1}" = "!" ]; then
            case_has "${line:1}" && problems+=("a line '${line:1}'")
        elif [ "${line:0:1}" = "~" ]; then
            grep -aqxE -- "${line:1}" "$log" || problems+=("no line matching '${line:1}'")
        else
            case_has "$line" || problems+=("no line '$line'")
        fi
    done
    first="(none)"
    for line in "$@"; do
        [ "${line:0:1}" = "!" ] || {
            line=${line#\~}
            first=$line
            break
        }
    done
    if [ ${#problems[@]} -eq 0 ]; then
        printf '| %s | %s | %s | ok, status %s |\n' "$CASE_NAME" "$CASE_DAMAGE" "$first" "$status" >"$CASE.row"
    else
        printf '| %s | %s | %s | FAIL: %s |\n' "$CASE_NAME" "$CASE_DAMAGE" "$first" "${problems[*]}" >"$CASE.row"
        {
            echo "FAIL [$E2E_NAME] $CASE_NAME, $CASE_DAMAGE:"
            printf '  %s\n' "${problems[@]}"
            echo "---- game console (last 30 lines) ----"
            tail -n 30 "$log"
            echo "--------------------------------------"
        } >"$CASE.fail"
    fi
    [ -n "${E2E_KEEP:-}" ] || rm -rf "$CASE"
}

# Stops the games of cases still running (each by its own pid), then the usual clean-up.
cases_cleanup() {
    local file
    for file in "$WORK"/case*.pid; do
        [ -e "$file" ] && kill "$(cat "$file")" 2>/dev/null
    done
    e2e_cleanup
}

# cases_init ARGS: e2e_init, then a clean-up that also stops the games of running cases.
cases_init() {
    e2e_init "$@"
    trap cases_cleanup EXIT
}

# Prints the table of cases and ends the test.
cases_end() {
    wait
    local n failures=0
    echo "| asset | damage | line printed | outcome |"
    echo "|---|---|---|---|"
    for n in $(seq 1 "$CASE_NUMBER"); do
        if [ -s "$WORK/case$n.row" ]; then
            cat "$WORK/case$n.row"
        else
            echo "| case $n | | | FAIL: no result |"
            failures=$((failures + 1))
        fi
        if [ -s "$WORK/case$n.fail" ]; then
            cat "$WORK/case$n.fail" >&2
            failures=$((failures + 1))
        fi
    done
    if [ "$failures" -gt 0 ]; then
        echo "FAIL [$E2E_NAME]: $failures of $CASE_NUMBER cases failed" >&2
        exit 1
    fi
    e2e_pass
}
