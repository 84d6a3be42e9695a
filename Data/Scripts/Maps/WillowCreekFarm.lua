-- Willow Creek Farm: the start map. Its script runs on the first visit only: when the player
-- comes back from another map, the farm is as they left it.
io.stderr:write("Welcome to Willow Creek Farm!\n")

-- The powers the farm switches on for itself.
SetCollision(true)

-- The player starts on the open ground north of the path, clear of the speed buttons.
SetPlayerPosition(440, 200)

-- East of the creek the farm ends: its whole east edge leads to Clover Meadow. The ford is
-- the only way across.
-- AddMapExit(x, y, width, height, map, toX, toY)
AddMapExit(752, 0, 48, 600, "CloverMeadow", 60, 250)

-- The farm's folk. They stay for the whole run, so loading the map again must not spawn
-- them a second time.
if not Farm.folkSpawned then
    -- SpawnNPC(x, y, name, script, sprite)
    SpawnNPC(300, 200, "Quilla", "Data\\Scripts\\Quilla.lua", "QuillaTemp")
    SpawnNPC(520, 260, "Bramble", "Data\\Scripts\\Bramble.lua", "BrambleTemp")
    -- Fern's sprite name finds her own picture, Data\Graphics\Characters\Fern.png.
    SpawnNPC(200, 250, "Fern", "Data\\Scripts\\Fern.lua", "Fern")
    Farm.folkSpawned = true
end
