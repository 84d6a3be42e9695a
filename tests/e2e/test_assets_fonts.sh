#!/usr/bin/env bash
# Each font, and each portrait a shipped character script loads, broken in turn. A font that
# cannot be read, is no font of the printable characters, or draws nothing is named and
# replaced by the built-in font; a portrait that cannot be read is named when the character's
# script asks for it, and the conversation goes on without it.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/assets_lib.sh"
cases_init "$@"

builtin() { printf 'Could not load Data\\Graphics\\Fonts\\%s, using the built-in font.' "$1"; }
# The farm's folk stand at (300, 200) and (520, 260); these points lie in their hit boxes.
QUILLA=(348 250)
BRAMBLE=(568 310)

case_begin Fonts/a4_font.tga "zero bytes"
asset_write Graphics/Fonts/a4_font.tga </dev/null
case_run "$(builtin a4_font.tga)"

case_begin Fonts/a4_font.tga "cut to half its bytes"
asset_truncate Graphics/Fonts/a4_font.tga 50%
case_run '~Data\\Graphics\\Fonts\\a4_font\.tga holds [0-9]+ characters, not the 95 from space to tilde, using the built-in font\.'

case_begin Fonts/a4_font.tga "scaled to 50% (glyph borders lost)"
asset_resize Graphics/Fonts/a4_font.tga 50%
case_run 'Data\Graphics\Fonts\a4_font.tga holds 0 characters, not the 95 from space to tilde, using the built-in font.'

case_begin Fonts/Courier.ttf "cut to half its bytes"
asset_truncate Graphics/Fonts/Courier.ttf 50%
case_run 'Data\Graphics\Fonts\Courier.ttf draws no text, using the built-in font.'

case_begin Fonts/Courier.ttf "4096 random bytes"
asset_random Graphics/Fonts/Courier.ttf
case_run "$(builtin Courier.ttf)"

case_begin Fonts/MarwickMedium.ttf "zero bytes"
asset_write Graphics/Fonts/MarwickMedium.ttf </dev/null
case_run "$(builtin MarwickMedium.ttf)"

# Portraits: the character's script loads them on the first click.
case_begin Portraits/BramblePortrait.png missing
asset_remove Graphics/Portraits/BramblePortrait.png
CASE_CLICK=("${BRAMBLE[@]}" 'Could not load portrait Data\Graphics\Portraits\BramblePortrait.png.')
case_run 'Could not load portrait Data\Graphics\Portraits\BramblePortrait.png.'

case_begin Portraits/QuillaPortrait.png "cut to half its bytes"
asset_truncate Graphics/Portraits/QuillaPortrait.png 50%
CASE_CLICK=("${QUILLA[@]}" 'Could not load portrait Data\Graphics\Portraits\QuillaPortrait.png.')
case_run 'Could not load portrait Data\Graphics\Portraits\QuillaPortrait.png.'

case_begin Portraits/PortraitBackground.png "4096 random bytes"
asset_random Graphics/Portraits/PortraitBackground.png
CASE_CLICK=("${QUILLA[@]}" 'Could not load portrait Data\Graphics\Portraits\PortraitBackground.png.')
case_run 'Could not load portrait Data\Graphics\Portraits\PortraitBackground.png.'

cases_end
