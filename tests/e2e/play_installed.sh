#!/usr/bin/env bash
# The game as a player starts it through its launcher, twice, with the HOME (and XDG_DATA_HOME)
# of the environment:
#   bash tests/e2e/play_installed.sh LAUNCHER ROOT
# The first start opens the window and loads the farm with every file found, in the player's
# folder ${XDG_DATA_HOME:-$HOME/.local/share}/fennow-online, whose Data leads to the shipped
# data and where FennowOnline.cfg appears; nothing is written where it was started from. The
# player then edits a binding; the second start reads it and keeps the file as it is.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
E2E_TIMEOUT=${E2E_TIMEOUT:-60}
FOLDER=${XDG_DATA_HOME:-$HOME/.local/share}/fennow-online

e2e_start
e2e_wait_line "Begin primary game loop"
e2e_find_window
e2e_has_line "There are 3 layers on this map." || e2e_fail "the farm did not load"
e2e_has_line 'Finished version of script loader: Data\Scripts\Maps\WillowCreekFarm.lua!' ||
    e2e_fail "the farm's script did not run"
! grep -a "Could not\|using a placeholder\|built-in font" "$LOG" || e2e_fail "the game missed a file"
e2e_quit
[ -f "$FOLDER/FennowOnline.cfg" ] || e2e_fail "no FennowOnline.cfg in $FOLDER"
[ -f "$FOLDER/Data/Maps/WillowCreekFarm.fmp" ] || e2e_fail "$FOLDER/Data does not lead to the shipped data"
[ "$(cd "$WORK" && ls)" = "$(printf 'stderr.log\nstdout.log')" ] ||
    e2e_fail "the game wrote into the folder it was started from: $(ls "$WORK")"

sed -i 's/^Sprint LSHIFT RSHIFT$/Sprint SPACE NONE/' "$FOLDER/FennowOnline.cfg"
cp "$FOLDER/FennowOnline.cfg" "$WORK/edited.cfg"
e2e_start
e2e_wait_line "Begin primary game loop"
e2e_has_line "Read Sprint: SPACE NONE" || e2e_fail "the edited binding was not read"
e2e_find_window
e2e_quit
cmp -s "$WORK/edited.cfg" "$FOLDER/FennowOnline.cfg" || e2e_fail "the configuration was not kept"
e2e_pass
