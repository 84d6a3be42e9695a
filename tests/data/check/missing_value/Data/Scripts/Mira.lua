-- A response whose value was forgotten: the game would read it as 0.
local pick = Talk.start("Mira")
Talk.say("Hello!")
Talk.choice("Tell me more.")
Talk.bye()
