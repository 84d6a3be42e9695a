#!/usr/bin/env bash
# The start map in the real game: it is loaded and drawn, its three console lines come in
# order, and without the map file the game says so and shows its mud ground instead.
# Arguments: $1 game binary, $2 repository root, $3 folder of fennow-maptool.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
TOOL="$(readlink -f "$MAPTOOL_DIR")/fennow-maptool"
[ -x "$TOOL" ] || e2e_fail "no map tool at $TOOL"

LEVEL_LINE='Finished version of level loader: Data\Maps\WillowCreekFarm.fmp!'
LAYERS_LINE='There are 3 layers on this map.'
SCRIPT_LINE='Finished version of script loader: Data\Scripts\Maps\WillowCreekFarm.lua!'
FAILED_LINE='Failed to load WillowCreekFarm : -1.  Map Manager aborts loading.'
# Parts of the window that only the map covers at start-up: the pond, and open ground in the
# lower middle (the chat box is closed, characters and the player stand elsewhere).
POND=160x112+592+48
GROUND=280x160+200+420

e2e_copy_data
"$TOOL" render "$WORK/Data/Maps/WillowCreekFarm.fmp" "$WORK/map.png" --size 800x600 >/dev/null ||
    e2e_fail "the map tool could not render the start map"

# --- with the map ---
e2e_start
e2e_wait_line "Begin primary game loop"
e2e_assert_order "$LEVEL_LINE" "$LAYERS_LINE" "$SCRIPT_LINE" "Begin primary game loop"
e2e_find_window
sleep 1
e2e_screenshot "$WORK/with_map.png"
n=$(e2e_diff "$WORK/with_map.png" "$WORK/map.png" "$POND") || exit 1
[ "$n" -eq 0 ] || e2e_fail "the pond differs from the rendered map in $n pixels"
n=$(e2e_diff "$WORK/with_map.png" "$WORK/map.png" "$GROUND") || exit 1
[ "$n" -le 200 ] || e2e_fail "the open ground differs from the rendered map in $n pixels"
e2e_key Escape
e2e_wait_exit
e2e_expect_status 0

# --- without the map file ---
rm "$WORK/Data/Maps/WillowCreekFarm.fmp"
e2e_start
e2e_wait_line "Begin primary game loop"
e2e_assert_order "$LEVEL_LINE" "$FAILED_LINE" "Begin primary game loop"
e2e_has_line "$LAYERS_LINE" && e2e_fail "a layer count was printed without a map"
e2e_has_line "$SCRIPT_LINE" && e2e_fail "the map script ran without a map"
e2e_find_window
sleep 1
e2e_screenshot "$WORK/no_map.png"
n=$(e2e_diff "$WORK/no_map.png" "$WORK/map.png" "$GROUND") || exit 1
[ "$n" -ge 40000 ] || e2e_fail "without the map the ground still looks like the map ($n pixels differ)"
# Mud is brown: on average more red than green and more green than blue; the farm's grass
# is green.
mean=$(convert "$WORK/no_map.png" -crop "$GROUND" +repage -scale 1x1\! -depth 8 -format '%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]' info:)
read -r r g b <<<"$mean"
[ "$r" -gt "$g" ] && [ "$g" -gt "$b" ] || e2e_fail "the ground without a map is not mud brown ($mean)"
e2e_key Escape
e2e_wait_exit
e2e_expect_status 0
e2e_pass
