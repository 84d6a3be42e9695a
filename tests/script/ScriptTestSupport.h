#pragma once

#include "core/GameContext.h"
#include "script/ScriptHost.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using Values = std::vector<std::string>;

// What one call of script code left behind: the console text, the values it returned
// (described as "nil", "true", "1", "\"text\"", "table" ...) and Lua's error, if any.
struct ScriptOutcome {
    std::string console;
    Values values;
    std::string error;
    int results() const { return static_cast<int>(values.size()); }
};

// Describes the value at a stack position without changing it.
inline std::string describeValue(lua_State* L, int index) {
    const int type = lua_type(L, index);
    if (type == LUA_TBOOLEAN)
        return lua_toboolean(L, index) ? "true" : "false";
    if (type != LUA_TNUMBER && type != LUA_TSTRING)
        return lua_typename(L, type);
    lua_pushvalue(L, index); // a copy, as lua_tostring turns a number into a string in place
    const std::string text = lua_tostring(L, -1);
    lua_pop(L, 1);
    return type == LUA_TSTRING ? "\"" + text + "\"" : text;
}

// Every test gets its own ScriptHost (the game's full function table), registered as the
// game's host, and checks at the end that the Lua stack is back where it started.
class ScriptTest : public testing::Test {
  protected:
    void SetUp() override {
        host_ = std::make_unique<ScriptHost>();
        game.scriptHost = host_.get();
        startTop_ = lua_gettop(L());
    }

    void TearDown() override {
        EXPECT_EQ(lua_gettop(L()), startTop_) << "the Lua stack is unbalanced";
        game.scriptHost = nullptr;
        host_.reset();
    }

    lua_State* L() const { return host_->state(); }
    ScriptHost& host() { return *host_; }

    // Runs a chunk of Lua code ("return SetDialogueLine(1, 'a')") and keeps its results.
    ScriptOutcome call(const std::string& code) {
        ScriptOutcome outcome;
        const int top = lua_gettop(L());
        EXPECT_EQ(luaL_loadstring(L(), code.c_str()), 0) << "test chunk does not compile";
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

    // Runs code that must not raise a Lua error and returns its console text.
    std::string run(const std::string& code) {
        const ScriptOutcome outcome = call(code);
        EXPECT_EQ(outcome.error, "") << code;
        return outcome.console;
    }

    Values values(const std::string& code) { return call(code).values; }

    // Runs a script file and returns its console text.
    std::string runFile(const std::string& path) {
        testing::internal::CaptureStderr();
        host_->runFile(path.c_str());
        return testing::internal::GetCapturedStderr();
    }

    std::string global(const char* name) {
        lua_getglobal(L(), name);
        const std::string text = describeValue(L(), -1);
        lua_pop(L(), 1);
        return text;
    }

  private:
    std::unique_ptr<ScriptHost> host_;
    int startTop_ = 0;
};
