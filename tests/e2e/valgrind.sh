#!/usr/bin/env bash
# A short session of the real game under valgrind's leak checker: start, walk, talk to Quilla
# through a few responses, close the chat, Escape. It passes when the game ends with status 0
# and valgrind finds no definite leak: third-party leaks (X11, Mesa, fontconfig and the like,
# inside their own start-up) are held back by valgrind.supp, narrowly, so that a block lost by
# our own code still counts whatever library it was allocated through.
#
# Usage: valgrind.sh GAME ROOT [MAPTOOL_DIR]
# Environment: VALGRIND_OUT, a folder that receives valgrind's log; E2E_TIMEOUT (default 240).
export E2E_TIMEOUT=${E2E_TIMEOUT:-240}
HERE=$(dirname "$(readlink -f "$0")")
source "$HERE/lib.sh"
e2e_init "$@"
E2E_NAME=valgrind
e2e_link_data
command -v valgrind >/dev/null || e2e_fail "valgrind is not installed"
VG_LOG="$WORK/valgrind.log"

# The game under valgrind, in the background like e2e_start; $GAME_PID is valgrind's own pid,
# which becomes the game's (valgrind runs the program in its own process).
: >"$LOG"
(cd "$WORK" && exec valgrind --leak-check=full --show-leak-kinds=definite,indirect,possible \
    --errors-for-leak-kinds=definite --suppressions="$HERE/valgrind.supp" --num-callers=30 \
    --fullpath-after= --log-file="$VG_LOG" "$GAME") 2>"$LOG" >"$WORK/stdout.log" &
GAME_PID=$!

e2e_wait_line "Begin primary game loop"
e2e_find_window
# Walk right and down for a moment.
e2e_hold 1 Right Down
# Talk to Quilla: a click on her, then two responses, then the goodbye line.
click_at() {
    e2e_move "$1" "$2"
    sleep 0.3
    timeout 10 xdotool mousedown --window "$WIN" 1 || e2e_fail "press at $1,$2"
    sleep 0.2
    timeout 10 xdotool mouseup --window "$WIN" 1 || e2e_fail "release at $1,$2"
}
row_y() { echo $((380 + 13 + 16 * $1 + 8)); }
pick() {
    local before
    before=$(e2e_count_lines "Line response was $2")
    click_at 300 "$(row_y "$1")"
    e2e_wait_count "Line response was $2" $((before + 1))
}
click_at 348 250
e2e_wait_count "Mouse up event thrown to Environment" 1
pick 5 1  # "What grows here?"
e2e_wait_line 'Calling Script: Data\Scripts\Quilla.lua with value 1'
pick 5 11 # "Pumpkins, of course!"
e2e_wait_line 'Calling Script: Data\Scripts\Quilla.lua with value 11'
pick 4 -3 # "I should get going. Bye!"
sleep 1
e2e_key Escape
e2e_wait_exit
e2e_wait_line "== Cleanup Completed ==" 1
[ -n "${VALGRIND_OUT:-}" ] && mkdir -p "$VALGRIND_OUT" && cp "$VG_LOG" "$LOG" "$VALGRIND_OUT/"

grep -q 'LEAK SUMMARY\|All heap blocks were freed' "$VG_LOG" || e2e_fail "valgrind wrote no leak summary"
summary=$(sed -n '/HEAP SUMMARY/,$p' "$VG_LOG" | grep -E 'lost:|reachable:|suppressed:|ERROR SUMMARY' | sed 's/^==[0-9]*== *//')
echo "$summary" >&2
if grep -q 'definitely lost in' "$VG_LOG"; then
    # Show each definite leak with the first frames of our own code.
    awk '/definitely lost in/ { show = 1 } show { print } /^==[0-9]+== *$/ { show = 0 }' "$VG_LOG" | head -n 120 >&2
    e2e_fail "valgrind found definite leaks"
fi
e2e_expect_status 0
e2e_pass
