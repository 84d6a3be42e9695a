-- A portrait that was never loaded.
local pick = Talk.start("Mira")
Talk.portrait("Mira")
Talk.say("Hello!")
Talk.bye()
