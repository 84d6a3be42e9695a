#!/usr/bin/env bash
# Each picture the bitmap library opens, broken in turn: empty, cut short, random bytes, a
# sheet smaller or larger than its frames need (all of them missing at once is
# test_startup_no_art). The game names the file, shows a placeholder in its place, and runs
# until Escape; pictures larger than needed, or used whole at any size, are taken as they are.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/assets_lib.sh"
cases_init "$@"

placeholder() { printf 'Could not load Data\\Graphics\\%s, using a placeholder.' "$1"; }
too_small() { printf 'Data\\Graphics\\%s is %s pixels, smaller than %s, using a placeholder.' "$1" "$2" "$3"; }

# The player sheet.
case_begin Vornels/MareSprite.png "cut to half its bytes"
asset_truncate Graphics/Vornels/MareSprite.png 50%
case_run "$(placeholder 'Vornels\MareSprite.png')"

case_begin Vornels/MareSprite.png "scaled to 50%"
asset_resize Graphics/Vornels/MareSprite.png 50%
case_run "$(too_small 'Vornels\MareSprite.png' '1440 x 144' '2880 x 288')"

case_begin Vornels/MareSprite.png "scaled to 200% (extra pixels unused)"
asset_resize Graphics/Vornels/MareSprite.png 200%
case_run '!Could not load Data\Graphics\Vornels\MareSprite.png, using a placeholder.'

# The mud tile sheet (BMP: Allegro's reader would take a file cut short).
case_begin Tiles/MudTiles.bmp "cut to half its bytes"
asset_truncate Graphics/Tiles/MudTiles.bmp 50%
case_run "$(placeholder 'Tiles\MudTiles.bmp')"

case_begin Tiles/MudTiles.bmp "scaled to 7 x 3"
asset_resize Graphics/Tiles/MudTiles.bmp '7x3!'
case_run "$(too_small 'Tiles\MudTiles.bmp' '7 x 3' '96 x 64')"

# The chat bubble sheet.
case_begin GUI/ChatBubble.png "scaled to 50%"
asset_resize Graphics/GUI/ChatBubble.png 50%
case_run "$(too_small 'GUI\ChatBubble.png' '80 x 20' '152 x 32')"

# The pictures used whole, at whatever size they have.
case_begin GUI/DirectionalToggleUp.png "zero bytes"
asset_write Graphics/GUI/DirectionalToggleUp.png </dev/null
case_run "$(placeholder 'GUI\DirectionalToggleUp.png')"

case_begin Misc/MouseImg.bmp "cut to half its bytes"
asset_truncate Graphics/Misc/MouseImg.bmp 50%
case_run "$(placeholder 'Misc\MouseImg.bmp')"

case_begin GUI/ChatBox.png "4096 random bytes"
asset_random Graphics/GUI/ChatBox.png
case_run "$(placeholder 'GUI\ChatBox.png')"

case_begin GUI/ResponseBubble.png "cut to half its bytes"
asset_truncate Graphics/GUI/ResponseBubble.png 50%
case_run "$(placeholder 'GUI\ResponseBubble.png')"

case_begin Vornels/BrambleTemp.png "cut to 40 bytes"
asset_truncate Graphics/Vornels/BrambleTemp.png 40
case_run "$(placeholder 'Vornels\BrambleTemp.png')"

case_begin Vornels/QuillaTemp.png "scaled to 300% (used as stored)"
asset_resize Graphics/Vornels/QuillaTemp.png 300%
case_run '!Could not load Data\Graphics\Vornels\QuillaTemp.png, using a placeholder.'

cases_end
