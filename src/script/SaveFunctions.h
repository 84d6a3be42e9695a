#pragma once

#include <lua.hpp>

// EnableSaving() -> 1: the run saves its progress to FennowOnline.sav, and the save, when
// there is one, is loaded in place of the start map. Only the start-up scripts may call it.
int luaEnableSaving(lua_State* L);
