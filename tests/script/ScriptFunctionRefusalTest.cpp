#include "ScriptWorldSupport.h"

#include <string>
#include <vector>

namespace {

struct Refusal {
    const char* call;
    const char* name; // as the function reports itself
    int expected;
    const char* line;
};

// Each checked function called with one argument too few.
const Refusal tooFew[] = {
    {"SetPortrait()", "SetPortrait", 1, "Insufficient Arguments for SetPortrait, aborting.\n"},
    {"SetPortraitBackground()", "SetPortraitBackground", 1,
     "Insufficient Arguments for SetPortraitBackground, aborting.\n"},
    {"LoadPortrait('Face')", "LoadPortrait", 2,
     "Insufficient Arguments for LoadPortrait, aborting.\n"},
    {"SetDialogueLine(1)", "SetDialogueLine", 2,
     "Insufficient Arguments for SetDialogueLine, aborting.\n"},
    {"SetDialogueResponse(1, 'Yes')", "SetDialogueResponse", 3,
     "Insufficient Arguments for SetDialogueResponse, aborting.\n"},
    {"SetActiveNPCI()", "SetActiveNPCI", 1,
     "Insufficient Arguments for SetActiveNPCI.  Aborting.\n"},
    {"SetActiveNPCA()", "SetActiveNPCA", 1,
     "Insufficient Arguments for SetActiveNPCA.  Aborting.\n"},
    {"SpawnNPC(1, 2, 'Mare', 'Data\\\\Scripts\\\\Mare.lua')", "AddNPC", 5,
     "Insufficient Arguments for AddNPC.  Aborting.\n"},
};

// How many arguments a refusal call passes, for the diagnostics header.
int argumentCount(const std::string& call) {
    if (call.find("()") != std::string::npos) {
        return 0;
    }
    int commas = 0;
    for (char c : call) {
        commas += c == ',';
    }
    return commas + 1;
}

// Text arguments with no text form are refused like missing ones, never read.
const Refusal noText[] = {
    {"SetPortrait(nil)", "SetPortrait", 1, "Insufficient Arguments for SetPortrait, aborting.\n"},
    {"SetPortrait(true)", "SetPortrait", 1, "Insufficient Arguments for SetPortrait, aborting.\n"},
    {"SetPortraitBackground({})", "SetPortraitBackground", 1,
     "Insufficient Arguments for SetPortraitBackground, aborting.\n"},
    {"LoadPortrait('Face', print)", "LoadPortrait", 2,
     "Insufficient Arguments for LoadPortrait, aborting.\n"},
    {"LoadPortrait(false, 'a.png')", "LoadPortrait", 2,
     "Insufficient Arguments for LoadPortrait, aborting.\n"},
    {"SetDialogueLine(1, nil)", "SetDialogueLine", 2,
     "Insufficient Arguments for SetDialogueLine, aborting.\n"},
    {"SetDialogueResponse(1, {}, 5)", "SetDialogueResponse", 3,
     "Insufficient Arguments for SetDialogueResponse, aborting.\n"},
    {"SetActiveNPCA(false)", "SetActiveNPCA", 1,
     "Insufficient Arguments for SetActiveNPCA.  Aborting.\n"},
    {"SpawnNPC(1, 2, {}, 'a.lua', '')", "AddNPC", 5,
     "Insufficient Arguments for AddNPC.  Aborting.\n"},
    {"SpawnNPC(1, 2, 'Mare', nil, '')", "AddNPC", 5,
     "Insufficient Arguments for AddNPC.  Aborting.\n"},
    {"SpawnNPC(1, 2, 'Mare', 'a.lua', coroutine.create(function() end))", "AddNPC", 5,
     "Insufficient Arguments for AddNPC.  Aborting.\n"},
};

const char* const variableCalls[][2] = {
    {"AddScriptVariableI('gold', 5)", "AddScriptVariableI"},
    {"AddScriptVariableA('mood', 'glad')", "AddScriptVariableA"},
    {"DeleteScriptVariable('gold')", "DeleteScriptVariable"},
    {"GetScriptVariableI('gold')", "GetScriptVariableI"},
    {"GetScriptVariableA('mood')", "GetScriptVariableA"},
    {"SetScriptVariableI('gold', 1)", "SetScriptVariableI"},
    {"SetScriptVariableA('mood', 'sad')", "SetScriptVariableA"},
};

} // namespace

TEST_F(ScriptWorldTest, TooFewArgumentsPrintTheRefusalAndReturnNothing) {
    for (const Refusal& refusal : tooFew) {
        const ScriptOutcome outcome = call(std::string("return ") + refusal.call);
        EXPECT_EQ(outcome.error, "") << refusal.call;
        EXPECT_EQ(outcome.console, refusal.line) << refusal.call;
        EXPECT_EQ(outcome.results(), 0) << refusal.call;
    }
    EXPECT_EQ(npcs().getNpcCount(), 0);
    // A variable assigned from a refused call receives nil and the script goes on.
    EXPECT_EQ(run("r = SetDialogueLine(1) after = true"),
              "Insufficient Arguments for SetDialogueLine, aborting.\n");
    EXPECT_EQ(global("r"), "nil");
    EXPECT_EQ(global("after"), "true");
}

TEST_F(ScriptWorldTest, DebugModePrintsDiagnosticsBeforeEachRefusal) {
    run("Activate_Debug_Mode()");
    for (const Refusal& refusal : tooFew) {
        const int given = argumentCount(refusal.call);
        std::string expected = std::string(refusal.name) + " called with " + std::to_string(given) +
                               " arguments.\n" + refusal.name + " expects " +
                               std::to_string(refusal.expected) + " argument.\n";
        const ScriptOutcome outcome = call(std::string("return ") + refusal.call);
        EXPECT_EQ(outcome.console.substr(0, expected.size()), expected) << refusal.call;
        EXPECT_EQ(outcome.console.substr(outcome.console.size() - std::string(refusal.line).size()),
                  refusal.line)
            << refusal.call;
        EXPECT_EQ(outcome.results(), 0) << refusal.call;
    }
    EXPECT_EQ(run("SetDialogueLine(1)"), "SetDialogueLine called with 1 arguments.\n"
                                         "SetDialogueLine expects 2 argument.\n"
                                         "-Arg 1: 1\n"
                                         "Insufficient Arguments for SetDialogueLine, aborting.\n");
}

TEST_F(ScriptWorldTest, TextArgumentsWithoutTextFormAreRefused) {
    for (const Refusal& refusal : noText) {
        const ScriptOutcome outcome = call(std::string("return ") + refusal.call);
        EXPECT_EQ(outcome.error, "") << refusal.call;
        EXPECT_EQ(outcome.console, refusal.line) << refusal.call;
        EXPECT_EQ(outcome.results(), 0) << refusal.call;
    }
    EXPECT_EQ(npcs().getNpcCount(), 0);
    EXPECT_EQ(game.portraits->count(), 0);
}

TEST_F(ScriptWorldTest, VariableFunctionsWithoutActiveCharacterAreRefusedFirst) {
    for (const auto& variableCall : variableCalls) {
        const std::string line = std::string(variableCall[1]) +
                                 " tried to reference an NPC that doesn't exist.  " + "Aborting.\n";
        ScriptOutcome outcome = call(std::string("return ") + variableCall[0]);
        EXPECT_EQ(outcome.console, line) << variableCall[0];
        EXPECT_EQ(outcome.results(), 0) << variableCall[0];
        // Also with no arguments at all, and in debug mode without diagnostics.
        host().activateDebugMode();
        outcome = call(std::string("return ") + variableCall[1] + "()");
        EXPECT_EQ(outcome.console, line) << variableCall[1];
        EXPECT_EQ(outcome.results(), 0) << variableCall[1];
        host().deactivateDebugMode();
    }
}

TEST_F(ScriptWorldTest, FunctionsWithoutCheckIgnoreArguments) {
    EXPECT_EQ(run("Activate_Debug_Mode()"), "Dongs\nDone\n");
    ScriptOutcome outcome = call("return ClearDialogue({}, nil, 3)");
    EXPECT_EQ(outcome.console, "");
    EXPECT_EQ(outcome.values, std::vector<std::string>{"1"});
    outcome = call("return GetLastChatResponse('x')");
    EXPECT_EQ(outcome.console, "");
    EXPECT_EQ(outcome.values, std::vector<std::string>{"-1"});
}
