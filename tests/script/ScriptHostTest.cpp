#include "ScriptTestSupport.h"

#include "script/ScriptFunctionTable.h"

#include <cstdio>
#include <fstream>

TEST_F(ScriptTest, RegistersEveryFunction) {
    const std::vector<ScriptFunction>& table = scriptFunctionTable();
    ASSERT_EQ(table.size(), 26u);
    for (const ScriptFunction& entry : table)
        EXPECT_EQ(values(std::string("return type(") + entry.name + ")"), Values{"\"function\""});
    EXPECT_EQ(values("return AddNPC"), Values{"nil"}); // SpawnNPC's name in its own messages
}

// Every way a file can fail, with its one console line; what ran before an error stays.
TEST_F(ScriptTest, FaultyFilesReportOneLineAndTheNextRunWorks) {
    const std::string dir = "tests\\data\\script\\", noFile = ": No such file or directory\n";
    const std::pair<std::string, std::string> cases[] = {
        {dir + "Missing.lua", "Loading: cannot open " + dir + "Missing.lua" + noFile},
        {"", "Loading: cannot open " + noFile},
        {dir + "SyntaxError.lua",
         "Loading: " + dir + "SyntaxError.lua:1: unexpected symbol near '='\n"},
        {dir + "Shebang.lua", "Execution: " + dir + "Shebang.lua:3: line three\n"},
        {dir + "TableError.lua", "Execution: (error object is not a string)\n"},
        {dir + "NumberError.lua", "Execution: " + dir + "NumberError.lua:1: 42\n"},
        {dir + "CallsNil.lua", "Execution: " + dir +
                                   "CallsNil.lua:1: attempt to call global "
                                   "'NotAFunction' (a nil value)\n"},
        {"tests\\data\\script", "Loading: cannot read tests\\data\\script: Is a directory\n"}};
    for (const auto& [file, line] : cases) {
        const std::string& path = file;
        bool result = true;
        EXPECT_EQ(capturedStderr([&] { result = host().runFile(path.c_str()); }),
                  "Lua Error during " + line);
        EXPECT_FALSE(result) << path;
        EXPECT_EQ(runFile(dir + "Good.lua"), "") << path;
    }
    EXPECT_EQ(capturedStderr([this] { EXPECT_FALSE(host().runFile(nullptr)); }),
              "Lua Error during " + cases[1].second);
    EXPECT_EQ(capturedStderr([this] { EXPECT_FALSE(host().execute()); }), // nothing loaded
              "Lua Error during Execution: no chunk to run\n");
    // The syntax error ran nothing; the hash line is skipped and the lines after it run up to
    // the error.
    EXPECT_EQ(values("return x, before, after, greeting"),
              (Values{"nil", "1", "nil", "\"hello\""}));
}

TEST_F(ScriptTest, PrecompiledChunksAreRefusedAndEditsTakeEffectAtTheNextRun) {
    const std::string path = testing::TempDir() + "fennow_chunk.lua";
    run("local f = io.open('" + path +
        "', 'wb') f:write(string.dump(function() pwned = 1 end)) f:close()");
    EXPECT_EQ(runFile(path), "Lua Error during Loading: cannot load " + path +
                                 ": precompiled chunks are not accepted\n");
    for (const char* value : {"1", "2"}) {
        std::ofstream(path) << "value = " << value << "\n";
        EXPECT_EQ(runFile(path), "");
    }
    EXPECT_EQ(values("return pwned, value"), (Values{"nil", "2"}));
    std::remove(path.c_str());
}

TEST_F(ScriptTest, DebugFunctionsPrintTheirLinesAndSwitchTheDiagnostics) {
    for (int i = 0; i < 2; ++i) {
        const ScriptOutcome on = call("return Activate_Debug_Mode()");
        EXPECT_EQ(on.console, "Dongs\nDone\n");
        EXPECT_EQ(on.values, Values{"1"});
        EXPECT_TRUE(host().isDebugMode());
    }
    EXPECT_EQ(run("SetPortrait('a')"),
              "SetPortrait called with 1 arguments.\nSetPortrait expects 1 argument.\n-Arg 1: a\n");
    EXPECT_EQ(run("SetDialogueLine(nil, true, false, {}, print, 1.5, 3, 'x%sy')"),
              "SetDialogueLine called with 8 arguments.\nSetDialogueLine expects 2 argument.\n"
              "-Arg 1: (nil)\n-Arg 2: (true)\n-Arg 3: (false)\n-Arg 4: (table)\n"
              "-Arg 5: (function)\n-Arg 6: 1.5\n-Arg 7: 3\n-Arg 8: x%sy\n"
              "Insufficient Arguments for SetDialogueLine, aborting.\n");
    lua_pushnumber(L(), 2.5); // called directly, with more arguments than the stack holds
    EXPECT_EQ(capturedStderr([this] { host().printArgumentDiagnostics("P", 2, 2, L()); }),
              "P called with 2 arguments.\nP expects 2 argument.\n-Arg 1: 2.5\n-Arg 2: (none)\n");
    lua_pop(L(), 1);
    for (int i = 0; i < 2; ++i) {
        const ScriptOutcome off = call("return Deactivate_Debug_Mode('ignored', {})");
        EXPECT_EQ(off.console, "Dongs1\nDone1\n");
        EXPECT_EQ(off.values, Values{"1"});
        EXPECT_FALSE(host().isDebugMode());
    }
    EXPECT_EQ(run("SetPortrait('a')"), "");
}

TEST_F(ScriptTest, EndlessLoopIsStoppedAtTheRunTimeLimit) {
    host().setRunTimeLimit(0.0);
    // A short relative name: Lua shortens long file names in its messages.
    testsupport::ScratchDir dir;
    const std::string path = "endless.lua";
    std::ofstream(path) << "started = true\nwhile true do end\n";
    EXPECT_EQ(runFile(path), "Lua Error during Execution: " + path +
                                 ":2: script stopped after running for 0 seconds\n");
    EXPECT_EQ(values("return started"), Values{"true"});
    // Catching the error, or looping in fresh coroutines, does not keep a script alive.
    for (const char* loop : {"while true do pcall(function() while true do end end) end\n",
                             "while true do coroutine.resume(coroutine.create(function() "
                             "while true do end end)) end\n"}) {
        std::ofstream(path) << loop;
        EXPECT_NE(runFile(path), "") << loop;
    }
    // Loops that end are untouched, and the next run starts with a fresh clock.
    host().setRunTimeLimit(ScriptHost::defaultRunTimeLimit);
    EXPECT_EQ(values("local n = 0 for i = 1, 3000000 do n = n + i end return n"),
              Values{"4500001500000"});
}
