#pragma once

#include <lua.hpp>

#include <set>
#include <string>

// The plain data a script can leave behind in Lua's globals, written as one text that is
// equal for two states exactly when their data is: strings, numbers, booleans and tables of
// them, with table keys in sorted order. Functions, userdata and threads are left out, and so
// are the globals named in `skip` (the standard libraries and the game's functions).
class LuaSnapshot {
  public:
    // The names of every global the state holds now (taken before any script has run).
    static std::set<std::string> globalNames(lua_State* L);
    // The text of every other global; the stack is left as it was.
    static std::string globals(lua_State* L, const std::set<std::string>& skip);

  private:
    explicit LuaSnapshot(lua_State* L) : lua_(L) {}
    void writeValue(int index, int depth);
    void writeTable(int index, int depth, const std::set<std::string>* skip);

    lua_State* lua_;
    std::string text_;
    std::set<const void*> open_;
};
