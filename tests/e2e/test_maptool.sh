#!/usr/bin/env bash
# The map tool as a map author uses it: make the start map, read it back with info --json,
# check it and damaged copies of it, render it, and feed every command bad input.
# Arguments: $1 game binary (unused), $2 repository root, $3 folder of fennow-maptool.
set -u
ROOT=$(readlink -f "${2:?repository root missing}")
TOOL=$(readlink -f "${3:?maptool folder missing}")/fennow-maptool
NAME=test_maptool
WORK=$(mktemp -d "${TMPDIR:-/tmp}/fennow-maptool.XXXXXX")
trap 'rm -rf "$WORK"' EXIT

fail() {
    echo "FAIL [$NAME]: $*" >&2
    exit 1
}

# run NAME COMMAND...: runs the tool, keeping stdout, stderr and the status.
run() {
    local label=$1
    shift
    "$TOOL" "$@" >"$WORK/$label.out" 2>"$WORK/$label.err"
    STATUS=$?
    [ $STATUS -lt 128 ] || fail "$label: the tool crashed (status $STATUS)"
}

# expect_refusal LABEL PATTERN COMMAND...: the tool fails with one line matching PATTERN.
expect_refusal() {
    local label=$1 pattern=$2
    shift 2
    run "$label" "$@"
    [ $STATUS -ne 0 ] || fail "$label: accepted"
    [ "$(wc -l <"$WORK/$label.err")" -eq 1 ] || fail "$label: not one line: $(cat "$WORK/$label.err")"
    grep -q -- "$pattern" "$WORK/$label.err" || fail "$label: '$(cat "$WORK/$label.err")' lacks '$pattern'"
}

[ -x "$TOOL" ] || fail "no tool at $TOOL"
cd "$WORK" || fail "no scratch directory"

# --- make: the committed start map is exactly what its description makes ---
run make make "$ROOT/tools/maps/WillowCreekFarm.json" farm.fmp
[ $STATUS -eq 0 ] || fail "make: $(cat make.err)"
cmp -s farm.fmp "$ROOT/Data/Maps/WillowCreekFarm.fmp" ||
    fail "Data/Maps/WillowCreekFarm.fmp is out of date: run make on tools/maps/WillowCreekFarm.json"

# --- info --json ---
run info info farm.fmp --json
[ $STATUS -eq 0 ] || fail "info: $(cat info.err)"
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
# open water, lily pads and the twelve shores; after the reset each shows its first frame
assert len(a) == 14 and [x["cell"] for x in a] == list(range(-14, 0)), a
assert all(x["type"] == 1 and len(x["frames"]) == 3 and x["shows"] == x["frames"][0] for x in a), a
' info.out || fail "info --json does not describe the start map"
run infotext info farm.fmp
grep -q "^layers: 3 present" infotext.out || fail "info text: $(cat infotext.out)"

# --- check ---
run check check farm.fmp
[ $STATUS -eq 0 ] || fail "check of the start map: $(cat check.out check.err)"
grep -q "^MapOk: " check.out || fail "check: $(cat check.out)"

# check_fails LABEL ERRORNAME FILE
check_fails() {
    run "$1" check "$3"
    [ $STATUS -ne 0 ] || fail "$1: check passed"
    grep -q "^$2: " "$1.out" || fail "$1: expected $2, got '$(cat "$1.out" "$1.err")'"
}
head -c 2000 farm.fmp >cut.fmp
check_fails cut MapBadFile cut.fmp
{ printf 'JUNK'; tail -c +5 farm.fmp; } >magic.fmp
check_fails magic MapBadFile magic.fmp
# versionMajor (first MPHD data byte, at offset 20) above 1
python3 -c 'import sys; b = bytearray(open("farm.fmp", "rb").read()); b[20] = 2; open("new.fmp", "wb").write(b)'
check_fails toonew MapTooNew new.fmp
# the NOVC chunk renamed AGFX
python3 -c '
b = bytearray(open("farm.fmp", "rb").read()); i = b.find(b"NOVC"); b[i:i + 4] = b"AGFX"
open("agfx.fmp", "wb").write(b)'
check_fails agfx MapUnsupported agfx.fmp
check_fails missing MapCannotOpen nothing-here.fmp

# --- render ---
run render render farm.fmp farm.png
[ $STATUS -eq 0 ] || fail "render: $(cat render.err)"
[ "$(identify -format '%wx%h' farm.png)" = "800x608" ] || fail "render size $(identify -format '%wx%h' farm.png)"
run window render farm.fmp window.png --size 800x600
[ "$(identify -format '%wx%h' window.png)" = "800x600" ] || fail "render --size"
run ground render farm.fmp ground.png --layer 0
[ $STATUS -eq 0 ] || fail "render --layer 0: $(cat ground.err)"
# The pond (layer 1) is drawn over grass: one layer alone differs from all three there.
[ "$(compare -metric AE -crop 160x96+592+48 farm.png ground.png null: 2>&1)" != "0" ] ||
    fail "render --layer 0 shows the pond"

# --- every type and depth shows the same picture (15 and 16 bits round colours) ---
for args in "--type 0 --depth 24 --byte-order be" "--type 1 --depth 32" "--type 3 --depth 32 --byte-order be" \
    "--type 3 --depth 24"; do
    # shellcheck disable=SC2086
    run variant make "$ROOT/tools/maps/WillowCreekFarm.json" variant.fmp $args
    [ $STATUS -eq 0 ] || fail "make $args: $(cat variant.err)"
    run variantcheck check variant.fmp
    [ $STATUS -eq 0 ] || fail "check after make $args: $(cat variantcheck.out)"
    run variantrender render variant.fmp variant.png
    [ "$(compare -metric AE farm.png variant.png null: 2>&1)" = "0" ] || fail "make $args renders differently"
done

# --- a small map of few colours from a sheet made here: 8 bits too, and a clear refusal
# when a sheet has more colours than 8 bits hold ---
convert -size 32x32 xc:'rgb(40,160,60)' \( -size 32x32 xc:'rgb(255,0,255)' -fill 'rgb(150,90,40)' \
    -draw 'rectangle 8,8 23,23' \) \( -size 32x32 pattern:checkerboard -fill 'rgb(30,60,200)' -opaque black \) \
    \( -size 32x32 xc: -fx 'rand()' \) +append small.png || fail "convert could not make a sheet"
cat >small.json <<'JSON'
{
  "tileSheet": "small.png",
  "blocks": [{"name": "empty"}, {"name": "grass", "background": 0}, {"name": "box", "background": 1},
             {"name": "check", "background": 2}],
  "animations": [{"name": "flash", "type": 2, "frames": ["grass", "check"]}],
  "legend": {".": "grass", "b": "box", "c": "check", " ": "empty", "~": "flash"},
  "layers": [
    ["..c..", ".~~..", "....c"],
    {"slot": 1, "rows": ["  b  ", "b   b", "  bb "]}
  ]
}
JSON
run small make small.json small.fmp
[ $STATUS -eq 0 ] || fail "make small: $(cat small.err)"
run smallrender render small.fmp small_ref.png
for args in "--depth 8" "--depth 8 --type 0 --byte-order be" "--depth 8 --type 3" "--depth 24 --type 1"; do
    # shellcheck disable=SC2086
    run variant make small.json variant.fmp $args
    [ $STATUS -eq 0 ] || fail "make small $args: $(cat variant.err)"
    run variantrender render variant.fmp variant.png
    [ "$(compare -metric AE small_ref.png variant.png null: 2>&1)" = "0" ] || fail "small $args renders differently"
done
# The animated cells show the reset frame of a type 2 animation: its last frame, "check".
[ "$(convert small_ref.png -crop 1x1+40+32 -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}')" = \
    "$(convert small_ref.png -crop 1x1+72+0 -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}')" ] ||
    fail "the animated cell does not show its reset frame"
sed 's/"background": 2}/"background": 2}, {"name": "noise", "background": 3}/' small.json >noisy.json
expect_refusal colours "at most 255 colours" make noisy.json noisy.fmp --depth 8

run stagger make "$ROOT/tools/maps/WillowCreekFarm.json" stagger.fmp --stagger 16,16 --note "odd!"
[ $STATUS -eq 0 ] || fail "make --stagger: $(cat stagger.err)"
run staggerinfo info stagger.fmp --json
python3 -c '
import json, sys
d = json.load(open(sys.argv[1])); h = d["header"]
assert (h["staggerX"], h["staggerY"]) == (16, 16), h
assert [c for c in d["chunks"] if c["id"] == "NOVC"][0]["length"] == 4
' staggerinfo.out || fail "stagger or note did not reach the file"

# A note that is not UTF-8 is still shown, never a crash.
run badnote make "$ROOT/tools/maps/WillowCreekFarm.json" badnote.fmp --note "$(printf 'caf\xe9\x01!')"
run badnoteinfo info badnote.fmp --json
[ $STATUS -eq 0 ] || fail "info of a map with a non-UTF-8 note: $(cat badnoteinfo.err)"
python3 -c 'import json, sys; assert json.load(open(sys.argv[1]))["note"].startswith("caf")' badnoteinfo.out ||
    fail "info --json lost the note"

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
run unknown frobnicate
[ $STATUS -ne 0 ] || fail "an unknown command was accepted"
[ ! -e out.fmp ] || fail "a refused make left a file behind"

echo "PASS [$NAME]"
