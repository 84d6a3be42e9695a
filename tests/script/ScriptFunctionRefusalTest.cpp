#include "ScriptTestSupport.h"

#include "world/Npc.h"

namespace {

// A call the function refuses, the number of arguments it passes and the number expected.
struct Refusal {
    const char* call;
    int given, expected;
    const char* line;
};

const char* const portrait = "Insufficient Arguments for SetPortrait, aborting.\n";
const char* const load = "Insufficient Arguments for LoadPortrait, aborting.\n";
const char* const dialogue = "Insufficient Arguments for SetDialogueLine, aborting.\n";
const char* const response = "Insufficient Arguments for SetDialogueResponse, aborting.\n";
const char* const active = "Insufficient Arguments for SetActiveNPCA.  Aborting.\n";
const char* const spawn = "Insufficient Arguments for AddNPC.  Aborting.\n";

// One argument too few, and text arguments that have no text form.
const Refusal refusals[] = {
    {"SetPortrait()", 0, 1, portrait},
    {"SetPortraitBackground()", 0, 1,
     "Insufficient Arguments for SetPortraitBackground, aborting.\n"},
    {"LoadPortrait('Face')", 1, 2, load},
    {"SetDialogueLine(1)", 1, 2, dialogue},
    {"SetDialogueResponse(1, 'Yes')", 2, 3, response},
    {"SetActiveNPCI()", 0, 1, "Insufficient Arguments for SetActiveNPCI.  Aborting.\n"},
    {"SetActiveNPCA()", 0, 1, active},
    {"SpawnNPC(1, 2, 'Mare', 'Mare.lua')", 4, 5, spawn},
    {"SetPortrait(true)", 1, 1, portrait},
    {"LoadPortrait('Face', print)", 2, 2, load},
    {"LoadPortrait(false, 'a.png')", 2, 2, load},
    {"SetDialogueLine(1, nil)", 2, 2, dialogue},
    {"SetDialogueResponse(1, {}, 5)", 3, 3, response},
    {"SetActiveNPCA(false)", 1, 1, active},
    {"SpawnNPC(1, 2, {}, 'a.lua', '')", 5, 5, spawn},
    {"SpawnNPC(1, 2, 'Mare', nil, '')", 5, 5, spawn},
    {"SpawnNPC(1, 2, 'Mare', 'a.lua', print)", 5, 5, spawn},
    {"DeleteScriptVariable(nil)", 1, 1,
     "Insufficient Arguments for DeleteScriptVariable.  Aborting.\n"}};

} // namespace

// The refusal line, nothing returned, nothing created; in debug mode the diagnostics first.
// A variable function, with an active character, checks its count like the others.
TEST_F(ScriptTest, RefusedCallsPrintTheirLineAndReturnNothing) {
    run("SpawnNPC(0, 0, 'Mare', 'm.lua', '') SetActiveNPCI(0)");
    for (const bool debug : {false, true}) {
        for (const Refusal& refusal : refusals) {
            const std::string line = refusal.line;
            const std::string name = line.substr(27, line.find_first_of(",.", 27) - 27);
            const std::string header = name + " called with " + std::to_string(refusal.given) +
                                       " arguments.\n" + name + " expects " +
                                       std::to_string(refusal.expected) + " argument.\n";
            const ScriptOutcome outcome = call(std::string("return ") + refusal.call);
            const std::string& console = outcome.console;
            EXPECT_EQ(debug ? console.substr(0, header.size()) : console, debug ? header : line)
                << refusal.call;
            EXPECT_EQ(console.substr(console.size() - std::min(console.size(), line.size())), line)
                << refusal.call;
            EXPECT_EQ(outcome.error + std::to_string(outcome.values.size()), "0") << refusal.call;
        }
        run("Activate_Debug_Mode()");
    }
    EXPECT_EQ(npcs().getNpcCount() + game.portraits->count(), 1);
    EXPECT_EQ(npcs().getActiveNpc()->variables().getVariableCount(), 0);
    // A variable assigned from a refused call receives nil and the script goes on.
    EXPECT_EQ(values("local r = SetDialogueLine(1) return r, 'after'"),
              (Values{"nil", "\"after\""}));
}

// Each variable function called one argument short: without an active character it refuses
// for want of one, before counting and without diagnostics even in debug mode; with one, for
// want of arguments.
TEST_F(ScriptTest, VariableFunctionsNeedACharacterFirstThenTheirArguments) {
    const std::pair<const char*, const char*> calls[] = {
        {"AddScriptVariableI", "('gold')"}, {"AddScriptVariableA", "('mood')"},
        {"DeleteScriptVariable", "()"},     {"GetScriptVariableI", "()"},
        {"GetScriptVariableA", "()"},       {"SetScriptVariableI", "('gold')"},
        {"SetScriptVariableA", "('mood')"}};
    host().activateDebugMode();
    for (const char* refusal :
         {" tried to reference an NPC that doesn't exist.  Aborting.\n", ".  Aborting.\n"}) {
        for (const auto& [name, arguments] : calls) {
            const ScriptOutcome outcome = call(std::string("return ") + name + arguments);
            const std::string prefix = *refusal == '.' ? "Insufficient Arguments for " : "";
            EXPECT_EQ(outcome.console, prefix + name + refusal);
            EXPECT_EQ(outcome.values.size(), 0u) << name;
        }
        host().deactivateDebugMode();
        run("SpawnNPC(0, 0, 'Mare', 'm.lua', '') SetActiveNPCI(0)");
    }
    // Functions without a check ignore any arguments.
    EXPECT_EQ(values("return ClearDialogue({}, nil, 3), GetLastChatResponse('x')"),
              (Values{"1", "-1"}));
}
