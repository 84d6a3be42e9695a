#include "script/CharacterFunctions.h"

#include "core/GameContext.h"
#include "gfx/PictureProblem.h"
#include "script/ScriptArguments.h"
#include "script/ScriptHost.h"
#include "world/CharacterPictures.h"
#include "world/Npc.h"
#include "world/NpcManager.h"

#include <string>

namespace {

// Author mode and the content checker hear of a sprite name that finds no picture, most often
// a typing mistake in the name or the file.
void warnAboutDefaultSprite(lua_State* L, std::string_view spriteName) {
    ScriptHost* host = game.scriptHost;
    if (!host || !host->reportsProblems() || spriteName == NpcManager::defaultSpriteName ||
        !NpcManager::usesDefaultSprite(spriteName)) {
        return;
    }
    const std::string shown =
        "sprite \"" + std::string(spriteName.substr(0, spriteName.find('\0'))) + "\"";
    // A picture that is there but broken is a different mistake from a name with no picture.
    const std::string path = CharacterPictures::pathFor(spriteName);
    const std::string problem =
        CharacterPictures::isFileName(spriteName) ? pictureProblem(path) : "";
    if (!problem.empty() && problem != "there is no such file") {
        host->reportProblem(L, ProblemKind::Character,
                            shown + ": its picture " + path + " cannot be decoded (" + problem +
                                "); the default sprite is drawn");
        return;
    }
    host->reportProblem(L, ProblemKind::Character,
                        shown + " has no picture of its own in Data\\Graphics\\Characters; the "
                                "default sprite is drawn");
}

} // namespace

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
    const auto npcName = textArgument(L, 1, name);
    if (!npcName) {
        return refuseCall(L, name);
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
    const auto npcName = textArgument(L, 3, "SpawnNPC");
    const auto scriptPath = textArgument(L, 4, "SpawnNPC");
    const auto spriteName = textArgument(L, 5, "SpawnNPC");
    if (!npcName || !scriptPath || !spriteName) {
        return refuseCall(L, name);
    }
    NpcManager* npcs = game.npcManager;
    // The script path names a file, so it is C text. addNpc refuses (and says why) a path too
    // long for a character to keep.
    if (!npcs) {
        return 0;
    }
    if (!npcs->addNpc(x, y, *npcName, npcs->getNpcCount(), scriptPath->data(), *spriteName)) {
        if (game.scriptHost && game.scriptHost->reportsProblems()) {
            game.scriptHost->reportProblem(
                L, ProblemKind::Refused,
                "Script path of NPC " + std::string(npcName->data()) + " is longer than " +
                    std::to_string(Npc::maxScriptPath) + " bytes; the NPC was not created.");
        }
        return 0;
    }
    warnAboutDefaultSprite(L, *spriteName);
    return pushAccepted(L);
}
