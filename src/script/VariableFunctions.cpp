#include "script/VariableFunctions.h"

#include "core/GameContext.h"
#include "script/ScriptArguments.h"
#include "script/ScriptVariableStore.h"
#include "world/Npc.h"
#include "world/NpcManager.h"

#include <string>

namespace {

// The active character's variables, or null after the call was refused: first for want of
// an active character (without diagnostics), then for too few arguments.
ScriptVariableStore* activeVariables(lua_State* L, const char* name, int expected) {
    Npc* active = game.npcManager ? game.npcManager->getActiveNpc() : nullptr;
    if (!active) {
        refuseMissingNpc(L, name);
        return nullptr;
    }
    if (!checkArguments(L, name, expected)) {
        return nullptr;
    }
    return &active->variables();
}

} // namespace

// AddScriptVariableI(name, value) -> 1
int luaAddScriptVariableI(lua_State* L) {
    const char* name = "AddScriptVariableI";
    ScriptVariableStore* variables = activeVariables(L, name, 2);
    if (!variables) {
        return 0;
    }
    const auto variable = textArgument(L, 1, name);
    if (!variable) {
        return refuseCall(L, name);
    }
    variables->addIntVariable(*variable, argumentFloat(L, 2));
    return pushAccepted(L);
}

// AddScriptVariableA(name, text) -> 1
int luaAddScriptVariableA(lua_State* L) {
    const char* name = "AddScriptVariableA";
    ScriptVariableStore* variables = activeVariables(L, name, 2);
    if (!variables) {
        return 0;
    }
    const auto variable = textArgument(L, 1, name);
    const auto text = textArgument(L, 2, name);
    if (!variable || !text) {
        return refuseCall(L, name);
    }
    variables->addStringVariable(*variable, *text);
    return pushAccepted(L);
}

// DeleteScriptVariable(name) -> 1
int luaDeleteScriptVariable(lua_State* L) {
    const char* name = "DeleteScriptVariable";
    ScriptVariableStore* variables = activeVariables(L, name, 1);
    if (!variables) {
        return 0;
    }
    const auto variable = textArgument(L, 1, name);
    if (!variable) {
        return refuseCall(L, name);
    }
    variables->deleteVariable(*variable);
    return pushAccepted(L);
}

// GetScriptVariableI(name) -> value, or -100 when no variable has the name
int luaGetScriptVariableI(lua_State* L) {
    const char* name = "GetScriptVariableI";
    ScriptVariableStore* variables = activeVariables(L, name, 1);
    if (!variables) {
        return 0;
    }
    const auto variable = textArgument(L, 1, name);
    if (!variable) {
        return refuseCall(L, name);
    }
    lua_pushnumber(L, variables->getIntVariable(*variable));
    return 1;
}

// GetScriptVariableA(name) -> text, or nil
int luaGetScriptVariableA(lua_State* L) {
    const char* name = "GetScriptVariableA";
    ScriptVariableStore* variables = activeVariables(L, name, 1);
    if (!variables) {
        return 0;
    }
    const auto variable = textArgument(L, 1, name);
    if (!variable) {
        return refuseCall(L, name);
    }
    const std::string* text = variables->getStringVariable(*variable);
    if (text) {
        lua_pushlstring(L, text->data(), text->size());
    } else {
        lua_pushnil(L);
    }
    return 1;
}

// SetScriptVariableI(name, value) -> 1
int luaSetScriptVariableI(lua_State* L) {
    const char* name = "SetScriptVariableI";
    ScriptVariableStore* variables = activeVariables(L, name, 2);
    if (!variables) {
        return 0;
    }
    const auto variable = textArgument(L, 1, name);
    if (!variable) {
        return refuseCall(L, name);
    }
    variables->setIntVariable(*variable, argumentFloat(L, 2));
    return pushAccepted(L);
}

// SetScriptVariableA(name, text) -> 1
int luaSetScriptVariableA(lua_State* L) {
    const char* name = "SetScriptVariableA";
    ScriptVariableStore* variables = activeVariables(L, name, 2);
    if (!variables) {
        return 0;
    }
    const auto variable = textArgument(L, 1, name);
    const auto text = textArgument(L, 2, name);
    if (!variable || !text) {
        return refuseCall(L, name);
    }
    variables->setStringVariable(*variable, *text);
    return pushAccepted(L);
}
