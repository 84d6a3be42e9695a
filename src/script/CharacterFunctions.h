#pragma once

#include <lua.hpp>

// The script functions that create characters and choose the active one.

// SetActiveNPCI(number) -> 1
int luaSetActiveNpcI(lua_State* L);
// SetActiveNPCA(name) -> 1
int luaSetActiveNpcA(lua_State* L);
// SpawnNPC(x, y, name, scriptPath, spriteName) -> 1
int luaSpawnNpc(lua_State* L);
