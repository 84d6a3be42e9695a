-- Willow Creek Farm: the start map. Runs once each time the map is loaded.
io.stderr:write("Welcome to Willow Creek Farm!\n")
