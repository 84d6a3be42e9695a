#include "ScriptWorldSupport.h"

#include "gui/ChatBox.h"
#include "gui/ChatLine.h"
#include "world/Environment.h"
#include "world/Npc.h"

#include <allegro5/allegro.h>

#include <climits>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const std::vector<std::string> one{"1"};

class ScriptFunctionsTest : public ScriptWorldTest {
  protected:
    ChatBox& chat() { return *game.gui->chatBox(); }
    std::string lineText(int index) { return chat().line(index)->text(); }

    // Spawns a character and makes it the active one.
    void spawnActive(const char* name) {
        run(std::string("SpawnNPC(0, 0, '") + name + "', 'x.lua', '') SetActiveNPCA('" + name +
            "')");
    }
};

} // namespace

// Dialogue lines and responses.

TEST_F(ScriptFunctionsTest, SetDialogueLineSetsTheLineAndReturnsOne) {
    ScriptOutcome outcome = call("return SetDialogueLine(2, 'Good morning')");
    EXPECT_EQ(outcome.console, "");
    EXPECT_EQ(outcome.values, one);
    EXPECT_EQ(lineText(2), "Good morning");
    EXPECT_TRUE(chat().line(2)->shown());
    EXPECT_EQ(chat().responseOf(2), -1);
}

TEST_F(ScriptFunctionsTest, LineIndexIsConvertedLikeANumber) {
    run("SetDialogueLine('2', 'from a string')");
    EXPECT_EQ(lineText(2), "from a string");
    run("SetDialogueLine(1.9, 'truncated')");
    EXPECT_EQ(lineText(1), "truncated");
    run("SetDialogueLine(-0.9, 'toward zero')");
    EXPECT_EQ(lineText(0), "toward zero");
    run("SetDialogueLine(0/0, 'not a number is zero')");
    EXPECT_EQ(lineText(0), "not a number is zero");
    run("SetDialogueLine('eleven', 'a word is zero')");
    EXPECT_EQ(lineText(0), "a word is zero");
}

TEST_F(ScriptFunctionsTest, IndexOutsideTheTwelveLinesChangesNothingButIsAccepted) {
    run("for i = 0, 11 do SetDialogueLine(i, 'line ' .. i) end");
    for (const char* index : {"12", "-1", "1e300", "-1e300", "math.huge", "2147483648"}) {
        const ScriptOutcome outcome =
            call(std::string("return SetDialogueLine(") + index + ", 'x')");
        EXPECT_EQ(outcome.values, one) << index;
    }
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(lineText(i), "line " + std::to_string(i));
    }
}

TEST_F(ScriptFunctionsTest, TextsAreTakenAsLuaWritesThem) {
    run("SetDialogueLine(0, 42) SetDialogueLine(1, 1.5) SetDialogueLine(2, '~BLANK') "
        "SetDialogueLine(3, '100% sure') SetDialogueLine(4, '')");
    EXPECT_EQ(lineText(0), "42");
    EXPECT_EQ(lineText(1), "1.5");
    EXPECT_EQ(lineText(2), " ");
    EXPECT_EQ(lineText(3), "100% sure");
    EXPECT_EQ(lineText(4), "");
}

TEST_F(ScriptFunctionsTest, LongTextsAreCutWithoutSplittingACharacter) {
    // 50 two-byte characters: 100 bytes, cut to the 39 characters that fit in 79 bytes.
    run("SetDialogueLine(0, string.rep('\\195\\164', 50))");
    std::string expected;
    for (int i = 0; i < 39; ++i) {
        expected += "\xC3\xA4";
    }
    EXPECT_EQ(lineText(0), expected);
    run("SetDialogueLine(1, string.rep('x', 100000))");
    EXPECT_EQ(lineText(1), std::string(79, 'x'));
}

TEST_F(ScriptFunctionsTest, SetDialogueResponseMakesAResponseLine) {
    ScriptOutcome outcome = call("return SetDialogueResponse(3, 'Bye', -3)");
    EXPECT_EQ(outcome.values, one);
    EXPECT_EQ(lineText(3), "Bye");
    EXPECT_EQ(chat().responseOf(3), -3);
    run("SetDialogueResponse(4, 'seven', '7') SetDialogueResponse(5, 'x', 7.9) "
        "SetDialogueResponse(6, 'x', -7.9) SetDialogueResponse(7, 'x', 0/0) "
        "SetDialogueResponse(8, 'x', 1e300) SetDialogueResponse(9, 'x', -1e300) "
        "SetDialogueResponse(10, '~BLANK', 5)");
    EXPECT_EQ(chat().responseOf(4), 7);
    EXPECT_EQ(chat().responseOf(5), 7);
    EXPECT_EQ(chat().responseOf(6), -7);
    EXPECT_EQ(chat().responseOf(7), 0);
    EXPECT_EQ(chat().responseOf(8), INT_MAX);
    EXPECT_EQ(chat().responseOf(9), INT_MIN);
    EXPECT_EQ(lineText(10), " ");
    EXPECT_EQ(chat().responseOf(10), 5);
    // A plain line over a response turns it back into text.
    run("SetDialogueLine(3, 'plain')");
    EXPECT_EQ(chat().responseOf(3), -1);
}

TEST_F(ScriptFunctionsTest, ClearDialogueClearsEveryLine) {
    run("SetDialogueLine(0, 'a') SetDialogueResponse(11, 'b', 2)");
    const ScriptOutcome outcome = call("return ClearDialogue()");
    EXPECT_EQ(outcome.values, one);
    for (int i = 0; i < 12; ++i) {
        EXPECT_FALSE(chat().line(i)->shown()) << i;
        EXPECT_EQ(chat().responseOf(i), -1) << i;
    }
}

TEST_F(ScriptFunctionsTest, GetLastChatResponseReturnsTheChatBoxValue) {
    EXPECT_EQ(call("return GetLastChatResponse()").values, std::vector<std::string>{"-1"});
    chat().setLastResponse(-2);
    EXPECT_EQ(call("return GetLastChatResponse()").values, std::vector<std::string>{"-2"});
    chat().setLastResponse(12345);
    EXPECT_EQ(call("return GetLastChatResponse()").values, std::vector<std::string>{"12345"});
}

// Portraits.

TEST_F(ScriptFunctionsTest, PortraitsLoadAndSelectByName) {
    const std::string path = testing::TempDir() + "fennow_face.png";
    ALLEGRO_BITMAP* picture = al_create_bitmap(8, 8);
    ASSERT_TRUE(al_save_bitmap(path.c_str(), picture));
    al_destroy_bitmap(picture);

    ScriptOutcome outcome = call("return LoadPortrait('Face', '" + path + "')");
    EXPECT_EQ(outcome.console, "");
    EXPECT_EQ(outcome.values, one);
    ASSERT_EQ(game.portraits->count(), 1);
    ASSERT_NE(game.portraits->find("Face"), nullptr);

    EXPECT_EQ(call("return SetPortrait('Face')").values, one);
    EXPECT_EQ(chat().portrait(), game.portraits->find("Face"));
    EXPECT_EQ(call("return SetPortraitBackground('Face')").values, one);
    EXPECT_EQ(chat().portraitBackground(), game.portraits->find("Face"));

    // A name no portrait has empties the layer and is still accepted.
    outcome = call("return SetPortrait('face')");
    EXPECT_EQ(outcome.values, one);
    EXPECT_EQ(chat().portrait(), nullptr);
    EXPECT_EQ(call("return SetPortraitBackground('Nobody')").values, one);
    EXPECT_EQ(chat().portraitBackground(), nullptr);
    std::remove(path.c_str());
}

TEST_F(ScriptFunctionsTest, PortraitThatDoesNotLoadIsStillAnAcceptedCall) {
    const ScriptOutcome outcome =
        call("return LoadPortrait('Ghost', 'Data\\\\Graphics\\\\Portraits\\\\Missing.png')");
    EXPECT_EQ(outcome.values, one);
    // The store names the file itself, as the script wrote it.
    EXPECT_NE(outcome.console.find("Data\\Graphics\\Portraits\\Missing.png"), std::string::npos)
        << outcome.console;
    EXPECT_EQ(game.portraits->count(), 0);
    EXPECT_EQ(run("SetPortrait('Ghost')"), "");
    EXPECT_EQ(chat().portrait(), nullptr);
}

// Characters.

TEST_F(ScriptFunctionsTest, SpawnNpcTruncatesThePositionAndNumbersInOrder) {
    ScriptOutcome outcome =
        call("return SpawnNPC(10.9, -3.7, 'Mare', 'Data\\\\Scripts\\\\Mare.lua', 'QuillaTemp')");
    EXPECT_EQ(outcome.console, "");
    EXPECT_EQ(outcome.values, one);
    ASSERT_EQ(npcs().getNpcCount(), 1);
    const Npc* mare = npcs().npc(0);
    EXPECT_EQ(mare->x(), 10);
    EXPECT_EQ(mare->y(), -3);
    EXPECT_EQ(mare->number(), 0);
    EXPECT_STREQ(mare->getName(), "Mare");
    EXPECT_STREQ(mare->getScriptPath(), "Data\\Scripts\\Mare.lua");

    run("SpawnNPC('5', 0/0, 42, 'q.lua', '')");
    ASSERT_EQ(npcs().getNpcCount(), 2);
    const Npc* second = npcs().npc(1);
    EXPECT_EQ(second->number(), 1);
    EXPECT_EQ(second->x(), 5);
    EXPECT_EQ(second->y(), 0);
    EXPECT_STREQ(second->getName(), "42");

    run("SpawnNPC(1e300, -1e300, 'Far', 'f.lua', '')");
    EXPECT_EQ(npcs().npc(2)->x(), INT_MAX);
    EXPECT_EQ(npcs().npc(2)->y(), INT_MIN);
}

TEST_F(ScriptFunctionsTest, SpawnNpcWithFourArgumentsCreatesNothing) {
    run("Activate_Debug_Mode()");
    EXPECT_EQ(run("SpawnNPC(1, 2, 'Mare', 'm.lua')"), "AddNPC called with 4 arguments.\n"
                                                      "AddNPC expects 5 argument.\n"
                                                      "-Arg 1: 1\n"
                                                      "-Arg 2: 2\n"
                                                      "-Arg 3: Mare\n"
                                                      "-Arg 4: m.lua\n"
                                                      "Insufficient Arguments for AddNPC.  "
                                                      "Aborting.\n");
    EXPECT_EQ(npcs().getNpcCount(), 0);
}

TEST_F(ScriptFunctionsTest, SpawnNpcRefusesAScriptPathLongerThan255Bytes) {
    ScriptOutcome outcome = call("return SpawnNPC(0, 0, 'Long', string.rep('p', 256), '')");
    EXPECT_EQ(outcome.results(), 0);
    EXPECT_NE(outcome.console, "");
    EXPECT_EQ(npcs().getNpcCount(), 0);
    outcome = call("return SpawnNPC(0, 0, 'Fits', string.rep('p', 255), '')");
    EXPECT_EQ(outcome.values, one);
    ASSERT_EQ(npcs().getNpcCount(), 1);
    EXPECT_EQ(std::string(npcs().npc(0)->getScriptPath()), std::string(255, 'p'));
    EXPECT_EQ(npcs().npc(0)->number(), 0);
}

TEST_F(ScriptFunctionsTest, SetActiveNpcSelectsByNumberAndByName) {
    run("SpawnNPC(0, 0, 'Mare', 'm.lua', '') SpawnNPC(0, 0, 'Quilla', 'q.lua', 'QuillaTemp') "
        "SpawnNPC(0, 0, 'Mare', 'm2.lua', '')");
    EXPECT_EQ(call("return SetActiveNPCI(1)").values, one);
    EXPECT_STREQ(npcs().getActiveNpc()->getName(), "Quilla");
    run("SetActiveNPCI('0')");
    EXPECT_EQ(npcs().getActiveNpc()->number(), 0);
    run("SetActiveNPCI(2.9)");
    EXPECT_EQ(npcs().getActiveNpc()->number(), 2);
    EXPECT_EQ(call("return SetActiveNPCA('Mare')").values, one);
    EXPECT_EQ(npcs().getActiveNpc()->number(), 0); // the first of that name
    run("SetActiveNPCI(7)");
    EXPECT_EQ(npcs().getActiveNpc(), nullptr);
}

TEST_F(ScriptFunctionsTest, SelectingNobodyLeavesNoActiveCharacter) {
    spawnActive("Mare");
    EXPECT_EQ(call("return SetActiveNPCA('Nobody')").values, one);
    EXPECT_EQ(npcs().getActiveNpc(), nullptr);
    const ScriptOutcome outcome = call("return AddScriptVariableI('gold', 1)");
    EXPECT_EQ(outcome.console,
              "AddScriptVariableI tried to reference an NPC that doesn't exist.  Aborting.\n");
    EXPECT_EQ(outcome.results(), 0);
}

// Variables of the active character.

TEST_F(ScriptFunctionsTest, VariableFunctionsCheckTheirCountAfterTheCharacter) {
    spawnActive("Mare");
    EXPECT_EQ(run("AddScriptVariableI('gold')"),
              "Insufficient Arguments for AddScriptVariableI.  Aborting.\n");
    run("Activate_Debug_Mode()");
    EXPECT_EQ(run("AddScriptVariableI('gold')"),
              "AddScriptVariableI called with 1 arguments.\n"
              "AddScriptVariableI expects 2 argument.\n"
              "-Arg 1: gold\n"
              "Insufficient Arguments for AddScriptVariableI.  Aborting.\n");
    EXPECT_EQ(run("GetScriptVariableI()"), "GetScriptVariableI called with 0 arguments.\n"
                                           "GetScriptVariableI expects 1 argument.\n"
                                           "Insufficient Arguments for GetScriptVariableI.  "
                                           "Aborting.\n");
    EXPECT_EQ(run("DeleteScriptVariable(nil)"),
              "DeleteScriptVariable called with 1 arguments.\n"
              "DeleteScriptVariable expects 1 argument.\n"
              "-Arg 1: (nil)\n"
              "Insufficient Arguments for DeleteScriptVariable.  Aborting.\n");
    EXPECT_EQ(npcs().getActiveNpc()->variables().getVariableCount(), 0);
}

TEST_F(ScriptFunctionsTest, IntegerVariablesRoundTrip) {
    spawnActive("Mare");
    EXPECT_EQ(call("return AddScriptVariableI('gold', 5)").values, one);
    EXPECT_EQ(call("return GetScriptVariableI('gold')").values, std::vector<std::string>{"5"});
    EXPECT_EQ(call("return GetScriptVariableA('gold')").values, std::vector<std::string>{"nil"});
    EXPECT_EQ(call("return GetScriptVariableI('silver')").values, std::vector<std::string>{"-100"});
    EXPECT_EQ(call("return GetScriptVariableA('silver')").values, std::vector<std::string>{"nil"});
    EXPECT_EQ(call("return SetScriptVariableI('gold', 9)").values, one);
    EXPECT_EQ(call("return GetScriptVariableI('gold')").values, std::vector<std::string>{"9"});
}

TEST_F(ScriptFunctionsTest, IntegerValuesAreNarrowedToFloatAndTruncated) {
    spawnActive("Mare");
    const struct {
        const char* given;
        const char* read;
    } cases[] = {
        {"2.9", "2"},
        {"-2.9", "-2"},
        {"16777217", "16777216"},
        {"2.9999999", "3"},
        {"'12'", "12"},
        {"' 0x10 '", "16"},
        {"'many'", "0"},
        {"0/0", "0"},
        {"1e300", "2147483647"},
        {"-1e300", "-2147483648"},
        {"math.huge", "2147483647"},
        {"3000000000", "2147483647"},
    };
    for (const auto& c : cases) {
        run(std::string("DeleteScriptVariable('n') AddScriptVariableI('n', ") + c.given + ")");
        EXPECT_EQ(call("return GetScriptVariableI('n')").values, std::vector<std::string>{c.read})
            << c.given;
    }
}

TEST_F(ScriptFunctionsTest, StringVariablesAndKindChanges) {
    spawnActive("Mare");
    EXPECT_EQ(call("return AddScriptVariableA('mood', 'glad')").values, one);
    EXPECT_EQ(call("return GetScriptVariableA('mood')").values,
              std::vector<std::string>{"\"glad\""});
    EXPECT_EQ(call("return GetScriptVariableI('mood')").values, std::vector<std::string>{"0"});
    EXPECT_EQ(call("return SetScriptVariableA('mood', 'sad')").values, one);
    EXPECT_EQ(call("return GetScriptVariableA('mood')").values,
              std::vector<std::string>{"\"sad\""});
    run("SetScriptVariableI('mood', 3)");
    EXPECT_EQ(call("return GetScriptVariableA('mood')").values, std::vector<std::string>{"nil"});
    EXPECT_EQ(call("return GetScriptVariableI('mood')").values, std::vector<std::string>{"3"});
    run("AddScriptVariableA('number', 12.5)");
    EXPECT_EQ(call("return GetScriptVariableA('number')").values,
              std::vector<std::string>{"\"12.5\""});
}

TEST_F(ScriptFunctionsTest, SettersOfMissingNamesAddNothing) {
    spawnActive("Mare");
    EXPECT_EQ(call("return SetScriptVariableI('ghost', 1)").values, one);
    EXPECT_EQ(call("return SetScriptVariableA('ghost', 'boo')").values, one);
    EXPECT_EQ(call("return GetScriptVariableI('ghost')").values, std::vector<std::string>{"-100"});
    EXPECT_EQ(npcs().getActiveNpc()->variables().getVariableCount(), 0);
}

TEST_F(ScriptFunctionsTest, DeleteRemovesEveryVariableOfTheName) {
    spawnActive("Mare");
    run("AddScriptVariableI('x', 1) AddScriptVariableA('x', 'two') AddScriptVariableI('y', 3)");
    EXPECT_EQ(call("return DeleteScriptVariable('x')").values, one);
    EXPECT_EQ(call("return GetScriptVariableI('x')").values, std::vector<std::string>{"-100"});
    EXPECT_EQ(call("return GetScriptVariableI('y')").values, std::vector<std::string>{"3"});
}

TEST_F(ScriptFunctionsTest, EachCharacterKeepsItsOwnVariables) {
    run("SpawnNPC(0, 0, 'Mare', 'm.lua', '') SpawnNPC(0, 0, 'Quilla', 'q.lua', '')");
    run("SetActiveNPCA('Mare') AddScriptVariableI('met', 1)");
    run("SetActiveNPCA('Quilla')");
    EXPECT_EQ(call("return GetScriptVariableI('met')").values, std::vector<std::string>{"-100"});
    run("SetActiveNPCI(0)");
    EXPECT_EQ(call("return GetScriptVariableI('met')").values, std::vector<std::string>{"1"});
}

// The whole conversation road: a click on a character, a picked response, the close value.

TEST_F(ScriptFunctionsTest, ConversationRunsTheScriptWithMinusTwoThenWithThePick) {
    testing::internal::CaptureStderr();
    game.environment = new Environment(50, 50);
    testing::internal::GetCapturedStderr();
    run("SpawnNPC(100, 50, 'Talker', 'tests\\\\data\\\\script\\\\Talker.lua', '')");

    testing::internal::CaptureStderr();
    game.environment->handleMouse(0, 140, 100);
    game.environment->handleMouse(1, 140, 100);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(call("return seen[1], #seen").values, (std::vector<std::string>{"-2", "1"}));
    EXPECT_TRUE(chat().isShown());
    EXPECT_EQ(chat().lastResponse(), -1);
    EXPECT_EQ(lineText(0), "Hello!");
    EXPECT_STREQ(npcs().getActiveNpc()->getName(), "Talker");

    // Line 1 of the chat box at (0, 380): rows start 13 pixels down, 16 pixels apart.
    auto clickLine = [](int row) {
        testing::internal::CaptureStderr();
        game.gui->setMouse(300.0f, 380.0f + 13.0f + 16.0f * row + 1.0f);
        game.gui->click(0);
        game.gui->click(1);
        return testing::internal::GetCapturedStderr();
    };
    EXPECT_EQ(clickLine(1), "Line response was 5\n"
                            "Calling Script: tests\\data\\script\\Talker.lua with value 5\n");
    EXPECT_EQ(call("return seen[2], #seen").values, (std::vector<std::string>{"5", "2"}));
    EXPECT_EQ(lineText(0), "More it is.");

    EXPECT_EQ(clickLine(2), "Line response was -3\n");
    EXPECT_FALSE(chat().isShown());
    EXPECT_EQ(call("return #seen").values, std::vector<std::string>{"2"});

    delete game.environment;
    game.environment = nullptr;
}
