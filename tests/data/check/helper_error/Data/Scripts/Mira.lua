-- Talk.lines wants a list, and fails inside RunOnce.lua.
local pick = Talk.start("Mira")
Talk.lines("Hello!")
Talk.bye()
