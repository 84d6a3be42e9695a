-- Once round, the two pages only lead to each other.
local pick = Talk.start("Mira")
if pick == 1 then
    Talk.say("Round we go.")
    Talk.choice("Again.", 2)
elseif pick == 2 then
    Talk.say("And around.")
    Talk.choice("Once more.", 1)
else
    Talk.say("Hello!")
    Talk.choice("Let's go round.", 1)
    Talk.bye()
end
