-- Asking about the weather never ends.
local pick = Talk.start("Mira")
if pick == 1 then
    while true do
    end
end
Talk.say("Hello!")
Talk.choice("How is the weather?", 1)
Talk.bye()
