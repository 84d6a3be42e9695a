#!/usr/bin/env bash
# The start map in the real game: its three console lines come in order and it is drawn as the
# map tool renders it; without the map file the ground is the game's brown mud instead (the
# lines for a missing or broken map are cases of test_assets).
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
e2e_copy_data
"$TOOLS/fennow-maptool" render "$WORK/Data/Maps/WillowCreekFarm.fmp" "$WORK/map.png" --size 800x600 >/dev/null ||
    e2e_fail "the map tool could not render the start map"
# Parts of the window that only the map covers at start-up: the pond, and open ground in the
# lower middle (the chat box is closed, characters and the player stand elsewhere).
POND=160x112+592+48
GROUND=280x160+200+420

e2e_start
e2e_wait_line "Begin primary game loop"
e2e_assert_order 'Finished version of level loader: Data\Maps\WillowCreekFarm.fmp!' \
    'There are 3 layers on this map.' \
    'Finished version of script loader: Data\Scripts\Maps\WillowCreekFarm.lua!' "Begin primary game loop"
e2e_find_window
e2e_still "$WORK/with_map.xwd" "$GROUND"
n=$(e2e_diff "$WORK/with_map.xwd" "$WORK/map.png" "$POND") || exit 1
[ "$n" -eq 0 ] || e2e_fail "the pond differs from the rendered map in $n pixels"
n=$(e2e_diff "$WORK/with_map.xwd" "$WORK/map.png" "$GROUND") || exit 1
[ "$n" -le 200 ] || e2e_fail "the open ground differs from the rendered map in $n pixels"
e2e_quit

rm "$WORK/Data/Maps/WillowCreekFarm.fmp"
e2e_start
e2e_wait_line "Begin primary game loop"
e2e_find_window
e2e_still "$WORK/no_map.xwd" "$GROUND"
n=$(e2e_diff "$WORK/no_map.xwd" "$WORK/map.png" "$GROUND") || exit 1
[ "$n" -ge 40000 ] || e2e_fail "without the map the ground still looks like the map ($n pixels differ)"
# Mud is brown: on average more red than green and more green than blue; the farm's grass is green.
read -r r g b < <(convert "$WORK/no_map.xwd" -crop "$GROUND" +repage -scale 1x1\! -depth 8 \
    -format '%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]' info:)
[ "$r" -gt "$g" ] && [ "$g" -gt "$b" ] || e2e_fail "the ground without a map is not mud brown ($r $g $b)"
e2e_quit
e2e_pass
