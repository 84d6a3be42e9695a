#include "script/ScriptFunctionTable.h"

#include "script/CharacterFunctions.h"
#include "script/DebugFunctions.h"
#include "script/DialogueFunctions.h"
#include "script/SettingFunctions.h"
#include "script/SaveFunctions.h"
#include "script/VariableFunctions.h"
#include "script/WorldFunctions.h"

const std::vector<ScriptFunction>& scriptFunctionTable() {
    static const std::vector<ScriptFunction> table = {
        {"Activate_Debug_Mode", luaActivateDebugMode},
        {"Deactivate_Debug_Mode", luaDeactivateDebugMode},
        {"SetPortrait", luaSetPortrait},
        {"SetPortraitBackground", luaSetPortraitBackground},
        {"LoadPortrait", luaLoadPortrait},
        {"SetDialogueLine", luaSetDialogueLine},
        {"SetDialogueResponse", luaSetDialogueResponse},
        {"ClearDialogue", luaClearDialogue},
        {"GetLastChatResponse", luaGetLastChatResponse},
        {"SetActiveNPCI", luaSetActiveNpcI},
        {"SetActiveNPCA", luaSetActiveNpcA},
        {"AddScriptVariableI", luaAddScriptVariableI},
        {"AddScriptVariableA", luaAddScriptVariableA},
        {"DeleteScriptVariable", luaDeleteScriptVariable},
        {"GetScriptVariableI", luaGetScriptVariableI},
        {"GetScriptVariableA", luaGetScriptVariableA},
        {"SetScriptVariableI", luaSetScriptVariableI},
        {"SetScriptVariableA", luaSetScriptVariableA},
        {"SpawnNPC", luaSpawnNpc},
        {"SetCollision", luaSetCollision},
        {"AddMapExit", luaAddMapExit},
        {"GoToMap", luaGoToMap},
        {"SetPlayerPosition", luaSetPlayerPosition},
        {"SetFriendlyControls", luaSetFriendlyControls},
        {"SetMapAnimation", luaSetMapAnimation},
        {"EnableSaving", luaEnableSaving},
    };
    return table;
}
