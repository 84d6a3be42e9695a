-- The meadow: its character has a script that is not there.
SpawnNPC(300, 200, "Mira", "Data\\Scripts\\Mira.lua", "BrambleTemp")
SpawnNPC(400, 200, "Tam", "Data\\Scripts\\Tam.lua", "BrambleTemp")
