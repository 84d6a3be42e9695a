#!/usr/bin/env bash
# Keys and the mouse in the real game, with no map so that only the character moves: the
# default arrows walk and Shift sprints; a key-binding file rebinds keys; a faulty one stops
# reading at its bad line and the lines before it apply; clicks on the world reach the
# Environment. Movement is read from screenshots of the band where the character walks (the
# FPS text below it changes all the time), each taken once the picture has come to rest.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
e2e_copy_data
rm -rf "$WORK/Data/Maps" "$WORK/Data/Scripts/Maps"
BAND=800x280+0+0
SHOT=0

# walk SECONDS KEY...: holds the keys that long; MOVED is how many pixels of the band changed.
walk() {
    SHOT=$((SHOT + 1))
    e2e_hold "$@"
    e2e_still "$WORK/$SHOT.xwd" "$BAND"
    MOVED=$(e2e_diff "$WORK/$((SHOT - 1)).xwd" "$WORK/$SHOT.xwd" "$BAND") || exit 1
}

# Width of the area that changed between two shots (the old and the new place together).
changed_width() {
    convert "$WORK/$1.xwd" "$WORK/$2.xwd" -crop $BAND +repage -compose difference -composite \
        -threshold 0 -format '%@' info: | sed 's/x.*//'
}

start() {
    e2e_start
    e2e_wait_line "Begin primary game loop"
    e2e_find_window
    e2e_still "$WORK/$SHOT.xwd" "$BAND"
}

# Default keys: every arrow walks, and Shift with Right for as long as Right alone goes farther.
start
for key in Right Down Left Up; do
    walk 0.6 "$key"
    [ "$MOVED" -gt 200 ] || e2e_fail "holding $key changed only $MOVED pixels"
done
walk 1.0 Right
walk 1.0 shift Right
walked=$(changed_width 4 5) sprinted=$(changed_width 5 6)
e2e_log "changed width walking: $walked, sprinting: $sprinted"
[ "${sprinted:-0}" -gt "${walked:-0}" ] || e2e_fail "sprinting ($sprinted) went no farther than walking ($walked)"
e2e_quit Escape

# A rebinding file: S and W walk in place of the arrows, Q quits besides Escape.
printf '%s\n' "//MY KEYS" "Up W NONE" "Down S NONE" "Quit ESCAPE Q" >"$WORK/FennowOnline.cfg"
start
e2e_assert_order "== Read CFG File ==" "Read Up: W NONE" "Read Down: S NONE" \
    "Read Quit: ESCAPE Q" "== Done CFG Read =="
walk 0.6 s
[ "$MOVED" -gt 200 ] || e2e_fail "S did not move the character ($MOVED pixels)"
walk 0.6 Up
[ "$MOVED" -eq 0 ] || e2e_fail "the up arrow still moves the character ($MOVED pixels)"
walk 0.6 w
[ "$MOVED" -gt 200 ] || e2e_fail "W did not move the character ($MOVED pixels)"
e2e_quit q
e2e_assert_order "== Begin Cleanup ==" "== Cleanup Completed =="

# A faulty file: reading ends at the blank line, Quit Q applies, and the file stays as it was.
printf '%s\n' "Quit Q NONE" "" "Up W NONE" >"$WORK/FennowOnline.cfg"
before=$(md5sum <"$WORK/FennowOnline.cfg")
start
e2e_assert_order "== Read CFG File ==" "Read Quit: Q NONE" "Read :  " \
    "There is no scancode named " "== Done CFG Read =="
e2e_has_line "Read Up: W NONE" && e2e_fail "reading went on after the blank line"
[ "$(md5sum <"$WORK/FennowOnline.cfg")" = "$before" ] || e2e_fail "the file was changed"
# Escape quits no more: clicks after it, with either button, are still handled, in order.
e2e_key Escape
e2e_click 750 300 1
e2e_wait_line "Mouse up event thrown to Environment"
e2e_click 750 300 3
e2e_wait_line "Mouse up event thrown to Environment" 2
e2e_assert_order "Mouse down event thrown to Environment" "Mouse up event thrown to Environment" \
    "Mouse down event thrown to Environment" "Mouse up event thrown to Environment"
e2e_quit q
e2e_pass
