---@meta
-- What Fennow-Online's scripts can call, for the Lua language server (LuaLS): the game's own
-- functions and the Farm and Talk helpers of Data\Scripts\RunOnce.lua. Nothing here runs;
-- the .luarc.json at the project root points the server at this folder. The full story of
-- every function is in docs/scripting.md.
--
-- Every game function reads its arguments by position and never raises an error: a call with
-- too few arguments prints a line on the console, returns nothing (nil) and the script goes on.

---A text argument: a string, or a number as Lua writes it (42 is "42"); nil, a boolean or a
---table is no text, and the call is refused.
---@alias ScriptText string|number

---A list entry for Talk.choices: the response's text and its value.
---@alias TalkChoice { [1]: ScriptText, [2]: integer }

---------------------------------------------------------------------------------------------
-- Debug mode
---------------------------------------------------------------------------------------------

---Turns debug mode on: every checked function first prints the arguments it was given.
---@return integer accepted always 1
function Activate_Debug_Mode() end

---Turns debug mode off.
---@return integer accepted always 1
function Deactivate_Debug_Mode() end

---------------------------------------------------------------------------------------------
-- Dialogue and portraits
---------------------------------------------------------------------------------------------

---Shows the portrait loaded under `name` in the chat box; a name never loaded shows none.
---@param name ScriptText portrait name given to LoadPortrait (case-sensitive)
---@return integer? accepted 1, or nil when the call was refused
function SetPortrait(name) end

---Shows the portrait loaded under `name` behind the portrait; a name never loaded shows none.
---@param name ScriptText portrait name given to LoadPortrait (case-sensitive)
---@return integer? accepted 1, or nil when the call was refused
function SetPortraitBackground(name) end

---Loads a picture file and keeps it under `name` for the rest of the run (magenta is see-through).
---@param name ScriptText the name SetPortrait and Talk.portrait will use
---@param path ScriptText picture file, e.g. "Data\\Graphics\\Portraits\\Mare.png"
---@return integer? accepted 1 (also when the file did not load), or nil when refused
function LoadPortrait(name, path) end

---Makes chat line `index` a plain line with `text` ("~BLANK" gives an empty-looking line).
---@param index integer line 0 to 11, top to bottom; any other index changes nothing
---@param text ScriptText at most 79 bytes are shown
---@return integer? accepted 1, or nil when the call was refused
function SetDialogueLine(index, text) end

---Makes chat line `index` a clickable response that carries `value`.
---@param index integer line 0 to 11, top to bottom; any other index changes nothing
---@param text ScriptText at most 79 bytes are shown
---@param value integer the response: -3 closes the chat box; -1 and -2 are reserved
---@return integer? accepted 1, or nil when the call was refused
function SetDialogueResponse(index, text, value) end

---Empties all twelve chat lines.
---@return integer accepted always 1
function ClearDialogue() end

---The last response: -2 in a run started by a click on the character, else the picked value.
---@return integer response -1 none, -2 clicked, -3 close, or a response's own value
function GetLastChatResponse() end

---------------------------------------------------------------------------------------------
-- Characters
---------------------------------------------------------------------------------------------

---Makes the character with this number the active one; no such character leaves none active.
---@param number integer 0 for the first character spawned, 1 for the next ...
---@return integer? accepted 1, or nil when the call was refused
function SetActiveNPCI(number) end

---Makes the first character called `name` the active one; no such character leaves none active.
---@param name ScriptText the character's name as given to SpawnNPC
---@return integer? accepted 1, or nil when the call was refused
function SetActiveNPCA(name) end

---Creates a character (refusals name it "AddNPC"); its click box is x+32..x+64, y+18..y+86.
---@param x integer left edge of its picture in window pixels (800 x 600)
---@param y integer top edge of its picture in window pixels
---@param name ScriptText the name SetActiveNPCA and Talk.start look for
---@param scriptPath ScriptText script run on a click, at most 255 bytes: "Data\\Scripts\\M.lua"
---@param spriteName ScriptText "QuillaTemp" for the Quilla picture; anything else the default
---@return integer? accepted 1, or nil when refused (also for a too long script path)
function SpawnNPC(x, y, name, scriptPath, spriteName) end

---------------------------------------------------------------------------------------------
-- Variables of the active character (refused while no character is active)
---------------------------------------------------------------------------------------------

---Adds a number variable to the active character, even if the name exists already.
---@param name ScriptText variable name
---@param value number kept as a single-precision float
---@return integer? accepted 1, or nil when the call was refused
function AddScriptVariableI(name, value) end

---Adds a text variable to the active character, even if the name exists already.
---@param name ScriptText variable name
---@param text ScriptText the text, every byte kept
---@return integer? accepted 1, or nil when the call was refused
function AddScriptVariableA(name, text) end

---Deletes every variable of that name of the active character.
---@param name ScriptText variable name
---@return integer? accepted 1, or nil when the call was refused
function DeleteScriptVariable(name) end

---The active character's first number variable of that name.
---@param name ScriptText variable name
---@return number? value -100 when there is none, 0 for a text variable, nil when refused
function GetScriptVariableI(name) end

---The active character's first text variable of that name.
---@param name ScriptText variable name
---@return string? text nil when there is none, for a number variable, or when refused
function GetScriptVariableA(name) end

---Changes the active character's first variable of that name to a number; adds nothing.
---@param name ScriptText variable name
---@param value number kept as a single-precision float
---@return integer? accepted 1 (also when the name is missing), or nil when refused
function SetScriptVariableI(name, value) end

---Changes the active character's first variable of that name to a text; adds nothing.
---@param name ScriptText variable name
---@param text ScriptText the text, every byte kept
---@return integer? accepted 1 (also when the name is missing), or nil when refused
function SetScriptVariableA(name, text) end

---------------------------------------------------------------------------------------------
-- The world: collision, exits and other maps (each acts on the map on show, which keeps it)
---------------------------------------------------------------------------------------------

---Turns collision on or off for the map on show: solid cells (flags bit 0), characters' feet
---and the map's picture stop the player's feet (x+34..x+62, y+74..y+86 of its frame).
---@param on boolean|number true or a number other than 0 for on; false or 0 for off
---@return integer? accepted 1, or nil when refused
function SetCollision(on) end

---Adds an exit to the map on show: feet walking into the rectangle go to `map` at (toX, toY).
---@param x integer left edge in window pixels
---@param y integer top edge in window pixels
---@param width integer above 0; the right edge x+width is outside
---@param height integer above 0; the bottom edge y+height is outside
---@param map ScriptText a bare map name: "Meadow" for Data\Maps\Meadow.fmp
---@param toX integer where the player's picture is put on that map
---@param toY integer
---@return integer? accepted 1, or nil when refused
function AddMapExit(x, y, width, height, map, toX, toY) end

---Goes to `map` once the running script has returned, and puts the player at (x, y).
---@param map ScriptText a bare map name; its script runs on the first visit only
---@param x integer
---@param y integer
---@return integer? accepted 1, or nil when refused
function GoToMap(map, x, y) end

---Puts the player's picture at (x, y) now.
---@param x integer left edge in window pixels
---@param y integer top edge in window pixels
---@return integer? accepted 1, or nil when refused
function SetPlayerPosition(x, y) end
-- Powers a map's script switches on for its map (all off at start-up)
---------------------------------------------------------------------------------------------

---Escape closes an open chat box (quitting only when none is open), walking more than 160 px
---from the active character closes it, the response under the pointer is highlighted, and a
---click within 300 ms of a new page is ignored.
---@param on boolean|integer true or 1 switches on, false or 0 off
---@return integer? accepted 1, or nil when refused (no argument, or not a number or boolean)
function SetFriendlyControls(on) end

---The map's block animations advance every tick by their own delays and types.
---@param on boolean|integer true or 1 switches on, false or 0 off
---@return integer? accepted 1, or nil when refused (no argument, or not a number or boolean)
function SetMapAnimation(on) end

---------------------------------------------------------------------------------------------
-- Saving
---------------------------------------------------------------------------------------------

---Switches saving on for the run: the progress goes to FennowOnline.sav on every map change,
---every close of the chat box and on quitting, and the save (when there is one) is loaded in
---place of the start map. Call it from RunOnce.lua; after the start-up scripts it is refused.
---@return integer? accepted 1, or nil when the call was refused
function EnableSaving() end

---------------------------------------------------------------------------------------------
-- Farm (RunOnce.lua): the facts of the place that every character can talk about
---------------------------------------------------------------------------------------------

---The farm's facts; add your own in RunOnce.lua or a map script.
---@class Farm
---@field name string "Willow Creek Farm"
---@field owner string "the Mare family"
---@field weathers string[] every weather the farm can have
---@field chores string[] every chore of the farm
---@field day integer the day of the year the game started on
---@field weather string today's weather, one of Farm.weathers
---@field chore string today's chore, one of Farm.chores
---@field [string] any facts added by other scripts
Farm = {}

---Today's weather as a sentence: "It is windy today on Willow Creek Farm."
---@return string line
function Farm.weatherLine() end

---------------------------------------------------------------------------------------------
-- Talk (RunOnce.lua): writing a conversation without counting lines
---------------------------------------------------------------------------------------------

---Writes chat lines one after another for the active character's conversation.
---@class Talk
---@field NONE integer -1: no response, a plain line was clicked
---@field CLICKED integer -2: the script was started by a click on its character
---@field CLOSE integer -3: a response with this value closes the chat box
---@field LINES integer 12: the chat box shows lines 0 to 11
---@field WIDTH integer 44: characters that fit on one chat line
---@field BYTES integer 79: bytes a chat line holds
---@field MISSING integer -100: what GetScriptVariableI returns for a missing variable
---@field nextLine integer the line the next say, blank or choice writes (Talk.start sets 0)
Talk = {}

---Splits a text into lines of at most `width` characters, breaking at blanks where it can.
---@param text ScriptText the text
---@param width? integer characters per line, Talk.WIDTH when not given
---@return string[] lines at least one, an empty text gives one empty line
function Talk.wrap(text, width) end

---The response that started this run (GetLastChatResponse()).
---@return integer response Talk.CLICKED after a click, else the picked response's value
function Talk.response() end

---Makes `name` the active character, clears the chat box and starts again at line 0.
---@param name ScriptText the character's name as given to SpawnNPC
---@return integer response Talk.response()
function Talk.start(name) end

---Shows a loaded portrait and, when given, a loaded background behind it.
---@param name ScriptText portrait name given to LoadPortrait
---@param background? ScriptText background name given to LoadPortrait
function Talk.portrait(name, background) end

---Adds a text on the next free lines, wrapped to the chat box; warns when the box is full, and
---(in author mode and fennow-check) when given nil, a table, a boolean or a function.
---@param text ScriptText the text
---@return integer? first the first line used, or nil when nothing was shown
function Talk.say(text) end

---Talk.say for every text of a list: Talk.lines{ "Hello!", Farm.weatherLine() }.
---@param list ScriptText[] the texts, in order
function Talk.lines(list) end

---Adds an empty line.
function Talk.blank() end

---Adds a clickable response on the next free line; its value comes back from Talk.response().
---@param text ScriptText the response's text
---@param value integer your own value, not -1 or -2 (-3 closes the chat box)
---@return integer? index the line used, or nil when the chat box is full
function Talk.choice(text, value) end

---Adds several responses: Talk.choices{ {"Tell me more", 1}, {"Not now", 2} }.
---@param list TalkChoice[] text and value of each response
function Talk.choices(list) end

---Adds the response that closes the chat box.
---@param text? ScriptText its text, "Goodbye." when not given
---@return integer? index the line used, or nil when the chat box is full
function Talk.bye(text) end

---The active character's number variable, or `default` when it was never stored.
---@param name ScriptText variable name
---@param default? any what to return for a missing variable (nil when not given)
---@return any value
function Talk.get(name, default) end

---Stores a number in the active character's variable, keeping exactly one of that name.
---@param name ScriptText variable name
---@param value number the number (not -100, which reads back as missing)
function Talk.set(name, value) end

---The active character's text variable, or `default` when none was stored.
---@param name ScriptText variable name
---@param default? any what to return for a missing text (nil when not given)
---@return any text
function Talk.getText(name, default) end

---Stores a text in the active character's variable, keeping exactly one of that name.
---@param name ScriptText variable name
---@param text ScriptText the text
function Talk.setText(name, text) end

---Adds one to the active character's counter (starting from 0) and returns the new count.
---@param name ScriptText variable name
---@return number count
function Talk.count(name) end

---Only while author mode or fennow-check listens (nil otherwise): reports a problem a script
---noticed itself, at the line of the script that called the shared helper. RunOnce.lua's
---helpers use it for a full chat box ("text") and reserved response values ("value").
---@type fun(kind: "error"|"refused"|"stuck"|"value"|"text"|"portrait"|"character", message: string)?
ReportScriptProblem = nil
