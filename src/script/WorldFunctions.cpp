#include "script/WorldFunctions.h"

#include "core/GameContext.h"
#include "map/MapManager.h"
#include "script/ScriptArguments.h"
#include "world/MapTravel.h"

#include <string>

namespace {

// The map named by argument `position`, or none after the function's refusal line.
std::optional<std::string> mapArgument(lua_State* L, const char* function, int position) {
    const auto name = argumentText(L, position);
    if (name && MapManager::isMapName(*name))
        return std::string(*name);
    refuseArgument(L, std::string(function) + ": \"" +
                          std::string(name ? name->substr(0, name->find('\0')) : "") +
                          "\" is not the name of a map.  Aborting.");
    return std::nullopt;
}

} // namespace

// SetCollision(on) -> 1
int luaSetCollision(lua_State* L) {
    const char* name = "SetCollision";
    if (!checkArguments(L, name, 1))
        return 0;
    const auto on = argumentSwitch(L, 1);
    if (!on)
        return refuseArgument(L, "SetCollision: give true or false.  Aborting.");
    if (game.mapTravel)
        game.mapTravel->setCollision(*on);
    return pushAccepted(L);
}

// AddMapExit(x, y, width, height, map, toX, toY) -> 1
int luaAddMapExit(lua_State* L) {
    const char* name = "AddMapExit";
    if (!checkArguments(L, name, 7))
        return 0;
    MapExit exit;
    exit.x = argumentInt(L, 1);
    exit.y = argumentInt(L, 2);
    exit.width = argumentInt(L, 3);
    exit.height = argumentInt(L, 4);
    if (exit.width <= 0 || exit.height <= 0)
        return refuseArgument(L, "AddMapExit: the width and height must be above 0.  Aborting.");
    const auto map = mapArgument(L, name, 5);
    if (!map)
        return 0;
    exit.map = *map;
    exit.toX = argumentInt(L, 6);
    exit.toY = argumentInt(L, 7);
    if (game.mapTravel)
        game.mapTravel->addExit(std::move(exit));
    return pushAccepted(L);
}

// GoToMap(map, x, y) -> 1
int luaGoToMap(lua_State* L) {
    const char* name = "GoToMap";
    if (!checkArguments(L, name, 3))
        return 0;
    const auto map = mapArgument(L, name, 1);
    if (!map)
        return 0;
    if (game.mapTravel)
        game.mapTravel->request(*map, argumentInt(L, 2), argumentInt(L, 3));
    return pushAccepted(L);
}

// SetPlayerPosition(x, y) -> 1
int luaSetPlayerPosition(lua_State* L) {
    if (!checkArguments(L, "SetPlayerPosition", 2))
        return 0;
    const int x = argumentInt(L, 1);
    const int y = argumentInt(L, 2);
    if (game.mapTravel)
        game.mapTravel->placePlayer(static_cast<float>(x), static_cast<float>(y));
    return pushAccepted(L);
}
