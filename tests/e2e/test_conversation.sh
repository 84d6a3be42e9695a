#!/usr/bin/env bash
# A conversation on Willow Creek Farm as a player has it: the speed buttons change the figures
# at the top left; a click on Quilla opens the chat box with her portrait and lines; picking
# responses runs her script again with their values; the close response hides the box; a
# press on one character released on another runs nothing; Bramble talks too.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
e2e_copy_data

# The farm's folk stand at (300, 200) and (520, 260); these points lie in their hit boxes.
QUILLA_X=348 QUILLA_Y=250
BRAMBLE_X=568 BRAMBLE_Y=310
# The chat box's corner is (0, 380); its lines start 13 pixels lower, 16 pixels apart.
CHAT_AREA=688x220+0+380
TEXT_COLUMN=450x192+225+393
PORTRAIT=200x192+11+393
row_y() { echo $((380 + 13 + 16 * $1 + 8)); }

# Press and release at one point, with the pointer moved there first as a player would.
click_at() {
    e2e_move "$1" "$2"
    sleep 0.1
    timeout 10 xdotool mousedown --window "$WIN" 1 || e2e_fail "press at $1,$2"
    sleep 0.05
    timeout 10 xdotool mouseup --window "$WIN" 1 || e2e_fail "release at $1,$2"
}

# Pick the response on chat line $1 and wait for the console to confirm value $2.
pick() {
    local before
    before=$(e2e_count_lines "Line response was $2")
    click_at 300 "$(row_y "$1")"
    e2e_wait_count "Line response was $2" $((before + 1))
}

# line_ink SHOT N: how many pixels of chat line N differ from the bare chat box picture.
line_ink() {
    local y=$((13 + 16 * $2))
    convert "$WORK/Data/Graphics/GUI/ChatBox.png" -crop "450x16+225+$y" +repage "$WORK/bare.png" ||
        e2e_fail "crop of the chat box picture"
    convert "$WORK/$1.png" -crop "450x16+225+$((380 + y))" +repage "$WORK/line.png" ||
        e2e_fail "crop of line $2 of $1"
    e2e_diff "$WORK/bare.png" "$WORK/line.png" || exit 1
}

# Takes a screenshot once the next frames are drawn.
shot() {
    sleep 0.4
    e2e_screenshot "$WORK/$1.png"
}

# The portrait as the chat box should show it: the background with the picture over it,
# magenta left out.
expected_portrait() {
    convert "$WORK/Data/Graphics/Portraits/PortraitBackground.png" \
        \( "$WORK/Data/Graphics/Portraits/$1" -transparent "#FF00FF" \) -composite \
        "$WORK/expected_$1" || e2e_fail "could not compose the expected portrait"
    echo "$WORK/expected_$1"
}

e2e_start
e2e_wait_line "Welcome to Willow Creek Farm!"
e2e_wait_line "Begin primary game loop"
e2e_find_window
e2e_move 750 100
shot start

# --- Speed buttons: the walk speed figure (2.200 at 5, 21) changes after a click on +1.0.
click_at 8 8
e2e_wait_line "Gui handled mouse up event"
shot faster
n=$(e2e_diff "$WORK/start.png" "$WORK/faster.png" 60x12+0+19) || exit 1
[ "$n" -gt 0 ] || e2e_fail "the walk speed figure did not change after the +1.0 button"
# The sprint figure (at 73, 21) stays as it was.
n=$(e2e_diff "$WORK/start.png" "$WORK/faster.png" 50x12+70+19) || exit 1
[ "$n" -eq 0 ] || e2e_fail "the sprint figure changed ($n pixels) after a walk speed button"

# --- Quilla: press and release on her open the chat box with her portrait and lines.
calls=$(e2e_count_lines "Mouse up event thrown to Environment")
click_at $QUILLA_X $QUILLA_Y
e2e_wait_count "Mouse up event thrown to Environment" $((calls + 1))
shot quilla
n=$(e2e_diff "$WORK/start.png" "$WORK/quilla.png" $CHAT_AREA) || exit 1
[ "$n" -gt 50000 ] || e2e_fail "the chat box did not open on a click on Quilla ($n pixels)"
expected_portrait QuillaPortrait.png >/dev/null
convert "$WORK/quilla.png" -crop "$PORTRAIT" +repage "$WORK/quilla_portrait.png"
n=$(e2e_diff "$WORK/expected_QuillaPortrait.png" "$WORK/quilla_portrait.png") || exit 1
[ "$n" -eq 0 ] || e2e_fail "Quilla's portrait differs from her picture in $n pixels"
# Lines with text differ from the bare chat box picture; the lines left empty do not.
[ "$(line_ink quilla 0)" -gt 100 ] || e2e_fail "no text on chat line 0"
[ "$(line_ink quilla 5)" -gt 100 ] || e2e_fail "no response on chat line 5"
[ "$(line_ink quilla 10)" -eq 0 ] || e2e_fail "chat line 10 should be empty"

# First page: four lines, a blank, then the responses on lines 5 to 7.
pick 5 1 # "What grows here?"
e2e_wait_line 'Calling Script: Data\Scripts\Quilla.lua with value 1'
shot crops
n=$(e2e_diff "$WORK/quilla.png" "$WORK/crops.png" $TEXT_COLUMN) || exit 1
[ "$n" -gt 0 ] || e2e_fail "the dialogue did not change after a response"
pick 7 13 # "Sunflowers. Something tall!"
e2e_wait_line 'Calling Script: Data\Scripts\Quilla.lua with value 13'
e2e_assert_order "Line response was 1" 'Calling Script: Data\Scripts\Quilla.lua with value 1' \
    "Line response was 13" 'Calling Script: Data\Scripts\Quilla.lua with value 13'

# The close response (line 4 of this page) hides the box and runs no script.
pick 4 -3 # "I should get going. Bye!"
shot closed
n=$(e2e_diff "$WORK/start.png" "$WORK/closed.png" $CHAT_AREA) || exit 1
[ "$n" -lt 2000 ] || e2e_fail "the chat box is still shown after the close response ($n)"
[ "$(grep -c '^Calling Script' "$LOG")" -eq 2 ] || e2e_fail "the close response ran a script"

# --- Press on Quilla, release on Bramble: nothing runs, the box stays hidden.
e2e_move $QUILLA_X $QUILLA_Y
sleep 0.1
timeout 10 xdotool mousedown --window "$WIN" 1 || e2e_fail "press on Quilla"
sleep 0.1
e2e_move $BRAMBLE_X $BRAMBLE_Y
sleep 0.1
releases=$(e2e_count_lines "Mouse up event thrown to Environment")
timeout 10 xdotool mouseup --window "$WIN" 1 || e2e_fail "release on Bramble"
e2e_wait_count "Mouse up event thrown to Environment" $((releases + 1))
shot mismatch
n=$(e2e_diff "$WORK/closed.png" "$WORK/mismatch.png" $CHAT_AREA) || exit 1
[ "$n" -lt 2000 ] || e2e_fail "a press on one character and release on another opened the chat"

# --- Bramble: his own portrait and script.
click_at $BRAMBLE_X $BRAMBLE_Y
e2e_wait_count "Mouse up event thrown to Environment" $((releases + 2))
shot bramble
convert "$WORK/bramble.png" -crop "$PORTRAIT" +repage "$WORK/bramble_portrait.png"
n=$(e2e_diff "$(expected_portrait BramblePortrait.png)" "$WORK/bramble_portrait.png") || exit 1
[ "$n" -eq 0 ] || e2e_fail "Bramble's portrait differs from his picture in $n pixels"
# Quilla told him about the crows? Not yet: four lines of greeting, a blank, responses 5 to 7.
pick 5 1 # "Tell me about the bees."
e2e_wait_line 'Calling Script: Data\Scripts\Bramble.lua with value 1'
pick 5 11 # "Yes please!"
e2e_wait_line 'Calling Script: Data\Scripts\Bramble.lua with value 11'
pick 4 -3 # "Thank you! Goodbye."
shot bramble_closed
n=$(e2e_diff "$WORK/start.png" "$WORK/bramble_closed.png" $CHAT_AREA) || exit 1
[ "$n" -lt 2000 ] || e2e_fail "Bramble's chat box is still shown after the close response ($n)"

if grep -q "Lua Error" "$LOG"; then
    e2e_fail "a script failed"
fi
e2e_key Escape
e2e_wait_exit
e2e_expect_status 0
e2e_pass
