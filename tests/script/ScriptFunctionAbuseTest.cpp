#include "ScriptWorldSupport.h"

#include "script/ScriptFunctionTable.h"

#include <string>

namespace {

// Every kind of value a careless or hostile script can pass, as Lua expressions.
const char* const abusiveValues[] = {
    "nil",
    "true",
    "false",
    "{}",
    "{1, 2, x = 'y'}",
    "print",
    "function() end",
    "coroutine.create(function() end)",
    "io.stdout",
    "string.rep('x', 70000)",
    "string.rep('\\255\\0', 100)",
    "''",
    "'~BLANK'",
    "'%s%n%d'",
    "0/0",
    "-(0/0)",
    "1e308",
    "-1e308",
    "math.huge",
    "-math.huge",
    "2147483648",
    "-2147483649",
    "4294967296",
    "16777217",
    "1.9",
    "-3.7",
    "'12'",
    "'0x10'",
    "' 3 '",
    "'1e999'",
    "'-1e999'",
    "'nan'",
    "'inf'",
    "'-3.7'",
    "'Mare'",
};

} // namespace

// Every global with every kind of wrong argument, repeated from one to six times, with and
// without debug mode: no Lua error, at most one result, the stack balanced (fixture).
TEST_F(ScriptWorldTest, EveryFunctionSurvivesEveryKindOfArgument) {
    for (const bool debug : {false, true}) {
        for (const ScriptFunction& entry : scriptFunctionTable()) {
            const std::string name = entry.name;
            if (name == "Activate_Debug_Mode" || name == "Deactivate_Debug_Mode") {
                continue; // they would switch the mode under test
            }
            for (int count = 0; count <= 6; ++count) {
                for (const char* value : abusiveValues) {
                    if (debug) {
                        host().activateDebugMode();
                    } else {
                        host().deactivateDebugMode();
                    }
                    std::string code = "return " + name + "(";
                    for (int i = 0; i < count; ++i) {
                        code += (i ? ", " : "") + std::string(value);
                    }
                    code += ")";
                    const ScriptOutcome outcome = call(code);
                    EXPECT_EQ(outcome.error, "") << code;
                    EXPECT_LE(outcome.results(), 1) << code;
                }
            }
            // Every function selects a character between rounds, so the variable functions
            // are abused with an active character too, once one has been spawned.
            run("SpawnNPC(10, 10, 'Target', 'Data\\\\Scripts\\\\Target.lua', '') "
                "SetActiveNPCA('Target')");
        }
    }
    EXPECT_EQ(run("Deactivate_Debug_Mode()"), "Dongs1\nDone1\n");
}

// One well-formed call per function with a single position made wrong.
TEST_F(ScriptWorldTest, OneWrongPositionInAnOtherwiseGoodCall) {
    run("SpawnNPC(0, 0, 'Mare', 'Data\\\\Scripts\\\\Mare.lua', '') SetActiveNPCA('Mare')");
    const char* const goodCalls[][6] = {
        {"SetPortrait", "'Face'"},
        {"SetPortraitBackground", "'Back'"},
        {"LoadPortrait", "'Face'", "'tests\\\\data\\\\script\\\\none.png'"},
        {"SetDialogueLine", "1", "'Hello'"},
        {"SetDialogueResponse", "1", "'Yes'", "4"},
        {"SetActiveNPCI", "0"},
        {"SetActiveNPCA", "'Mare'"},
        {"AddScriptVariableI", "'gold'", "5"},
        {"AddScriptVariableA", "'mood'", "'glad'"},
        {"DeleteScriptVariable", "'gold'"},
        {"GetScriptVariableI", "'gold'"},
        {"GetScriptVariableA", "'mood'"},
        {"SetScriptVariableI", "'gold'", "1"},
        {"SetScriptVariableA", "'mood'", "'sad'"},
        {"SpawnNPC", "1", "2", "'Quill'", "'q.lua'", "'QuillaTemp'"},
    };
    for (const auto& good : goodCalls) {
        int arity = 0;
        while (arity < 5 && good[arity + 1]) {
            ++arity;
        }
        for (int wrong = 0; wrong < arity; ++wrong) {
            for (const char* value : abusiveValues) {
                std::string code = std::string("SetActiveNPCA('Mare') return ") + good[0] + "(";
                for (int i = 0; i < arity; ++i) {
                    code += (i ? ", " : "") + std::string(i == wrong ? value : good[i + 1]);
                }
                code += ")";
                const ScriptOutcome outcome = call(code);
                EXPECT_EQ(outcome.error, "") << code;
                EXPECT_LE(outcome.results(), 1) << code;
            }
        }
    }
}
