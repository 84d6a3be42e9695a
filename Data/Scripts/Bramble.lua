-- Bramble keeps the bees and the turnips at Willow Creek Farm, and is gruffer than he means.
--
-- This file runs when the player clicks Bramble (Talk.response() gives Talk.CLICKED) and
-- again every time the player picks one of his responses (it gives that response's value).
-- His own memory lives in his script variables (Talk.get, Talk.set, Talk.count); what the
-- whole farm knows lives in the shared table Farm from RunOnce.lua.

local choice = Talk.start("Bramble")

-- Pictures are loaded once per run of the game, not once per click.
Farm.portraitsLoaded = Farm.portraitsLoaded or {}
if not Farm.portraitsLoaded.Bramble then
    LoadPortrait("Bramble", "Data\\Graphics\\Portraits\\BramblePortrait.png")
    Farm.portraitsLoaded.Bramble = true
end
if not Farm.portraitsLoaded.PortraitBackground then
    LoadPortrait("PortraitBackground", "Data\\Graphics\\Portraits\\PortraitBackground.png")
    Farm.portraitsLoaded.PortraitBackground = true
end
Talk.portrait("Bramble", "PortraitBackground")

-- Response values: where the conversation goes next.
local ASK_BEES = 1
local ASK_TURNIPS = 2
local TAKE_HONEY = 11
local AFRAID = 12

if choice == ASK_BEES then
    Talk.say("Three hives. Forty thousand bees, give or take a few. They make the sweetest " ..
             "clover honey this side of the creek.")
    Talk.blank()
    Talk.say("Suppose you'll be wanting a taste?")
    Talk.choices {
        { "Yes please!", TAKE_HONEY },
        { "I'm a little afraid of bees.", AFRAID },
    }

elseif choice == TAKE_HONEY then
    if Talk.get("HoneyGiven", 0) > 0 then
        Talk.say("Greedy, eh? One jar per visitor. Come back when the clover blooms.")
        Talk.blank()
        Talk.choice("Tell me about your turnips.", ASK_TURNIPS)
        Talk.bye("Fair enough. Bye, Bramble.")
    else
        Talk.set("HoneyGiven", 1)
        Farm.honeyJars = (Farm.honeyJars or 0) + 1
        Talk.lines {
            "Here. One jar of clover honey.",
            "Don't tell Quilla. She'll want two.",
        }
        Talk.blank()
        Talk.choice("Tell me about your turnips.", ASK_TURNIPS)
        Talk.bye("Thank you! Goodbye.")
    end

elseif choice == AFRAID then
    Talk.lines {
        "Nothing to fear if you move slow and speak kindly.",
        "Same as with me, really.",
    }
    Talk.blank()
    Talk.choice("Alright, I'll try the honey.", TAKE_HONEY)
    Talk.bye("I'll keep my distance. Bye!")

elseif choice == ASK_TURNIPS then
    Talk.say("Finest in the valley. Won a ribbon for them, three summers running.")
    if Farm.favouriteCrop == "turnips" then
        Talk.say("Quilla says you'd plant turnips too. Smart. Very smart.")
    elseif Farm.favouriteCrop then
        Talk.say("Quilla says you fancy " .. Farm.favouriteCrop .. ". Hmph. Each to their own.")
    end
    Talk.blank()
    Talk.choice("Tell me about the bees.", ASK_BEES)
    Talk.bye("I'll leave you to it.")

else
    -- A fresh click, or anything unexpected: greet the player.
    local visits = Talk.count("TimesTalked")
    if visits == 1 then
        Talk.lines {
            "Hmph. Another visitor, is it?",
            "Name's Bramble. I keep the bees and the turnips, and I keep them well.",
            "Don't go poking at the hives.",
        }
    else
        Talk.lines {
            "You again. Visit " .. visits .. ", by my count.",
            "The bees have started humming your name.",
            "Make yourself useful: someone has to " .. Farm.chore .. ".",
        }
    end
    if Farm.crowsChased then
        Talk.say("Quilla says you ran off her crows. Not bad. Not bad at all.")
    end
    Talk.blank()
    Talk.choices {
        { "Tell me about the bees.", ASK_BEES },
        { "Are your turnips really the finest?", ASK_TURNIPS },
    }
    Talk.bye("I'll leave you be.")
end
