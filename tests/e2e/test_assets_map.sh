#!/usr/bin/env bash
# The start map, broken in turn in every way its loader checks: empty, cut short, not a FORM
# FMAP file, a chunk longer than the file, an AGFX chunk, a version or map type too new, a cell
# naming no block (missing is test_map.sh). The game names the map in its failure line, runs
# no map script, shows its mud ground and quits with Escape.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/assets_lib.sh"
cases_init "$@"
TOOL="$(readlink -f "$MAPTOOL_DIR")/fennow-maptool"
[ -x "$TOOL" ] || e2e_fail "no map tool at $TOOL"

MAP=Maps/WillowCreekFarm.fmp
LEVEL_LINE='Finished version of level loader: Data\Maps\WillowCreekFarm.fmp!'
FAILED_LINE='Failed to load WillowCreekFarm : -1.  Map Manager aborts loading.'
NO_SCRIPT='!Finished version of script loader: Data\Scripts\Maps\WillowCreekFarm.lua!'

# The file offset of a chunk's header, as the map tool lists it ("BODY 772 bytes at offset N").
chunk_offset() {
    "$TOOL" info "$ROOT/Data/$MAP" | awk -v id="$1" '$1 == id && $5 == "offset" { print $6; exit }'
}
MPHD=$(chunk_offset MPHD)
NOVC=$(chunk_offset NOVC)
BODY=$(chunk_offset BODY)
[ -n "$MPHD" ] && [ -n "$NOVC" ] && [ -n "$BODY" ] || e2e_fail "the start map lacks MPHD, NOVC or BODY"
# The shipped map has run-length rows (type 2): BODY data starts with a count, then a cell.
"$TOOL" info "$ROOT/Data/$MAP" | grep -q 'map type 2' || e2e_fail "the start map is not of type 2"

map_case() {
    case_run "$FAILED_LINE" "$LEVEL_LINE" "$NO_SCRIPT" '!Welcome to Willow Creek Farm!'
}

case_begin WillowCreekFarm.fmp "zero bytes"
asset_write $MAP </dev/null
map_case

case_begin WillowCreekFarm.fmp "cut to half its bytes"
asset_truncate $MAP 50%
map_case

case_begin WillowCreekFarm.fmp "FORM header reads FORX"
asset_poke $MAP 3 58
map_case

case_begin WillowCreekFarm.fmp "BODY chunk claims 2 GB"
asset_poke $MAP $((BODY + 4)) 7f ff ff ff
map_case

case_begin WillowCreekFarm.fmp "NOVC chunk renamed AGFX"
asset_poke $MAP "$NOVC" 41 47 46 58
map_case

case_begin WillowCreekFarm.fmp "MPHD version 2.0"
asset_poke $MAP $((MPHD + 8)) 02
map_case

case_begin WillowCreekFarm.fmp "MPHD map type 4"
asset_poke $MAP $((MPHD + 8 + 3)) 04
map_case

case_begin WillowCreekFarm.fmp "first BODY cell 32767 (no such block)"
asset_poke $MAP $((BODY + 8 + 2)) ff 7f
map_case

cases_end
