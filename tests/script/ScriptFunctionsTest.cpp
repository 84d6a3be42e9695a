#include "ScriptTestSupport.h"

#include "gfx/BitmapLibrary.h"
#include "world/Npc.h"

#include <climits>
#include <cstdio>

namespace {

const Values one{"1"};

class ScriptFunctionsTest : public ScriptTest {
  protected:
    std::string lineText(int index) { return chat().line(index)->text(); }
    // Spawns a character and makes it the active one.
    void spawnActive(const std::string& name) {
        run("SpawnNPC(0, 0, '" + name + "', 'x.lua', '') SetActiveNPCA('" + name + "')");
    }
};

} // namespace

// Indices and values are read like numbers (truncated toward zero, NaN and words 0,
// saturated), texts as Lua writes them; indices outside 0..11 change nothing.
TEST_F(ScriptFunctionsTest, DialogueLinesAndResponses) {
    const std::pair<std::string, std::pair<int, std::string>> lines[] = {
        {"2, 'Good morning'", {2, "Good morning"}},
        {"'3', 'from a string'", {3, "from a string"}},
        {"4.9, 42", {4, "42"}},
        {"-0.9, 1.5", {0, "1.5"}},
        {"'eleven', '%s'", {0, "%s"}}};
    for (const auto& [arguments, shown] : lines) {
        const ScriptOutcome outcome = call("return SetDialogueLine(" + arguments + ")");
        EXPECT_EQ(outcome.values, one);
        EXPECT_EQ(outcome.console + lineText(shown.first), shown.second);
    }
    for (const char* index : {"12", "-1", "1e300", "2147483648"})
        EXPECT_EQ(values(std::string("return SetDialogueLine(") + index + ", 'x')"), one);
    for (int i = 0; i < 12; ++i)
        EXPECT_NE(lineText(i), "x") << i;

    const std::pair<const char*, int> responses[] = {
        {"'7'", 7}, {"-7.9", -7}, {"0/0", 0}, {"1e300", INT_MAX}, {"-3", -3}, {"-1e300", INT_MIN}};
    for (const auto& [given, value] : responses) {
        EXPECT_EQ(values(std::string("return SetDialogueResponse(3, 'r', ") + given + ")"), one);
        EXPECT_EQ(chat().responseOf(3), value) << given;
    }
    EXPECT_EQ(values("return ClearDialogue()"), one);
    for (int i = 0; i < 12; ++i)
        EXPECT_FALSE(chat().line(i)->shown()) << i;
    game.conversation->setLastResponse(12345);
    EXPECT_EQ(values("return GetLastChatResponse()"), Values{"12345"});
}

TEST_F(ScriptFunctionsTest, PortraitsLoadAndSelectByName) {
    const std::string path = testing::TempDir() + "fennow_face.png";
    BitmapHolder picture(solidBitmap(8, 8, al_map_rgb(1, 2, 3)));
    ASSERT_TRUE(al_save_bitmap(path.c_str(), picture));
    EXPECT_EQ(call("return LoadPortrait('Face', '" + path + "')").values, one);
    std::remove(path.c_str());
    ALLEGRO_BITMAP* face = game.portraits->find("Face");
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(values("return SetPortrait('Face'), SetPortraitBackground('Face')"),
              (Values{"1", "1"}));
    EXPECT_EQ(std::make_pair(chat().portrait(), chat().portraitBackground()),
              std::make_pair(face, face));
    // A name no portrait has empties the layer and is still accepted.
    EXPECT_EQ(run("SetPortrait('face') SetPortraitBackground('Nobody')"), "");
    EXPECT_EQ(chat().portrait(), chat().portraitBackground());
    EXPECT_EQ(chat().portrait(), nullptr);
    // A portrait that does not load is an accepted call; the store names the file as written.
    const ScriptOutcome missing = call("return LoadPortrait('Ghost', 'Data\\\\Missing.png')");
    EXPECT_EQ(missing.values, one);
    EXPECT_NE(missing.console.find("Data\\Missing.png"), std::string::npos) << missing.console;
    EXPECT_EQ(game.portraits->count(), 1);
}

TEST_F(ScriptFunctionsTest, SpawnNpcConvertsItsArgumentsAndNumbersInOrder) {
    const ScriptOutcome outcome =
        call("return SpawnNPC(10.9, -3.7, 'Mare', 'Data\\\\Mare.lua', '')");
    EXPECT_EQ(outcome.values, one);
    EXPECT_EQ(outcome.console, "");
    run("SpawnNPC('5', 0/0, 42, 'q.lua', '') SpawnNPC(1e300, -1e300, 'Far', 'f.lua', '')");
    ASSERT_EQ(npcs().getNpcCount(), 3);
    const std::pair<std::pair<int, int>, std::string> expected[] = {
        {{10, -3}, "Mare"}, {{5, 0}, "42"}, {{INT_MAX, INT_MIN}, "Far"}};
    for (int i = 0; i < 3; ++i) {
        const Npc& npc = *npcs().npc(i);
        EXPECT_EQ(std::make_pair(npc.x(), npc.y()), expected[i].first);
        EXPECT_EQ(npc.name() + std::to_string(npc.number()),
                  expected[i].second + std::to_string(i));
    }
    EXPECT_STREQ(npcs().npc(0)->getScriptPath(), "Data\\Mare.lua");
    // A script path over 255 bytes is refused by the manager (its line is tested there).
    EXPECT_EQ(values("return SpawnNPC(0, 0, 'Long', string.rep('p', 256), '')"), Values{});
    EXPECT_EQ(npcs().getNpcCount(), 3);
}

TEST_F(ScriptFunctionsTest, SetActiveNpcSelectsByNumberAndByName) {
    run("SpawnNPC(0, 0, 'Mare', 'm.lua', '') SpawnNPC(0, 0, 'Quilla', 'q.lua', '') "
        "SpawnNPC(0, 0, 'Mare', 'm2.lua', '')");
    const std::pair<const char*, int> cases[] = {
        {"SetActiveNPCI(1)", 1},        {"SetActiveNPCI('0')", 0},      {"SetActiveNPCI(2.9)", 2},
        {"SetActiveNPCI(7)", -1},       {"SetActiveNPCA('Mare')", 0}, // the first of two
        {"SetActiveNPCA('Quilla')", 1}, {"SetActiveNPCA('Nobody')", -1}};
    for (const auto& [code, number] : cases) {
        EXPECT_EQ(values(std::string("return ") + code), one);
        const Npc* active = npcs().getActiveNpc();
        EXPECT_EQ(active ? active->number() : -1, number) << code;
    }
}

TEST_F(ScriptFunctionsTest, VariablesRoundTripAndChangeKind) {
    spawnActive("Mare");
    const std::pair<const char*, Values> steps[] = {
        {"return AddScriptVariableI('gold', 5), AddScriptVariableI('gold', 6)", {"1", "1"}},
        {"return GetScriptVariableI('gold'), GetScriptVariableA('gold')", {"5", "nil"}},
        {"return GetScriptVariableI('Gold'), GetScriptVariableA('silver')", {"-100", "nil"}},
        {"return SetScriptVariableI('gold', 9), GetScriptVariableI('gold')", {"1", "9"}},
        {"return AddScriptVariableA('mood', 'glad')", one},
        {"return GetScriptVariableA('mood'), GetScriptVariableI('mood')", {"\"glad\"", "0"}},
        {"return SetScriptVariableA('mood', 'sad'), GetScriptVariableA('mood')", {"1", "\"sad\""}},
        {"SetScriptVariableI('mood', 3) return GetScriptVariableA('mood'), "
         "GetScriptVariableI('mood')",
         {"nil", "3"}},
        {"AddScriptVariableA('n', 12.5) return GetScriptVariableA('n'), GetScriptVariableI('n')",
         {"\"12.5\"", "0"}},
        // Setters of missing names add nothing; delete removes every variable of the name.
        {"return SetScriptVariableI('ghost', 1), SetScriptVariableA('ghost', 'boo'), "
         "GetScriptVariableI('ghost')",
         {"1", "1", "-100"}},
        {"return DeleteScriptVariable('gold'), GetScriptVariableI('gold'), "
         "GetScriptVariableI('mood')",
         {"1", "-100", "3"}}};
    for (const auto& [code, result] : steps)
        EXPECT_EQ(values(code), result) << code;
    spawnActive("Quilla"); // each character keeps its own variables
    EXPECT_EQ(values("return GetScriptVariableI('mood')"), Values{"-100"});
}

// Numbers are narrowed to float, then read back truncated toward zero and saturated.
TEST_F(ScriptFunctionsTest, IntegerValuesAreNarrowedToFloatAndTruncated) {
    spawnActive("Mare");
    const std::pair<const char*, const char*> cases[] = {{"2.9", "2"},
                                                         {"-2.9", "-2"},
                                                         {"16777217", "16777216"},
                                                         {"2.9999999", "3"},
                                                         {"' 0x10 '", "16"},
                                                         {"'many'", "0"},
                                                         {"0/0", "0"},
                                                         {"2147483520", "2147483520"},
                                                         {"2147483648", "2147483647"},
                                                         {"1e300", "2147483647"},
                                                         {"-2147483648", "-2147483648"},
                                                         {"-1e300", "-2147483648"}};
    for (const auto& [given, read] : cases) {
        run(std::string("DeleteScriptVariable('n') AddScriptVariableI('n', ") + given + ")");
        EXPECT_EQ(values("return GetScriptVariableI('n')"), Values{read}) << given;
    }
}

// Names and texts are byte strings: a zero byte neither ends nor joins them. Each row's
// result is worked out in Lua, where the strings keep all their bytes.
TEST_F(ScriptFunctionsTest, NamesAndTextsKeepTheirZeroBytes) {
    BitmapLibrary* library = nullptr;
    capturedStderr([&] { game.bitmapLibrary = library = new BitmapLibrary(); });
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
    run("LoadPortrait('P\\0a', 'Data\\\\Graphics\\\\Portraits\\\\QuillaPortrait.png') "
        "LoadPortrait('P\\0b', 'Data\\\\Graphics\\\\Portraits\\\\BramblePortrait.png') "
        "SetPortrait('P\\0b') SetPortraitBackground('P\\0a')");
    EXPECT_EQ(chat().portrait(), game.portraits->find(std::string_view("P\0b", 3)));
    EXPECT_EQ(chat().portraitBackground(), game.portraits->find(std::string_view("P\0a", 3)));
    EXPECT_NE(chat().portrait(), chat().portraitBackground());
    EXPECT_EQ(npcs().npc(0)->bitmap(), library->bitmap(BitmapLibrary::npcDefaultSprite));
    EXPECT_EQ(npcs().npc(1)->bitmap(), library->bitmap(BitmapLibrary::npcQuillaSprite));
    delete library;
    game.bitmapLibrary = nullptr;
}
