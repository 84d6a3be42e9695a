#include "script/CharacterFunctions.h"

#include "core/GameContext.h"
#include "script/ScriptArguments.h"
#include "world/NpcManager.h"

// SetActiveNPCI(number) -> 1
int luaSetActiveNpcI(lua_State* L) {
    if (!checkArguments(L, "SetActiveNPCI", 1)) {
        return 0;
    }
    const int number = argumentInt(L, 1);
    if (game.npcManager) {
        game.npcManager->setActiveNpcByNumber(number);
    }
    return pushAccepted(L);
}

// SetActiveNPCA(name) -> 1
int luaSetActiveNpcA(lua_State* L) {
    const char* name = "SetActiveNPCA";
    if (!checkArguments(L, name, 1)) {
        return 0;
    }
    const auto npcName = argumentText(L, 1);
    if (!npcName) {
        return refuseCall(name);
    }
    if (game.npcManager) {
        game.npcManager->setActiveNpcByName(*npcName);
    }
    return pushAccepted(L);
}

// SpawnNPC(x, y, name, scriptPath, spriteName) -> 1
// Reports itself as "AddNPC", the name scripts knew it by first.
int luaSpawnNpc(lua_State* L) {
    const char* name = "AddNPC";
    if (!checkArguments(L, name, 5)) {
        return 0;
    }
    const int x = argumentInt(L, 1);
    const int y = argumentInt(L, 2);
    const auto npcName = argumentText(L, 3);
    const auto scriptPath = argumentText(L, 4);
    const auto spriteName = argumentText(L, 5);
    if (!npcName || !scriptPath || !spriteName) {
        return refuseCall(name);
    }
    NpcManager* npcs = game.npcManager;
    // The script path names a file, so it is C text. addNpc refuses (and says why) a path too
    // long for a character to keep.
    if (!npcs ||
        !npcs->addNpc(x, y, *npcName, npcs->getNpcCount(), scriptPath->data(), *spriteName)) {
        return 0;
    }
    return pushAccepted(L);
}
