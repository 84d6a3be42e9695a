#!/usr/bin/env bash
# Authoring as a content author does it: --help and bad options; --map starts on a map of the
# author's own; --author walks the map's conversations in the background and reports what it
# finds; F2 shows the position under the pointer; it shows a broken character script's error in
# a panel at the top right
# and gives its chat box a close line that closes it; a click dismisses the panel; F5 loads
# the world again after the map and its script were edited: the new map is shown and the new
# character talks.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
e2e_copy_data

QUILLA=(348 250)
PANEL_CORNER=(597 5)
# The chat box's corner is (0, 380); line 11 is 13 + 16 * 11 pixels lower.
CLOSE_LINE_Y=$((380 + 13 + 16 * 11 + 8))

# pixel SHOT X Y: the colour of one pixel as #RRGGBB.
pixel() { convert "$1" -crop "1x1+$2+$3" +repage -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}' | head -1; }

# --- The command line: --help prints the usage and ends; an unknown option ends with 2 ---
"$GAME" --help >"$WORK/help.out" 2>&1 || e2e_fail "--help ended with $?"
grep -q -- "--map NAME" "$WORK/help.out" || e2e_fail "--help does not show the usage"
status=0
"$GAME" --no-such-option >"$WORK/bad.out" 2>&1 || status=$?
[ $status -eq 2 ] || e2e_fail "an unknown option ended with $status, not 2"
grep -q 'unknown option "--no-such-option"' "$WORK/bad.out" || e2e_fail "no message: $(cat "$WORK/bad.out")"

# --- --map: a meadow of dirt with one character of its own ---
cat >"$WORK/Meadow.json" <<JSON
{"name": "Meadow", "tileSheet": "$ROOT/tools/maps/FarmTiles.png", "blockWidth": 32,
 "blockHeight": 32, "blocks": [{"name": "empty"}, {"name": "dirt", "background": 5}],
 "legend": {"d": "dirt"},
 "layers": [[$(printf '"%s",' $(for _ in $(seq 19); do printf 'd%.0s' $(seq 25); echo; done) | sed 's/,$//')]]}
JSON
"$TOOLS/fennow-maptool" make "$WORK/Meadow.json" "$WORK/Data/Maps/Meadow.fmp" >/dev/null 2>&1 ||
    e2e_fail "could not make the meadow"
"$TOOLS/fennow-maptool" render "$WORK/Data/Maps/Meadow.fmp" "$WORK/meadow.png" >/dev/null 2>&1 ||
    e2e_fail "could not render the meadow"
cat >"$WORK/Data/Scripts/Maps/Meadow.lua" <<'LUA'
io.stderr:write("Welcome to the meadow!\n")
SpawnNPC(300, 200, "Heron", "Data\\Scripts\\Heron.lua", "QuillaTemp")
LUA
cat >"$WORK/Data/Scripts/Heron.lua" <<'LUA'
Talk.start("Heron")
io.stderr:write("Heron speaks\n")
Talk.say("The meadow is quiet today.")
Talk.bye()
LUA
GAME_ARGS=(--map Meadow)
e2e_start
e2e_wait_line "Welcome to the meadow!"
e2e_wait_line "Begin primary game loop"
e2e_has_line 'Finished version of level loader: Data\Maps\Meadow.fmp!' || e2e_fail "the meadow was not loaded"
e2e_has_line "Welcome to Willow Creek Farm!" && e2e_fail "the farm was loaded as well"
e2e_find_window
e2e_move 790 590
e2e_still "$WORK/meadow.xwd"
n=$(e2e_diff "$WORK/meadow.xwd" "$WORK/meadow.png" 200x150+580+200) || exit 1
[ "$n" -eq 0 ] || e2e_fail "the window does not show the meadow ($n pixels differ)"
e2e_click "${QUILLA[@]}"
e2e_wait_line "Heron speaks"
e2e_quit

# --- --author: a character script with a syntax error ---
cp "$WORK/Data/Scripts/Quilla.lua" "$WORK/Quilla.lua.good"
printf 'Talk.start("Quilla")\nTalk.say("Half a line" ..)\n' >"$WORK/Data/Scripts/Quilla.lua"
GAME_ARGS=(--author)
e2e_start
e2e_wait_line "Begin primary game loop"
e2e_find_window
# The background check of the farm ends on its own, having found the broken script with the
# click that shows it; the game keeps drawing meanwhile (the figure goes to the log).
deadline=$((SECONDS + E2E_TIMEOUT))
until grep -aq '^Author mode: the check of WillowCreekFarm ended after ' "$LOG"; do
    [ $SECONDS -lt $deadline ] || e2e_fail "the background check did not end"
    sleep 0.05
done
e2e_log "$(grep -a '^Author mode: the check of WillowCreekFarm ended after ' "$LOG")"
grep -aqxF '  path: Quilla: click' "$LOG" || e2e_fail "the background check did not report Quilla"
# F2 shows the map position and cell under the pointer in a box beside it; F2 again hides it.
e2e_move 100 100
e2e_key F2
e2e_still "$WORK/pointer.xwd"
[ "$(pixel "$WORK/pointer.xwd" 115 119)" = "#141424" ] || e2e_fail "F2 shows nothing under the pointer"
e2e_key F2
e2e_still "$WORK/nopointer.xwd"
[ "$(pixel "$WORK/nopointer.xwd" 115 119)" != "#141424" ] || e2e_fail "F2 again does not hide it"
e2e_click "${QUILLA[@]}"
e2e_wait_line "Mouse up event thrown to Environment"
grep -aq '^Lua Error during Loading: Data\\Scripts\\Quilla.lua:2:' "$LOG" || e2e_fail "no loading error"
e2e_move 790 590
e2e_still "$WORK/broken.xwd"
[ "$(pixel "$WORK/broken.xwd" "${PANEL_CORNER[@]}")" = "#C83C32" ] || e2e_fail "no error panel at the top right"
# The close line author mode added is a response: clicking it closes the box.
e2e_click 300 "$CLOSE_LINE_Y"
e2e_wait_line "Line response was -3"
# A click on the panel dismisses it (and reaches nothing else).
e2e_click "${PANEL_CORNER[@]}"
e2e_wait_line "Gui handled mouse up event"
e2e_move 790 590
e2e_still "$WORK/closed.xwd"
[ "$(pixel "$WORK/closed.xwd" "${PANEL_CORNER[@]}")" != "#C83C32" ] || e2e_fail "the panel was not dismissed"
n=$(e2e_diff "$WORK/broken.xwd" "$WORK/closed.xwd" 688x220+0+380) || exit 1
[ "$n" -gt 0 ] || e2e_fail "the chat box did not close"

# --- F5 after editing the map script and the map: the new character stands and talks, and
# the window shows the new map (its picture is composed anew) ---
cp "$WORK/Quilla.lua.good" "$WORK/Data/Scripts/Quilla.lua"
cp "$WORK/Data/Maps/Meadow.fmp" "$WORK/Data/Maps/WillowCreekFarm.fmp"
cat >>"$WORK/Data/Scripts/Maps/WillowCreekFarm.lua" <<'LUA'
SpawnNPC(100, 120, "Wren", "Data\\Scripts\\Wren.lua", "QuillaTemp")
LUA
cat >"$WORK/Data/Scripts/Wren.lua" <<'LUA'
Talk.start("Wren")
io.stderr:write("Wren speaks\n")
Talk.say("I came with the reload.")
Talk.bye()
LUA
e2e_key F5
e2e_wait_line "== Lua Init Complete ==" 2
e2e_wait_line "Welcome to Willow Creek Farm!" 2
e2e_move 790 590
e2e_still "$WORK/reloaded.xwd"
n=$(e2e_diff "$WORK/reloaded.xwd" "$WORK/meadow.png" 100x150+690+420) || exit 1
[ "$n" -eq 0 ] || e2e_fail "after F5 the window does not show the new map ($n pixels differ)"
e2e_click 148 170
e2e_wait_line "Wren speaks"
e2e_quit
e2e_pass
