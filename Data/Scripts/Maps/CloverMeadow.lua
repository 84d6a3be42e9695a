-- Clover Meadow, east of Willow Creek Farm across the creek. Its script runs on the first
-- visit only. The map and Thistle's place come from tools/maps/CloverMeadow.tmx.
io.stderr:write("Welcome to Clover Meadow!\n")

SetCollision(true)

-- The whole west edge leads back to the farm, at its ford.
-- AddMapExit(x, y, width, height, map, toX, toY)
AddMapExit(0, 0, 48, 600, "WillowCreekFarm", 640, 250)

-- fennow-maptool import: characters (replaced on every import)
-- From CloverMeadow.tmx. SpawnNPC(x, y, name, script, sprite)
SpawnNPC(420, 272, "Thistle", "Data\\Scripts\\Thistle.lua", "Thistle")
-- fennow-maptool import: end of characters
