#!/usr/bin/env bash
# A conversation on Willow Creek Farm as a player has it: the speed buttons change the figures
# at the top left; a click on Quilla opens the chat box with her portrait and lines; picking
# responses runs her script again with their values; the close response hides the box; a
# press on one character released on another runs nothing; Bramble's click runs his own script.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
e2e_copy_data

# The farm's folk stand at (300, 200) and (520, 260); these points lie in their hit boxes.
QUILLA=(348 250)
BRAMBLE=(568 310)
# The chat box's corner is (0, 380); its lines start 13 pixels lower, 16 pixels apart.
CHAT_AREA=688x220+0+380
PORTRAIT=200x192+11+393
UP="Mouse up event thrown to Environment"

# shot NAME [GEOMETRY]: a screenshot once the picture inside GEOMETRY (the chat area) rests.
shot() { e2e_still "$WORK/$1.xwd" "${2:-$CHAT_AREA}"; }

# pick LINE VALUE: clicks the response on chat line LINE and waits for its value.
pick() {
    local before
    before=$(e2e_count_lines "Line response was $2")
    e2e_click 300 $((380 + 13 + 16 * $1 + 8))
    e2e_wait_line "Line response was $2" $((before + 1))
}

# line_ink SHOT N: how many pixels of chat line N differ from the bare chat box picture.
line_ink() {
    convert "$WORK/$1.xwd" -crop "$CHAT_AREA" +repage "$WORK/box.png" || exit 1
    e2e_diff "$WORK/Data/Graphics/GUI/ChatBox.png" "$WORK/box.png" "450x16+225+$((13 + 16 * $2))"
}

# portrait SHOT PICTURE: the chat box shows the background with PICTURE over it, magenta left out.
portrait() {
    convert "$WORK/Data/Graphics/Portraits/PortraitBackground.png" \( "$WORK/Data/Graphics/Portraits/$2" \
        -transparent "#FF00FF" \) -composite "$WORK/expected.png" || e2e_fail "could not compose $2"
    convert "$WORK/$1.xwd" -crop "$PORTRAIT" +repage "$WORK/shown.png" || e2e_fail "crop of $1"
    n=$(e2e_diff "$WORK/expected.png" "$WORK/shown.png") || exit 1
    [ "$n" -eq 0 ] || e2e_fail "the portrait in $1 differs from $2 in $n pixels"
}

e2e_start
e2e_wait_line "Welcome to Willow Creek Farm!"
e2e_wait_line "Begin primary game loop"
e2e_find_window
e2e_move 750 100
shot start

# --- Speed buttons: the walk speed figure (2.200 at 5, 21) changes after a click on +1.0;
# the sprint figure (at 73, 21) stays as it was.
shot figures 120x12+0+19
e2e_click 8 8
e2e_wait_line "Gui handled mouse up event"
e2e_move 750 100
shot faster 120x12+0+19
n=$(e2e_diff "$WORK/figures.xwd" "$WORK/faster.xwd" 60x12+0+19) || exit 1
[ "$n" -gt 0 ] || e2e_fail "the walk speed figure did not change after the +1.0 button"
n=$(e2e_diff "$WORK/figures.xwd" "$WORK/faster.xwd" 50x12+70+19) || exit 1
[ "$n" -eq 0 ] || e2e_fail "the sprint figure changed ($n pixels) after a walk speed button"

# --- Quilla: her portrait and lines; lines with text differ from the bare chat box, empty
# ones do not. First page: four lines, a blank, then the responses on lines 5 to 7.
e2e_click "${QUILLA[@]}"
e2e_wait_line "$UP"
shot quilla
n=$(e2e_diff "$WORK/start.xwd" "$WORK/quilla.xwd" $CHAT_AREA) || exit 1
[ "$n" -gt 50000 ] || e2e_fail "the chat box did not open on a click on Quilla ($n pixels)"
portrait quilla QuillaPortrait.png
[ "$(line_ink quilla 0)" -gt 100 ] || e2e_fail "no text on chat line 0"
[ "$(line_ink quilla 5)" -gt 100 ] || e2e_fail "no response on chat line 5"
[ "$(line_ink quilla 10)" -eq 0 ] || e2e_fail "chat line 10 should be empty"

pick 5 1 # "What grows here?"
e2e_wait_line 'Calling Script: Data\Scripts\Quilla.lua with value 1'
shot crops
n=$(e2e_diff "$WORK/quilla.xwd" "$WORK/crops.xwd" 450x192+225+393) || exit 1
[ "$n" -gt 0 ] || e2e_fail "the dialogue did not change after a response"
pick 7 13 # "Sunflowers. Something tall!"
e2e_wait_line 'Calling Script: Data\Scripts\Quilla.lua with value 13'
e2e_assert_order "Line response was 1" 'Calling Script: Data\Scripts\Quilla.lua with value 1' \
    "Line response was 13" 'Calling Script: Data\Scripts\Quilla.lua with value 13'

# The close response (line 4 of this page) hides the box and runs no script.
pick 4 -3 # "I should get going. Bye!"
shot closed
n=$(e2e_diff "$WORK/start.xwd" "$WORK/closed.xwd" $CHAT_AREA) || exit 1
[ "$n" -lt 2000 ] || e2e_fail "the chat box is still shown after the close response ($n)"
[ "$(grep -c '^Calling Script' "$LOG")" -eq 2 ] || e2e_fail "the close response ran a script"

# --- Press on Quilla, release on Bramble: nothing runs, the box stays hidden.
timeout 10 xdotool mousemove --window "$WIN" "${QUILLA[@]}" mousedown 1 \
    mousemove --window "$WIN" "${BRAMBLE[@]}" mouseup 1 || e2e_fail "press on Quilla, release on Bramble"
e2e_wait_line "$UP" 2
shot mismatch
n=$(e2e_diff "$WORK/closed.xwd" "$WORK/mismatch.xwd" $CHAT_AREA) || exit 1
[ "$n" -lt 2000 ] || e2e_fail "a press on one character and release on another opened the chat"

# --- Bramble: his own portrait, and his own script runs for a response.
e2e_click "${BRAMBLE[@]}"
e2e_wait_line "$UP" 3
shot bramble
portrait bramble BramblePortrait.png
pick 5 1 # "Tell me about the bees."
e2e_wait_line 'Calling Script: Data\Scripts\Bramble.lua with value 1'
! grep -q "Lua Error" "$LOG" || e2e_fail "a script failed"
e2e_quit
e2e_pass
