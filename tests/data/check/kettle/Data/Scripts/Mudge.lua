-- "kettle" is not a number, so it counts as 0; followed, it leads back to the greeting, which
-- counts visits, so every pick would make a new page.
local pick = Talk.start("Mudge")
if pick == 1 then
    Talk.say("The farm is quiet today.")
    Talk.bye()
else
    local visits = Talk.count("visits")
    Talk.say("Hello! This is visit " .. visits .. ".")
    Talk.choice("Put the kettle on.", "kettle")
    Talk.choice("How is the farm?", 1)
    Talk.bye()
end
