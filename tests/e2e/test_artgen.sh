#!/usr/bin/env bash
# The art generator rebuilds every committed picture byte for byte (it is deterministic), and
# fails with a clear message when it is called wrongly or cannot write.
# Arguments: $1 game binary (unused), $2 repository root, $3 folder of the tools.
set -uo pipefail

root="$2"
tools="$3"
artgen="$tools/fennow-artgen"
if [ ! -x "$artgen" ]; then
  artgen="$(find "$(dirname "$tools")" -name fennow-artgen -type f -perm -u+x 2>/dev/null | head -n 1)"
fi
if [ -z "$artgen" ] || [ ! -x "$artgen" ]; then
  echo "FAIL: fennow-artgen not found next to $tools"
  exit 1
fi

files=(
  Data/Graphics/Vornels/MareSprite.png
  Data/Graphics/Vornels/BrambleTemp.png
  Data/Graphics/Vornels/QuillaTemp.png
  Data/Graphics/Tiles/MudTiles.bmp
  Data/Graphics/GUI/DirectionalToggleUp.png
  Data/Graphics/Misc/MouseImg.bmp
  Data/Graphics/GUI/ChatBox.png
  Data/Graphics/GUI/ChatBubble.png
  Data/Graphics/GUI/ResponseBubble.png
  Data/Graphics/Fonts/a4_font.tga
  Data/Graphics/Portraits/QuillaPortrait.png
  Data/Graphics/Portraits/BramblePortrait.png
  Data/Graphics/Portraits/PortraitBackground.png
  tools/maps/FarmTiles.png
  tools/maps/FarmTiles.md
)

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Two runs into fresh folders: each matches the committed files exactly.
for run in 1 2; do
  out="$work/run$run"
  if ! "$artgen" "$out" 2>"$work/err$run"; then
    fail "run $run exited with an error: $(cat "$work/err$run")"
    continue
  fi
  for f in "${files[@]}"; do
    if [ ! -f "$out/$f" ]; then
      fail "run $run did not write $f"
    elif ! cmp -s "$out/$f" "$root/$f"; then
      fail "run $run wrote $f different from the committed file"
    fi
  done
done

# Nothing else is written.
extra="$(cd "$work/run1" && find . -type f | sed 's|^\./||' | sort)"
expected="$(printf '%s\n' "${files[@]}" | sort)"
if [ "$extra" != "$expected" ]; then
  fail "unexpected set of files: $extra"
fi

# Wrong use: no argument.
if "$artgen" >/dev/null 2>"$work/usage"; then
  fail "running without a root succeeded"
elif ! grep -q "usage: fennow-artgen ROOT" "$work/usage"; then
  fail "no usage line: $(cat "$work/usage")"
fi

# A root that cannot be written: an error status and a message naming the file.
blocker="$work/blocker"
: >"$blocker"
if "$artgen" "$blocker/root" >/dev/null 2>"$work/cannot"; then
  fail "writing under a plain file succeeded"
elif ! grep -q "Cannot" "$work/cannot"; then
  fail "no message for an unwritable root: $(cat "$work/cannot")"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "PASS: art regenerates byte for byte"
