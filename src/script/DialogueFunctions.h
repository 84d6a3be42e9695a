#pragma once

#include <lua.hpp>

// The script functions that fill the chat box and choose its portraits.

// SetPortrait(name) -> 1
int luaSetPortrait(lua_State* L);
// SetPortraitBackground(name) -> 1
int luaSetPortraitBackground(lua_State* L);
// LoadPortrait(name, path) -> 1
int luaLoadPortrait(lua_State* L);
// SetDialogueLine(index, text) -> 1
int luaSetDialogueLine(lua_State* L);
// SetDialogueResponse(index, text, value) -> 1
int luaSetDialogueResponse(lua_State* L);
// ClearDialogue() -> 1
int luaClearDialogue(lua_State* L);
// GetLastChatResponse() -> value
int luaGetLastChatResponse(lua_State* L);
