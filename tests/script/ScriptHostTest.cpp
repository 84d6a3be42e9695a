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
        if (lua_type(L, -2) == LUA_TSTRING) {
            names.insert(lua_tostring(L, -2));
        }
        lua_pop(L, 1);
    }
    return names;
}

struct RunResult {
    bool ok;
    std::string console;
};

RunResult runCaptured(ScriptHost& host, const char* path) {
    testing::internal::CaptureStderr();
    const bool ok = host.runFile(path);
    return {ok, testing::internal::GetCapturedStderr()};
}

int countingCalls = 0;
int countingFunction(lua_State*) {
    ++countingCalls;
    return 0;
}

} // namespace

TEST_F(ScriptTest, RegistersTheNineteenFunctionsAndNothingElse) {
    lua_State* plain = luaL_newstate();
    luaL_openlibs(plain);
    const std::set<std::string> standard = globalNames(plain);
    lua_close(plain);

    std::set<std::string> added;
    for (const std::string& name : globalNames(L())) {
        if (!standard.count(name)) {
            added.insert(name);
        }
    }
    std::set<std::string> expected;
    for (const ScriptFunction& entry : scriptFunctionTable()) {
        expected.insert(entry.name);
        lua_getglobal(L(), entry.name);
        EXPECT_TRUE(lua_iscfunction(L(), -1)) << entry.name;
        lua_pop(L(), 1);
    }
    EXPECT_EQ(scriptFunctionTable().size(), 19u);
    EXPECT_EQ(expected.size(), 19u);
    EXPECT_EQ(added, expected);
    EXPECT_EQ(std::string(scriptFunctionTable().front().name), "Activate_Debug_Mode");
    EXPECT_EQ(std::string(scriptFunctionTable()[1].name), "Deactivate_Debug_Mode");
    EXPECT_EQ(std::string(scriptFunctionTable().back().name), "SpawnNPC");
    EXPECT_EQ(global("AddNPC"), "nil");
}

TEST(ScriptHostList, RegistersWhateverListItIsGiven) {
    ScriptHost host({{"Count", countingFunction}});
    lua_State* L = host.state();
    EXPECT_FALSE(host.isDebugMode());
    lua_getglobal(L, "SetDialogueLine");
    EXPECT_TRUE(lua_isnil(L, -1));
    lua_pop(L, 1);
    countingCalls = 0;
    ASSERT_EQ(luaL_loadstring(L, "Count() Count()"), 0);
    EXPECT_TRUE(host.execute());
    EXPECT_EQ(countingCalls, 2);
    EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(ScriptTest, GoodFileRunsAndItsResultsAreDropped) {
    const RunResult result = runCaptured(host(), "tests\\data\\script\\Good.lua");
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.console, "");
    EXPECT_EQ(global("greeting"), "\"hello\"");
}

TEST_F(ScriptTest, MissingFileIsOneLoadingLineNamingThePathAsWritten) {
    const RunResult result = runCaptured(host(), "tests\\data\\script\\Missing.lua");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.console, "Lua Error during Loading: cannot open "
                              "tests\\data\\script\\Missing.lua: No such file or directory\n");
    // The next run of a good file works.
    EXPECT_TRUE(runCaptured(host(), "tests\\data\\script\\Good.lua").ok);
}

TEST_F(ScriptTest, EmptyOrNullPathIsAMissingFile) {
    EXPECT_EQ(runCaptured(host(), "").console,
              "Lua Error during Loading: cannot open : No such file or directory\n");
    EXPECT_EQ(runCaptured(host(), nullptr).console,
              "Lua Error during Loading: cannot open : No such file or directory\n");
}

TEST_F(ScriptTest, SyntaxErrorNamesFileAndLineAndRunsNothing) {
    const RunResult result = runCaptured(host(), "tests\\data\\script\\SyntaxError.lua");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.console, "Lua Error during Loading: tests\\data\\script\\SyntaxError.lua:2: "
                              "unexpected symbol near '='\n");
    EXPECT_EQ(global("x"), "nil");
}

TEST_F(ScriptTest, RuntimeErrorKeepsWhatRanBefore) {
    const RunResult result = runCaptured(host(), "tests\\data\\script\\RuntimeError.lua");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.console, "Lua Error during Execution: "
                              "tests\\data\\script\\RuntimeError.lua:2: the well is dry\n");
    EXPECT_EQ(global("before"), "true");
    EXPECT_EQ(global("after"), "nil");
    EXPECT_TRUE(runCaptured(host(), "tests\\data\\script\\Good.lua").ok);
}

TEST_F(ScriptTest, ErrorObjectsWithoutTextPrintAPlaceholder) {
    RunResult result = runCaptured(host(), "tests\\data\\script\\TableError.lua");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.console, "Lua Error during Execution: (error object is not a string)\n");
    result = runCaptured(host(), "tests\\data\\script\\NilError.lua");
    EXPECT_EQ(result.console, "Lua Error during Execution: (error object is not a string)\n");
    result = runCaptured(host(), "tests\\data\\script\\NumberError.lua");
    EXPECT_EQ(result.console,
              "Lua Error during Execution: tests\\data\\script\\NumberError.lua:1: 42\n");
}

TEST_F(ScriptTest, CallingAnUnregisteredNameIsAnExecutionError) {
    RunResult result = runCaptured(host(), "tests\\data\\script\\CallsNil.lua");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.console, "Lua Error during Execution: tests\\data\\script\\CallsNil.lua:1: "
                              "attempt to call global 'NotAFunction' (a nil value)\n");
    result = runCaptured(host(), "tests\\data\\script\\CallsAddNpc.lua");
    EXPECT_EQ(result.console, "Lua Error during Execution: tests\\data\\script\\CallsAddNpc.lua:1: "
                              "attempt to call global 'AddNPC' (a nil value)\n");
}

TEST_F(ScriptTest, LeadingHashLineIsSkippedAndLineNumbersStay) {
    const RunResult result = runCaptured(host(), "tests\\data\\script\\Shebang.lua");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.console, "Lua Error during Execution: "
                              "tests\\data\\script\\Shebang.lua:3: line three\n");
    EXPECT_EQ(global("first"), "1");
}

TEST_F(ScriptTest, DirectoryCannotBeRead) {
    const RunResult result = runCaptured(host(), "tests\\data\\script");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.console,
              "Lua Error during Loading: cannot read tests\\data\\script: Is a directory\n");
}

TEST_F(ScriptTest, PrecompiledChunksAreRefused) {
    const std::string path = testing::TempDir() + "fennow_precompiled.lua";
    run("local f = io.open('" + path +
        "', 'wb') f:write(string.dump(function() pwned = 1 end)) "
        "f:close()");
    const RunResult result = runCaptured(host(), path.c_str());
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.console, "Lua Error during Loading: cannot load " + path +
                                  ": precompiled chunks are not accepted\n");
    EXPECT_EQ(global("pwned"), "nil");
    std::remove(path.c_str());
}

TEST_F(ScriptTest, EditedFileTakesEffectAtItsNextRun) {
    const std::string path = testing::TempDir() + "fennow_edited.lua";
    std::ofstream(path) << "value = 1\n";
    EXPECT_TRUE(host().runFile(path.c_str()));
    std::ofstream(path) << "value = 2\n";
    EXPECT_TRUE(host().runFile(path.c_str()));
    EXPECT_EQ(global("value"), "2");
    std::remove(path.c_str());
}

TEST_F(ScriptTest, LoadFileLeavesTheChunkAndExecuteTakesIt) {
    const int top = lua_gettop(L());
    testing::internal::CaptureStderr();
    ASSERT_TRUE(host().loadFile("tests\\data\\script\\Good.lua"));
    EXPECT_EQ(lua_gettop(L()), top + 1);
    EXPECT_TRUE(lua_isfunction(L(), -1));
    EXPECT_TRUE(host().execute());
    EXPECT_EQ(lua_gettop(L()), top);
    EXPECT_FALSE(host().loadFile("tests\\data\\script\\Missing.lua"));
    EXPECT_EQ(lua_gettop(L()), top);
    // Nothing to run is reported, not undefined.
    EXPECT_FALSE(host().execute());
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Lua Error during Loading: cannot open tests\\data\\script\\Missing.lua: No such "
              "file or directory\nLua Error during Execution: no chunk to run\n");
}

TEST_F(ScriptTest, DebugFunctionsPrintTheirLinesAndReturnOne) {
    ScriptOutcome outcome = call("return Activate_Debug_Mode()");
    EXPECT_EQ(outcome.console, "Dongs\nDone\n");
    EXPECT_EQ(outcome.values, std::vector<std::string>{"1"});
    EXPECT_TRUE(host().isDebugMode());
    outcome = call("return Activate_Debug_Mode()");
    EXPECT_EQ(outcome.console, "Dongs\nDone\n");
    EXPECT_TRUE(host().isDebugMode());
    outcome = call("return Deactivate_Debug_Mode('ignored', {})");
    EXPECT_EQ(outcome.console, "Dongs1\nDone1\n");
    EXPECT_EQ(outcome.values, std::vector<std::string>{"1"});
    EXPECT_FALSE(host().isDebugMode());
    outcome = call("return Deactivate_Debug_Mode()");
    EXPECT_EQ(outcome.console, "Dongs1\nDone1\n");
    EXPECT_FALSE(host().isDebugMode());
}

TEST_F(ScriptTest, DebugModeShowsArgumentsBeforeTheCheck) {
    run("Activate_Debug_Mode()");
    EXPECT_EQ(run("SetPortrait('a')"), "SetPortrait called with 1 arguments.\n"
                                       "SetPortrait expects 1 argument.\n"
                                       "-Arg 1: a\n");
    EXPECT_EQ(run("SetPortrait()"), "SetPortrait called with 0 arguments.\n"
                                    "SetPortrait expects 1 argument.\n"
                                    "Insufficient Arguments for SetPortrait, aborting.\n");
    run("Deactivate_Debug_Mode()");
    EXPECT_EQ(run("SetPortrait('a')"), "");
}

TEST_F(ScriptTest, ArgumentsWithoutTextShowPlaceholders) {
    run("Activate_Debug_Mode()");
    EXPECT_EQ(run("SetDialogueLine(nil, true, false, {}, print, 1.5, 3, 'x%sy')"),
              "SetDialogueLine called with 8 arguments.\n"
              "SetDialogueLine expects 2 argument.\n"
              "-Arg 1: (nil)\n"
              "-Arg 2: (true)\n"
              "-Arg 3: (false)\n"
              "-Arg 4: (table)\n"
              "-Arg 5: (function)\n"
              "-Arg 6: 1.5\n"
              "-Arg 7: 3\n"
              "-Arg 8: x%sy\n"
              "Insufficient Arguments for SetDialogueLine, aborting.\n");
}

TEST_F(ScriptTest, DiagnosticsLeaveNumberArgumentsNumbers) {
    lua_pushnumber(L(), 2.5);
    lua_pushstring(L(), "text");
    testing::internal::CaptureStderr();
    host().printArgumentDiagnostics("Probe", 3, 2, L());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Probe called with 3 arguments.\n"
                                                      "Probe expects 2 argument.\n"
                                                      "-Arg 1: 2.5\n"
                                                      "-Arg 2: text\n"
                                                      "-Arg 3: (none)\n");
    EXPECT_EQ(lua_type(L(), 1), LUA_TNUMBER);
    lua_pop(L(), 2);
}

TEST_F(ScriptTest, ReportingOperationsPrintTheirLinesAndReturnZero) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(host().reportInsufficientArguments("SetActiveNPCI"), 0);
    EXPECT_EQ(host().reportMissingNpc("GetScriptVariableI"), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Insufficient Arguments for SetActiveNPCI.  Aborting.\n"
              "GetScriptVariableI tried to reference an NPC that doesn't exist.  Aborting.\n");
}

TEST_F(ScriptTest, GlobalsStayVisibleToLaterRuns) {
    run("Farm = { name = 'Willow Creek' }");
    EXPECT_EQ(run("assert(Farm.name == 'Willow Creek')"), "");
}

TEST_F(ScriptTest, EndlessLoopIsStoppedAtTheRunTimeLimit) {
    EXPECT_EQ(host().runTimeLimit(), ScriptHost::defaultRunTimeLimit);
    host().setRunTimeLimit(0.0);
    const std::string path = testing::TempDir() + "fennow_endless.lua";
    std::ofstream(path) << "started = true\nwhile true do end\n";
    const RunResult result = runCaptured(host(), path.c_str());
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.console, "Lua Error during Execution: " + path +
                                  ":2: script stopped after running for 0 seconds\n");
    EXPECT_EQ(global("started"), "true");
    // Catching the error, or looping in fresh coroutines, does not keep a script alive.
    std::ofstream(path) << "while true do pcall(function() while true do end end) end\n";
    EXPECT_FALSE(runCaptured(host(), path.c_str()).ok);
    std::ofstream(path)
        << "while true do\n"
           "  coroutine.resume(coroutine.create(function() while true do end end))\n"
           "end\n";
    EXPECT_FALSE(runCaptured(host(), path.c_str()).ok);
    // Loops that end are untouched, and the next run starts with a fresh clock.
    host().setRunTimeLimit(ScriptHost::defaultRunTimeLimit);
    EXPECT_EQ(run("local n = 0 for i = 1, 3000000 do n = n + i end total = n"), "");
    EXPECT_EQ(global("total"), "4500001500000");
    std::remove(path.c_str());
}
