#!/usr/bin/env bash
# Clicks on the world (any button; away from the buttons and the chat box area) go to the
# Environment, each press and release reported.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
e2e_copy_data
rm -rf "$WORK/Data/Maps" "$WORK/Data/Scripts/Maps"

e2e_start
e2e_wait_line "Begin primary game loop"
e2e_find_window
clicks=0
for button in 1 3; do
    e2e_click 750 300 "$button"
    clicks=$((clicks + 1))
    e2e_wait_count "Mouse up event thrown to Environment" "$clicks"
done
[ "$(e2e_count_lines "Mouse down event thrown to Environment")" -eq 2 ] || e2e_fail "press lines"
e2e_assert_order "Mouse down event thrown to Environment" "Mouse up event thrown to Environment" \
    "Mouse down event thrown to Environment" "Mouse up event thrown to Environment"
e2e_key Escape
e2e_wait_exit
e2e_expect_status 0
e2e_pass
