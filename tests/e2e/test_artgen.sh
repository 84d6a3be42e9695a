#!/usr/bin/env bash
# The art generator rebuilds every committed picture byte for byte and writes nothing else,
# and fails with a clear message when it is called wrongly or cannot write.
source "$(dirname "$0")/lib.sh"
e2e_paths "$@"
e2e_scratch
ARTGEN="$TOOLS/fennow-artgen"
[ -x "$ARTGEN" ] || e2e_fail "no art generator at $ARTGEN"
FILES=(Data/Graphics/Vornels/{MareSprite,BrambleTemp,QuillaTemp}.png Data/Graphics/Characters/{Fern,Thistle}.png
    Data/Graphics/Tiles/MudTiles.bmp
    Data/Graphics/GUI/{DirectionalToggleUp,ChatBox,ChatBubble,ResponseBubble}.png Data/Graphics/Misc/MouseImg.bmp
    Data/Graphics/Fonts/a4_font.tga Data/Graphics/Portraits/{Quilla,Bramble,Fern,Thistle}Portrait.png
    Data/Graphics/Portraits/PortraitBackground.png tools/maps/FarmTiles.png tools/maps/FarmTiles.md)

"$ARTGEN" "$WORK/out" 2>"$WORK/err" || e2e_fail "the generator failed: $(cat "$WORK/err")"
for f in "${FILES[@]}"; do
    cmp -s "$WORK/out/$f" "$ROOT/$f" || e2e_fail "$f is missing or differs from the committed file"
done
[ "$(cd "$WORK/out" && find . -type f | sed 's|^\./||' | sort)" = "$(printf '%s\n' "${FILES[@]}" | sort)" ] ||
    e2e_fail "the generator wrote other files"

! "$ARTGEN" >/dev/null 2>"$WORK/usage" || e2e_fail "running without a root succeeded"
grep -q "usage: fennow-artgen ROOT" "$WORK/usage" || e2e_fail "no usage line: $(cat "$WORK/usage")"
: >"$WORK/blocker"
! "$ARTGEN" "$WORK/blocker/root" >/dev/null 2>"$WORK/cannot" || e2e_fail "writing under a plain file succeeded"
grep -q "Cannot" "$WORK/cannot" || e2e_fail "no message for an unwritable root: $(cat "$WORK/cannot")"
e2e_pass
