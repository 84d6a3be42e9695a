-- One character for the checker to walk.
SpawnNPC(300, 200, "Mira", "Data\\Scripts\\Mira.lua", "BrambleTemp")
