-- Quilla minds the pumpkin patch at Willow Creek Farm.
--
-- This file runs when the player clicks Quilla (Talk.response() gives Talk.CLICKED) and again
-- every time the player picks one of her responses (it gives that response's value). Her own
-- memory lives in her script variables (Talk.get, Talk.count, Talk.setText); what the whole
-- farm knows lives in the shared table Farm from RunOnce.lua.

local choice = Talk.start("Quilla")

-- Pictures are loaded once per run of the game, not once per click.
Farm.portraitsLoaded = Farm.portraitsLoaded or {}
if not Farm.portraitsLoaded.Quilla then
    LoadPortrait("Quilla", "Data\\Graphics\\Portraits\\QuillaPortrait.png")
    Farm.portraitsLoaded.Quilla = true
end
if not Farm.portraitsLoaded.PortraitBackground then
    LoadPortrait("PortraitBackground", "Data\\Graphics\\Portraits\\PortraitBackground.png")
    Farm.portraitsLoaded.PortraitBackground = true
end
Talk.portrait("Quilla", "PortraitBackground")

-- Response values: where the conversation goes next.
local ASK_CROPS = 1
local ASK_WORK = 2
local PLANT_PUMPKINS = 11
local PLANT_TURNIPS = 12
local PLANT_SUNFLOWERS = 13
local SHOO_CROWS = 21
local NOT_NOW = 22

local crops = {
    [PLANT_PUMPKINS] = "pumpkins",
    [PLANT_TURNIPS] = "turnips",
    [PLANT_SUNFLOWERS] = "sunflowers",
}

if choice == ASK_CROPS then
    Talk.lines {
        "Pumpkins, mostly. Big round orange ones!",
        "Bramble swears his turnips are finer, but don't you tell him I said so.",
    }
    Talk.blank()
    Talk.say("If you had a patch, what would you grow?")
    Talk.choices {
        { "Pumpkins, of course!", PLANT_PUMPKINS },
        { "Turnips, to keep Bramble happy.", PLANT_TURNIPS },
        { "Sunflowers. Something tall!", PLANT_SUNFLOWERS },
    }

elseif crops[choice] then
    local crop = crops[choice]
    Talk.setText("FavouriteCrop", crop)
    Farm.favouriteCrop = crop
    if crop == "pumpkins" then
        Talk.say("A pumpkin friend! I knew I liked you. I'll save you the biggest seeds.")
    elseif crop == "turnips" then
        Talk.say("Turnips? Oh, Bramble will be smug for a week. Still, they're sturdy.")
    else
        Talk.say("Sunflowers! They'd grin at the sun all summer long. Lovely choice.")
    end
    Talk.blank()
    Talk.choice("Need a hand with anything?", ASK_WORK)
    Talk.bye("I should get going. Bye!")

elseif choice == ASK_WORK then
    if Farm.crowsChased then
        Talk.say("You already chased off the crows! They haven't dared come back since.")
        Talk.say("The seed sacks thank you. So do I.")
        Talk.blank()
        Talk.choice("What grows here, anyway?", ASK_CROPS)
        Talk.bye("Happy to help. Goodbye!")
    else
        Talk.say("Well... the crows keep pinching seed from the sacks by the fence.")
        Talk.say("Could you wave your arms at them?")
        Talk.blank()
        Talk.choices {
            { "Shoo! Shoo! Off with you!", SHOO_CROWS },
            { "Maybe later.", NOT_NOW },
        }
    end

elseif choice == SHOO_CROWS then
    Farm.crowsChased = true
    Talk.lines {
        "Ha! Look at them scatter!",
        "You're a natural, you know. Bramble will hear about this.",
    }
    Talk.blank()
    Talk.choice("What grows here, anyway?", ASK_CROPS)
    Talk.bye("All in a day's work. Bye!")

elseif choice == NOT_NOW then
    Talk.say("No hurry. The crows aren't going anywhere. Sadly.")
    Talk.blank()
    Talk.choice("What grows here, anyway?", ASK_CROPS)
    Talk.bye("See you around, Quilla.")

else
    -- A fresh click, or anything unexpected: greet the player.
    local visits = Talk.count("TimesTalked")
    local crop = Talk.getText("FavouriteCrop")
    if visits == 1 then
        Talk.lines {
            "Oh! Hello there, stranger!",
            "I'm Quilla. I mind the pumpkin patch here at " .. Farm.name .. ".",
            "Mind your step, the vines are sneaky.",
        }
    elseif crop then
        Talk.lines {
            "Welcome back! That's visit " .. visits .. ".",
            "Still dreaming of " .. crop .. "?",
            Farm.weatherLine(),
        }
    else
        Talk.lines {
            "Back again? That's visit " .. visits .. ".",
            "The pumpkins missed you, I think.",
            Farm.weatherLine(),
        }
    end
    Talk.blank()
    Talk.choices {
        { "What grows here?", ASK_CROPS },
        { "Need a hand with anything?", ASK_WORK },
    }
    Talk.bye("Goodbye, Quilla.")
end
