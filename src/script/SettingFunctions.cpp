#include "script/SettingFunctions.h"

#include "core/GameContext.h"
#include "script/ScriptArguments.h"

#include <optional>
#include <string>

namespace {

// A switch: true or a number other than 0 is on, false or 0 is off; nothing for any other
// value, so that a mistyped argument is refused rather than read as off.
std::optional<bool> argumentSwitch(lua_State* L, int position) {
    switch (lua_type(L, position)) {
    case LUA_TBOOLEAN:
        return lua_toboolean(L, position) != 0;
    case LUA_TNUMBER:
        return lua_tonumber(L, position) != 0;
    default:
        return std::nullopt;
    }
}

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
