#include "CheckWorld.h"

#include "LuaSnapshot.h"

#include "core/GameContext.h"
#include "core/HeadlessWorld.h"
#include "gui/ChatBox.h"
#include "gui/ChatLine.h"
#include "gui/Gui.h"
#include "gui/PortraitStore.h"
#include "script/CharacterFunctions.h"
#include "script/DialogueFunctions.h"
#include "script/ScriptArguments.h"
#include "script/ScriptFunctionTable.h"
#include "script/ScriptHost.h"
#include "script/WorldFunctions.h"
#include "world/Conversation.h"
#include "world/MapTravel.h"
#include "world/Npc.h"
#include "world/NpcManager.h"

#include "core/HostPath.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace {

// Where the characters spawned by the running world are noted.
std::vector<SpawnedCharacter>* spawnLog = nullptr;
// Where the running world notes which call wrote each chat box row.
std::map<int, RowSite>* rowLog = nullptr;

void noteRow(lua_State* L, bool numeric) {
    if (!rowLog)
        return;
    const ScriptProblem site = ScriptHost::siteOf(L);
    (*rowLog)[argumentInt(L, 1)] = RowSite{site.file, site.line, numeric};
}

// The game's dialogue functions, with the author's line of each row they wrote noted.
int noteLine(lua_State* L) {
    const int results = luaSetDialogueLine(L);
    if (results == 1)
        noteRow(L, true);
    return results;
}

int noteResponse(lua_State* L) {
    const bool numeric = lua_isnumber(L, 3) != 0;
    const int results = luaSetDialogueResponse(L);
    if (results == 1)
        noteRow(L, numeric);
    return results;
}

int noteClear(lua_State* L) {
    if (rowLog)
        rowLog->clear();
    return luaClearDialogue(L);
}

// The game's SpawnNPC, called in the same frame so that every message and location stays the
// game's own; a spawn it accepted is noted with the line of the call.
int noteSpawn(lua_State* L) {
    const int results = luaSpawnNpc(L);
    if (results != 1 || !spawnLog)
        return results;
    SpawnedCharacter spawned;
    spawned.x = argumentInt(L, 1);
    spawned.y = argumentInt(L, 2);
    spawned.name = std::string(argumentText(L, 3).value_or(""));
    spawned.scriptPath = std::string(argumentText(L, 4).value_or(""));
    spawned.spriteName = std::string(argumentText(L, 5).value_or(""));
    if (const Npc* npc = game.npcManager->npc(game.npcManager->getNpcCount() - 1)) {
        spawned.left = npc->left();
        spawned.top = npc->top();
        spawned.right = npc->right();
        spawned.bottom = npc->bottom();
    }
    lua_Debug caller{};
    if (lua_getstack(L, 1, &caller) && lua_getinfo(L, "Sl", &caller)) {
        if (caller.source && caller.source[0] == '@')
            spawned.file = caller.source + 1;
        spawned.line = caller.currentline > 0 ? caller.currentline : 0;
    }
    spawnLog->push_back(std::move(spawned));
    return results;
}

// Where the running world notes where its scripts put the player.
std::vector<std::pair<int, int>>* placeLog = nullptr;

// A map that an accepted AddMapExit or GoToMap names must exist: going there would fail.
int checkDestination(lua_State* L, lua_CFunction function, int mapPosition, const char* what) {
    const int results = function(L);
    ScriptHost* host = game.scriptHost;
    if (results != 1 || host == nullptr || !host->reportsProblems())
        return results;
    const std::string map(argumentText(L, mapPosition).value_or(""));
    const std::string file = "Data\\Maps\\" + map + ".fmp";
    if (!std::filesystem::is_regular_file(hostPath(file)))
        host->reportProblem(L, ProblemKind::Map,
                            std::string(what) + " to map " + map + ", which does not exist (no " +
                                file + ")");
    return results;
}

int noteExit(lua_State* L) {
    return checkDestination(L, luaAddMapExit, 5, "an exit");
}

int noteMove(lua_State* L) {
    return checkDestination(L, luaGoToMap, 1, "GoToMap");
}

int notePlacement(lua_State* L) {
    const int results = luaSetPlayerPosition(L);
    if (results == 1 && placeLog)
        placeLog->emplace_back(argumentInt(L, 1), argumentInt(L, 2));
    return results;
}

// In the game os.exit ends the program; in the checker it must not end the walk, so it is an
// error with the script's line instead.
int refuseExit(lua_State* L) {
    return luaL_error(L, "os.exit would end the whole game");
}

std::vector<ScriptFunction> checkedFunctions() {
    std::vector<ScriptFunction> functions = scriptFunctionTable();
    for (ScriptFunction& entry : functions) {
        if (std::strcmp(entry.name, "SpawnNPC") == 0)
            entry.function = noteSpawn;
        else if (std::strcmp(entry.name, "AddMapExit") == 0)
            entry.function = noteExit;
        else if (std::strcmp(entry.name, "GoToMap") == 0)
            entry.function = noteMove;
        else if (std::strcmp(entry.name, "SetPlayerPosition") == 0)
            entry.function = notePlacement;
        else if (std::strcmp(entry.name, "SetDialogueLine") == 0)
            entry.function = noteLine;
        else if (std::strcmp(entry.name, "SetDialogueResponse") == 0)
            entry.function = noteResponse;
        else if (std::strcmp(entry.name, "ClearDialogue") == 0)
            entry.function = noteClear;
    }
    return functions;
}

} // namespace

std::string mapScriptPath(const std::string& mapName) {
    return "Data\\Scripts\\Maps\\" + mapName + ".lua";
}

CheckWorld::CheckWorld(double scriptLimit, ProblemSink sink) {
    // Lua's math.random draws from the C library's generator: every replay starts it alike.
    std::srand(1);
    static const std::vector<ScriptFunction> functions = checkedFunctions();
    world_ = std::make_unique<HeadlessWorld>(HeadlessScope::Conversations, functions);
    spawnLog = &spawned_;
    placeLog = &placements_;
    rowLog = &rowSites_;
    ScriptHost& host = *game.scriptHost;
    host.setRunTimeLimit(scriptLimit);
    if (sink)
        host.setProblemListener(std::move(sink));
    lua_State* L = host.state();
    lua_getglobal(L, "os");
    if (lua_istable(L, -1)) {
        lua_pushcfunction(L, refuseExit);
        lua_setfield(L, -2, "exit");
    }
    lua_pop(L, 1);
    builtinGlobals_ = LuaSnapshot::globalNames(L);
    game.conversation->addListener(*this);
}

void CheckWorld::activate() {
    world_->activate();
    spawnLog = &spawned_;
    placeLog = &placements_;
    rowLog = &rowSites_;
}

CheckWorld::~CheckWorld() {
    if (spawnLog == &spawned_)
        spawnLog = nullptr;
    if (placeLog == &placements_)
        placeLog = nullptr;
    if (rowLog == &rowSites_)
        rowLog = nullptr;
}

void CheckWorld::runStartupScripts() {
    game.scriptHost->runFile("Data\\Scripts\\VersionBark.lua");
    game.scriptHost->runFile("Data\\Scripts\\RunOnce.lua");
}

bool CheckWorld::runMapScript(const std::string& name) {
    return game.scriptHost->runFile(mapScriptPath(name).c_str());
}

void CheckWorld::scriptRan(const Npc&) {
    scriptFailed_ = game.scriptHost->lastRunFailed();
}

bool CheckWorld::clickCharacter(int index) {
    scriptFailed_ = false;
    if (Npc* npc = game.npcManager->npc(index))
        game.conversation->clickCharacter(*npc);
    leaveForAnotherMap();
    return !scriptFailed_;
}

void CheckWorld::leaveForAnotherMap() {
    // The game goes to the map a script asked for once the script has returned, and the
    // chat box closes on the way: for the walk the conversation ends there.
    if (game.mapTravel->takePending() && game.conversation->isOpen())
        game.conversation->close();
}

bool CheckWorld::clickRow(int row) {
    scriptFailed_ = false;
    const std::optional<int> value = game.gui->chatBox()->responseOf(row);
    game.conversation->pick(value.value_or(Conversation::noResponse));
    leaveForAnotherMap();
    return !scriptFailed_;
}

bool CheckWorld::chatShown() const {
    return game.gui->chatBox()->isShown();
}

std::vector<ChatChoice> CheckWorld::responseLines() const {
    std::vector<ChatChoice> lines;
    const ChatBox* chat = game.gui->chatBox();
    for (int row = 0; row < ChatBox::lineCount; ++row) {
        const ChatLine* line = chat->line(row);
        if (line && line->shown() && line->isResponse())
            lines.push_back({row, line->value(), line->text(), rowSite(row).numeric});
    }
    return lines;
}

std::vector<std::string> CheckWorld::pageLines() const {
    std::vector<std::string> lines;
    const ChatBox* chat = game.gui->chatBox();
    for (int row = 0; row < ChatBox::lineCount; ++row) {
        const ChatLine* line = chat->line(row);
        if (line && line->shown())
            lines.push_back(line->text());
    }
    return lines;
}

RowSite CheckWorld::rowSite(int row) const {
    const auto found = rowSites_.find(row);
    return found == rowSites_.end() ? RowSite{} : found->second;
}

RowSite CheckWorld::lastRowSite() const {
    const ChatBox* chat = game.gui->chatBox();
    for (int row = ChatBox::lineCount - 1; row >= 0; --row) {
        const ChatLine* line = chat->line(row);
        if (line && line->shown())
            return rowSite(row);
    }
    return RowSite{};
}

std::uint64_t CheckWorld::pictureHash(ALLEGRO_BITMAP* bitmap) const {
    if (!bitmap)
        return 0;
    const auto known = pictureHashes_.find(bitmap);
    if (known != pictureHashes_.end())
        return known->second;
    // Over the size and every pixel in the bitmap's own format (locking in it copies
    // nothing): two portraits are one state exactly when they look the same, whatever names
    // they were loaded under.
    const int width = al_get_bitmap_width(bitmap);
    const int height = al_get_bitmap_height(bitmap);
    std::uint64_t hash = 1469598103934665603ull ^ (static_cast<std::uint64_t>(width) << 32) ^
                         static_cast<std::uint32_t>(height);
    ALLEGRO_LOCKED_REGION* region =
        al_lock_bitmap(bitmap, ALLEGRO_PIXEL_FORMAT_ANY, ALLEGRO_LOCK_READONLY);
    if (region) {
        const std::size_t rowBytes = static_cast<std::size_t>(width) * region->pixel_size;
        for (int y = 0; y < height; ++y) {
            const auto* row = static_cast<const unsigned char*>(region->data) + y * region->pitch;
            std::size_t i = 0;
            for (; i + 8 <= rowBytes; i += 8) {
                std::uint64_t word;
                std::memcpy(&word, row + i, 8);
                hash = (hash ^ word) * 1099511628211ull;
                hash ^= hash >> 29;
            }
            for (; i < rowBytes; ++i)
                hash = (hash ^ row[i]) * 1099511628211ull;
        }
        al_unlock_bitmap(bitmap);
    }
    pictureHashes_[bitmap] = hash;
    return hash;
}

std::string CheckWorld::stateKey(std::size_t* memoryStart) const {
    std::string key;
    const ChatBox* chat = game.gui->chatBox();
    key += chat->isShown() ? "open|" : "closed|";
    for (int row = 0; row < ChatBox::lineCount; ++row) {
        const ChatLine* line = chat->line(row);
        if (!line->shown()) {
            key += "-|";
            continue;
        }
        if (line->isResponse())
            key += "r" + std::to_string(line->value());
        key += ":";
        key += line->text();
        key += '|';
    }
    key += std::to_string(pictureHash(chat->portrait())) + "/" +
           std::to_string(pictureHash(chat->portraitBackground())) + "|";
    const Npc* active = game.npcManager->getActiveNpc();
    key += "active " + std::to_string(active ? active->number() : -1) + "|";
    if (memoryStart)
        *memoryStart = key.size();
    for (int i = 0; i < game.npcManager->getNpcCount(); ++i) {
        Npc* npc = game.npcManager->npc(i);
        key += "npc" + std::to_string(i) + "{";
        const ScriptVariableStore& variables = npc->variables();
        for (int slot = 0; slot < variables.getVariableCount(); ++slot) {
            const std::string* name = variables.getVariableName(slot);
            const auto text = variables.getVariableText(slot);
            if (name && text) {
                key += std::to_string(name->size()) + ":" + *name + "=";
                key += std::to_string(text->size()) + ":" + *text;
            }
            key += ';';
        }
        key += "}";
    }
    key += LuaSnapshot::globals(game.scriptHost->state(), builtinGlobals_);
    return key;
}
