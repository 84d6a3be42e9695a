#!/usr/bin/env bash
# A key held while another window takes the focus is let go: the release goes to that other
# window, yet the character stops where it was instead of walking on off the screen. No map,
# so that only the character moves.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
e2e_copy_data
rm -rf "$WORK/Data/Maps" "$WORK/Data/Scripts/Maps"
BAND=800x280+0+0
# Right of where the character starts, well inside the window.
AHEAD=500x280+100+0
OTHER_PID=""
stop_other() { [ -n "$OTHER_PID" ] && kill "$OTHER_PID" 2>/dev/null && wait "$OTHER_PID" 2>/dev/null; }
trap 'stop_other; e2e_cleanup' EXIT

e2e_start
e2e_wait_line "Begin primary game loop"
e2e_find_window
e2e_still "$WORK/start.xwd" "$BAND"

# Right goes down in the game window (through the X server, as a keyboard would) until the
# character has walked into the area ahead.
timeout 10 xdotool keydown Right || e2e_fail "keydown Right"
deadline=$((SECONDS + E2E_TIMEOUT))
while :; do
    e2e_screenshot "$WORK/walking.xwd"
    n=$(e2e_diff "$WORK/start.xwd" "$WORK/walking.xwd" "$AHEAD") || exit 1
    [ "$n" -gt 0 ] && break
    [ $SECONDS -lt $deadline ] || e2e_fail "holding Right did not move the character"
    sleep 0.05
done

# A second window takes the focus; Right is let go there.
xlogo -geometry 150x150+840+20 &
OTHER_PID=$!
OTHER=""
while [ -z "$OTHER" ]; do
    OTHER=$(timeout 5 xdotool search --class "^xlogo$" 2>/dev/null | head -n1)
    [ $SECONDS -lt $deadline ] || e2e_fail "the second window did not appear"
    [ -n "$OTHER" ] || sleep 0.05
done
timeout 10 xdotool windowfocus --sync "$OTHER" || e2e_fail "could not focus the second window"
timeout 10 xdotool keyup Right || e2e_fail "keyup Right"

# The character comes to rest in sight; walking on, it would leave the area ahead.
e2e_still "$WORK/after.xwd" "$BAND"
n=$(e2e_diff "$WORK/start.xwd" "$WORK/after.xwd" "$AHEAD") || exit 1
[ "$n" -gt 0 ] || e2e_fail "the character walked on after the focus went to another window"
stop_other
OTHER_PID=""
timeout 10 xdotool windowfocus --sync "$WIN" 2>/dev/null
e2e_quit
e2e_pass
