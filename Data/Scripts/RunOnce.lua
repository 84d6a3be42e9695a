-- Run once at start-up, after VersionBark.lua and before the first map.
-- Everything defined here stays visible to every later script: map scripts and the scripts of
-- the characters, on every click. See docs/scripting.md for how to use it.

---------------------------------------------------------------------------------------------
-- Farm: the facts of the place that every character can talk about.
---------------------------------------------------------------------------------------------
Farm = {
    name = "Willow Creek Farm",
    owner = "the Mare family",
    weathers = { "sunny", "windy", "drizzly", "foggy", "bright but cold" },
    chores = {
        "feed the hens",
        "mend the east fence",
        "fetch water from the creek",
        "turn the compost",
        "bring the goats in",
        "pick the last of the beans",
    },
}

-- The weather and the chore change with the calendar day, so every character agrees on them.
local today = os.date("*t").yday
Farm.day = today
Farm.weather = Farm.weathers[today % #Farm.weathers + 1]
Farm.chore = Farm.chores[today % #Farm.chores + 1]

-- "It is windy today on Willow Creek Farm."
function Farm.weatherLine()
    return "It is " .. Farm.weather .. " today on " .. Farm.name .. "."
end

---------------------------------------------------------------------------------------------
-- Talk: writing a conversation without counting lines.
---------------------------------------------------------------------------------------------
Talk = {
    NONE = -1,      -- no response: a plain line was clicked
    CLICKED = -2,   -- the script was started by a click on its character
    CLOSE = -3,     -- a response with this value closes the chat box
    LINES = 12,     -- the chat box shows lines 0 to 11
    WIDTH = 44,     -- characters that fit on one line of the chat box
    BYTES = 79,     -- bytes a chat line holds (a longer text is cut)
    MISSING = -100, -- what GetScriptVariableI returns for a variable that does not exist
    nextLine = 0,
}

-- Author mode and fennow-check hear of these too: the game defines ReportScriptProblem only
-- while something listens.
local function warn(text, kind)
    io.stderr:write("Talk: " .. text .. "\n")
    if ReportScriptProblem then
        ReportScriptProblem(kind or "text", text)
    end
end

-- A nil, a table, a boolean or a function where a text belongs is most often a misspelt name
-- (Farm.kettleNmae). Only author mode and fennow-check hear of it; the player's game shows
-- what tostring makes of it, as it always has.
local function checkText(text, helper)
    local kind = type(text)
    if ReportScriptProblem and kind ~= "string" and kind ~= "number" then
        local given = kind == "nil" and "nil" or "a " .. kind
        ReportScriptProblem("text", helper .. " was given " .. given .. " where a text belongs")
    end
end

-- The number of characters (not bytes) of a UTF-8 text.
local function length(text)
    return #text:gsub("[\128-\191]", "")
end

local function fits(text, width)
    return length(text) <= width and #text <= Talk.BYTES
end

-- The longest head of a word that fits a line, and the rest; never splits a character.
local function cut(word, width)
    local bytes = 0
    for _ = 1, width do
        local finish = bytes + 1
        while (word:byte(finish + 1) or 0) >= 128 and (word:byte(finish + 1) or 0) < 192 do
            finish = finish + 1
        end
        if finish > #word or finish > Talk.BYTES then
            break
        end
        bytes = finish
    end
    return word:sub(1, bytes), word:sub(bytes + 1)
end

-- Splits a text into lines of at most `width` characters (Talk.WIDTH by default), breaking
-- at blanks where it can. Returns a list of lines; an empty text gives one empty line.
function Talk.wrap(text, width)
    width = math.max(1, math.floor(tonumber(width) or Talk.WIDTH))
    text = tostring(text)
    local lines, current = {}, ""
    for word in text:gmatch("%S+") do
        while not fits(word, width) do
            if current ~= "" then
                lines[#lines + 1] = current
                current = ""
            end
            local head, rest = cut(word, width)
            lines[#lines + 1] = head
            word = rest
        end
        if current == "" then
            current = word
        elseif fits(current .. " " .. word, width) then
            current = current .. " " .. word
        else
            lines[#lines + 1] = current
            current = word
        end
    end
    if current ~= "" or #lines == 0 then
        lines[#lines + 1] = current
    end
    return lines
end

-- The response that started this run: Talk.CLICKED after a click on the character, the value
-- of the picked response otherwise.
function Talk.response()
    return GetLastChatResponse()
end

-- Begins a fresh page of dialogue for the character `name`: makes it the active character
-- (so its variables are used and its script hears the answer), clears the chat box and
-- starts again at line 0. Returns Talk.response().
function Talk.start(name)
    SetActiveNPCA(name)
    ClearDialogue()
    Talk.nextLine = 0
    return Talk.response()
end

-- Shows `name` as the portrait and, when given, `background` behind it. Both must have been
-- loaded with LoadPortrait (RunOnce.lua or a map script is a good place).
function Talk.portrait(name, background)
    SetPortrait(name)
    if background then
        SetPortraitBackground(background)
    end
end

local function takeLine()
    if Talk.nextLine >= Talk.LINES then
        return nil
    end
    local index = Talk.nextLine
    Talk.nextLine = index + 1
    return index
end

-- Adds a text on the next free lines, wrapped to the width of the chat box.
-- Returns the index of the first line used, or nil when the chat box is full.
function Talk.say(text)
    checkText(text, "Talk.say")
    local first
    for _, part in ipairs(Talk.wrap(text)) do
        local index = takeLine()
        if not index then
            warn("the chat box is full; \"" .. part .. "\" is not shown")
            return first
        end
        SetDialogueLine(index, part)
        first = first or index
    end
    return first
end

-- Adds every text of a list with Talk.say: Talk.lines{ "Hello!", Farm.weatherLine() }.
function Talk.lines(list)
    for _, text in ipairs(list) do
        Talk.say(text)
    end
end

-- Adds an empty line.
function Talk.blank()
    local index = takeLine()
    if index then
        SetDialogueLine(index, "~BLANK")
    end
end

-- Adds a clickable response with a value of your choice (not -1, -2 or -3). Picking it runs
-- the active character's script again, where Talk.response() gives the value.
function Talk.choice(text, value)
    if value == Talk.NONE or value == Talk.CLICKED then
        warn("response \"" .. tostring(text) .. "\" uses the reserved value " .. value, "value")
    end
    local index = takeLine()
    if not index then
        warn("the chat box is full; \"" .. tostring(text) .. "\" is not shown")
        return nil
    end
    SetDialogueResponse(index, text, value)
    return index
end

-- Adds a list of responses: Talk.choices{ {"Tell me more", 1}, {"Not now", 2} }.
function Talk.choices(list)
    for _, pair in ipairs(list) do
        Talk.choice(pair[1], pair[2])
    end
end

-- Adds the response that closes the chat box ("Goodbye." unless you give a text).
function Talk.bye(text)
    return Talk.choice(text or "Goodbye.", Talk.CLOSE)
end

-- The active character's memory, kept in its script variables between runs.
-- Talk.get returns `default` (or nil) when the number was never stored.
function Talk.get(name, default)
    local value = GetScriptVariableI(name)
    if value == nil or value == Talk.MISSING then
        return default
    end
    return value
end

-- Stores a whole number (keeps exactly one variable of that name).
function Talk.set(name, value)
    DeleteScriptVariable(name)
    AddScriptVariableI(name, value)
end

-- Texts: Talk.getText returns `default` (or nil) when no text was stored.
function Talk.getText(name, default)
    local text = GetScriptVariableA(name)
    if text == nil then
        return default
    end
    return text
end

function Talk.setText(name, text)
    DeleteScriptVariable(name)
    AddScriptVariableA(name, text)
end

-- Adds one to a counter and returns the new count: Talk.count("visits").
function Talk.count(name)
    local count = Talk.get(name, 0) + 1
    Talk.set(name, count)
    return count
end

-- The farm keeps the player's progress in FennowOnline.sav (docs/scripting.md, "Saving
-- progress"); --new-game starts afresh.
EnableSaving()
