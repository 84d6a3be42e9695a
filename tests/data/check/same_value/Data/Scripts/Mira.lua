-- Two answers the script cannot tell apart.
local pick = Talk.start("Mira")
if pick == 1 then
    Talk.say("Either way, then.")
    Talk.bye()
else
    Talk.say("Shall we?")
    Talk.choice("Yes.", 1)
    Talk.choice("No.", 1)
    Talk.bye()
end
