-- A response without its value.
local pick = Talk.start("Mira")
Talk.say("Hello!")
SetDialogueResponse(1, "Tell me more.")
SetDialogueResponse(2, "Goodbye.", -3)
