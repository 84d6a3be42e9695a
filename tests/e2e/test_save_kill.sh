#!/usr/bin/env bash
# The game killed with SIGKILL at any moment while it saves, again and again: every start after
# that loads a whole save. The player sprints right through an exit to a second map, lands left
# of that map's exit back, and so on: every map change writes the save, several a second.
E2E_NEW_GAME=0
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
e2e_copy_data
ROUNDS=${SAVE_KILL_ROUNDS:-12}

# A second map (the farm's picture again) and exits both ways over most of the window.
cp "$WORK/Data/Maps/WillowCreekFarm.fmp" "$WORK/Data/Maps/Field.fmp"
cat >"$WORK/Data/Scripts/Maps/Field.lua" <<'EOF'
AddMapExit(200, 0, 600, 600, "WillowCreekFarm", 50, 250)
EOF
cat >>"$WORK/Data/Scripts/Maps/WillowCreekFarm.lua" <<'EOF'
SetCollision(false)
AddMapExit(200, 0, 600, 600, "Field", 50, 250)
SetPlayerPosition(50, 250)
EOF
LOADED_RE='^Loaded the save FennowOnline\.sav: map (WillowCreekFarm|Field), [0-9]+ characters\.$'
ARRIVED='Finished version of level loader: Data\Maps\Field.fmp!'

travels=0
for round in $(seq 1 "$ROUNDS"); do
    e2e_start
    e2e_wait_line "Begin primary game loop"
    if [ "$round" -gt 1 ]; then
        grep -aqE "$LOADED_RE" "$LOG" || e2e_fail "round $round: the save did not load whole"
    fi
    e2e_find_window
    e2e_key_down shift Right
    # Until the first map change, then a little longer: between 0.0 and 1.5 s more.
    e2e_wait_line "$ARRIVED"
    sleep "$((RANDOM % 16))e-1"
    kill -KILL "$GAME_PID"
    wait "$GAME_PID" 2>/dev/null
    GAME_PID=""
    timeout 5 xdotool keyup shift Right 2>/dev/null
    travels=$((travels + $(e2e_count_lines "$ARRIVED")))
    [ ! -e "$WORK/FennowOnline.sav.broken" ] || e2e_fail "round $round: a save was found broken"
done
e2e_start
e2e_wait_line "Begin primary game loop"
grep -aqE "$LOADED_RE" "$LOG" || e2e_fail "the last save did not load whole"
e2e_find_window
e2e_quit Escape
e2e_log "$ROUNDS kills, $travels arrivals on the second map"
e2e_pass
