-- A conversation with nothing wrong in it.
local pick = Talk.start("Mira")
Talk.say("Hello!")
Talk.bye()
