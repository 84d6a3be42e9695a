#!/usr/bin/env bash
# First run in an empty directory: the start-up stages appear in order, the key-binding file
# is created with the default text, and Escape ends the game with the cleanup lines, status 0.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
e2e_copy_data
rm -f "$WORK/FennowOnline.cfg"

e2e_start
e2e_wait_line "Begin primary game loop"
e2e_assert_order "== Begin Init ==" "Creating display manager" "Creating bitmap library" \
    "Ripping Mud Tiles - L 012345 D done" "Ripping Vornel Stances - LC" \
    " 0 1 2 3 4 5 6 7 S!" "  0   1   2   3   4   5 " " 35  36  37  38  39  40 " " D done" \
    "Ripping Chat Bubble - L 0123 D done" "Ripping Bitmaps Directly - done" \
    "== Done Init ==" "== Read CFG File ==" \
    "CFG File: FennowOnline.cfg not found.  Creating a new one - done" \
    "== Done CFG Read ==" "== Init Lua ==" "== Lua Init Complete ==" "Begin primary game loop"
[ "$(head -n1 "$LOG")" = "== Begin Init ==" ] || e2e_fail "first line is not the init frame"
# "== Init Lua ==" is followed by an empty line, "== Lua Init Complete ==" preceded by one.
grep -A1 -xF "== Init Lua ==" "$LOG" | sed -n 2p | grep -qx '' || e2e_fail "no blank line after Init Lua"
grep -B1 -xF "== Lua Init Complete ==" "$LOG" | head -n1 | grep -qx '' ||
    e2e_fail "no blank line before Lua Init Complete"

expected=$(printf '%s\n' "//PRIMARY KEYS:" "Quit ESCAPE NONE" "Up ARROW_UP NONE" \
    "Right ARROW_RIGHT NONE" "Down ARROW_DOWN NONE" "Left ARROW_LEFT NONE" "Sprint LSHIFT RSHIFT")
[ -f "$WORK/FennowOnline.cfg" ] || e2e_fail "FennowOnline.cfg was not created"
cmp -s <(printf '%s\n' "$expected") "$WORK/FennowOnline.cfg" || e2e_fail "default file differs"

e2e_find_window
geometry=$(xdotool getwindowgeometry "$WIN" | grep Geometry | awk '{print $2}')
[ "$geometry" = "800x600" ] || e2e_fail "window is $geometry, not 800x600"
name=$(xdotool getwindowname "$WIN")
[ "$name" = "Fennow-Online" ] || e2e_fail "window title is '$name'"

e2e_key Escape
e2e_wait_exit
e2e_expect_status 0
e2e_assert_order "Begin primary game loop" "== Begin Cleanup ==" "== Cleanup Completed =="
[ "$(tail -n1 "$LOG")" = "== Cleanup Completed ==" ] || e2e_fail "cleanup is not the last line"

# Second run: the file now exists and is read, six lines reported, nothing rewritten.
e2e_start
e2e_wait_line "Begin primary game loop"
e2e_assert_order "== Read CFG File ==" "Read Quit: ESCAPE NONE" "Read Up: ARROW_UP NONE" \
    "Read Right: ARROW_RIGHT NONE" "Read Down: ARROW_DOWN NONE" "Read Left: ARROW_LEFT NONE" \
    "Read Sprint: LSHIFT RSHIFT" "== Done CFG Read =="
grep -q "not found" "$LOG" && e2e_fail "file reported missing on the second run"
cmp -s <(printf '%s\n' "$expected") "$WORK/FennowOnline.cfg" || e2e_fail "file changed"
e2e_find_window
e2e_key Escape
e2e_wait_exit
e2e_expect_status 0
e2e_pass
