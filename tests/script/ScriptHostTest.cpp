#include "ScriptTestSupport.h"

#include "script/ScriptFunctionTable.h"

#include <cstdio>
#include <fstream>
#include <set>
#include <string>

namespace {

std::set<std::string> globalNames(lua_State* L) {
    std::set<std::string> names;
    lua_pushnil(L);
    while (lua_next(L, LUA_GLOBALSINDEX) != 0) {
        if (lua_type(L, -2) == LUA_TSTRING)
            names.insert(lua_tostring(L, -2));
        lua_pop(L, 1);
    }
    return names;
}

} // namespace

TEST_F(ScriptTest, RegistersTheNineteenFunctionsAndNothingElse) {
    lua_State* plain = luaL_newstate();
    luaL_openlibs(plain);
    const std::set<std::string> standard = globalNames(plain);
    lua_close(plain);
    std::set<std::string> added, expected;
    for (const std::string& name : globalNames(L()))
        if (!standard.count(name))
            added.insert(name);
    for (const ScriptFunction& entry : scriptFunctionTable()) {
        expected.insert(entry.name);
        EXPECT_EQ(global(entry.name), "function") << entry.name;
    }
    EXPECT_EQ(expected.size(), 19u);
    EXPECT_EQ(added, expected);
    EXPECT_EQ(global("AddNPC"), "nil");
}

// Every way a file can fail, with its one console line; what ran before an error stays.
TEST_F(ScriptTest, FaultyFilesReportOneLineAndTheNextRunWorks) {
    const std::string dir = "tests\\data\\script\\";
    struct Case {
        std::string path, console;
    };
    const Case cases[] = {
        {dir + "Missing.lua", "Lua Error during Loading: cannot open " + dir +
                                  "Missing.lua: No such file or directory\n"},
        {"", "Lua Error during Loading: cannot open : No such file or directory\n"},
        {dir + "SyntaxError.lua",
         "Lua Error during Loading: " + dir + "SyntaxError.lua:1: unexpected symbol near '='\n"},
        {dir + "Shebang.lua", "Lua Error during Execution: " + dir + "Shebang.lua:3: line three\n"},
        {dir + "TableError.lua", "Lua Error during Execution: (error object is not a string)\n"},
        {dir + "NumberError.lua", "Lua Error during Execution: " + dir + "NumberError.lua:1: 42\n"},
        {dir + "CallsNil.lua", "Lua Error during Execution: " + dir +
                                   "CallsNil.lua:1: attempt to call global 'NotAFunction' (a nil "
                                   "value)\n"},
        {"tests\\data\\script", "Lua Error during Loading: cannot read tests\\data\\script: Is a "
                                "directory\n"}};
    for (const Case& c : cases) {
        testing::internal::CaptureStderr();
        EXPECT_FALSE(host().runFile(c.path.c_str())) << c.path;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.console);
        EXPECT_EQ(runFile(dir + "Good.lua"), "") << c.path;
    }
    testing::internal::CaptureStderr();
    EXPECT_FALSE(host().runFile(nullptr));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), cases[1].console);
    EXPECT_EQ(global("x"), "nil");     // the syntax error ran nothing
    EXPECT_EQ(global("before"), "1");  // the hash line is skipped, the lines after it run ...
    EXPECT_EQ(global("after"), "nil"); // ... up to the error
    EXPECT_EQ(global("greeting"), "\"hello\"");
}

TEST_F(ScriptTest, PrecompiledChunksAreRefusedAndEditsTakeEffectAtTheNextRun) {
    const std::string path = testing::TempDir() + "fennow_chunk.lua";
    run("local f = io.open('" + path +
        "', 'wb') f:write(string.dump(function() pwned = 1 end)) "
        "f:close()");
    EXPECT_EQ(runFile(path), "Lua Error during Loading: cannot load " + path +
                                 ": precompiled chunks are not accepted\n");
    EXPECT_EQ(global("pwned"), "nil");
    std::ofstream(path) << "value = 1\n";
    EXPECT_EQ(runFile(path), "");
    std::ofstream(path) << "value = 2\n";
    EXPECT_EQ(runFile(path), "");
    EXPECT_EQ(run("assert(value == 2)"), ""); // globals stay for later runs
    std::remove(path.c_str());
}

TEST_F(ScriptTest, LoadFileLeavesTheChunkAndExecuteTakesIt) {
    const int top = lua_gettop(L());
    testing::internal::CaptureStderr();
    ASSERT_TRUE(host().loadFile("tests\\data\\script\\Good.lua"));
    EXPECT_EQ(lua_gettop(L()), top + 1);
    EXPECT_TRUE(host().execute());
    EXPECT_EQ(lua_gettop(L()), top);
    EXPECT_FALSE(host().loadFile("tests\\data\\script\\Missing.lua"));
    EXPECT_EQ(lua_gettop(L()), top);
    EXPECT_FALSE(host().execute()); // nothing to run is reported, not undefined
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Lua Error during Loading: cannot open tests\\data\\script\\Missing.lua: No such "
              "file or directory\nLua Error during Execution: no chunk to run\n");
}

TEST_F(ScriptTest, DebugFunctionsPrintTheirLinesAndSwitchTheDiagnostics) {
    for (int i = 0; i < 2; ++i) {
        const ScriptOutcome on = call("return Activate_Debug_Mode()");
        EXPECT_EQ(on.console, "Dongs\nDone\n");
        EXPECT_EQ(on.values, Values{"1"});
        EXPECT_TRUE(host().isDebugMode());
    }
    EXPECT_EQ(run("SetPortrait('a')"), "SetPortrait called with 1 arguments.\n"
                                       "SetPortrait expects 1 argument.\n-Arg 1: a\n");
    EXPECT_EQ(run("SetDialogueLine(nil, true, false, {}, print, 1.5, 3, 'x%sy')"),
              "SetDialogueLine called with 8 arguments.\nSetDialogueLine expects 2 argument.\n"
              "-Arg 1: (nil)\n-Arg 2: (true)\n-Arg 3: (false)\n-Arg 4: (table)\n"
              "-Arg 5: (function)\n-Arg 6: 1.5\n-Arg 7: 3\n-Arg 8: x%sy\n"
              "Insufficient Arguments for SetDialogueLine, aborting.\n");
    for (int i = 0; i < 2; ++i) {
        const ScriptOutcome off = call("return Deactivate_Debug_Mode('ignored', {})");
        EXPECT_EQ(off.console, "Dongs1\nDone1\n");
        EXPECT_EQ(off.values, Values{"1"});
        EXPECT_FALSE(host().isDebugMode());
    }
    EXPECT_EQ(run("SetPortrait('a')"), "");
}

TEST_F(ScriptTest, DiagnosticsAndReportsLeaveTheStackAsItWas) {
    lua_pushnumber(L(), 2.5);
    lua_pushstring(L(), "text");
    testing::internal::CaptureStderr();
    host().printArgumentDiagnostics("Probe", 3, 2, L());
    EXPECT_EQ(host().reportInsufficientArguments("SetActiveNPCI"), 0);
    EXPECT_EQ(host().reportMissingNpc("GetScriptVariableI"), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Probe called with 3 arguments.\nProbe expects 2 argument.\n-Arg 1: 2.5\n"
              "-Arg 2: text\n-Arg 3: (none)\n"
              "Insufficient Arguments for SetActiveNPCI.  Aborting.\n"
              "GetScriptVariableI tried to reference an NPC that doesn't exist.  Aborting.\n");
    EXPECT_EQ(lua_type(L(), 1), LUA_TNUMBER);
    lua_pop(L(), 2);
}

TEST_F(ScriptTest, EndlessLoopIsStoppedAtTheRunTimeLimit) {
    host().setRunTimeLimit(0.0);
    const std::string path = testing::TempDir() + "fennow_endless.lua";
    std::ofstream(path) << "started = true\nwhile true do end\n";
    EXPECT_EQ(runFile(path), "Lua Error during Execution: " + path +
                                 ":2: script stopped after running for 0 seconds\n");
    EXPECT_EQ(global("started"), "true");
    // Catching the error, or looping in fresh coroutines, does not keep a script alive.
    for (const char* loop : {"while true do pcall(function() while true do end end) end\n",
                             "while true do coroutine.resume(coroutine.create(function() "
                             "while true do end end)) end\n"}) {
        std::ofstream(path) << loop;
        EXPECT_NE(runFile(path), "") << loop;
    }
    // Loops that end are untouched, and the next run starts with a fresh clock.
    host().setRunTimeLimit(ScriptHost::defaultRunTimeLimit);
    EXPECT_EQ(run("local n = 0 for i = 1, 3000000 do n = n + i end total = n"), "");
    EXPECT_EQ(global("total"), "4500001500000");
    std::remove(path.c_str());
}
