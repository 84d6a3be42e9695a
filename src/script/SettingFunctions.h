#pragma once

#include <lua.hpp>

// The functions a map's script calls to switch on powers beyond the plain game for that map.
int luaSetFriendlyControls(lua_State* L);
int luaSetMapAnimation(lua_State* L);
