#!/usr/bin/env bash
# With no Data/ at all the game names every missing file, draws placeholders and built-in
# text, and still runs until Escape.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"

e2e_start
e2e_wait_line "Begin primary game loop"
for file in 'Data\Graphics\Tiles\MudTiles.bmp' 'Data\Graphics\Vornels\MareSprite.png' \
    'Data\Graphics\GUI\ChatBubble.png' 'Data\Graphics\GUI\ChatBox.png' \
    'Data\Graphics\Vornels\QuillaTemp.png'; do
    e2e_has_line "Could not load $file, using a placeholder." || e2e_fail "no message for $file"
done
e2e_has_line 'Could not load Data\Graphics\Fonts\a4_font.tga, using the built-in font.' ||
    e2e_fail "no message for the bitmap font"
e2e_find_window
sleep 0.5
e2e_screenshot "$WORK/shot.png"
# The placeholder player stands at the top-left corner, below the speed buttons: its yellow
# squares show.
p=$(e2e_pixel "$WORK/shot.png" 56 70) || e2e_fail "pixel read failed"
[ "$p" = "255,230,0" ] || e2e_fail "no placeholder at the player's place (pixel $p)"
e2e_key Escape
e2e_wait_exit
e2e_expect_status 0
e2e_pass
