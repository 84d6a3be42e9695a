-- Tamsin.png is there, but it is no picture.
LoadPortrait("Tamsin", "Data\\Portraits\\Tamsin.png")
SpawnNPC(300, 200, "Mira", "Data\\Scripts\\Mira.lua", "BrambleTemp")
