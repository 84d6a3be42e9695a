-- A line far wider than the chat box, set without Talk's wrapping.
local pick = Talk.start("Mira")
SetDialogueLine(0, "This line is much too long to fit in the chat box of the game at all.")
SetDialogueResponse(1, "Goodbye.", -3)
