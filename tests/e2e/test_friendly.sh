#!/usr/bin/env bash
# The farm as shipped, with friendly controls and its flowing water, as a player has it: Escape
# closes a conversation and only a second Escape quits; walking away from the character closes
# the chat box; a double click on a response picks one line, not one on the page after it.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
e2e_copy_data shipped

QUILLA=(348 250)
# The chat box without its right edge, where the creek flows past it when it is closed.
BOX=600x200+0+390
UP="Mouse up event thrown to Environment"

# box_shows SHOT: how many pixels of the box area differ from the start picture.
box_shows() { e2e_diff "$WORK/start.xwd" "$WORK/$1.xwd" $BOX; }

# wait_box open|closed: polls screenshots until the box area shows the chat box or the map.
wait_box() {
    local deadline=$((SECONDS + E2E_TIMEOUT)) n
    while :; do
        e2e_screenshot "$WORK/now.xwd"
        n=$(box_shows now) || exit 1
        if [ "$1" = open ] && [ "$n" -gt 50000 ]; then return 0; fi
        if [ "$1" = closed ] && [ "$n" -lt 2000 ]; then return 0; fi
        [ $SECONDS -lt $deadline ] || e2e_fail "the chat box is not $1 ($n pixels differ)"
        sleep 0.1
    done
}

# talk: a click on Quilla, then the chat box shown. A page is only picked from once it is older
# than 300 ms, so the wait ends at least that long after the click.
talk() {
    local before
    before=$(e2e_count_lines "$UP")
    e2e_click "${QUILLA[@]}"
    e2e_wait_line "$UP" $((before + 1))
    wait_box open
    sleep 0.4
}

e2e_start
e2e_wait_line "Welcome to Willow Creek Farm!"
e2e_wait_line "Begin primary game loop"
e2e_find_window
e2e_move 750 100
e2e_still "$WORK/start.xwd" $BOX

# --- The creek flows: the water beside the chat box changes while nothing else happens.
e2e_screenshot "$WORK/water1.xwd"
deadline=$((SECONDS + E2E_TIMEOUT))
while :; do
    e2e_screenshot "$WORK/water2.xwd"
    n=$(e2e_diff "$WORK/water1.xwd" "$WORK/water2.xwd" 32x200+672+392) || exit 1
    [ "$n" -gt 0 ] && break
    [ $SECONDS -lt $deadline ] || e2e_fail "the creek does not flow"
    sleep 0.1
done

# --- A double click on "What grows here?" (line 5, value 1) picks it once: the second click
# comes within 300 ms of the page it brought up. A click on open ground afterwards shows, by its
# console line, that both clicks of the double click were handled.
talk
timeout 10 xdotool mousemove --window "$WIN" 300 $((380 + 13 + 16 * 5 + 8)) click --repeat 2 --delay 60 1 ||
    e2e_fail "double click"
e2e_click 750 100
e2e_wait_line "$UP" 2
[ "$(grep -c '^Line response was' "$LOG")" -eq 1 ] ||
    e2e_fail "a double click picked $(grep -c '^Line response was' "$LOG") lines"
e2e_has_line 'Calling Script: Data\Scripts\Quilla.lua with value 1' || e2e_fail "the first click picked nothing"

# --- Walking away: the box (on the page the double click brought up) closes once the player has
# walked away from Quilla. Whatever stands in the way, one of the four directions leads away.
closed=""
for direction in Left Up Right Down; do
    e2e_hold 1 shift "$direction"
    for _ in 1 2 3 4 5 6 7 8 9 10; do
        e2e_screenshot "$WORK/now.xwd"
        n=$(box_shows now) || exit 1
        if [ "$n" -lt 2000 ]; then closed=$direction; break 2; fi
        sleep 0.1
    done
done
[ -n "$closed" ] || e2e_fail "walking away in every direction left the chat box open"
e2e_log "the chat box closed while walking $closed"
e2e_running || e2e_fail "the game ended"

# --- Escape closes the box; the game goes on; a second Escape quits.
talk
e2e_key Escape
wait_box closed
# A click handled after the key's press and release: the game still runs.
before=$(e2e_count_lines "$UP")
e2e_click 750 100
e2e_wait_line "$UP" $((before + 1))
[ "$(grep -c '^Line response was' "$LOG")" -eq 1 ] || e2e_fail "Escape picked a response line"
e2e_quit
! grep -q "Lua Error" "$LOG" || e2e_fail "a script failed"
e2e_pass
