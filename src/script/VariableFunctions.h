#pragma once

#include <lua.hpp>

// The script functions that keep named variables on the active character.

// AddScriptVariableI(name, value) -> 1
int luaAddScriptVariableI(lua_State* L);
// AddScriptVariableA(name, text) -> 1
int luaAddScriptVariableA(lua_State* L);
// DeleteScriptVariable(name) -> 1
int luaDeleteScriptVariable(lua_State* L);
// GetScriptVariableI(name) -> value, or -100 when no variable has the name
int luaGetScriptVariableI(lua_State* L);
// GetScriptVariableA(name) -> text, or nil
int luaGetScriptVariableA(lua_State* L);
// SetScriptVariableI(name, value) -> 1
int luaSetScriptVariableI(lua_State* L);
// SetScriptVariableA(name, text) -> 1
int luaSetScriptVariableA(lua_State* L);
