#include "ScriptWorldSupport.h"

#include "script/ScriptFunctionTable.h"

#include <string>

namespace {

// Every kind of value a careless or hostile script can pass, as Lua expressions.
const char* const abusiveValues[] = {"nil",
                                     "true",
                                     "{1, 2, x = 'y'}",
                                     "print",
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
                                     "-math.huge",
                                     "2147483648",
                                     "-2147483649",
                                     "16777217",
                                     "-3.7",
                                     "'12'",
                                     "' 0x10 '",
                                     "'1e999'",
                                     "'nan'",
                                     "'Mare'"};

// One well-formed call per function (the debug switches aside).
const std::vector<std::vector<std::string>> goodCalls = {
    {"ClearDialogue"},
    {"GetLastChatResponse"},
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
    {"SpawnNPC", "1", "2", "'Quill'", "'q.lua'", "'QuillaTemp'"}};

} // namespace

// Each good call with no arguments, with one position made wrong, and with one wrong
// argument too many; with and without debug mode, with and without an active character.
// None raises a Lua error or returns more than one result; the fixture checks the stack.
TEST_F(ScriptWorldTest, EveryFunctionSurvivesEveryKindOfArgument) {
    ASSERT_EQ(goodCalls.size() + 2, scriptFunctionTable().size());
    run("SpawnNPC(0, 0, 'Mare', 'Data\\\\Scripts\\\\Mare.lua', '')");
    for (const bool debug : {false, true}) {
        for (const bool active : {false, true}) {
            const std::string prefix = active ? "SetActiveNPCA('Mare') " : "SetActiveNPCI(-1) ";
            for (const auto& good : goodCalls) {
                for (size_t wrong = 0; wrong <= good.size(); ++wrong) {
                    for (const char* value : abusiveValues) {
                        debug ? host().activateDebugMode() : host().deactivateDebugMode();
                        std::string code = prefix + "return " + good[0] + "(";
                        for (size_t i = 1; i <= good.size() && wrong > 0; ++i) {
                            if (i < good.size() || i == wrong)
                                code += (i > 1 ? ", " : "") + (i == wrong ? value : good[i]);
                        }
                        const ScriptOutcome outcome = call(code + ")");
                        EXPECT_EQ(outcome.error, "") << code << ")";
                        EXPECT_LE(outcome.results(), 1) << code << ")";
                    }
                }
            }
        }
    }
    EXPECT_EQ(run("Deactivate_Debug_Mode()"), "Dongs1\nDone1\n");
}
