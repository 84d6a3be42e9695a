#!/usr/bin/env bash
# When the window cannot be created (an X server without GLX), start-up ends right after the
# display manager's message with status -1 (255), instead of running a game nobody can see.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
e2e_link_data

(cd "$WORK" && exec timeout 60 xvfb-run -a -s "-screen 0 1024x768x24 -extension GLX" "$GAME") \
    2>"$LOG" >/dev/null &
GAME_PID=$!
e2e_wait_exit 60
e2e_expect_status 255
expected=$(printf '%s\n' "== Begin Init ==" "Creating display manager" \
    "Display of size 800 by 600 failed to create.")
[ "$(cat "$LOG")" = "$expected" ] || e2e_fail "console differs"
[ -e "$WORK/FennowOnline.cfg" ] && e2e_fail "the key-binding file was written"
e2e_pass
