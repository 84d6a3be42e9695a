#!/usr/bin/env bash
# Shift sprints: holding Shift with Right for as long as Right alone carries the character
# farther. The distance is read from the width of the changed area between screenshots
# (old and new position together), so only the relation of the two walks is checked.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
e2e_copy_data
rm -rf "$WORK/Data/Maps" "$WORK/Data/Scripts/Maps"

# Width of the area that differs between two screenshots inside the walking band.
changed_width() {
    convert "$1" "$2" -crop 800x200+0+0 +repage -compose difference -composite \
        -threshold 0 -format '%@' info: | sed 's/x.*//'
}

e2e_start
e2e_wait_line "Begin primary game loop"
e2e_find_window
sleep 0.5
e2e_screenshot "$WORK/0.png"
e2e_hold 1.0 Right
sleep 0.3
e2e_screenshot "$WORK/1.png"
e2e_key_down shift
sleep 0.1
e2e_hold 1.0 Right
e2e_key_up shift
sleep 0.3
e2e_screenshot "$WORK/2.png"

walk=$(changed_width "$WORK/0.png" "$WORK/1.png")
sprint=$(changed_width "$WORK/1.png" "$WORK/2.png")
e2e_log "changed width walking: $walk, sprinting: $sprint"
[ -n "$walk" ] && [ -n "$sprint" ] || e2e_fail "no change measured"
[ "$sprint" -gt "$walk" ] || e2e_fail "sprinting ($sprint) went no farther than walking ($walk)"

e2e_key Escape
e2e_wait_exit
e2e_expect_status 0
e2e_pass
