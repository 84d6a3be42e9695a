#!/usr/bin/env bash
# Start-up of the real game: the first run in an empty folder prints its stages in order and
# writes the default key-binding file, the second reads it back; with no Data/ at all the game
# names the missing art, draws placeholders and runs; without any X display, or with no way to
# make the window, it stops at once with status -1 (255) and writes nothing.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
e2e_copy_data
DEFAULTS=("//PRIMARY KEYS:" "Quit ESCAPE NONE" "Up ARROW_UP NONE" "Right ARROW_RIGHT NONE"
    "Down ARROW_DOWN NONE" "Left ARROW_LEFT NONE" "Sprint LSHIFT RSHIFT")

# --- first run ---
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
# The Lua frame opens with a blank line and closes with one.
[ "$(grep -A1 -xF "== Init Lua ==" "$LOG" | sed -n 2p)" = "" ] || e2e_fail "no blank line after Init Lua"
[ "$(grep -B1 -xF "== Lua Init Complete ==" "$LOG" | head -n1)" = "" ] || e2e_fail "no blank line before Lua Init Complete"
cmp -s <(printf '%s\n' "${DEFAULTS[@]}") "$WORK/FennowOnline.cfg" || e2e_fail "the default key-binding file differs"
e2e_find_window
[ "$(xdotool getwindowgeometry "$WIN" | awk '/Geometry/ { print $2 }')" = 800x600 ] || e2e_fail "window is not 800x600"
[ "$(xdotool getwindowname "$WIN")" = Fennow-Online ] || e2e_fail "window title is not Fennow-Online"
e2e_quit
e2e_assert_order "Begin primary game loop" "== Begin Cleanup ==" "== Cleanup Completed =="
[ "$(tail -n1 "$LOG")" = "== Cleanup Completed ==" ] || e2e_fail "cleanup is not the last line"

# --- second run: the file is read, six bindings reported, nothing rewritten ---
e2e_start
e2e_wait_line "Begin primary game loop"
e2e_assert_order "== Read CFG File ==" "Read Quit: ESCAPE NONE" "Read Up: ARROW_UP NONE" \
    "Read Right: ARROW_RIGHT NONE" "Read Down: ARROW_DOWN NONE" "Read Left: ARROW_LEFT NONE" \
    "Read Sprint: LSHIFT RSHIFT" "== Done CFG Read =="
! grep -q "not found" "$LOG" || e2e_fail "file reported missing on the second run"
cmp -s <(printf '%s\n' "${DEFAULTS[@]}") "$WORK/FennowOnline.cfg" || e2e_fail "the file changed"
e2e_find_window
e2e_quit

# --- no Data/ at all ---
mkdir "$WORK/empty"
e2e_start "$WORK/empty"
e2e_wait_line "Begin primary game loop"
for file in 'Tiles\MudTiles.bmp' 'Vornels\MareSprite.png' 'GUI\ChatBubble.png' 'GUI\ChatBox.png' \
    'Vornels\QuillaTemp.png'; do
    e2e_has_line "Could not load Data\\Graphics\\$file, using a placeholder." || e2e_fail "no message for $file"
done
e2e_has_line 'Could not load Data\Graphics\Fonts\a4_font.tga, using the built-in font.' ||
    e2e_fail "no message for the bitmap font"
e2e_find_window
# The placeholder player stands at the top-left corner, below the speed buttons: its yellow
# squares show once the first frames are drawn.
e2e_still "$WORK/no_art.xwd" 120x120+0+40
p=$(convert "$WORK/no_art.xwd" -format '%[fx:int(255*p{56,70}.r)],%[fx:int(255*p{56,70}.g)],%[fx:int(255*p{56,70}.b)]' info:)
[ "$p" = "255,230,0" ] || e2e_fail "no placeholder at the player's place (pixel $p)"
e2e_quit

# --- no display: Allegro's set-up fails right after the init frame ---
rm "$WORK/FennowOnline.cfg"
e2e_start "$WORK" env -u DISPLAY
e2e_wait_exit
e2e_expect_status 255
[ "$(sed -n 1p "$LOG")" = "== Begin Init ==" ] || e2e_fail "first line is not the init frame"
case "$(sed -n 2p "$LOG")" in
"Allegro failed to initialize" | "Allegro could not install the keyboard" | \
    "Allegro could not install the mouse" | "Allegro could not create an Event Queue") ;;
*) e2e_fail "unexpected second line" ;;
esac
[ "$(wc -l <"$LOG")" -eq 2 ] || e2e_fail "more lines after the failure"
[ -e "$WORK/FennowOnline.cfg" ] && e2e_fail "the key-binding file was written"

# --- an X server without GLX: the window cannot be made ---
e2e_start "$WORK" timeout 60 xvfb-run -a -s "-screen 0 1024x768x24 -extension GLX"
e2e_wait_exit 60
e2e_expect_status 255
[ "$(cat "$LOG")" = "$(printf '%s\n' "== Begin Init ==" "Creating display manager" \
    "Display of size 800 by 600 failed to create.")" ] || e2e_fail "console differs"
[ -e "$WORK/FennowOnline.cfg" ] && e2e_fail "the key-binding file was written"
e2e_pass
