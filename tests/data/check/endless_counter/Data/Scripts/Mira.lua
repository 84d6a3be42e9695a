-- Three counters, each raised by its own pick: every path makes new pages, so the walk can only
-- end at a bound.
Talk.start("Mira")
local pick = Talk.response()
for _, name in ipairs({ "a", "b", "c" }) do
    if pick == #name + string.byte(name) then
        Talk.count(name)
    end
end
Talk.say("Counts " .. Talk.get("a", 0) .. ", " .. Talk.get("b", 0) .. ", " .. Talk.get("c", 0))
Talk.choices({ { "More a.", 98 }, { "More b.", 99 }, { "More c.", 100 } })
Talk.bye()
