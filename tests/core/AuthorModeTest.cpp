#include "core/AuthorMode.h"

#include "core/HeadlessGame.h"
#include "core/TestSupport.h"
#include "gui/ChatBox.h"
#include "gui/ChatLine.h"
#include "gui/ErrorPanel.h"
#include "map/MapLibrary.h"
#include "world/Npc.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

// Fern stands at (100, 100); a click at (150, 150) lands in her hit box.
constexpr int fernX = 150;
constexpr int fernY = 150;

class AuthorModeTest : public testing::Test {
  protected:
    void SetUp() override {
        game.author = &author;
        author.attach(*game.scriptHost);
        game.conversation->addListener(author);
        CaptureStderr();
        game.npcManager->addNpc(100, 100, "Fern", 0, "Data\\Scripts\\Fern.lua", "FernTemp");
        GetCapturedStderr();
    }
    void TearDown() override {
        game.conversation->removeListener(author);
        game.author = nullptr;
    }

    // Writes Fern's script and clicks her; returns the console.
    std::string clickFern(const std::string& script) {
        testsupport::writeFile("Data/Scripts/Fern.lua", script);
        game.gui->errorPanel()->clear();
        game.gui->resetChat();
        CaptureStderr();
        game.environment->handleMouse(ButtonState::Press, fernX, fernY);
        game.environment->handleMouse(ButtonState::Release, fernX, fernY);
        return GetCapturedStderr();
    }
    // The line holding the close line author mode adds, or -1.
    int addedCloseLine() const {
        for (int i = 0; i < ChatBox::lineCount; ++i) {
            const ChatLine* line = game.gui->chatBox()->line(i);
            if (line->shown() && line->isResponse() && line->value() == -3 &&
                std::string(line->text()) == AuthorMode::closeText)
                return i;
        }
        return -1;
    }
    std::vector<std::string> panel() const {
        const auto& messages = game.gui->errorPanel()->messages();
        return {messages.begin(), messages.end()};
    }

    const std::filesystem::path source = std::filesystem::current_path();
    testsupport::ScratchDir dir;
    std::unique_ptr<HeadlessGame> headless = std::make_unique<HeadlessGame>();
    AuthorMode author;
};

TEST_F(AuthorModeTest, AChatBoxWithNoWayOutGetsACloseLineOnItsLastFreeLine) {
    const std::string fern = "Data\\Scripts\\Fern.lua";
    const std::string noResponse =
        fern + ": stuck: the chat box of Fern is open with no response line to pick; author "
               "mode added a close line";
    const std::string failed =
        fern + ": stuck: the script of Fern failed; author mode added a close line";
    std::string twelveLines;
    for (int i = 0; i < 12; ++i)
        twelveLines += "SetDialogueLine(" + std::to_string(i) + ", 'x')\n";
    struct Row {
        std::string script;
        int closeLine;
        std::vector<std::string> panel;
    };
    const std::vector<Row> rows = {
        {"SetActiveNPCA('Fern')\nSetDialogueLine(0, 'Hello')", 11, {noResponse}},
        {"SetDialogueLine(0, 'a')\nSetDialogueLine(11, 'b')\nSetDialogueLine(10, 'c')",
         9,
         {noResponse}},
        {twelveLines, 11, {noResponse}},
        {"SetDialogueLine(0, 'Hi')\nSetDialogueResponse(1, 'Bye', -3)", -1, {}},
        {"SetDialogueResponse(0, 'More', 1)\nerror('half way')",
         11,
         {fern + ":2: error: half way", failed}},
        {"x = = 1", 11, {fern + ":1: error: unexpected symbol near '='", failed}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.script);
        clickFern(row.script);
        EXPECT_EQ(addedCloseLine(), row.closeLine);
        EXPECT_EQ(panel(), row.panel);
        EXPECT_TRUE(game.gui->chatOpen());
    }
    // Stuck problems are new to the console: they are printed there as in the panel.
    EXPECT_NE(clickFern("x = = 1").find(failed + "\n"), std::string::npos);
}

// Entries leave when the file that caused them next runs without a problem; others stay.
TEST_F(AuthorModeTest, AMendedScriptTakesItsEntriesAway) {
    clickFern("x = = 1");
    game.gui->resetChat();
    CaptureStderr();
    game.scriptHost->runFile("Data\\Scripts\\Missing.lua");
    GetCapturedStderr();
    ASSERT_EQ(panel().size(), 3u);
    testsupport::writeFile("Data/Scripts/Fern.lua", "SetDialogueResponse(0, 'Bye', -3)");
    CaptureStderr();
    game.environment->handleMouse(ButtonState::Press, fernX, fernY);
    game.environment->handleMouse(ButtonState::Release, fernX, fernY);
    GetCapturedStderr();
    EXPECT_EQ(panel().size(), 1u);
    EXPECT_NE(panel().front().find("Missing.lua"), std::string::npos) << panel().front();
    // A run that ends but warns is not clean: its warning stays.
    testsupport::writeFile("Data/Scripts/Fern.lua", "SetPortrait('Nobody')");
    CaptureStderr();
    game.environment->handleMouse(ButtonState::Press, fernX, fernY);
    game.environment->handleMouse(ButtonState::Release, fernX, fernY);
    GetCapturedStderr();
    EXPECT_EQ(panel().size(), 2u) << testing::PrintToString(panel());
}

// The map's conversations are walked in the background; a loop with no way out, which no
// single click shows, reaches the panel with its line and path when the walk ends.
TEST_F(AuthorModeTest, TheBackgroundCheckReportsALoopWithNoWayOut) {
    std::error_code error;
    const auto checker = std::filesystem::read_symlink("/proc/self/exe", error).parent_path() /
                         ".." / "tools" / "fennow-check";
    if (!std::filesystem::exists(checker))
        GTEST_SKIP() << "fennow-check is not built beside the tests";
    setenv("FENNOW_CHECK", checker.c_str(), 1);
    std::filesystem::create_directories("Data/Scripts");
    std::filesystem::create_directory_symlink(source / "Data" / "Graphics", "Data/Graphics");
    for (const char* file : {"Data/Scripts/VersionBark.lua", "Data/Scripts/RunOnce.lua"})
        std::filesystem::copy_file(source / file, file);
    std::filesystem::copy(source / "tests/data/check/no_way_out/Data", "Data",
                          std::filesystem::copy_options::recursive);
    CaptureStderr();
    author.startCheck("WillowCreekFarm");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (panel().empty() && std::chrono::steady_clock::now() < deadline) {
        author.frameDrawn();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const std::string console = GetCapturedStderr();
    unsetenv("FENNOW_CHECK");
    const std::string finding = "Data\\Scripts\\Mira.lua:5: stuck: no choice from here ever leads "
                                "to a close response (page \"Round we go.\")";
    EXPECT_EQ(panel(), std::vector<std::string>{finding + " (path: Mira: click > \"Let's go "
                                                          "round.\")"});
    EXPECT_NE(console.find(finding + "\n  path: Mira: click"), std::string::npos) << console;
    EXPECT_NE(console.find("Author mode: the check of WillowCreekFarm ended after "),
              std::string::npos)
        << console;
    // A report that is not one is said, never read as no findings.
    std::vector<CheckedFinding> findings;
    std::string why;
    EXPECT_FALSE(BackgroundCheck::readReport("{\"findings\": 3}", findings, why));
    EXPECT_EQ(why, "the content check's report could not be read");
}

// F2's text: the window point is the map point (the world does not scroll); the cell is named
// only inside a loaded map.
TEST(AuthorModePointer, NamesTheCellUnderThePointer) {
    MapLibrary::freeMap();
    EXPECT_EQ(AuthorMode::pointerText(40, 70), "map (40, 70)");
    const std::string farm =
        (std::filesystem::current_path() / "Data/Maps/WillowCreekFarm.fmp").string();
    ASSERT_EQ(MapLibrary::loadMap(farm.c_str(), 1), 0);
    EXPECT_EQ(AuthorMode::pointerText(40, 70), "map (40, 70), cell (1, 2)");
    EXPECT_EQ(AuthorMode::pointerText(799, 607), "map (799, 607), cell (24, 18)");
    EXPECT_EQ(AuthorMode::pointerText(800, 0), "map (800, 0)");
    EXPECT_EQ(AuthorMode::pointerText(-1, 5), "map (-1, 5)");
    MapLibrary::freeMap();
}

TEST_F(AuthorModeTest, AResponseWhoseScriptLeavesNoWayOutGetsOneToo) {
    clickFern("SetActiveNPCA('Fern')\n"
              "if GetLastChatResponse() == 5 then SetDialogueLine(0, 'The end?') return end\n"
              "SetDialogueResponse(0, 'Go on', 5)");
    ASSERT_EQ(addedCloseLine(), -1);
    ChatBox& chat = *game.gui->chatBox();
    game.gui->setMouse(static_cast<float>(chat.x() + 300), static_cast<float>(chat.y() + 20));
    CaptureStderr();
    game.gui->click(ButtonState::Press);
    game.gui->click(ButtonState::Release);
    GetCapturedStderr();
    EXPECT_EQ(addedCloseLine(), 11);
}

TEST_F(AuthorModeTest, WithoutAuthorModeNothingIsAdded) {
    game.author = nullptr;
    game.conversation->removeListener(author);
    game.scriptHost->setProblemListener(nullptr);
    const std::string console = clickFern("x = = 1");
    EXPECT_EQ(console, "Lua Error during Loading: Data\\Scripts\\Fern.lua:1: unexpected symbol "
                       "near '='\n");
    EXPECT_EQ(addedCloseLine(), -1);
    EXPECT_TRUE(panel().empty());
}

TEST_F(AuthorModeTest, ReloadStartsTheWorldAfresh) {
    for (const char* file : {"Data/Maps/WillowCreekFarm.fmp", "Data/Scripts/VersionBark.lua",
                             "Data/Scripts/RunOnce.lua"}) {
        std::filesystem::create_directories(std::filesystem::path(file).parent_path());
        std::filesystem::copy_file(source / file, file);
    }
    testsupport::writeFile("Data/Scripts/Maps/WillowCreekFarm.lua",
                           "SpawnNPC(10, 10, 'Old', 'Data\\\\Scripts\\\\Old.lua', 'BrambleTemp')\n"
                           "SetActiveNPCA('Old')\nTalk.set('met', 1)\nleftover = 1\n"
                           "LoadPortrait('P', 'Data\\\\Graphics\\\\Nope.png')\n"
                           "SetDialogueLine(0, 'kept?')\nActivate_Debug_Mode()\n");
    CaptureStderr();
    reloadWorld();
    GetCapturedStderr();
    game.conversation->open();
    ASSERT_EQ(game.npcManager->getNpcCount(), 1) << "Fern went with the reload";
    ASSERT_FALSE(panel().empty()) << "the missing portrait was reported";

    testsupport::writeFile("Data/Scripts/Maps/WillowCreekFarm.lua",
                           "io.stderr:write('map script ran\\n')\n"
                           "SpawnNPC(10, 10, 'New', 'Data\\\\Scripts\\\\New.lua', 'BrambleTemp')\n"
                           "SetActiveNPCA('New')\nio.stderr:write(tostring(leftover) .. ' ' .. "
                           "tostring(Talk.get('met')) .. '\\n')\n");
    CaptureStderr();
    reloadWorld();
    const std::string console = GetCapturedStderr();

    EXPECT_EQ(game.npcManager->getNpcCount(), 1);
    EXPECT_EQ(game.npcManager->npc(0)->name(), "New");
    EXPECT_EQ(game.npcManager->getActiveNpc(), game.npcManager->npc(0));
    EXPECT_FALSE(game.scriptHost->isDebugMode());
    EXPECT_EQ(game.portraits->count(), 0);
    EXPECT_FALSE(game.gui->chatOpen());
    EXPECT_FALSE(game.gui->chatBox()->line(0)->shown());
    EXPECT_TRUE(panel().empty());
    EXPECT_FALSE(game.gui->errorPanel()->isShown());
    // The console of a start, from the start-up scripts on.
    const std::vector<std::string> order = {
        "== Reload (F5) ==\n",
        "== Init Lua ==\n",
        "== Lua Init Complete ==\n",
        "Finished version of level loader: Data\\Maps\\WillowCreekFarm.fmp!\n",
        "Finished version of script loader: Data\\Scripts\\Maps\\WillowCreekFarm.lua!\n",
        "map script ran\n",
        "nil nil\n",
    };
    std::size_t at = 0;
    for (const std::string& line : order) {
        const std::size_t found = console.find(line, at);
        ASSERT_NE(found, std::string::npos) << line << " in\n" << console;
        at = found + line.size();
    }
    // The new Lua state is listened to as the first one was.
    CaptureStderr();
    game.scriptHost->runFile("Data\\Scripts\\Missing.lua");
    GetCapturedStderr();
    EXPECT_EQ(panel().size(), 1u);
}

} // namespace
