#!/usr/bin/env bash
# A faulty key-binding file never stops the game: reading ends at the bad line with its
# message, the lines before it apply, and the file is left untouched.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
e2e_link_data
printf '%s\n' "Quit Q NONE" "" "Up W NONE" >"$WORK/FennowOnline.cfg"
before=$(md5sum <"$WORK/FennowOnline.cfg")

e2e_start
e2e_wait_line "Begin primary game loop"
e2e_assert_order "== Read CFG File ==" "Read Quit: Q NONE" "Read :  " \
    "There is no scancode named " "== Done CFG Read =="
e2e_has_line "Read Up: W NONE" && e2e_fail "reading went on after the blank line"
[ "$(md5sum <"$WORK/FennowOnline.cfg")" = "$before" ] || e2e_fail "the file was changed"
e2e_find_window
# Escape is no Quit key any more; Q is.
e2e_key Escape
sleep 0.5
e2e_running || e2e_fail "Escape still quits"
e2e_key q
e2e_wait_exit
e2e_expect_status 0
e2e_pass
