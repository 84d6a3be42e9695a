#include "script/SaveFunctions.h"

#include "core/GameContext.h"
#include "core/SaveManager.h"
#include "script/ScriptArguments.h"

// EnableSaving() -> 1
int luaEnableSaving(lua_State* L) {
    // A world without the whole game (the content checker, tests) has nothing to save to.
    if (game.saving && !game.saving->enable())
        return refuseArgument(L, "EnableSaving: saving is switched on by the start-up scripts, "
                                 "before the first map loads.  Aborting.");
    return pushAccepted(L);
}
