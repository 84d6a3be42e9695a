-- "Tell me more." leads to a page with nothing to pick.
local pick = Talk.start("Mira")
if pick == 1 then
    Talk.say("That is all I know.")
else
    Talk.say("Hello!")
    Talk.choice("Tell me more.", 1)
    Talk.bye()
end
