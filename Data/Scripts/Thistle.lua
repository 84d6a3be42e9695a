-- Thistle keeps the bees of Clover Meadow, east of Willow Creek Farm across the creek.
--
-- This file runs when the player clicks Thistle and again for every response picked. Her
-- memory lives in her script variables, which the meadow keeps while the player is away;
-- what the whole farm knows lives in the shared table Farm. Her picture is her own file,
-- Data\Graphics\Characters\Thistle.png, which the meadow picks with the sprite name "Thistle".

local choice = Talk.start("Thistle")

Farm.portraitsLoaded = Farm.portraitsLoaded or {}
if not Farm.portraitsLoaded.Thistle then
    LoadPortrait("Thistle", "Data\\Graphics\\Portraits\\ThistlePortrait.png")
    Farm.portraitsLoaded.Thistle = true
end
if not Farm.portraitsLoaded.PortraitBackground then
    LoadPortrait("PortraitBackground", "Data\\Graphics\\Portraits\\PortraitBackground.png")
    Farm.portraitsLoaded.PortraitBackground = true
end
Talk.portrait("Thistle", "PortraitBackground")

-- Response values: where the conversation goes next.
local ASK_BEES = 1
local ASK_MEADOW = 2
local TAKE_HONEY = 3
local WALK_BACK = 4
local FLOWER_CLOVER = 11
local FLOWER_LAVENDER = 12
local FLOWER_APPLE = 13

local flowers = {
    [FLOWER_CLOVER] = "clover",
    [FLOWER_LAVENDER] = "lavender",
    [FLOWER_APPLE] = "apple blossom",
}
local favourite = Talk.getText("Favourite")

local function moreChoices()
    Talk.choices {
        { "Tell me about the bees.", ASK_BEES },
        { "What is this place?", ASK_MEADOW },
        { "Could you walk me back to the farm?", WALK_BACK },
    }
end

if choice == ASK_BEES then
    Talk.say("Three hives, forty thousand bees, and not one of them listens to me.")
    if favourite then
        Talk.say("This week they can't get enough of the " .. favourite .. ".")
        Talk.blank()
        if Talk.get("HoneyDay") ~= Farm.day then
            Talk.choice("Is there honey to spare?", TAKE_HONEY)
        end
        Talk.choice("What is this place?", ASK_MEADOW)
        Talk.bye("Bye, Thistle. Bye, bees!")
    else
        Talk.say("Which flowers do you think they like best?")
        Talk.blank()
        Talk.choices {
            { "The clover, surely.", FLOWER_CLOVER },
            { "The lavender by the fence.", FLOWER_LAVENDER },
            { "The apple blossom.", FLOWER_APPLE },
        }
        Talk.bye("No idea. Goodbye!")
    end

elseif flowers[choice] then
    favourite = flowers[choice]
    Talk.setText("Favourite", favourite)
    Talk.lines {
        "The " .. favourite .. "? Hmm. I'll watch where they fly tomorrow.",
        "If you're right, you get the first jar.",
    }
    Talk.blank()
    Talk.choice("Is there honey to spare?", TAKE_HONEY)
    Talk.bye("Good luck with the bees!")

elseif choice == TAKE_HONEY then
    if Talk.get("HoneyDay") == Farm.day then
        Talk.say("One jar a day! The bees keep count, and so do I.")
    else
        Talk.set("HoneyDay", Farm.day)
        local jars = Talk.count("JarsGiven")
        Farm.honeyJars = (Farm.honeyJars or 0) + 1
        Talk.say("Here, a jar of meadow honey. Fern bakes apples with it.")
        if jars > 1 then
            Talk.say("That's jar number " .. jars .. ". You'll turn into a bee.")
        end
    end
    Talk.blank()
    moreChoices()
    Talk.bye("Thank you, Thistle!")

elseif choice == ASK_MEADOW then
    Talk.lines {
        "Clover Meadow. The Mares let me keep my hives here,",
        "and I keep their apples pollinated. A fair trade.",
        "The path west fords the creek back to the farm.",
    }
    Talk.blank()
    moreChoices()
    Talk.bye("Goodbye, Thistle.")

elseif choice == WALK_BACK then
    -- The chat box closes and the player is taken to the farm once this run has ended.
    Talk.say("Come on, then. Mind the stepping stones.")
    GoToMap("WillowCreekFarm", 560, 170)

else
    -- A fresh click: greet the player, remembering earlier visits.
    local visits = Talk.count("TimesTalked")
    if visits == 1 then
        Talk.lines {
            "Careful where you step, there are bees in the clover.",
            "I'm Thistle. I keep the hives on Clover Meadow.",
        }
    else
        Talk.say("Back again? That's visit " .. visits .. ".")
        if favourite then
            Talk.say("The bees still fancy the " .. favourite .. ".")
        end
    end
    Talk.say(Farm.weatherLine())
    Talk.blank()
    moreChoices()
    Talk.bye("Goodbye, Thistle.")
end
