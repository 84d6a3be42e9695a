#include "ScriptWorldSupport.h"

#include "gfx/BitmapLibrary.h"
#include "gui/ChatBox.h"
#include "gui/ChatLine.h"
#include "world/Npc.h"

#include <allegro5/allegro.h>

#include <climits>
#include <cstdio>
#include <string>

namespace {

const Values one{"1"};

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

// Dialogue lines and responses: the index and value converted like numbers (truncated toward
// zero, NaN and words 0, saturated), the text as Lua writes it, indices outside 0..11 ignored.
TEST_F(ScriptFunctionsTest, DialogueLinesAndResponses) {
    ScriptOutcome outcome = call("return SetDialogueLine(2, 'Good morning')");
    EXPECT_EQ(outcome.console, "");
    EXPECT_EQ(outcome.values, one);
    EXPECT_TRUE(chat().line(2)->shown());
    struct Case {
        const char* index;
        const char* text;
        int line;
        std::string shown;
    };
    const Case lines[] = {{"'3'", "'from a string'", 3, "from a string"},
                          {"4.9", "42", 4, "42"},
                          {"-0.9", "1.5", 0, "1.5"},
                          {"0/0", "'~BLANK'", 0, " "},
                          {"'eleven'", "'100% sure'", 0, "100% sure"},
                          {"5", "''", 5, ""},
                          {"6", "string.rep('x', 100000)", 6, std::string(79, 'x')}};
    for (const Case& c : lines) {
        EXPECT_EQ(values(std::string("return SetDialogueLine(") + c.index + ", " + c.text + ")"),
                  one);
        EXPECT_EQ(lineText(c.line), c.shown) << c.index;
    }
    for (const char* index : {"12", "-1", "1e300", "math.huge", "2147483648"})
        EXPECT_EQ(values(std::string("return SetDialogueLine(") + index + ", 'x')"), one);
    for (int i = 0; i < 12; ++i)
        EXPECT_NE(lineText(i), "x") << i;

    const std::pair<const char*, int> responses[] = {
        {"-3", -3}, {"'7'", 7},         {"7.9", 7},         {"-7.9", -7},
        {"0/0", 0}, {"1e300", INT_MAX}, {"-1e300", INT_MIN}};
    for (const auto& [given, value] : responses) {
        EXPECT_EQ(values(std::string("return SetDialogueResponse(3, '~BLANK', ") + given + ")"),
                  one);
        EXPECT_EQ(chat().responseOf(3), value) << given;
        EXPECT_EQ(lineText(3), " ");
    }
    run("SetDialogueLine(3, 'plain')"); // a plain line over a response turns it back into text
    EXPECT_EQ(chat().responseOf(3), -1);

    run("SetDialogueResponse(11, 'b', 2)");
    EXPECT_EQ(values("return ClearDialogue()"), one);
    for (int i = 0; i < 12; ++i) {
        EXPECT_FALSE(chat().line(i)->shown()) << i;
        EXPECT_EQ(chat().responseOf(i), -1) << i;
    }
    for (int last : {-1, -2, 12345}) {
        chat().setLastResponse(last);
        EXPECT_EQ(values("return GetLastChatResponse()"), Values{std::to_string(last)});
    }
}

TEST_F(ScriptFunctionsTest, PortraitsLoadAndSelectByName) {
    const std::string path = testing::TempDir() + "fennow_face.png";
    ALLEGRO_BITMAP* picture = al_create_bitmap(8, 8);
    ASSERT_TRUE(al_save_bitmap(path.c_str(), picture));
    al_destroy_bitmap(picture);
    const ScriptOutcome outcome = call("return LoadPortrait('Face', '" + path + "')");
    EXPECT_EQ(outcome.console, "");
    EXPECT_EQ(outcome.values, one);
    ALLEGRO_BITMAP* face = game.portraits->find("Face");
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(values("return SetPortrait('Face')"), one);
    EXPECT_EQ(values("return SetPortraitBackground('Face')"), one);
    EXPECT_EQ(chat().portrait(), face);
    EXPECT_EQ(chat().portraitBackground(), face);
    // A name no portrait has empties the layer and is still accepted.
    EXPECT_EQ(values("return SetPortrait('face')"), one);
    EXPECT_EQ(values("return SetPortraitBackground('Nobody')"), one);
    EXPECT_EQ(chat().portrait(), nullptr);
    EXPECT_EQ(chat().portraitBackground(), nullptr);
    std::remove(path.c_str());

    // A portrait that does not load is an accepted call; the store names the file as written.
    const ScriptOutcome missing =
        call("return LoadPortrait('Ghost', 'Data\\\\Graphics\\\\Portraits\\\\Missing.png')");
    EXPECT_EQ(missing.values, one);
    EXPECT_NE(missing.console.find("Data\\Graphics\\Portraits\\Missing.png"), std::string::npos)
        << missing.console;
    EXPECT_EQ(game.portraits->count(), 1);
    EXPECT_EQ(run("SetPortrait('Ghost')"), "");
    EXPECT_EQ(chat().portrait(), nullptr);
}

TEST_F(ScriptFunctionsTest, SpawnNpcConvertsItsArgumentsAndNumbersInOrder) {
    ScriptOutcome outcome =
        call("return SpawnNPC(10.9, -3.7, 'Mare', 'Data\\\\Scripts\\\\Mare.lua', 'QuillaTemp')");
    EXPECT_EQ(outcome.console, "");
    EXPECT_EQ(outcome.values, one);
    run("SpawnNPC('5', 0/0, 42, 'q.lua', '') SpawnNPC(1e300, -1e300, 'Far', 'f.lua', '')");
    ASSERT_EQ(npcs().getNpcCount(), 3);
    struct Expected {
        int x, y;
        const char* name;
    };
    const Expected expected[] = {{10, -3, "Mare"}, {5, 0, "42"}, {INT_MAX, INT_MIN, "Far"}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(npcs().npc(i)->number(), i);
        EXPECT_EQ(npcs().npc(i)->x(), expected[i].x);
        EXPECT_EQ(npcs().npc(i)->y(), expected[i].y);
        EXPECT_STREQ(npcs().npc(i)->getName(), expected[i].name);
    }
    EXPECT_STREQ(npcs().npc(0)->getScriptPath(), "Data\\Scripts\\Mare.lua");

    // A script path over 255 bytes is refused with a line; 255 bytes fit.
    outcome = call("return SpawnNPC(0, 0, 'Long', string.rep('p', 256), '')");
    EXPECT_EQ(outcome.results(), 0);
    EXPECT_NE(outcome.console, "");
    EXPECT_EQ(values("return SpawnNPC(0, 0, 'Fits', string.rep('p', 255), '')"), one);
    ASSERT_EQ(npcs().getNpcCount(), 4);
    EXPECT_EQ(std::string(npcs().npc(3)->getScriptPath()), std::string(255, 'p'));
}

TEST_F(ScriptFunctionsTest, SetActiveNpcSelectsByNumberAndByName) {
    run("SpawnNPC(0, 0, 'Mare', 'm.lua', '') SpawnNPC(0, 0, 'Quilla', 'q.lua', 'QuillaTemp') "
        "SpawnNPC(0, 0, 'Mare', 'm2.lua', '')");
    const std::pair<const char*, int> cases[] = {
        {"SetActiveNPCI(1)", 1},        {"SetActiveNPCI('0')", 0},
        {"SetActiveNPCI(2.9)", 2},      {"SetActiveNPCA('Mare')", 0}, // the first
        {"SetActiveNPCI(7)", -1},       {"SetActiveNPCA('Quilla')", 1},
        {"SetActiveNPCA('Nobody')", -1}};
    for (const auto& [code, number] : cases) {
        EXPECT_EQ(values(std::string("return ") + code), one);
        const Npc* active = npcs().getActiveNpc();
        EXPECT_EQ(active ? active->number() : -1, number) << code;
    }
    EXPECT_EQ(run("AddScriptVariableI('gold', 1)"),
              "AddScriptVariableI tried to reference an NPC that doesn't exist.  Aborting.\n");
}

// Variables of the active character: the count is checked after the character.
TEST_F(ScriptFunctionsTest, VariableFunctionsCheckTheirCountAfterTheCharacter) {
    spawnActive("Mare");
    EXPECT_EQ(run("AddScriptVariableI('gold')"),
              "Insufficient Arguments for AddScriptVariableI.  Aborting.\n");
    run("Activate_Debug_Mode()");
    EXPECT_EQ(run("DeleteScriptVariable(nil)"),
              "DeleteScriptVariable called with 1 arguments.\n"
              "DeleteScriptVariable expects 1 argument.\n-Arg 1: (nil)\n"
              "Insufficient Arguments for DeleteScriptVariable.  Aborting.\n");
    EXPECT_EQ(npcs().getActiveNpc()->variables().getVariableCount(), 0);
}

TEST_F(ScriptFunctionsTest, VariablesRoundTripAndChangeKind) {
    spawnActive("Mare");
    struct Step {
        const char* code;
        Values result;
    };
    const Step steps[] = {
        {"return AddScriptVariableI('gold', 5)", one},
        {"return GetScriptVariableI('gold'), GetScriptVariableA('gold')", {"5", "nil"}},
        {"return GetScriptVariableI('silver'), GetScriptVariableA('silver')", {"-100", "nil"}},
        {"return SetScriptVariableI('gold', 9), GetScriptVariableI('gold')", {"1", "9"}},
        {"return AddScriptVariableA('mood', 'glad')", one},
        {"return GetScriptVariableA('mood'), GetScriptVariableI('mood')", {"\"glad\"", "0"}},
        {"return SetScriptVariableA('mood', 'sad'), GetScriptVariableA('mood')", {"1", "\"sad\""}},
        {"SetScriptVariableI('mood', 3) return GetScriptVariableA('mood'), "
         "GetScriptVariableI('mood')",
         {"nil", "3"}},
        {"AddScriptVariableA('n', 12.5) return GetScriptVariableA('n')", {"\"12.5\""}},
        // Setters of missing names add nothing; delete removes every variable of the name.
        {"return SetScriptVariableI('ghost', 1), SetScriptVariableA('ghost', 'boo'), "
         "GetScriptVariableI('ghost')",
         {"1", "1", "-100"}},
        {"AddScriptVariableI('gold', 2) return DeleteScriptVariable('gold'), "
         "GetScriptVariableI('gold'), GetScriptVariableI('mood')",
         {"1", "-100", "3"}}};
    for (const Step& step : steps)
        EXPECT_EQ(values(step.code), step.result) << step.code;

    // Each character keeps its own variables.
    spawnActive("Quilla");
    EXPECT_EQ(values("return GetScriptVariableI('mood')"), Values{"-100"});
}

// Numbers are narrowed to float, then read back truncated and saturated.
TEST_F(ScriptFunctionsTest, IntegerValuesAreNarrowedToFloatAndTruncated) {
    spawnActive("Mare");
    const std::pair<const char*, const char*> cases[] = {{"2.9", "2"},
                                                         {"-2.9", "-2"},
                                                         {"16777217", "16777216"},
                                                         {"2.9999999", "3"},
                                                         {"'12'", "12"},
                                                         {"' 0x10 '", "16"},
                                                         {"'many'", "0"},
                                                         {"0/0", "0"},
                                                         {"1e300", "2147483647"},
                                                         {"-1e300", "-2147483648"},
                                                         {"3000000000", "2147483647"}};
    for (const auto& [given, read] : cases) {
        run(std::string("DeleteScriptVariable('n') AddScriptVariableI('n', ") + given + ")");
        EXPECT_EQ(values("return GetScriptVariableI('n')"), Values{read}) << given;
    }
}

// Names and texts are byte strings: a zero byte neither ends nor joins them. Each row's
// result is worked out in Lua, where the strings keep all their bytes.
TEST_F(ScriptFunctionsTest, NamesAndTextsKeepTheirZeroBytes) {
    testing::internal::CaptureStderr();
    BitmapLibrary library;
    testing::internal::GetCapturedStderr();
    game.bitmapLibrary = &library;
    const std::pair<const char*, Values> cases[] = {
        {"return SpawnNPC(0, 0, 'A', 'a.lua', 'QuillaTemp\\0x'), "
         "SpawnNPC(0, 0, 'A\\0q', 'q.lua', 'QuillaTemp')",
         {"1", "1"}},
        // Selecting A\0q must not select A, nor the other way round.
        {"SetActiveNPCA('A\\0q') AddScriptVariableI('who', 1) SetActiveNPCA('A') "
         "local a = GetScriptVariableI('who') SetActiveNPCA('A\\0q') "
         "return a, GetScriptVariableI('who')",
         {"-100", "1"}},
        {"AddScriptVariableI('a\\0b', 1) AddScriptVariableI('a\\0c', 2) "
         "return GetScriptVariableI('a\\0b'), GetScriptVariableI('a\\0c'), GetScriptVariableI('a')",
         {"1", "2", "-100"}},
        {"AddScriptVariableA('s', 'x\\0y') local added = GetScriptVariableA('s') "
         "SetScriptVariableA('s', '\\0z') return added == 'x\\0y', GetScriptVariableA('s') == "
         "'\\0z'",
         {"true", "true"}}};
    for (const auto& [code, result] : cases)
        EXPECT_EQ(values(code), result) << code;
    EXPECT_EQ(npcs().npc(0)->bitmap(), library.bitmap(BitmapLibrary::npcDefaultSprite));
    EXPECT_EQ(npcs().npc(1)->bitmap(), library.bitmap(BitmapLibrary::npcQuillaSprite));
    game.bitmapLibrary = nullptr;
}
