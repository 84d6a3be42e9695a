-- One character, and an exit to a map that is not there.
SpawnNPC(300, 200, "Mira", "Data\\Scripts\\Mira.lua", "BrambleTemp")
AddMapExit(760, 0, 40, 600, "Nowhere", 10, 10)
