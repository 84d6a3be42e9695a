-- One character for the checker to walk.
SpawnNPC(900, 100, "Mira", "Data\\Scripts\\Mira.lua", "BrambleTemp")
