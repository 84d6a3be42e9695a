#!/usr/bin/env bash
# A custom key-binding file: W moves up in place of the arrow, Q quits besides Escape.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
e2e_copy_data
rm -rf "$WORK/Data/Maps" "$WORK/Data/Scripts/Maps"
printf '%s\n' "//MY KEYS" "Up W NONE" "Down S NONE" "Quit ESCAPE Q" >"$WORK/FennowOnline.cfg"

e2e_start
e2e_wait_line "Begin primary game loop"
e2e_assert_order "== Read CFG File ==" "Read Up: W NONE" "Read Down: S NONE" \
    "Read Quit: ESCAPE Q" "== Done CFG Read =="
e2e_find_window
band=800x280+0+0

# Walk down first so there is room to walk up again.
e2e_hold 0.6 s
sleep 0.3
e2e_screenshot "$WORK/down.png"
# The up arrow is bound to nothing now.
e2e_hold 0.6 Up
sleep 0.3
e2e_screenshot "$WORK/arrow.png"
n=$(e2e_diff "$WORK/down.png" "$WORK/arrow.png" "$band") || e2e_fail "compare failed"
[ "$n" -eq 0 ] || e2e_fail "the up arrow still moves the character ($n pixels)"
e2e_hold 0.6 w
sleep 0.3
e2e_screenshot "$WORK/w.png"
n=$(e2e_diff "$WORK/arrow.png" "$WORK/w.png" "$band") || e2e_fail "compare failed"
[ "$n" -gt 200 ] || e2e_fail "W did not move the character ($n pixels)"

e2e_key q
e2e_wait_exit
e2e_expect_status 0
e2e_assert_order "== Begin Cleanup ==" "== Cleanup Completed =="
e2e_pass
