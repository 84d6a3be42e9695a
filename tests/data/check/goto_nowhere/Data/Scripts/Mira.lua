-- Mira offers a walk to a map that is not there; the move ends the conversation.
local pick = Talk.start("Mira")
if pick == 1 then
    GoToMap("Nowhere", 10, 10)
else
    Talk.choice("Show me the way.", 1)
    Talk.bye()
end
