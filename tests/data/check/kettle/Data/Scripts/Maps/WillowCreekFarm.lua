-- One character for the checker to walk.
SpawnNPC(300, 200, "Mudge", "Data\\Scripts\\Mudge.lua", "BrambleTemp")
