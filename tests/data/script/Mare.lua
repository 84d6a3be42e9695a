-- The character script of docs/scripting.md, kept here so the tests run it.
local pick = Talk.start("Mare")          -- active character, cleared box, the last response
Talk.portrait("Mare")

if pick == Talk.CLICKED then
    local visits = Talk.count("visits")
    Talk.say(visits == 1 and "Oh, a new face on " .. Farm.name .. "!" or "Back again?")
    Talk.say(Farm.weatherLine())
    Talk.blank()
    Talk.choice("What needs doing?", 1)
    Talk.choice("Who lives here?", 2)
    Talk.bye()
elseif pick == 1 then
    Talk.say("Today someone has to " .. Farm.chore .. ".")
    Talk.choice("Anything else?", 2)
    Talk.bye("I'll get to it.")
elseif pick == 2 then
    Talk.say("Just " .. Farm.owner .. ", the hens and two stubborn goats.")
    Talk.bye()
end
