#include "gui/ChatBox.h"
#include "gui/Gui.h"
#include "gui/GuiTestSupport.h"
#include "script/ScriptHost.h"
#include "world/Environment.h"
#include "world/NpcManager.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

// What the chat box's last response was each time a script called Record().
std::vector<int> recorded;

// Record() -> 1
int luaRecord(lua_State* L) {
    recorded.push_back(game.gui->chatBox()->lastResponse());
    lua_pushnumber(L, 1);
    return 1;
}

std::string writeScript(const std::string& fileName, const std::string& text) {
    const std::string path = testing::TempDir() + fileName;
    std::ofstream(path) << text;
    return path;
}

// The conversation road with a real script host whose only function records what it sees.
class WorldClickScriptTest : public testing::Test {
  protected:
    void SetUp() override {
        recorded.clear();
        quillaScript = writeScript("quilla_record.lua", "Record()\n");
        brambleScript = writeScript("bramble_record.lua", "Record() Record()\n");
        capturedStderr([this] {
            game.scriptHost = new ScriptHost({{"Record", luaRecord}});
            game.npcManager = new NpcManager();
            game.gui = new Gui();
            game.environment = new Environment(50, 50);
            game.npcManager->addNpc(100, 100, "Quilla", 0, quillaScript.c_str(), "QuillaTemp");
            game.npcManager->addNpc(300, 100, "Bramble", 1, brambleScript.c_str(), "");
        });
        world = game.environment;
        chat = game.gui->chatBox();
    }

    ScopedGame scope;
    std::string quillaScript;
    std::string brambleScript;
    Environment* world = nullptr;
    ChatBox* chat = nullptr;
};

} // namespace

TEST_F(WorldClickScriptTest, ClickRunsTheScriptOnceWhileTheLastResponseIsMinusTwo) {
    world->handleMouse(0, 140, 130);
    EXPECT_FALSE(world->handleMouse(1, 150, 140));
    EXPECT_EQ(recorded, std::vector<int>{-2});
    EXPECT_EQ(chat->lastResponse(), -1);
    EXPECT_TRUE(game.gui->chatOpen());
}

TEST_F(WorldClickScriptTest, PressOnOneCharacterAndReleaseOnAnotherRunsNothing) {
    world->handleMouse(0, 140, 130);
    world->handleMouse(1, 340, 130);
    world->handleMouse(0, 340, 130);
    world->handleMouse(1, 600, 500);
    EXPECT_TRUE(recorded.empty());
    EXPECT_FALSE(game.gui->chatOpen());
}

TEST_F(WorldClickScriptTest, BrokenScriptStillOpensTheChat) {
    capturedStderr([] { game.npcManager->addNpc(500, 100, "Ghost", 2, "no\\such.lua", ""); });
    world->handleMouse(0, 540, 130);
    const std::string out = capturedStderr([this] { world->handleMouse(1, 540, 130); });
    EXPECT_EQ(out.rfind("Lua Error during Loading: ", 0), 0u) << out;
    EXPECT_EQ(chat->lastResponse(), -1);
    EXPECT_TRUE(game.gui->chatOpen());
}

TEST_F(WorldClickScriptTest, ChosenResponseRunsTheActiveCharactersScriptWithItsValue) {
    // The active character answers, whoever was clicked.
    game.npcManager->setActiveNpcByName("Bramble");
    chat->setResponse(1, "Tell me more", 12);
    game.gui->setMouse(300, 380 + 13 + 16);
    EXPECT_TRUE(game.gui->click(0));
    const std::string out = capturedStderr([] { EXPECT_TRUE(game.gui->click(1)); });
    EXPECT_EQ(out, "Line response was 12\nCalling Script: " + brambleScript + " with value 12\n");
    EXPECT_EQ(recorded, (std::vector<int>{12, 12}));
    EXPECT_EQ(game.gui->respondingNpc(), game.npcManager->findNpcByName("Bramble"));
}
