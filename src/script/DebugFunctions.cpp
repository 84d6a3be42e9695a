#include "script/DebugFunctions.h"

#include "core/Console.h"
#include "core/GameContext.h"

// Activate_Debug_Mode() -> 1
int luaActivateDebugMode(lua_State* L) {
    consoleWrite("Dongs\n");
    if (game.scriptHost) {
        game.scriptHost->activateDebugMode();
    }
    lua_pushnumber(L, 1);
    consoleWrite("Done\n");
    return 1;
}

// Deactivate_Debug_Mode() -> 1
int luaDeactivateDebugMode(lua_State* L) {
    consoleWrite("Dongs1\n");
    if (game.scriptHost) {
        game.scriptHost->deactivateDebugMode();
    }
    lua_pushnumber(L, 1);
    consoleWrite("Done1\n");
    return 1;
}
