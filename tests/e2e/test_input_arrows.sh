#!/usr/bin/env bash
# Holding the arrow keys moves the character: the band of the window where it walks changes
# between screenshots. No map is shipped to the scratch copy, so the ground stays still.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
e2e_copy_data
rm -rf "$WORK/Data/Maps" "$WORK/Data/Scripts/Maps"

e2e_start
e2e_wait_line "Begin primary game loop"
e2e_find_window
sleep 0.5
e2e_screenshot "$WORK/start.png"
sleep 0.3
e2e_screenshot "$WORK/still.png"
# The FPS text (y 288) is outside the band; nothing else moves while no key is held.
band=800x280+0+0
n=$(e2e_diff "$WORK/start.png" "$WORK/still.png" "$band") || e2e_fail "compare failed"
[ "$n" -eq 0 ] || e2e_fail "frame changed without input ($n pixels)"

step=0
for key in Right Down Left Up; do
    step=$((step + 1))
    e2e_hold 0.6 "$key"
    sleep 0.3
    e2e_screenshot "$WORK/after$step.png"
    previous=$([ $step -eq 1 ] && echo "$WORK/still.png" || echo "$WORK/after$((step - 1)).png")
    n=$(e2e_diff "$previous" "$WORK/after$step.png" "$band") || e2e_fail "compare failed"
    e2e_log "$key: $n pixels changed"
    [ "$n" -gt 200 ] || e2e_fail "holding $key changed only $n pixels"
done

e2e_key Escape
e2e_wait_exit
e2e_expect_status 0
e2e_pass
