-- The farm, with a character that has nothing wrong.
SpawnNPC(300, 200, "Mira", "Data\\Scripts\\Mira.lua", "BrambleTemp")
