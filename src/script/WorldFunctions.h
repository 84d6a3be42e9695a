#pragma once

#include <lua.hpp>

// The script functions that shape the world the player walks in: collision, exits, and moving
// the player, to another map too. Nothing of them acts until content calls them.

// SetCollision(on) -> 1
int luaSetCollision(lua_State* L);
// AddMapExit(x, y, width, height, map, toX, toY) -> 1
int luaAddMapExit(lua_State* L);
// GoToMap(map, x, y) -> 1
int luaGoToMap(lua_State* L);
// SetPlayerPosition(x, y) -> 1
int luaSetPlayerPosition(lua_State* L);
