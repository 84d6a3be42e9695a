#include "core/TestSupport.h"
#include "gui/PortraitStore.h"
#include "script/ScriptTestSupport.h"

#include <allegro5/allegro_ttf.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

// A shared helper file as RunOnce.lua holds them, with known line numbers.
const char* const helpers = "Helper = {}\n"
                            "function Helper.say(text) SetDialogueLine(0) end\n"
                            "function Helper.boom() local x = nil .. 'a' end\n"
                            "function Helper.nested() Helper.say('x') end\n";

// Scripts run from a scratch Data tree, every problem kept as fennow-check prints it and the
// line author mode adds on the console after it.
class ScriptProblemTest : public ScriptTest {
  protected:
    void SetUp() override {
        ScriptTest::SetUp();
        testsupport::writeFile("Data/Scripts/RunOnce.lua", helpers);
        host().runFile("Data\\Scripts\\RunOnce.lua");
        host().setProblemListener([this](const ScriptProblem& problem) {
            problems.push_back(formatProblem(problem));
            const std::string location = locationLine(problem);
            if (!location.empty())
                locations.push_back(location);
        });
    }
    // Runs a character script; returns the console.
    std::string runScript(const std::string& code) {
        testsupport::writeFile("Data/Scripts/Fern.lua", code);
        return runFile("Data\\Scripts\\Fern.lua");
    }

    const std::string sourceRoot = std::filesystem::current_path().string();
    testsupport::ScratchDir scratch;
    Lines problems;
    Lines locations;
};

struct LocationCase {
    const char* code;
    Lines problems;
    Lines locations;
};

TEST_F(ScriptProblemTest, RefusalsAndErrorsNameTheAuthorsLine) {
    const std::string fern = "Data\\Scripts\\Fern.lua";
    const std::string once = "Data\\Scripts\\RunOnce.lua";
    const std::vector<LocationCase> cases = {
        {"SetDialogueLine(0)",
         {fern + ":1: refused: Insufficient Arguments for SetDialogueLine, aborting."},
         {"    at " + fern + ":1"}},
        {"\nHelper.say('x')",
         {fern +
          ":2: refused: Insufficient Arguments for SetDialogueLine, aborting. (inside "
          "the shared helper at " +
          once + ":2)"},
         {"    at " + once + ":2, called from " + fern + ":2"}},
        {"\n\nHelper.nested()",
         {fern +
          ":3: refused: Insufficient Arguments for SetDialogueLine, aborting. (inside "
          "the shared helper at " +
          once + ":2)"},
         {"    at " + once + ":2, called from " + fern + ":3"}},
        {"Helper.boom()",
         {fern + ":1: error: attempt to concatenate a nil value (inside the shared helper at " +
          once + ":3)"},
         {"    called from " + fern + ":1"}},
        {"local a = 1\nerror('broken on purpose')", {fern + ":2: error: broken on purpose"}, {}},
        {"local a = 1\nx = = 2", {fern + ":2: error: unexpected symbol near '='"}, {}},
        {"SetActiveNPCA('Nobody')\nAddScriptVariableI('a', 1)",
         {fern + ":2: refused: AddScriptVariableI tried to reference an NPC that doesn't "
                 "exist.  Aborting."},
         {"    at " + fern + ":2"}},
        {"SpawnNPC(1, 2, 'N', 'Data\\\\Scripts\\\\N.lua')",
         {fern + ":1: refused: Insufficient Arguments for AddNPC.  Aborting."},
         {"    at " + fern + ":1"}},
        {"SpawnNPC(1, 2, 'Long', string.rep('a', 256), 'x')",
         {fern + ":1: refused: Script path of NPC Long is longer than 255 bytes; the NPC was "
                 "not created."},
         {"    at " + fern + ":1"}},
    };
    for (const LocationCase& c : cases) {
        problems.clear();
        locations.clear();
        runScript(c.code);
        EXPECT_EQ(problems, c.problems) << c.code;
        EXPECT_EQ(locations, c.locations) << c.code;
    }
}

// Author mode shows the placeholder where a portrait that could not be loaded would be; the
// player's game keeps nothing under the name.
TEST_F(ScriptProblemTest, AnUnloadablePortraitIsAPlaceholderOnlyWhileListened) {
    runScript("LoadPortrait('Gone', 'Data\\\\Gone.png')");
    ALLEGRO_BITMAP* shown = game.portraits->find("Gone");
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(al_get_bitmap_width(shown), ChatBox::portraitWidth);
    EXPECT_EQ(al_get_bitmap_height(shown), ChatBox::portraitHeight);
    EXPECT_EQ(pixelAt(shown, 0, 0), (Rgba{0, 0, 160, 255}));
    EXPECT_EQ(pixelAt(shown, 16, 0), (Rgba{255, 230, 0, 255}));
    host().setProblemListener(nullptr);
    runScript("LoadPortrait('Lost', 'Data\\\\Gone.png')");
    EXPECT_EQ(game.portraits->find("Lost"), nullptr);
}

TEST_F(ScriptProblemTest, WarnsAboutWhatTheChatBoxCannotShow) {
    ALLEGRO_FONT* font =
        al_load_ttf_font((sourceRoot + "/Data/Graphics/Fonts/Courier.ttf").c_str(), 16, 0);
    struct WarningCase {
        std::string code;
        Lines problems;
    };
    const std::string at = "Data\\Scripts\\Fern.lua:1: ";
    testsupport::writeImage("Data/Graphics/Characters/Own.png", 96, 96,
                            [](int, int) { return al_map_rgb(10, 200, 30); });
    std::ofstream("Data/Graphics/Characters/Text.png") << "not a picture at all\n";
    const std::vector<WarningCase> cases = {
        {"SetDialogueResponse(0, 'Go on', nil)",
         {at + "value: response \"Go on\" has no value; it counts as 0"}},
        {"SetDialogueResponse(0, 'Go on', 'soon')",
         {at + "value: response \"Go on\" has a value that is not a number (string); it counts "
               "as 0"}},
        {"SetDialogueResponse(0, 'Go on', '7')", {}},
        // A misspelt name gives nil where a text belongs: said as that, then refused.
        {"SetDialogueLine(0, Farm)",
         {at + "text: SetDialogueLine was given nil where a text belongs (argument 2)",
          at + "refused: Insufficient Arguments for SetDialogueLine, aborting."}},
        {"SpawnNPC(1, 2, 'N', {}, 'Own')",
         {at + "text: SpawnNPC was given a table where a text belongs (argument 4)",
          at + "refused: Insufficient Arguments for AddNPC.  Aborting."}},
        {"SetDialogueLine(12, 'Hello')",
         {at + "text: line 12 is outside the chat box (lines 0 to 11); \"Hello\" is not shown"}},
        {"SetDialogueLine(-1, 'Hello')",
         {at + "text: line -1 is outside the chat box (lines 0 to 11); \"Hello\" is not shown"}},
        {"SetDialogueLine(0, string.rep('b', 80))",
         {at + "text: line 0 \"" + std::string(40, 'b') +
          "...\" is 80 bytes long; a chat line holds 79, so it is cut"}},
        {"SetDialogueLine(11, string.rep('w', 79))", {}},
        {"SetDialogueLine(0, '~BLANK')", {}},
        {"SetPortrait('Nobody')",
         {at + "portrait: portrait \"Nobody\" was never loaded with LoadPortrait"}},
        {"SetPortraitBackground('Nothing')",
         {at + "portrait: portrait background \"Nothing\" was never loaded with LoadPortrait"}},
        {"SpawnNPC(1, 2, 'N', 'n.lua', 'Nobody')",
         {at + "character: sprite \"Nobody\" has no picture of its own in "
               "Data\\Graphics\\Characters; the default sprite is drawn"}},
        {"SpawnNPC(1, 2, 'N', 'n.lua', 'QuillaTemp')", {}},
        {"SpawnNPC(1, 2, 'N', 'n.lua', 'BrambleTemp')", {}},
        {"SpawnNPC(1, 2, 'N', 'n.lua', 'Own')", {}},
        {"LoadPortrait('Gone', 'Data\\\\Gone.png')",
         {at + "portrait: portrait \"Gone\": the file Data\\Gone.png cannot be loaded (there is "
               "no such file)"}},
        // A picture that is there but is no PNG is named as that, in the image reader's words.
        {"LoadPortrait('Text', 'Data\\\\Graphics\\\\Characters\\\\Text.png')",
         {at + "portrait: portrait \"Text\": the file Data\\Graphics\\Characters\\Text.png "
               "cannot be loaded (Not a PNG file)"}},
        {"SpawnNPC(1, 2, 'N', 'n.lua', 'Text')",
         {at + "character: sprite \"Text\": its picture Data\\Graphics\\Characters\\Text.png "
               "cannot be decoded (Not a PNG file); the default sprite is drawn"}},
    };
    for (const WarningCase& c : cases) {
        problems.clear();
        runScript(c.code);
        EXPECT_EQ(problems, c.problems) << c.code;
    }
    // Widths need the chat font; a line of 79 narrow characters still overflows the column.
    if (font) {
        chat().setFont(font);
        problems.clear();
        runScript("SetDialogueLine(0, string.rep('w', 70))");
        ASSERT_EQ(problems.size(), 1u);
        EXPECT_NE(problems[0].find("pixels wide; the chat box's text column is 451"),
                  std::string::npos)
            << problems[0];
        problems.clear();
        runScript("SetDialogueLine(0, 'A short line fits.')\n"
                  "SetDialogueResponse(1, 'So does a short answer.', 1)");
        EXPECT_EQ(problems, Lines{});
        chat().setFont(nullptr);
        al_destroy_font(font);
    } else {
        ADD_FAILURE() << "the chat font did not load";
    }
}

TEST_F(ScriptProblemTest, NothingIsReportedWithoutAListener) {
    const std::string withListener = runScript("Helper.boom()\nSetDialogueLine(0)");
    EXPECT_EQ(problems.size(), 1u) << "the run stops at the error";
    host().setProblemListener(nullptr);
    problems.clear();
    const std::string without = runScript("Helper.boom()\nSetDialogueLine(0)");
    EXPECT_TRUE(problems.empty());
    // The console is the game's own either way; author mode adds its lines itself.
    EXPECT_EQ(without, withListener);
    EXPECT_TRUE(host().lastRunFailed());
    runScript("local fine = 1");
    EXPECT_FALSE(host().lastRunFailed());
}

} // namespace

namespace {

// RunOnce.lua's helpers report what only they notice through ReportScriptProblem, which
// exists only while something listens.
TEST_F(ScriptProblemTest, SharedHelpersReportWhatOnlyTheyNotice) {
    testsupport::writeFile("Data/Scripts/RunOnce.lua",
                           testsupport::readFile(sourceRoot + "/Data/Scripts/RunOnce.lua"));
    runFile("Data\\Scripts\\RunOnce.lua");
    problems.clear();
    const std::string console = runScript("for i = 1, 12 do Talk.say('line ' .. i) end\n"
                                          "Talk.say('line 13')\n"
                                          "Talk.nextLine = 0\n"
                                          "Talk.choice('Wait', -1)\n");
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0].rfind("Data\\Scripts\\Fern.lua:2: text: the chat box is full; \"line "
                                "13\" is not shown (inside the shared helper at ",
                                0),
              0u)
        << problems[0];
    EXPECT_EQ(problems[1].rfind("Data\\Scripts\\Fern.lua:4: value: response \"Wait\" uses the "
                                "reserved value -1 (inside the shared helper at ",
                                0),
              0u)
        << problems[1];
    EXPECT_NE(console.find("Talk: the chat box is full; \"line 13\" is not shown\n"),
              std::string::npos);

    host().setProblemListener(nullptr);
    EXPECT_EQ(values("return ReportScriptProblem"), Values{"nil"});
}

} // namespace
