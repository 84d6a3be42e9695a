#!/usr/bin/env bash
# The native game's pictures of the farm at rest, one for each step of its flowing water, for
# the browser build's comparison:
#   native_frames.sh GAME ROOT OUTDIR
# Writes OUTDIR/native-1.png ... native-N.png (N = WATER_STEPS), each with the measured FPS
# figure painted out (mask_fps in frames.sh). The player has not moved, so the first frame is
# one of them: the water's first step.
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../e2e/lib.sh"
source "$here/frames.sh"
out=$3
# e2e_init starts this script again under Xvfb with the arguments it is given: all three.
e2e_init "$1" "$2" "$3"
e2e_link_data
e2e_start
e2e_wait_line "Begin primary game loop"
e2e_find_window
e2e_move 799 599
declare -A seen=()
deadline=$((SECONDS + E2E_TIMEOUT))
while [ ${#seen[@]} -lt "$WATER_STEPS" ]; do
    [ $SECONDS -lt $deadline ] || e2e_fail "saw ${#seen[@]} of the water's $WATER_STEPS steps"
    e2e_screenshot "$WORK/shot.xwd"
    mask_fps "$WORK/shot.xwd" "$WORK/shot.png" || e2e_fail "could not convert the picture"
    # A picture of one colour is a window not drawn yet.
    [ "$(identify -format %k "$WORK/shot.png")" -gt 1 ] || continue
    key=$(identify -format '%#' "$WORK/shot.png")
    if [ -z "${seen[$key]:-}" ]; then
        seen[$key]=1
        cp "$WORK/shot.png" "$out/native-${#seen[@]}.png"
    fi
done
e2e_quit
e2e_pass
