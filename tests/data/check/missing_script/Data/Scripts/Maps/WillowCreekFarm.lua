-- One character for the checker to walk.
SpawnNPC(300, 200, "Mira", "Data\\Scripts\\Nobody.lua", "BrambleTemp")
