#!/usr/bin/env bash
# Saving on the farm as a player meets it: the hen named Pepper is still Pepper after quitting
# with Escape and starting again; --new-game forgets her; a save that cannot be written gives
# one line and the game plays on with the old save untouched; a bad save is moved aside with
# one line and the game starts afresh.
E2E_NEW_GAME=0
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
e2e_copy_data

FERN=(248 300)
CHAT_AREA=688x220+0+380
SAVE=$WORK/FennowOnline.sav
UP="Mouse up event thrown to Environment"
LOADED_RE='^Loaded the save FennowOnline\.sav: map WillowCreekFarm, [0-9]+ characters\.$'

responses() { grep -ac '^Line response was ' "$LOG"; }

# pick LINE: clicks chat line LINE and waits for its response line; prints nothing.
pick() {
    local before
    before=$(responses)
    e2e_click 300 $((380 + 13 + 16 * $1 + 8))
    local deadline=$((SECONDS + E2E_TIMEOUT))
    while [ "$(responses)" -le "$before" ]; do
        [ $SECONDS -lt $deadline ] || e2e_fail "no response from chat line $1"
        sleep 0.05
    done
}

# hens: clicks Fern and picks her first response ("Tell me about the hens.", value 1), whose
# line depends on how the greeting goes today.
hens() {
    local before line
    before=$(e2e_count_lines "$UP")
    e2e_click "${FERN[@]}"
    e2e_wait_line "$UP" $((before + 1))
    for line in $(seq 0 11); do
        pick "$line"
        [ "$(grep -a '^Line response was ' "$LOG" | tail -n1)" = "Line response was -1" ] || break
    done
    [ "$(grep -a '^Line response was ' "$LOG" | tail -n1)" = "Line response was 1" ] ||
        e2e_fail "Fern's first response is not about the hens"
}

start() {
    e2e_start
    e2e_wait_line "Begin primary game loop"
    e2e_find_window
}

# --- A first game: no save yet. Name the hen Pepper (line 6 of the hens page), ask about the
# hens again and keep the page.
start
grep -aqE "$LOADED_RE" "$LOG" && e2e_fail "a save was loaded before there was one"
hens
pick 6
e2e_has_line "Line response was 12" || e2e_fail "Pepper was not picked"
hens
e2e_still "$WORK/named.xwd" "$CHAT_AREA"
e2e_quit Escape
[ -f "$SAVE" ] || e2e_fail "no save after quitting with Escape"
grep -aq '"Pepper"' "$SAVE" || e2e_fail "the save does not hold the hen's name"
[ ! -e "$SAVE.tmp" ] || e2e_fail "the temporary file was left behind"

# --- Started again: the save is loaded, and Fern tells of Pepper on the same page.
start
grep -aqE "$LOADED_RE" "$LOG" || e2e_fail "no line saying the save was loaded"
e2e_has_line "Welcome to Willow Creek Farm!" && e2e_fail "the map script ran again after loading"
hens
e2e_still "$WORK/again.xwd" "$CHAT_AREA"
n=$(e2e_diff "$WORK/named.xwd" "$WORK/again.xwd" "$CHAT_AREA") || exit 1
[ "$n" -eq 0 ] || e2e_fail "Fern's hens page differs after a restart ($n pixels)"
e2e_quit Escape

# --- --new-game: the hen has no name, and the first save replaces the old one.
GAME_ARGS=(--new-game)
start
grep -aqE "$LOADED_RE" "$LOG" && e2e_fail "--new-game loaded the save"
e2e_wait_line "Welcome to Willow Creek Farm!"
hens
e2e_still "$WORK/fresh.xwd" "$CHAT_AREA"
n=$(e2e_diff "$WORK/named.xwd" "$WORK/fresh.xwd" "$CHAT_AREA") || exit 1
[ "$n" -gt 0 ] || e2e_fail "--new-game still knows the hen's name"
e2e_quit Escape
GAME_ARGS=()
grep -aq '"Pepper"' "$SAVE" && e2e_fail "the save of the new game still holds the hen's name"

# --- A folder the game cannot write to (root's right to write anywhere dropped): one line
# for each save tried, the game plays on, and the old save stays as it was.
cp "$SAVE" "$WORK/kept.sav"
chmod a-w "$WORK"
e2e_start "$WORK" setpriv --inh-caps=-all --bounding-set=-all
e2e_wait_line "Begin primary game loop"
e2e_find_window
grep -aqE "$LOADED_RE" "$LOG" || e2e_fail "the save was not loaded from a read-only folder"
hens
pick 8 # "I'll think about it. Bye!" closes the chat box: a save is tried
FAILED="Could not save the game to FennowOnline.sav: cannot create FennowOnline.sav.tmp: Permission denied. The old save is kept."
e2e_wait_line "$FAILED"
hens # the game plays on
e2e_quit Escape
chmod u+w "$WORK"
[ "$(e2e_count_lines "$FAILED")" -eq 2 ] || e2e_fail "expected one line per save tried"
cmp -s "$SAVE" "$WORK/kept.sav" || e2e_fail "the old save changed"

# --- Bad saves: each is moved to FennowOnline.sav.broken with one line, and the game starts
# afresh on the start map. In author mode the line is in the panel at the top right too.
PANEL=356x40+440+4
bad() { # PROBLEM SHOT: the save is in place; starts the game and checks the refusal
    local text
    text=$(cat "$SAVE")
    start
    e2e_still "$WORK/$2.xwd" "$PANEL"
    e2e_wait_line "The save FennowOnline.sav cannot be loaded: $1. It is kept as FennowOnline.sav.broken and the game starts afresh."
    e2e_wait_line "Welcome to Willow Creek Farm!"
    [ "$(cat "$SAVE.broken")" = "$text" ] || e2e_fail "the bad save was not kept whole"
    [ ! -e "$SAVE" ] || e2e_fail "the bad save stayed in place"
    e2e_quit Escape
}
head -c 100 "$WORK/kept.sav" >"$SAVE"
bad "it is cut short" short
sed 's/"version": 1/"version": 99/' "$WORK/kept.sav" >"$SAVE"
bad "its format version 99 is not one this game reads (1)" version
sed 's/"map": "WillowCreekFarm"/"map": "Gone"/; s/"name": "WillowCreekFarm"/"name": "Gone"/' "$WORK/kept.sav" >"$SAVE"
bad 'the map Gone no longer exists (Data\Maps\Gone.fmp)' gone
sed 's/Fern\.lua/Fern2.lua/' "$WORK/kept.sav" >"$SAVE"
GAME_ARGS=(--author)
bad 'the script Data\Scripts\Fern2.lua of Fern on WillowCreekFarm no longer exists' author
n=$(e2e_diff "$WORK/gone.xwd" "$WORK/author.xwd" "$PANEL") || exit 1
[ "$n" -gt 500 ] || e2e_fail "author mode's panel does not show the bad save ($n pixels)"
e2e_pass
