#!/usr/bin/env bash
# Maps from Tiled: each rendering fixture is imported, drawn by the map tool as the game draws
# it, and compared pixel for pixel with Tiled's own renderer (tmxrasterizer) wherever Tiled's
# pixels are fully opaque or fully transparent. Then: a written description makes the same map,
# a refused import writes nothing, the characters' block of a map's script is written and
# replaced without touching the rest, and the game plays an imported map with its character.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
TOOL="$TOOLS/fennow-maptool"
[ -x "$TOOL" ] || e2e_fail "no tool at $TOOL"
command -v tmxrasterizer >/dev/null || e2e_fail "tmxrasterizer is missing (scripts/setup.sh installs tiled)"

# Tiled's renderer wants a runtime folder and settings; keep them in the scratch folder.
mkdir -m 700 "$WORK/home" || e2e_fail "no scratch home"
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$WORK/home" XDG_CONFIG_HOME="$WORK/home" \
    XDG_CACHE_HOME="$WORK/home" HOME="$WORK/home"

cp -r "$ROOT/tests/data/tiled" "$WORK/tiled" || e2e_fail "could not copy the fixtures"
cd "$WORK/tiled" || e2e_fail "no scratch directory"
# Layer opacity is warned about and ignored, so the comparison uses a copy without it.
sed 's/ opacity="0.5"//' ortho.tmx >ortho-opaque.tmx
sed 's/"opacity":0.5/"opacity":1/' ortho.tmj >ortho-opaque.tmj

# run LABEL COMMAND...: runs the tool, keeping stdout, stderr and the status.
run() {
    local label=$1
    shift
    "$TOOL" "$@" >"$WORK/$label.out" 2>"$WORK/$label.err"
    STATUS=$?
    [ $STATUS -lt 128 ] || e2e_fail "$label: the tool crashed (status $STATUS)"
}

# The comparison (ImageMagick reads the PNGs): Tiled's pixel (x, y) against the game's
# (x + dx, y + dy).
# Fully transparent in Tiled means the game's black background; half-transparent pixels are
# not compared. Fails when fewer than SHARE percent match (all of them by default), printing
# the number of differing pixels and the first of them.
COMPARE='
import subprocess, sys

def read_png(path):
    size = subprocess.run(["identify", "-format", "%w %h", path], capture_output=True, text=True, check=True)
    width, height = map(int, size.stdout.split())
    raw = subprocess.run(["convert", path, "-depth", "8", "rgba:-"], capture_output=True, check=True).stdout
    return width, height, lambda x, y: tuple(raw[4 * (y * width + x):4 * (y * width + x) + 4])

tiled_png, game_png, dx, dy, tolerance = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4]), int(sys.argv[5])
share = float(sys.argv[6]) if len(sys.argv) > 6 else 100.0
tw, th, tiled = read_png(tiled_png)
gw, gh, game = read_png(game_png)
differing, first, compared = 0, None, 0
for y in range(th):
    for x in range(tw):
        t = tiled(x, y)
        if t[3] not in (0, 255):
            continue
        expected = (0, 0, 0) if t[3] == 0 else t[:3]
        gx, gy = x + dx, y + dy
        g = game(gx, gy)[:3] if 0 <= gx < gw and 0 <= gy < gh else None
        compared += 1
        if g is None or any(abs(a - b) > tolerance for a, b in zip(g, expected)):
            differing += 1
            if first is None:
                first = "Tiled (%d,%d) %s, game (%d,%d) %s" % (x, y, t, gx, gy, g)
matched = 100.0 * (compared - differing) / compared if compared else 0.0
print("%.2f%% of %d pixels match" % (matched, compared))
if matched < share or compared == 0:
    print("%d of %d pixels differ; first: %s" % (differing, compared, first))
    sys.exit(1)
'

# compare_with_tiled LABEL MAP [IMPORT OPTIONS...]: import, render, rasterize, compare. SHARE
# and TOLERANCE, when set, loosen the comparison for maps whose half-transparent edges Tiled
# blends over other tiles.
compare_with_tiled() {
    local label=$1 map=$2
    shift 2
    local tolerance=${TOLERANCE:-0}
    case " $* " in *" --depth 15 "* | *" --depth 16 "*) tolerance=7 ;; esac
    run "$label-import" import "$map" "$WORK/$label.fmp" "$@"
    [ $STATUS -eq 0 ] || e2e_fail "$label: import failed: $(cat "$WORK/$label-import.err")"
    local objects=() name
    while IFS= read -r name; do objects+=(--hide-layer "$name"); done < <(
        python3 -c '
import json, sys, xml.etree.ElementTree as ET
text = open(sys.argv[1]).read()
def walk(layers):
    for layer in layers:
        if layer.get("type") == "objectgroup": print(layer.get("name", ""))
        walk(layer.get("layers", []))
if text.lstrip().startswith("{"):
    walk(json.loads(text)["layers"])
else:
    for g in ET.fromstring(text).iter("objectgroup"): print(g.get("name", ""))
' "$map")
    tmxrasterizer "${objects[@]}" "$map" "$WORK/$label-tiled.png" >"$WORK/$label-tiled.log" 2>&1 ||
        e2e_fail "$label: tmxrasterizer failed: $(cat "$WORK/$label-tiled.log")"
    # The picture may sit at a fixed offset from Tiled's, as the import reports.
    local dx=0 dy=0 size
    if grep -q "pixels right and down of where Tiled" "$WORK/$label-import.err"; then
        read -r dx dy < <(sed -n 's/.*picture \([0-9]*\),\([0-9]*\) pixels right.*/\1 \2/p' "$WORK/$label-import.err")
    fi
    size=$(python3 -c '
import struct, sys
w, h = struct.unpack(">II", open(sys.argv[1], "rb").read()[16:24])
print("%dx%d" % (w + int(sys.argv[2]), h + int(sys.argv[3])))' "$WORK/$label-tiled.png" "$dx" "$dy")
    run "$label-render" render "$WORK/$label.fmp" "$WORK/$label-game.png" --size "$size"
    [ $STATUS -eq 0 ] || e2e_fail "$label: render failed: $(cat "$WORK/$label-render.err")"
    local verdict
    verdict=$(python3 -c "$COMPARE" "$WORK/$label-tiled.png" "$WORK/$label-game.png" "$dx" "$dy" "$tolerance" "${SHARE:-100}") ||
        e2e_fail "$label ($map $*): $verdict"
    e2e_log "$label matches Tiled's picture: $verdict"
}

compare_with_tiled ortho ortho-opaque.tmx
compare_with_tiled ortho-json ortho-opaque.tmj
compare_with_tiled external external.tmx
compare_with_tiled external-json external.tmj
compare_with_tiled external-tsj external-tsj.tmx
compare_with_tiled size16 size16.tmx
compare_with_tiled size24 size24.tmx --type 0 --byte-order be
compare_with_tiled size32 size32.tmx --type 3
compare_with_tiled flips flips.tmx
compare_with_tiled flips-json flips.tmj
compare_with_tiled flips-16 flips.tmx --depth 16
compare_with_tiled flips-15 flips.tmx --depth 15 --type 1
compare_with_tiled flips-8 flips.tmx --depth 8
compare_with_tiled flips-24 flips.tmx --depth 24
compare_with_tiled collection collection.tmx
compare_with_tiled collection-json collection.tmj
compare_with_tiled staggered-odd staggered-odd.tmx
compare_with_tiled staggered-odd-json staggered-odd.tmj
compare_with_tiled staggered-even staggered-even.tmx
compare_with_tiled tall tall.tmx
compare_with_tiled trans trans.tmx
compare_with_tiled animated animated.tmx
for encoding in csv base64 zlib gzip zstd xml; do
    compare_with_tiled "enc-$encoding" "enc-$encoding.tmx"
done

# Tall tiles overlapping on a staggered infinite map: Tiled's order and places, light edges,
# and the whole drawn area, which the map tool's own size for the map must cover too.
SHARE=98 TOLERANCE=24 compare_with_tiled staggered-tall staggered-tall.tmx
run staggered-tall-size render "$WORK/staggered-tall.fmp" "$WORK/staggered-tall-own.png"
grep -q "^Rendered .*: $(identify -format '%w x %h' "$WORK/staggered-tall-tiled.png") pixels" "$WORK/staggered-tall-size.out" ||
    e2e_fail "staggered-tall: the map's own size is not Tiled's: $(cat "$WORK/staggered-tall-size.out")"
grep -q "warning" "$WORK/staggered-tall-import.err" &&
    e2e_fail "staggered-tall: warnings: $(cat "$WORK/staggered-tall-import.err")"

# --- --description: the written description makes the same map file again ---
for described in ortho staggered-odd tall flips animated; do
    run "describe-$described" import "$described.tmx" "$WORK/$described-imported.fmp" --description "$WORK/$described.json"
    [ $STATUS -eq 0 ] && [ -f "$WORK/$described.png" ] ||
        e2e_fail "$described: import --description: $(cat "$WORK/describe-$described.err")"
    run "make-$described" make "$WORK/$described.json" "$WORK/$described-made.fmp"
    [ $STATUS -eq 0 ] || e2e_fail "$described: make of the description: $(cat "$WORK/make-$described.err")"
    cmp -s "$WORK/$described-imported.fmp" "$WORK/$described-made.fmp" ||
        e2e_fail "$described: make of the written description differs from the import"
done

# --- a refused import writes nothing: no map, no script, no description ---
mkdir -p "$WORK/game/Data/Maps" || e2e_fail "no scratch Data"
printf '<map orientation="orthogonal"' >broken.tmx
sed 's/tiles16.png/missing.png/' ortho.tmx >noimage.tmx
for refused in isometric hexagonal broken noimage; do
    run "refused-$refused" import "$refused.tmx" "$WORK/game/Data/Maps/Refused.fmp" --description "$WORK/refused.json"
    [ $STATUS -ne 0 ] || e2e_fail "$refused.tmx: imported"
    [ "$(wc -l <"$WORK/refused-$refused.err")" -eq 1 ] ||
        e2e_fail "$refused.tmx: not one line: $(cat "$WORK/refused-$refused.err")"
    grep -q "$refused.tmx" "$WORK/refused-$refused.err" || e2e_fail "$refused.tmx: the line does not name the file"
    [ -z "$(ls -A "$WORK/game/Data/Maps")" ] && [ ! -e "$WORK/game/Data/Scripts" ] && [ ! -e "$WORK/refused.json" ] ||
        e2e_fail "$refused.tmx: a refused import left files behind"
done
grep -q 'orientation "isometric"' "$WORK/refused-isometric.err" || e2e_fail "isometric: $(cat "$WORK/refused-isometric.err")"

# --- the characters' block: made with the script, replaced on a re-import, the author's
# lines around it kept ---
script="$WORK/game/Data/Scripts/Maps/Ortho.lua"
run npc import ortho.tmx "$WORK/game/Data/Maps/Ortho.fmp"
[ $STATUS -eq 0 ] || e2e_fail "npc import: $(cat "$WORK/npc.err")"
grep -q 'layer "Shade": opacity 0.5 is ignored' "$WORK/npc.err" || e2e_fail "no opacity warning: $(cat "$WORK/npc.err")"
grep -q 'layer "Upper/Hidden" is hidden\|layer "Hidden" is hidden' "$WORK/npc.err" || e2e_fail "no hidden-layer note: $(cat "$WORK/npc.err")"
[ -f "$script" ] || e2e_fail "the map's script was not made"
grep -qxF 'SpawnNPC(16, 16, "Ben", "Data\\Scripts\\NPCs\\Ben.lua", "Ben")' "$script" ||
    e2e_fail "no SpawnNPC for Ben: $(cat "$script")"
[ "$(grep -c '^SpawnNPC(' "$script")" -eq 2 ] || e2e_fail "not two characters: $(cat "$script")"
luac -p "$script" || e2e_fail "the script is not valid Lua"
{ printf -- '-- before\nFarmVisits = 1\n'; cat "$script"; printf 'print("after")\n'; } >"$script.new"
mv "$script.new" "$script"
sed 's/name="Ben"/name="Benedict"/' ortho.tmx >ortho2.tmx
run npc2 import ortho2.tmx "$WORK/game/Data/Maps/Ortho.fmp"
[ $STATUS -eq 0 ] || e2e_fail "re-import: $(cat "$WORK/npc2.err")"
[ "$(head -n 2 "$script")" = "$(printf -- '-- before\nFarmVisits = 1')" ] || e2e_fail "the author's first lines changed: $(cat "$script")"
[ "$(tail -n 1 "$script")" = 'print("after")' ] || e2e_fail "the author's last line changed: $(cat "$script")"
grep -q '(16, 16, "Benedict",' "$script" && ! grep -q '(16, 16, "Ben",' "$script" || e2e_fail "the block was not replaced: $(cat "$script")"
[ "$(grep -c '^SpawnNPC(' "$script")" -eq 2 ] || e2e_fail "re-import: not two characters: $(cat "$script")"
run npc3 import ortho.tmx "$WORK/elsewhere.fmp" --script "$WORK/chosen.lua"
[ $STATUS -eq 0 ] && grep -q '"Ben"' "$WORK/chosen.lua" || e2e_fail "--script: $(cat "$WORK/npc3.err")"

# --- the game plays an imported map: a meadow of dirt painted in Tiled, with one character ---
e2e_copy_data
cp "$ROOT/tools/maps/FarmTiles.tsx" "$ROOT/tools/maps/FarmTiles.png" . || e2e_fail "no farm tileset"
dirt=$(for _ in $(seq 19); do printf '6,%.0s' $(seq 25); echo; done | sed '$ s/,$//')
cat >meadow.tmx <<TMX
<?xml version="1.0" encoding="UTF-8"?>
<map version="1.8" orientation="orthogonal" renderorder="right-down" width="25" height="19" tilewidth="32" tileheight="32" infinite="0">
 <tileset firstgid="1" source="FarmTiles.tsx"/>
 <layer id="1" name="Dirt" width="25" height="19">
  <data encoding="csv">
$dirt
</data>
 </layer>
 <objectgroup id="2" name="Characters">
  <object id="1" name="Heron" type="npc" x="300" y="200" width="96" height="96">
   <properties>
    <property name="script" value="Data\Scripts\Heron.lua"/>
    <property name="sprite" value="QuillaTemp"/>
   </properties>
  </object>
 </objectgroup>
</map>
TMX
run meadow import meadow.tmx "$WORK/Data/Maps/Meadow.fmp"
[ $STATUS -eq 0 ] || e2e_fail "meadow import: $(cat "$WORK/meadow.err")"
grep -qxF 'SpawnNPC(300, 200, "Heron", "Data\\Scripts\\Heron.lua", "QuillaTemp")' "$WORK/Data/Scripts/Maps/Meadow.lua" ||
    e2e_fail "the meadow's script lacks Heron: $(cat "$WORK/Data/Scripts/Maps/Meadow.lua")"
run meadowpng render "$WORK/Data/Maps/Meadow.fmp" "$WORK/meadow.png"
cat >"$WORK/Data/Scripts/Heron.lua" <<'LUA'
Talk.start("Heron")
io.stderr:write("Heron speaks\n")
Talk.say("The meadow is quiet today.")
Talk.bye()
LUA
GAME_ARGS=(--map Meadow)
e2e_start
e2e_wait_line "Begin primary game loop"
e2e_has_line 'Finished version of script loader: Data\Scripts\Maps\Meadow.lua!' || e2e_fail "the meadow's script did not run"
e2e_find_window
e2e_move 790 590
e2e_still "$WORK/meadow.xwd"
n=$(e2e_diff "$WORK/meadow.xwd" "$WORK/meadow.png" 200x150+580+200) || exit 1
[ "$n" -eq 0 ] || e2e_fail "the window does not show the meadow ($n pixels differ)"
# The character stands where the object is: its click box answers.
e2e_click 348 250
e2e_wait_line "Heron speaks"
e2e_quit

e2e_pass
