-- Saying goodbye the wrong way: os.exit ends the whole game.
local pick = Talk.start("Mira")
if pick == 1 then
    os.exit(0)
end
Talk.say("Hello!")
Talk.choice("I have to go.", 1)
Talk.bye()
