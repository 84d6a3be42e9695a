-- A missing "then".
local pick = Talk.start("Mira")
if pick == 1
    Talk.say("Hello!")
end
Talk.bye()
