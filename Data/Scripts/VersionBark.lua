-- Run first at start-up: names the game and its version on the console.
-- Written to the standard error stream, where every other console line of the game goes.
io.stderr:write("Fennow-Online version 0.1.0\n")
