#!/usr/bin/env bash
# The farm as a world to walk in, with the real keys: walking into the pumpkin patch's fence
# stops the player; walking east over the ford leaves the farm for Clover Meadow, and walking
# west off the meadow comes back to the farm as it was left: its script does not run again,
# and Fern remembers the earlier talk. A probe line appended to Fern's script prints her count.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
e2e_copy_data
printf '\nio.stderr:write("Fern visit " .. tostring(Talk.get("TimesTalked")) .. "\\n")\n' \
    >>"$WORK/Data/Scripts/Fern.lua"
BAND=800x280+0+0

e2e_start
e2e_wait_line "Begin primary game loop"
e2e_find_window
e2e_still "$WORK/start.xwd" "$BAND"

# The player starts at (440, 200), below the fence's south-east corner post (y 160 to 192).
e2e_hold 2 Up
e2e_still "$WORK/fence.xwd" "$BAND"
moved=$(e2e_diff "$WORK/start.xwd" "$WORK/fence.xwd" 96x96+440+106) || exit 1
[ "$moved" -gt 200 ] || e2e_fail "holding Up did not move the player ($moved pixels)"
beyond=$(e2e_diff "$WORK/start.xwd" "$WORK/fence.xwd" 96x100+440+0) || exit 1
[ "$beyond" -eq 0 ] || e2e_fail "the player passed the fence ($beyond pixels changed above it)"
e2e_hold 1 Up
e2e_still "$WORK/again.xwd" "$BAND"
again=$(e2e_diff "$WORK/fence.xwd" "$WORK/again.xwd" "$BAND") || exit 1
[ "$again" -eq 0 ] || e2e_fail "the player moved on at the fence ($again pixels)"

# Talk to Fern once, then walk to the bottom of the window and diagonally up to the creek,
# along its bank into the ford and over it, and off the farm's east edge.
e2e_click 248 300
e2e_wait_line "Fern visit 1"
e2e_hold 2.5 Down
e2e_key_down Right Up
e2e_wait_line "Welcome to Clover Meadow!"
e2e_key_up Right Up
e2e_assert_order "Finished version of level loader: Data\\Maps\\CloverMeadow.fmp!" \
    "There are 3 layers on this map." \
    "Finished version of script loader: Data\\Scripts\\Maps\\CloverMeadow.lua!" \
    "Welcome to Clover Meadow!"

# West off the meadow: back on the farm, whose script does not run a second time.
e2e_hold 3 Left
e2e_wait_line "Finished version of level loader: Data\\Maps\\WillowCreekFarm.fmp!" 2
[ "$(e2e_count_lines "Welcome to Willow Creek Farm!")" -eq 1 ] ||
    e2e_fail "the farm's script ran again on the way back"
e2e_click 248 300
e2e_wait_line "Fern visit 2"
e2e_quit Escape
e2e_pass
