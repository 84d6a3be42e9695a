-- One character for the checker to walk.
SpawnNPC(300, 400, "Mira", "Data\\Scripts\\Mira.lua", "BrambleTemp")
