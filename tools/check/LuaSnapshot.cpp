#include "LuaSnapshot.h"

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

namespace {

// Deeper tables are written as a marker: no conversation keeps data nested this far, and the
// bound keeps a self-nesting script from exhausting the stack.
constexpr int depthLimit = 32;

bool isPlain(int type) {
    return type == LUA_TNIL || type == LUA_TBOOLEAN || type == LUA_TNUMBER || type == LUA_TSTRING ||
           type == LUA_TTABLE;
}

// A key as sortable text; empty for keys that are not plain (tables, functions).
std::string keyText(lua_State* L, int index) {
    switch (lua_type(L, index)) {
    case LUA_TSTRING: {
        size_t length = 0;
        const char* text = lua_tolstring(L, index, &length);
        return "s" + std::string(text, length);
    }
    case LUA_TNUMBER: {
        char buffer[40];
        std::snprintf(buffer, sizeof buffer, "d%.17g", lua_tonumber(L, index));
        return buffer;
    }
    case LUA_TBOOLEAN:
        return lua_toboolean(L, index) ? "b1" : "b0";
    default:
        return "";
    }
}

void pushKey(lua_State* L, const std::string& key) {
    const std::string rest = key.substr(1);
    if (key[0] == 's')
        lua_pushlstring(L, rest.data(), rest.size());
    else if (key[0] == 'd')
        lua_pushnumber(L, std::strtod(rest.c_str(), nullptr));
    else
        lua_pushboolean(L, rest == "1");
}

} // namespace

std::set<std::string> LuaSnapshot::globalNames(lua_State* L) {
    std::set<std::string> names;
    lua_pushnil(L);
    while (lua_next(L, LUA_GLOBALSINDEX) != 0) {
        if (lua_type(L, -2) == LUA_TSTRING)
            names.insert(lua_tostring(L, -2));
        lua_pop(L, 1);
    }
    return names;
}

std::string LuaSnapshot::globals(lua_State* L, const std::set<std::string>& skip) {
    LuaSnapshot snapshot(L);
    lua_pushvalue(L, LUA_GLOBALSINDEX);
    snapshot.writeTable(lua_gettop(L), 0, &skip);
    lua_pop(L, 1);
    return std::move(snapshot.text_);
}

void LuaSnapshot::writeValue(int index, int depth) {
    switch (lua_type(lua_, index)) {
    case LUA_TTABLE:
        writeTable(index, depth, nullptr);
        return;
    case LUA_TNIL:
        text_ += "n";
        return;
    default: {
        const std::string key = keyText(lua_, index);
        text_ += std::to_string(key.size());
        text_ += ':';
        text_ += key;
    }
    }
}

void LuaSnapshot::writeTable(int index, int depth, const std::set<std::string>* skip) {
    const void* identity = lua_topointer(lua_, index);
    // A table met again inside itself, or too deep, is only marked: the walk ends either way.
    if (depth >= depthLimit || open_.count(identity)) {
        text_ += "{...}";
        return;
    }
    lua_checkstack(lua_, 4);
    std::vector<std::string> keys;
    lua_pushnil(lua_);
    while (lua_next(lua_, index) != 0) {
        // keyText reads a number key with lua_tonumber, never converting it in place.
        std::string key = keyText(lua_, -2);
        const bool skipped = skip && key.size() > 1 && key[0] == 's' && skip->count(key.substr(1));
        if (!key.empty() && !skipped && isPlain(lua_type(lua_, -1)))
            keys.push_back(std::move(key));
        lua_pop(lua_, 1);
    }
    std::sort(keys.begin(), keys.end());
    open_.insert(identity);
    text_ += '{';
    for (const std::string& key : keys) {
        text_ += std::to_string(key.size());
        text_ += ':';
        text_ += key;
        text_ += '=';
        pushKey(lua_, key);
        lua_rawget(lua_, index);
        writeValue(lua_gettop(lua_), depth + 1);
        lua_pop(lua_, 1);
        text_ += ';';
    }
    text_ += '}';
    open_.erase(identity);
}
