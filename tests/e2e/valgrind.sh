#!/usr/bin/env bash
# A short session of the real game under valgrind's leak checker: start, walk, talk to Quilla
# through a few responses, close the chat, Escape. It passes when the game ends with status 0
# and valgrind finds no definite leak: third-party leaks (X11, Mesa, fontconfig and the like,
# inside their own start-up) are held back by valgrind.supp, narrowly, so that a block lost by
# our own code still counts whatever library it was allocated through.
#
# Usage: valgrind.sh GAME ROOT
# Environment: VALGRIND_OUT, a folder that receives valgrind's log; E2E_TIMEOUT (default 240).
export E2E_TIMEOUT=${E2E_TIMEOUT:-240}
HERE=$(dirname "$(readlink -f "$0")")
source "$HERE/lib.sh"
E2E_NAME=valgrind
e2e_init "$@"
e2e_link_data
command -v valgrind >/dev/null || e2e_fail "valgrind is not installed"
VG_LOG="$WORK/valgrind.log"

# valgrind runs the game in its own process, so $GAME_PID is the game's.
e2e_start "$WORK" valgrind --leak-check=full --show-leak-kinds=definite,indirect,possible \
    --errors-for-leak-kinds=definite --suppressions="$HERE/valgrind.supp" --num-callers=30 \
    --fullpath-after= --log-file="$VG_LOG"
e2e_wait_line "Begin primary game loop"
e2e_find_window
e2e_hold 1 Right Down
# Talk to Quilla: a click on her, two responses, then the goodbye line.
pick() {
    e2e_click 300 $((380 + 13 + 16 * $1 + 8))
    e2e_wait_line "Line response was $2"
}
e2e_click 348 250
e2e_wait_line "Mouse up event thrown to Environment"
pick 5 1  # "What grows here?"
e2e_wait_line 'Calling Script: Data\Scripts\Quilla.lua with value 1'
pick 5 11 # "Pumpkins, of course!"
e2e_wait_line 'Calling Script: Data\Scripts\Quilla.lua with value 11'
pick 4 -3 # "I should get going. Bye!"
e2e_quit
e2e_has_line "== Cleanup Completed ==" || e2e_fail "no cleanup line"
[ -n "${VALGRIND_OUT:-}" ] && mkdir -p "$VALGRIND_OUT" && cp "$VG_LOG" "$LOG" "$VALGRIND_OUT/"

grep -q 'LEAK SUMMARY\|All heap blocks were freed' "$VG_LOG" || e2e_fail "valgrind wrote no leak summary"
sed -n '/HEAP SUMMARY/,$p' "$VG_LOG" | grep -E 'lost:|reachable:|suppressed:|ERROR SUMMARY' | sed 's/^==[0-9]*== *//' >&2
if grep -q 'definitely lost in' "$VG_LOG"; then
    # Each definite leak with the first frames of our own code.
    awk '/definitely lost in/ { show = 1 } show { print } /^==[0-9]+== *$/ { show = 0 }' "$VG_LOG" | head -n 120 >&2
    e2e_fail "valgrind found definite leaks"
fi
e2e_pass
