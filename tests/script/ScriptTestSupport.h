#pragma once

#include "core/HeadlessWorld.h"
#include "gui/ChatBox.h"
#include "gui/ChatLine.h"
#include "gui/GuiTestSupport.h"

#include <memory>
#include <string>
#include <vector>

using Values = std::vector<std::string>;

// What a chunk of script code left: the console text, its results (described as "nil",
// "true", "1", "\"text\"", "table" ...) and Lua's error, if any.
struct ScriptOutcome {
    std::string console;
    Values values;
    std::string error;
};

// Describes the value at a stack position without changing it (lua_tostring would turn a
// number into a string in place, so it reads a copy).
inline std::string describeValue(lua_State* L, int index) {
    const int type = lua_type(L, index);
    if (type == LUA_TBOOLEAN)
        return lua_toboolean(L, index) ? "true" : "false";
    if (type != LUA_TNUMBER && type != LUA_TSTRING)
        return lua_typename(L, type);
    lua_pushvalue(L, index);
    const std::string text = lua_tostring(L, -1);
    lua_pop(L, 1);
    return type == LUA_TSTRING ? "\"" + text + "\"" : text;
}

// The game's script host with fresh managers for its functions to act on: the characters,
// the conversation, the GUI with its chat box and the portrait store. The Lua stack must end where
// it started.
class ScriptTest : public testing::Test {
  protected:
    void SetUp() override {
        capturedStderr(
            [this] { world_ = std::make_unique<HeadlessWorld>(HeadlessScope::Conversations); });
        startTop_ = lua_gettop(L());
    }
    void TearDown() override { EXPECT_EQ(lua_gettop(L()), startTop_) << "unbalanced stack"; }

    lua_State* L() const { return game.scriptHost->state(); }
    ScriptHost& host() { return *game.scriptHost; }
    NpcManager& npcs() { return *game.npcManager; }
    ChatBox& chat() { return *game.gui->chatBox(); }

    // Runs a chunk of Lua code ("return SetDialogueLine(1, 'a')") and keeps its results.
    ScriptOutcome call(const std::string& code) {
        ScriptOutcome outcome;
        const int top = lua_gettop(L());
        EXPECT_EQ(luaL_loadstring(L(), code.c_str()), 0) << "does not compile: " << code;
        testing::internal::CaptureStderr();
        const int status = lua_pcall(L(), 0, LUA_MULTRET, 0);
        outcome.console = testing::internal::GetCapturedStderr();
        if (status != 0)
            outcome.error = describeValue(L(), -1);
        for (int i = top + 1; status == 0 && i <= lua_gettop(L()); ++i)
            outcome.values.push_back(describeValue(L(), i));
        lua_settop(L(), top);
        return outcome;
    }
    // Code that must not raise a Lua error; returns its console text.
    std::string run(const std::string& code) {
        const ScriptOutcome outcome = call(code);
        EXPECT_EQ(outcome.error, "") << code;
        return outcome.console;
    }
    Values values(const std::string& code) { return call(code).values; }
    std::string runFile(const std::string& path) {
        return capturedStderr([&] { host().runFile(path.c_str()); });
    }

  private:
    ScopedGame scope;
    std::unique_ptr<HeadlessWorld> world_;
    int startTop_ = 0;
};
