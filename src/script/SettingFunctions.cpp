#include "script/SettingFunctions.h"

#include "core/GameContext.h"
#include "script/ScriptArguments.h"

#include <optional>
#include <string>

namespace {

int setSwitch(lua_State* L, const char* name, bool MapSettings::*setting) {
    if (!checkArguments(L, name, 1))
        return 0;
    const std::optional<bool> on = argumentSwitch(L, 1);
    if (!on)
        return refuseArgument(L, std::string(name) + " takes 1 or 0, true or false.  Aborting.");
    currentMapSettings().*setting = *on;
    return pushAccepted(L);
}

} // namespace

// SetFriendlyControls(on) -> 1
int luaSetFriendlyControls(lua_State* L) {
    return setSwitch(L, "SetFriendlyControls", &MapSettings::friendlyControls);
}

// SetMapAnimation(on) -> 1
int luaSetMapAnimation(lua_State* L) {
    return setSwitch(L, "SetMapAnimation", &MapSettings::mapAnimation);
}
