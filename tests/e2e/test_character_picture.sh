#!/usr/bin/env bash
# A character with a picture of its own in the real game: Fern, spawned by the farm's map
# script with the sprite name "Fern", is drawn from Data/Graphics/Characters/Fern.png (its
# colour keys see-through), not with the default sprite; a click on her opens her
# conversation with her portrait, a response runs her script again, and her goodbye closes
# the box. Her conversation's first page grows by a line on some days, so responses are found
# by their bubbles rather than by fixed line numbers.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
e2e_copy_data
PICTURE="$WORK/Data/Graphics/Characters/Fern.png"
DEFAULT="$WORK/Data/Graphics/Vornels/BrambleTemp.png"
# Fern's picture has its corner at (200, 250); her hit box is 232..264 by 268..336.
AREA=96x96+200+250
FERN=(248 302)
CHAT_AREA=688x220+0+380
PORTRAIT=200x192+11+393
UP="Mouse up event thrown to Environment"

# colour IMAGE X Y: the pixel as "r,g,b" (alpha left out).
colour() {
    convert "$1" -depth 8 -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info: ||
        e2e_fail "could not read $1 at $2,$3"
}

# responses SHOT: the chat lines (0 to 11) that show a response bubble at their left end.
responses() {
    local line
    for line in $(seq 0 11); do
        convert "$WORK/Data/Graphics/GUI/ChatBox.png" -crop "16x16+225+$((13 + 16 * line))" +repage \
            \( "$WORK/Data/Graphics/GUI/ResponseBubble.png" -transparent "#FF00FF" -transparent "#404040" \) \
            -composite "$WORK/bubble.png" || e2e_fail "could not compose a bubble"
        convert "$WORK/$1.xwd" -crop "16x16+225+$((393 + 16 * line))" +repage "$WORK/row.png" || e2e_fail "crop of $1"
        [ "$(e2e_diff "$WORK/bubble.png" "$WORK/row.png")" = 0 ] && echo "$line"
    done
}

# pick LINE VALUE: clicks the response on chat line LINE and waits for its value.
pick() {
    local before
    before=$(e2e_count_lines "Line response was $2")
    e2e_click 300 $((380 + 13 + 16 * $1 + 8))
    e2e_wait_line "Line response was $2" $((before + 1))
}

e2e_start
e2e_wait_line "Begin primary game loop"
e2e_find_window
e2e_move 790 590
e2e_still "$WORK/start.xwd" "$AREA"

# --- Her picture: at a few points of her figure the window shows the file's colours, which
# the default sprite does not have there.
for point in "48 60" "60 45" "40 50" "44 80"; do
    read -r x y <<<"$point"
    own=$(colour "$PICTURE" "$x" "$y") || exit 1
    [ "$own" != "255,0,255" ] || e2e_fail "point $x,$y is not on Fern's figure in the picture file"
    [ "$own" != "$(colour "$DEFAULT" "$x" "$y")" ] || e2e_fail "the default sprite has Fern's colour at $x,$y"
    shown=$(colour "$WORK/start.xwd" $((200 + x)) $((250 + y))) || exit 1
    [ "$shown" = "$own" ] || e2e_fail "at $x,$y of Fern's picture the window shows $shown, the file $own"
done
# The whole picture, its colour keys see-through, over the map as the map tool renders it.
"$TOOLS/fennow-maptool" render "$WORK/Data/Maps/WillowCreekFarm.fmp" "$WORK/map.png" --size 800x600 >/dev/null ||
    e2e_fail "the map tool could not render the start map"
convert "$WORK/map.png" \( "$PICTURE" -transparent "#FF00FF" -transparent "#404040" \) -geometry +200+250 \
    -composite "$WORK/expected.png" || e2e_fail "could not compose Fern over the map"
n=$(e2e_diff "$WORK/expected.png" "$WORK/start.xwd" "$AREA") || exit 1
[ "$n" -eq 0 ] || e2e_fail "Fern's place differs from her picture over the map in $n pixels"

# --- Talking to her: her portrait and a first page with responses.
e2e_click "${FERN[@]}"
e2e_wait_line "$UP"
e2e_still "$WORK/fern.xwd" "$CHAT_AREA"
convert "$WORK/Data/Graphics/Portraits/PortraitBackground.png" \( "$WORK/Data/Graphics/Portraits/FernPortrait.png" \
    -transparent "#FF00FF" \) -composite "$WORK/portrait.png" || e2e_fail "could not compose Fern's portrait"
convert "$WORK/fern.xwd" -crop "$PORTRAIT" +repage "$WORK/shown.png" || e2e_fail "crop of the portrait"
n=$(e2e_diff "$WORK/portrait.png" "$WORK/shown.png") || exit 1
[ "$n" -eq 0 ] || e2e_fail "the portrait differs from Fern's in $n pixels"
mapfile -t rows < <(responses fern)
[ "${#rows[@]}" -eq 3 ] || e2e_fail "Fern's first page shows ${#rows[@]} responses, not 3 (${rows[*]})"

pick "${rows[0]}" 1 # "Tell me about the hens."
e2e_wait_line 'Calling Script: Data\Scripts\Fern.lua with value 1'
e2e_still "$WORK/hens.xwd" "$CHAT_AREA"
n=$(e2e_diff "$WORK/fern.xwd" "$WORK/hens.xwd" 450x192+225+393) || exit 1
[ "$n" -gt 0 ] || e2e_fail "the dialogue did not change after a response"

# Her goodbye is the last response of the page: it closes the box and runs nothing.
mapfile -t rows < <(responses hens)
[ "${#rows[@]}" -ge 2 ] || e2e_fail "the second page shows ${#rows[@]} responses"
pick "${rows[-1]}" -3
e2e_still "$WORK/closed.xwd" "$CHAT_AREA"
n=$(e2e_diff "$WORK/start.xwd" "$WORK/closed.xwd" $CHAT_AREA) || exit 1
[ "$n" -lt 2000 ] || e2e_fail "the chat box is still shown after Fern's goodbye ($n pixels)"
[ "$(grep -c '^Calling Script' "$LOG")" -eq 1 ] || e2e_fail "the goodbye ran a script"
! grep -q "Lua Error\|Could not load" "$LOG" || e2e_fail "a script or picture failed"
e2e_quit
e2e_pass
