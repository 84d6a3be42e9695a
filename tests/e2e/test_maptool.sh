#!/usr/bin/env bash
# The map tool as a map author uses it: import the start map from Tiled and make it from its
# description, read it back with info --json, check it and damaged copies of it, render it,
# and feed every command bad input.
source "$(dirname "$0")/lib.sh"
e2e_paths "$@"
e2e_scratch
TOOL="$TOOLS/fennow-maptool"

# run NAME COMMAND...: runs the tool, keeping stdout, stderr and the status.
run() {
    local label=$1
    shift
    "$TOOL" "$@" >"$WORK/$label.out" 2>"$WORK/$label.err"
    STATUS=$?
    [ $STATUS -lt 128 ] || e2e_fail "$label: the tool crashed (status $STATUS)"
}

# expect_refusal LABEL PATTERN COMMAND...: the tool fails with one line matching PATTERN.
expect_refusal() {
    local label=$1 pattern=$2
    shift 2
    run "$label" "$@"
    [ $STATUS -ne 0 ] || e2e_fail "$label: accepted"
    [ "$(wc -l <"$WORK/$label.err")" -eq 1 ] || e2e_fail "$label: not one line: $(cat "$WORK/$label.err")"
    grep -q -- "$pattern" "$WORK/$label.err" || e2e_fail "$label: '$(cat "$WORK/$label.err")' lacks '$pattern'"
}

[ -x "$TOOL" ] || e2e_fail "no tool at $TOOL"
cd "$WORK" || e2e_fail "no scratch directory"

# --- import: the committed start map is exactly the import of its Tiled source ---
run import import "$ROOT/tools/maps/WillowCreekFarm.tmx" farm.fmp
[ $STATUS -eq 0 ] || e2e_fail "import: $(cat import.err)"
[ ! -s import.err ] || e2e_fail "import of the start map warns: $(cat import.err)"
cmp -s farm.fmp "$ROOT/Data/Maps/WillowCreekFarm.fmp" ||
    e2e_fail "Data/Maps/WillowCreekFarm.fmp is out of date: run import on tools/maps/WillowCreekFarm.tmx"

# --- make: the JSON description still makes the same picture ---
run make make "$ROOT/tools/maps/WillowCreekFarm.json" made.fmp
[ $STATUS -eq 0 ] || e2e_fail "make: $(cat make.err)"
run madeimage render made.fmp made.png
run farmimage render farm.fmp farmimage.png
[ "$(compare -metric AE made.png farmimage.png null: 2>&1)" = "0" ] ||
    e2e_fail "the JSON description and the Tiled map of the farm draw different pictures"

# --- info --json ---
run info info farm.fmp --json
[ $STATUS -eq 0 ] || e2e_fail "info: $(cat info.err)"
python3 -c '
import json, sys
d = json.load(open(sys.argv[1]))
h = d["header"]
assert d["error"] == "MapOk", d["error"]
assert (h["mapWidth"], h["mapHeight"], h["blockWidth"], h["blockHeight"]) == (25, 19, 32, 32), h
assert (h["mapType"], h["blockDepth"], h["byteOrder"]) == (2, 32, "le"), h
ids = [c["id"] for c in d["chunks"]]
assert ids[0] == "MPHD" and "BGFX" in ids and ids[-3:] == ["BODY", "LYR1", "LYR2"], ids
assert d["layers"] == [0, 1, 2] and d["drawnLayers"] == 3, d["layers"]
assert d["blocks"] == h["blockCount"] and d["graphics"] == h["graphicCount"]
a = d["animations"]
# the animated tiles the farm uses (open water, lily pads and ten shores); after the reset
# each shows its first frame
assert len(a) == 12 and [x["cell"] for x in a] == list(range(-12, 0)), a
assert all(x["type"] == 1 and len(x["frames"]) == 3 and x["shows"] == x["frames"][0] for x in a), a
' info.out || e2e_fail "info --json does not describe the start map"
run infotext info farm.fmp
grep -q "^layers: 3 present" infotext.out || e2e_fail "info text: $(cat infotext.out)"

# --- check ---
run check check farm.fmp
[ $STATUS -eq 0 ] || e2e_fail "check of the start map: $(cat check.out check.err)"
grep -q "^MapOk: " check.out || e2e_fail "check: $(cat check.out)"

# check_fails LABEL ERRORNAME FILE
check_fails() {
    run "$1" check "$3"
    [ $STATUS -ne 0 ] || e2e_fail "$1: check passed"
    grep -q "^$2: " "$1.out" || e2e_fail "$1: expected $2, got '$(cat "$1.out" "$1.err")'"
}
head -c 2000 farm.fmp >cut.fmp
check_fails cut MapBadFile cut.fmp
check_fails missing MapCannotOpen nothing-here.fmp

# --- render ---
run render render farm.fmp farm.png
[ $STATUS -eq 0 ] || e2e_fail "render: $(cat render.err)"
[ "$(identify -format '%wx%h' farm.png)" = "800x608" ] || e2e_fail "render size $(identify -format '%wx%h' farm.png)"
run window render farm.fmp window.png --size 800x600
[ "$(identify -format '%wx%h' window.png)" = "800x600" ] || e2e_fail "render --size"
run ground render farm.fmp ground.png --layer 0
[ $STATUS -eq 0 ] || e2e_fail "render --layer 0: $(cat ground.err)"
# The pond (layer 1) is drawn over grass: one layer alone differs from all three there.
[ "$(compare -metric AE -crop 160x96+592+48 farm.png ground.png null: 2>&1)" != "0" ] ||
    e2e_fail "render --layer 0 shows the pond"

# --- render --characters: the farm's script places its characters; each is drawn with its
# hit box (yellow) and feet (red), and listed; so are its exits (green) over its solid cells
# (blue) ---
(cd "$ROOT" && "$TOOL" render Data/Maps/WillowCreekFarm.fmp "$WORK/people.png" --characters \
    >"$WORK/people.out" 2>"$WORK/people.err") || e2e_fail "render --characters: $(cat people.err)"
grep -qxF 'Character Quilla at (300, 200): hit box (332, 218) to (364, 286), feet (332, 272) to (364, 286)' \
    people.out || e2e_fail "render --characters does not list Quilla: $(cat people.out)"
pixel() { convert "$1" -crop "1x1+$2+$3" +repage -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}' | head -1; }
[ "$(pixel people.png 332 218)" = "#FFFF00" ] || e2e_fail "no hit box at Quilla's corner"
[ "$(pixel people.png 348 286)" = "#FF0000" ] || e2e_fail "no feet at Quilla's bottom edge"
[ "$(pixel farm.png 348 250)" != "$(pixel people.png 348 250)" ] || e2e_fail "Quilla is not drawn"
grep -qxF 'Exit (752, 0) to (800, 600) leads to CloverMeadow at (60, 250)' people.out ||
    e2e_fail "render --characters does not list the farm's exit: $(cat people.out)"
[ "$(pixel people.png 752 300)" = "#00E600" ] || e2e_fail "no exit drawn at the farm's east edge"
grep -qE '^[1-9][0-9]* solid cells of [0-9]+ x [0-9]+ pixels$' people.out ||
    e2e_fail "render --characters counts no solid cells on the farm: $(cat people.out)"
[ "$(convert people.png -fill black +opaque '#0078FF' -format '%[fx:mean>0]' info:)" = 1 ] ||
    e2e_fail "no solid cell is outlined on the farm"
expect_refusal charsnoscript "runs the map's script Data\\\\Scripts\\\\Maps\\\\farm.lua, which is not there" \
    render farm.fmp nobody.png --characters

# --- the options reach the file: another type, depth, byte order, stagger and a note that is
# not UTF-8 (still shown, never a crash); the map still checks ---
run options make "$ROOT/tools/maps/WillowCreekFarm.json" options.fmp --type 0 --depth 24 --byte-order be \
    --stagger 16,16 --note "$(printf 'caf\xe9\x01!')"
[ $STATUS -eq 0 ] || e2e_fail "make with options: $(cat options.err)"
run optionsinfo info options.fmp --json
[ $STATUS -eq 0 ] || e2e_fail "info of the map made with options: $(cat optionsinfo.err)"
python3 -c '
import json, sys
d = json.load(open(sys.argv[1])); h = d["header"]
assert (h["mapType"], h["blockDepth"], h["byteOrder"], h["staggerX"], h["staggerY"]) == (0, 24, "be", 16, 16), h
assert d["note"].startswith("caf"), d["note"]
' optionsinfo.out || e2e_fail "the options did not reach the file"
run optionscheck check options.fmp
[ $STATUS -eq 0 ] || e2e_fail "check after make with options: $(cat optionscheck.out)"

# --- bad input: one clear line, a non-zero status, never a crash ---
cp "$ROOT/tools/maps/FarmTiles.png" sheet.png
printf '{"tileSheet": "sheet.png", "blocks": [1, 2' >broken.json
printf '{"tileSheet": "sheet.png", "blocks": [{"background": "grass"}], "layers": [[[0]]]}' >type.json
printf '{"tileSheet": "sheet.png", "blocks": [{"background": 4000}], "layers": [[[0]]]}' >range.json
printf '{"tileSheet": "sheet.png", "blocks": [1], "layers": [[[0, 1]]]}' >cell.json
printf '{"tileSheet": "sheet.png", "blocks": [{"backgrund": 1}], "layers": [[[0]]]}' >unknown.json
printf '{"tileSheet": "none.png", "blocks": [1], "layers": [[[0]]]}' >nosheet.json
printf '{"tileSheet": "sheet.png", "blocks": [1], "layers": [["ab"]]}' >legend.json
printf '{"tileSheet": "sheet.png", "blocks": [1], "layers": [[[0]]], "depth": 12}' >depth.json
printf '[1, 2, 3]' >array.json
expect_refusal nodesc "cannot open the description" make nothing.json out.fmp
expect_refusal broken "not valid JSON" make broken.json out.fmp
expect_refusal type "blocks\[0\].background: expected a whole number" make type.json out.fmp
expect_refusal range "blocks\[0\].background: must lie in" make range.json out.fmp
expect_refusal cell "layers\[0\].rows\[0\]\[1\]" make cell.json out.fmp
expect_refusal unknown 'unknown field "backgrund"' make unknown.json out.fmp
expect_refusal nosheet "cannot read the image" make nosheet.json out.fmp
expect_refusal legend "not in the legend" make legend.json out.fmp
expect_refusal depthjson "must be 8, 15, 16, 24 or 32" make depth.json out.fmp
expect_refusal array "expected an object" make array.json out.fmp
expect_refusal depth "--depth must be" make "$ROOT/tools/maps/WillowCreekFarm.json" out.fmp --depth 9
expect_refusal type4 "--type must be" make "$ROOT/tools/maps/WillowCreekFarm.json" out.fmp --type 4
expect_refusal order "--byte-order must be" make "$ROOT/tools/maps/WillowCreekFarm.json" out.fmp --byte-order middle
expect_refusal staggerarg "--stagger takes" make "$ROOT/tools/maps/WillowCreekFarm.json" out.fmp --stagger 5
expect_refusal option "unknown option --fast" make "$ROOT/tools/maps/WillowCreekFarm.json" out.fmp --fast
expect_refusal noout "make needs" make "$ROOT/tools/maps/WillowCreekFarm.json"
expect_refusal unwritable "cannot write" make "$ROOT/tools/maps/WillowCreekFarm.json" no/such/dir/out.fmp
expect_refusal renderout "cannot write" render farm.fmp no/such/dir/out.png
expect_refusal rendermissing "MapCannotOpen" render nothing.fmp out.png
expect_refusal layer "no layer in slot 5" render farm.fmp out.png --layer 5
expect_refusal layerarg "--layer must be" render farm.fmp out.png --layer x
expect_refusal size "--size must be" render farm.fmp out.png --size 0x600
expect_refusal infoargs "info needs" info
expect_refusal importargs "import needs" import "$ROOT/tools/maps/WillowCreekFarm.tmx"
expect_refusal importdepth "--depth must be" import "$ROOT/tools/maps/WillowCreekFarm.tmx" out.fmp --depth 9
expect_refusal importmissing "nothing.tmx" import nothing.tmx out.fmp
expect_refusal importunwritable "cannot write" import "$ROOT/tools/maps/WillowCreekFarm.tmx" no/such/dir/out.fmp
run unknown frobnicate
[ $STATUS -ne 0 ] || e2e_fail "an unknown command was accepted"
[ ! -e out.fmp ] || e2e_fail "a refused make left a file behind"

e2e_pass
