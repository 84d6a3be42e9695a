#!/usr/bin/env bash
# The native game's picture of the farm once it rests, for the browser build's comparison:
#   native_frame.sh GAME ROOT OUT.png
# Apart from the FPS figure nothing on the farm moves before the player does, so this is the
# first frame outside that figure.
source "$(dirname "$0")/../e2e/lib.sh"
out=$3
# e2e_init starts this script again under Xvfb with the arguments it is given: all three.
e2e_init "$1" "$2" "$3"
e2e_link_data
e2e_start
e2e_wait_line "Begin primary game loop"
e2e_find_window
e2e_move 799 599
e2e_still "$WORK/native.xwd" 800x280+0+0
convert "$WORK/native.xwd" "$out" || e2e_fail "could not convert the picture"
e2e_quit
e2e_pass
