-- Willow Creek Farm: the start map. Runs once each time the map is loaded.
io.stderr:write("Welcome to Willow Creek Farm!\n")

-- Conversations are easy to leave here (Escape closes the chat box, walking away too), and the
-- pond and the creek flow.
SetFriendlyControls(1)
SetMapAnimation(1)

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
