-- Fern keeps the hens and the old apple tree by the barn at Willow Creek Farm.
--
-- This file runs when the player clicks Fern (Talk.response() gives Talk.CLICKED) and again
-- every time the player picks one of her responses (it gives that response's value). Her own
-- memory lives in her script variables (Talk.count, Talk.get, Talk.setText); what the whole
-- farm knows lives in the shared table Farm from RunOnce.lua. Her picture is her own file,
-- Data\Graphics\Characters\Fern.png, which the map script picks with the sprite name "Fern".

local choice = Talk.start("Fern")

-- Pictures are loaded once per run of the game, not once per click.
Farm.portraitsLoaded = Farm.portraitsLoaded or {}
if not Farm.portraitsLoaded.Fern then
    LoadPortrait("Fern", "Data\\Graphics\\Portraits\\FernPortrait.png")
    Farm.portraitsLoaded.Fern = true
end
if not Farm.portraitsLoaded.PortraitBackground then
    LoadPortrait("PortraitBackground", "Data\\Graphics\\Portraits\\PortraitBackground.png")
    Farm.portraitsLoaded.PortraitBackground = true
end
Talk.portrait("Fern", "PortraitBackground")

-- Response values: where the conversation goes next.
local ASK_HENS = 1
local ASK_APPLES = 2
local HUNT = 3
local NAME_CLEMENTINE = 11
local NAME_PEPPER = 12
local NAME_DUCHESS = 13
local LOOK_HAY = 21
local LOOK_TROUGH = 22
local LOOK_WELL = 23
local TAKE_APPLE = 31
local FOR_THE_GOATS = 32

local henNames = {
    [NAME_CLEMENTINE] = "Clementine",
    [NAME_PEPPER] = "Pepper",
    [NAME_DUCHESS] = "Duchess",
}
local places = { LOOK_HAY, LOOK_TROUGH, LOOK_WELL }
local hen = Talk.getText("HenName")

-- The egg hunt: the hens pick a new hiding place every day, the same one all day long.
local function lookChoices()
    Talk.choices {
        { "In the hay by the barn.", LOOK_HAY },
        { "Under the water trough.", LOOK_TROUGH },
        { "Behind the well.", LOOK_WELL },
    }
end

local function isHidingPlace(place)
    return place == places[Farm.day % #places + 1]
end

if choice == ASK_HENS then
    Talk.say("Seven hens, and a rooster who thinks he owns the farm.")
    if hen then
        Talk.say(hen .. " is the bossiest of them all now. It suits her.")
        Talk.blank()
        Talk.choice("Let's look for eggs!", HUNT)
        Talk.choice("That apple tree looks heavy.", ASK_APPLES)
        Talk.bye("Bye, Fern. Bye, " .. hen .. "!")
    else
        Talk.say("The speckled one still has no name. Will you pick one?")
        Talk.blank()
        Talk.choices {
            { "Clementine.", NAME_CLEMENTINE },
            { "Pepper.", NAME_PEPPER },
            { "Duchess.", NAME_DUCHESS },
        }
        Talk.bye("I'll think about it. Bye!")
    end

elseif henNames[choice] then
    hen = henNames[choice]
    Talk.setText("HenName", hen)
    Talk.lines {
        hen .. "! She fluffed up her feathers. I think she approves.",
        "She lays the brownest eggs on the farm, you know.",
    }
    Talk.blank()
    Talk.choice("Let's look for eggs!", HUNT)
    Talk.bye("Bye, Fern. Bye, " .. hen .. "!")

elseif choice == HUNT then
    if Talk.get("EggDay") == Farm.day then
        Talk.say("You found today's egg already. The hens need their rest, you know.")
        Talk.blank()
        Talk.choice("That apple tree looks heavy.", ASK_APPLES)
        Talk.bye("Fair enough. Goodbye!")
    else
        Talk.say("They hide them all over the place. Where shall we look?")
        Talk.blank()
        lookChoices()
        Talk.bye("Maybe later.")
    end

elseif choice == LOOK_HAY or choice == LOOK_TROUGH or choice == LOOK_WELL then
    if isHidingPlace(choice) then
        local eggs = Talk.count("EggsFound")
        Talk.set("EggDay", Farm.day)
        Farm.eggsFound = (Farm.eggsFound or 0) + 1
        Talk.say("An egg! Still warm, too.")
        if eggs == 1 then
            Talk.say("Your very first. I'll write it in the egg book.")
        else
            Talk.say("That makes " .. eggs .. " eggs you've found for me.")
        end
        Talk.blank()
        Talk.choice("That apple tree looks heavy.", ASK_APPLES)
        Talk.bye("Happy to help. Bye, Fern!")
    else
        Talk.say("Nothing here but a sleepy cat. Try somewhere else?")
        Talk.blank()
        lookChoices()
        Talk.bye("I give up. Goodbye!")
    end

elseif choice == ASK_APPLES then
    local apple = Talk.get("Apple", 0)
    if apple == TAKE_APPLE then
        Talk.say("You've had your apple! The rest are for pies.")
    elseif apple == FOR_THE_GOATS then
        Talk.say("The goats still talk about that apple. Loudly.")
    else
        Talk.lines {
            "Heavy as anything. The branches nearly touch the barn roof.",
            "Go on, take one.",
        }
    end
    if Farm.honeyJars then
        Talk.say("Bramble's honey on a baked apple... now that's a supper.")
    end
    Talk.blank()
    if apple == 0 then
        Talk.choices {
            { "Thank you! *crunch*", TAKE_APPLE },
            { "Save it for the goats.", FOR_THE_GOATS },
        }
    else
        Talk.choice("Tell me about the hens.", ASK_HENS)
    end
    Talk.bye("See you later, Fern.")

elseif choice == TAKE_APPLE or choice == FOR_THE_GOATS then
    Talk.set("Apple", choice)
    if choice == TAKE_APPLE then
        Talk.lines {
            "Sweet, isn't it? Quilla says pumpkins are better.",
            "Quilla is wrong.",
        }
    else
        Talk.say("How kind. The goats will sing your praises. Loudly.")
    end
    Talk.blank()
    Talk.choice("Tell me about the hens.", ASK_HENS)
    Talk.bye("Goodbye, Fern.")

else
    -- A fresh click, or anything unexpected: greet the player.
    local visits = Talk.count("TimesTalked")
    if visits == 1 then
        Talk.lines {
            "Oh, hello! Mind the hens, they peck at bootlaces.",
            "I'm Fern. I keep the hens and the old apple tree by the barn.",
        }
    else
        Talk.say("Hello again! That's visit " .. visits .. ".")
        if hen then
            Talk.say(hen .. " keeps asking after you.")
        else
            Talk.say("The hens have taken a liking to you.")
        end
        Talk.say(Farm.weatherLine())
    end
    if Farm.chore == "feed the hens" then
        Talk.say("Feeding the hens is today's chore. Hooray!")
    end
    if Farm.crowsChased then
        Talk.say("Quilla's crows moved to my apple tree!")
    end
    Talk.blank()
    Talk.choices {
        { "Tell me about the hens.", ASK_HENS },
        { "That apple tree looks heavy.", ASK_APPLES },
    }
    Talk.bye("Goodbye, Fern.")
end
