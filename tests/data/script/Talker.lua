-- A tiny conversation for the tests: greet on a click, answer a pick, close on -3.
local response = GetLastChatResponse()
SetActiveNPCA("Talker")
seen = seen or {}
seen[#seen + 1] = response
if response == -2 then
    ClearDialogue()
    SetDialogueLine(0, "Hello!")
    SetDialogueResponse(1, "Tell me more", 5)
    SetDialogueResponse(2, "Bye", -3)
elseif response == 5 then
    SetDialogueLine(0, "More it is.")
end
