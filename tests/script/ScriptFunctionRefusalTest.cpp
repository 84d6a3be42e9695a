#include "ScriptWorldSupport.h"

#include <algorithm>
#include <string>

namespace {

// A call the function refuses, the number of arguments it passes and the number expected.
struct Refusal {
    const char* call;
    int given, expected;
    const char* line;
};

const char* const portraitLine = "Insufficient Arguments for SetPortrait, aborting.\n";
const char* const loadLine = "Insufficient Arguments for LoadPortrait, aborting.\n";
const char* const dialogueLine = "Insufficient Arguments for SetDialogueLine, aborting.\n";
const char* const responseLine = "Insufficient Arguments for SetDialogueResponse, aborting.\n";
const char* const activeLine = "Insufficient Arguments for SetActiveNPCA.  Aborting.\n";
const char* const spawnLine = "Insufficient Arguments for AddNPC.  Aborting.\n";

// One argument too few, and text arguments that have no text form (refused, never read).
const Refusal refusals[] = {
    {"SetPortrait()", 0, 1, portraitLine},
    {"SetPortraitBackground()", 0, 1,
     "Insufficient Arguments for SetPortraitBackground, aborting.\n"},
    {"LoadPortrait('Face')", 1, 2, loadLine},
    {"SetDialogueLine(1)", 1, 2, dialogueLine},
    {"SetDialogueResponse(1, 'Yes')", 2, 3, responseLine},
    {"SetActiveNPCI()", 0, 1, "Insufficient Arguments for SetActiveNPCI.  Aborting.\n"},
    {"SetActiveNPCA()", 0, 1, activeLine},
    {"SpawnNPC(1, 2, 'Mare', 'Data\\\\Scripts\\\\Mare.lua')", 4, 5, spawnLine},
    {"SetPortrait(nil)", 1, 1, portraitLine},
    {"SetPortrait(true)", 1, 1, portraitLine},
    {"LoadPortrait('Face', print)", 2, 2, loadLine},
    {"LoadPortrait(false, 'a.png')", 2, 2, loadLine},
    {"SetDialogueLine(1, nil)", 2, 2, dialogueLine},
    {"SetDialogueResponse(1, {}, 5)", 3, 3, responseLine},
    {"SetActiveNPCA(false)", 1, 1, activeLine},
    {"SpawnNPC(1, 2, {}, 'a.lua', '')", 5, 5, spawnLine},
    {"SpawnNPC(1, 2, 'Mare', nil, '')", 5, 5, spawnLine},
    {"SpawnNPC(1, 2, 'Mare', 'a.lua', coroutine.create(function() end))", 5, 5, spawnLine}};

const char* const variableFunctions[] = {
    "AddScriptVariableI", "AddScriptVariableA", "DeleteScriptVariable", "GetScriptVariableI",
    "GetScriptVariableA", "SetScriptVariableI", "SetScriptVariableA"};

} // namespace

// The refusal line, nothing returned, nothing created; in debug mode the diagnostics first.
TEST_F(ScriptWorldTest, RefusedCallsPrintTheirLineAndReturnNothing) {
    for (const bool debug : {false, true}) {
        for (const Refusal& refusal : refusals) {
            SCOPED_TRACE(refusal.call);
            const std::string line = refusal.line;
            const std::string name = line.substr(27, line.find_first_of(",.", 27) - 27);
            const std::string header = name + " called with " + std::to_string(refusal.given) +
                                       " arguments.\n" + name + " expects " +
                                       std::to_string(refusal.expected) + " argument.\n";
            const ScriptOutcome outcome = call(std::string("return ") + refusal.call);
            const std::string& console = outcome.console;
            EXPECT_EQ(outcome.error, "");
            EXPECT_TRUE(debug || console == line) << console;
            EXPECT_EQ(console.rfind(header, 0), debug ? 0u : std::string::npos);
            EXPECT_GE(console.size(), line.size());
            EXPECT_EQ(console.find(line, console.size() - std::min(console.size(), line.size())),
                      console.size() - line.size());
            EXPECT_EQ(outcome.results(), 0);
        }
        run("Activate_Debug_Mode()");
    }
    EXPECT_EQ(npcs().getNpcCount(), 0);
    EXPECT_EQ(game.portraits->count(), 0);
    // A variable assigned from a refused call receives nil and the script goes on.
    EXPECT_EQ(run("r = SetDialogueLine(1) after = true"),
              "SetDialogueLine called with 1 arguments.\nSetDialogueLine expects 2 argument.\n"
              "-Arg 1: 1\nInsufficient Arguments for SetDialogueLine, aborting.\n");
    EXPECT_EQ(global("r"), "nil");
    EXPECT_EQ(global("after"), "true");
}

// Without an active character the variable functions refuse before counting arguments, and
// print no diagnostics even in debug mode.
TEST_F(ScriptWorldTest, VariableFunctionsWithoutActiveCharacterAreRefusedFirst) {
    for (const char* name : variableFunctions) {
        const std::string line =
            std::string(name) + " tried to reference an NPC that doesn't exist.  Aborting.\n";
        for (const char* arguments : {"('gold', 5)", "()"}) {
            const ScriptOutcome outcome = call(std::string("return ") + name + arguments);
            EXPECT_EQ(outcome.console, line) << name << arguments;
            EXPECT_EQ(outcome.results(), 0) << name << arguments;
            host().activateDebugMode();
        }
        host().deactivateDebugMode();
    }
    // Functions without a check ignore any arguments.
    EXPECT_EQ(call("return ClearDialogue({}, nil, 3)").values, Values{"1"});
    EXPECT_EQ(call("return GetLastChatResponse('x')").values, Values{"-1"});
}
