#!/usr/bin/env bash
# The game's data files broken one at a time (all pictures missing at once is test_startup).
# Each case starts the game in a folder of its own whose Data/ links to the repository's files
# with the one file replaced, waits for the loop, clicks a character when the file is read then,
# waits for the lines the game must print, quits with Escape and checks status 0, the cleanup
# line, the lines that must not appear and that nothing crashed. Every case runs; a table of
# outcomes follows, and the test fails if any case did.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
MAPTOOL="$TOOLS/fennow-maptool"
[ -x "$MAPTOOL" ] || e2e_fail "no map tool at $MAPTOOL"

# Damage to the case's file $FILE: its link is replaced by a file of the case's own.
own() {
    rm -rf "${CASE:?}/Data/$FILE" && mkdir -p "$(dirname "$CASE/Data/$FILE")" && echo "$CASE/Data/$FILE"
}
missing() { rm -f "$CASE/Data/$FILE"; }
text() { printf "$1" >"$(own)"; }
cut() { # cut N or N%: the first N bytes or N per cent of the file
    local keep=$1
    [ "${1%\%}" != "$1" ] && keep=$(($(stat -L -c %s "$ROOT/Data/$FILE") * ${1%\%} / 100))
    head -c "$keep" "$ROOT/Data/$FILE" >"$(own)"
}
random() { # the same 4096 bytes on every run
    LC_ALL=C awk 'BEGIN { srand(7); for (i = 0; i < 4096; i++) printf "%c", int(rand() * 256) }' >"$(own)"
}
resize() { convert "$ROOT/Data/$FILE" -resize "$1" "${FILE##*.}:$(own)" || e2e_fail "resize $FILE"; }
poke() { # poke OFFSET HEX...: bytes written over a copy of the file
    local path offset=$1 byte
    path=$(own) && cp "$ROOT/Data/$FILE" "$path" && shift
    for byte in "$@"; do
        printf "\\x$byte" | dd of="$path" bs=1 seek="$offset" conv=notrunc status=none
        offset=$((offset + 1))
    done
}
# As root a folder's mode alone does not stop writing: drop the capability that ignores it.
unwritable() {
    chmod 555 "$CASE"
    [ "$(id -u)" = 0 ] && PREFIX=(setpriv --bounding-set=-dac_override,-dac_read_search --)
}

declare -A CLICK=([-]="" [quilla]="348 250" [bramble]="568 310")
CASES=0
FAILED=0
echo "| file | damage | outcome |"
# check FILE DAMAGE CLICK LINE...: one case. FILE is relative to Data/; DAMAGE is run by the
# shell; CLICK is -, quilla or bramble. A LINE starting with "!" must not appear; one starting
# with "~" is an extended regular expression for a whole line.
check() {
    FILE=$1
    CASES=$((CASES + 1))
    CASE="$WORK/case$CASES"
    mkdir "$CASE" && cp -rs "$ROOT/Data" "$CASE/Data" || e2e_fail "could not link Data"
    if (
        E2E_NAME="$1, $2" LOG="$CASE.log"
        PREFIX=()
        trap e2e_stop EXIT
        eval "$2" || e2e_fail "could not damage $FILE"
        e2e_start "$CASE" "${PREFIX[@]}"
        e2e_wait_line "Begin primary game loop"
        e2e_find_window
        # shellcheck disable=SC2086
        [ -n "${CLICK[$3]}" ] && e2e_click ${CLICK[$3]}
        for line in "${@:4}"; do
            case $line in [!~!]*) e2e_wait_line "$line" ;; esac
        done
        e2e_quit
        e2e_has_line "== Cleanup Completed ==" || e2e_fail "no cleanup line"
        ! grep -aE 'Sanitizer|runtime error|Segmentation|Aborted' "$LOG" || e2e_fail "a crash report"
        for line in "${@:4}"; do
            case $line in
            !*) ! e2e_has_line "${line:1}" || e2e_fail "a line '${line:1}'" ;;
            ~*) grep -aqxE -- "${line:1}" "$LOG" || e2e_fail "no line matching '${line:1}'" ;;
            esac
        done
    ); then
        echo "| $1 | $2 | ok |"
    else
        echo "| $1 | $2 | FAIL |"
        FAILED=$((FAILED + 1))
    fi
    chmod -R u+w "$CASE" && rm -rf "$CASE" "$CASE.log"
}

# The key-binding file sits in the working folder, beside Data/.
CFG=../FennowOnline.cfg
check $CFG random - '~(Something is wrong with your CFG file\.|There is no scancode named .*)'
check $CFG 'text "%0100000d"' - 'Something is wrong with your CFG file.'
check $CFG 'mkdir "$(own)"' - 'CFG File: FennowOnline.cfg could not be read.  Using the defaults.'
check $CFG unwritable - 'CFG File: FennowOnline.cfg not found.  Creating a new one - failed' \
    'CFG File: FennowOnline.cfg could not be created.  Using the defaults.'

# Fonts fall back to the built-in font; portraits are read when a character's script asks.
check Graphics/Fonts/a4_font.tga 'text ""' - \
    'Could not load Data\Graphics\Fonts\a4_font.tga, using the built-in font.'
check Graphics/Fonts/a4_font.tga 'cut 50%' - \
    '~Data\\Graphics\\Fonts\\a4_font\.tga holds [0-9]+ characters, not the 95 from space to tilde, using the built-in font\.'
check Graphics/Fonts/Courier.ttf 'cut 50%' - 'Data\Graphics\Fonts\Courier.ttf draws no text, using the built-in font.'
check Graphics/Fonts/MarwickMedium.ttf 'text ""' - \
    'Could not load Data\Graphics\Fonts\MarwickMedium.ttf, using the built-in font.'
check Graphics/Portraits/BramblePortrait.png missing bramble \
    'Could not load portrait Data\Graphics\Portraits\BramblePortrait.png.'
check Graphics/Portraits/PortraitBackground.png random quilla \
    'Could not load portrait Data\Graphics\Portraits\PortraitBackground.png.'

# Sheets cut into frames need their size; pictures used whole are taken at any size.
placeholder() { printf 'Could not load Data\\Graphics\\%s, using a placeholder.' "$1"; }
small() { printf 'Data\\Graphics\\%s is %s pixels, smaller than %s, using a placeholder.' "$@"; }
check Graphics/Vornels/MareSprite.png 'cut 50%' - "$(placeholder 'Vornels\MareSprite.png')"
check Graphics/Vornels/MareSprite.png 'resize 50%' - "$(small 'Vornels\MareSprite.png' '1440 x 144' '2880 x 288')"
check Graphics/Vornels/MareSprite.png 'resize 200%' - "!$(placeholder 'Vornels\MareSprite.png')"
# Allegro's own BMP reader takes a file cut short.
check Graphics/Tiles/MudTiles.bmp 'cut 50%' - "$(placeholder 'Tiles\MudTiles.bmp')"
check Graphics/Tiles/MudTiles.bmp "resize '7x3!'" - "$(small 'Tiles\MudTiles.bmp' '7 x 3' '96 x 64')"
check Graphics/GUI/ChatBubble.png 'resize 50%' - "$(small 'GUI\ChatBubble.png' '80 x 20' '152 x 32')"
check Graphics/Misc/MouseImg.bmp 'cut 50%' - "$(placeholder 'Misc\MouseImg.bmp')"
check Graphics/Vornels/QuillaTemp.png 'resize 300%' - "!$(placeholder 'Vornels\QuillaTemp.png')"
# A character's own picture that cannot be decoded is named when the map script spawns her, and
# the default sprite is drawn instead.
check Graphics/Characters/Fern.png 'cut 50%' - \
    'Could not load Data\Graphics\Characters\Fern.png, using the default character sprite.'

# A start map that cannot be read, before its container is open and after: the game says so,
# runs no map script and goes on with its mud ground (every way of breaking the file is a case
# of the loader's unit tests). The start map has run-length rows: BODY data opens with a count.
MAP=Maps/WillowCreekFarm.fmp
BODY=$("$MAPTOOL" info "$ROOT/Data/$MAP" | awk '$1 == "BODY" && $5 == "offset" { print $6; exit }')
[ -n "$BODY" ] && "$MAPTOOL" info "$ROOT/Data/$MAP" | grep -q 'map type 2' || e2e_fail "the start map changed form"
NO_MAP=('Finished version of level loader: Data\Maps\WillowCreekFarm.fmp!'
    'Failed to load WillowCreekFarm : -1.  Map Manager aborts loading.' '!There are 3 layers on this map.'
    '!Finished version of script loader: Data\Scripts\Maps\WillowCreekFarm.lua!' '!Welcome to Willow Creek Farm!')
check $MAP missing - "${NO_MAP[@]}"
check $MAP 'cut 50%' - "${NO_MAP[@]}"
check $MAP "poke $((BODY + 10)) ff 7f" - "${NO_MAP[@]}"

# Scripts: each failure is one line naming the script, and the game goes on.
check Scripts/VersionBark.lua missing - \
    'Lua Error during Loading: cannot open Data\Scripts\VersionBark.lua: No such file or directory' \
    'Welcome to Willow Creek Farm!' '== Lua Init Complete =='
check Scripts/RunOnce.lua 'text "Farm = {}\nerror(\"no farm today\")\n"' - \
    'Lua Error during Execution: Data\Scripts\RunOnce.lua:2: no farm today' '== Lua Init Complete =='
check Scripts/Maps/WillowCreekFarm.lua missing - 'There are 3 layers on this map.' \
    'Lua Error during Loading: cannot open Data\Scripts\Maps\WillowCreekFarm.lua: No such file or directory'
check Scripts/Bramble.lua 'text "SetDialogueLine(0, \"Hello\")\nlocal farm = nil\nprint(farm.name)\n"' bramble \
    "Lua Error during Execution: Data\\Scripts\\Bramble.lua:3: attempt to index local 'farm' (a nil value)"
# The host stops a script after 5 s.
check Scripts/Quilla.lua 'text "SetDialogueLine(0, \"Thinking...\")\nwhile true do end\n"' quilla \
    'Lua Error during Execution: Data\Scripts\Quilla.lua:2: script stopped after running for 5 seconds'

[ "$FAILED" = 0 ] || e2e_fail "$FAILED of $CASES cases failed"
e2e_pass
