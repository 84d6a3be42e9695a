#!/usr/bin/env bash
# The shipped scripts, broken in turn: missing, a syntax error, binary garbage, a run-time
# error, an endless loop (the host stops a script after 5 s). Each failure is one console line
# naming the script; start-up goes on, a character's broken script leaves the game running.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/assets_lib.sh"
cases_init "$@"

QUILLA=(348 250)
BRAMBLE=(568 310)
STOPPED='script stopped after running for 5 seconds'

case_begin VersionBark.lua missing
asset_remove Scripts/VersionBark.lua
case_run 'Lua Error during Loading: cannot open Data\Scripts\VersionBark.lua: No such file or directory' \
    'Welcome to Willow Creek Farm!'

case_begin VersionBark.lua "syntax error"
printf 'print("unclosed"\n' | asset_write Scripts/VersionBark.lua
case_run "~Lua Error during Loading: Data\\\\Scripts\\\\VersionBark\\.lua:2: .*" 'Welcome to Willow Creek Farm!'

case_begin RunOnce.lua "run-time error"
printf 'Farm = {}\nerror("no farm today")\n' | asset_write Scripts/RunOnce.lua
case_run 'Lua Error during Execution: Data\Scripts\RunOnce.lua:2: no farm today' \
    '== Lua Init Complete =='

case_begin RunOnce.lua "endless loop"
printf 'while true do end\n' | asset_write Scripts/RunOnce.lua
case_run "Lua Error during Execution: Data\\Scripts\\RunOnce.lua:1: $STOPPED" \
    '== Lua Init Complete =='

case_begin Maps/WillowCreekFarm.lua missing
asset_remove Scripts/Maps/WillowCreekFarm.lua
case_run 'Lua Error during Loading: cannot open Data\Scripts\Maps\WillowCreekFarm.lua: No such file or directory' \
    'There are 3 layers on this map.'

case_begin Maps/WillowCreekFarm.lua "4096 random bytes"
asset_random Scripts/Maps/WillowCreekFarm.lua
case_run "~Lua Error during Loading: Data\\\\Scripts\\\\Maps\\\\WillowCreekFarm\\.lua:.*"

case_begin Quilla.lua missing
asset_remove Scripts/Quilla.lua
CASE_CLICK=("${QUILLA[@]}" 'Lua Error during Loading: cannot open Data\Scripts\Quilla.lua: No such file or directory')
case_run 'Lua Error during Loading: cannot open Data\Scripts\Quilla.lua: No such file or directory'

case_begin Bramble.lua "run-time error"
printf 'SetDialogueLine(0, "Hello")\nlocal farm = nil\nprint(farm.name)\n' | asset_write Scripts/Bramble.lua
CASE_CLICK=("${BRAMBLE[@]}" "Lua Error during Execution: Data\\Scripts\\Bramble.lua:3: attempt to index local 'farm' (a nil value)")
case_run "Lua Error during Execution: Data\\Scripts\\Bramble.lua:3: attempt to index local 'farm' (a nil value)"

case_begin Quilla.lua "endless loop"
printf 'SetDialogueLine(0, "Thinking...")\nwhile true do end\n' | asset_write Scripts/Quilla.lua
CASE_CLICK=("${QUILLA[@]}" "Lua Error during Execution: Data\\Scripts\\Quilla.lua:2: $STOPPED")
case_run "Lua Error during Execution: Data\\Scripts\\Quilla.lua:2: $STOPPED"

cases_end
