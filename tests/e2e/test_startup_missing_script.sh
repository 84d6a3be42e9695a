#!/usr/bin/env bash
# Without Data/Scripts/VersionBark.lua the game still starts and reaches its loop.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
e2e_copy_data
rm -f "$WORK/Data/Scripts/VersionBark.lua"

e2e_start
e2e_wait_line "Begin primary game loop"
e2e_assert_order "== Init Lua ==" "== Lua Init Complete ==" "Begin primary game loop"
e2e_find_window
e2e_key Escape
e2e_wait_exit
e2e_expect_status 0
e2e_pass
