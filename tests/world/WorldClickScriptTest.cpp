#include "core/HeadlessWorld.h"
#include "gui/ChatBox.h"
#include "gui/GuiTestSupport.h"
#include "world/Conversation.h"
#include "world/Npc.h"

#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

// What the chat box's last response was each time a script called Record().
std::vector<int> recorded;

// Record() -> 1
int luaRecord(lua_State* L) {
    recorded.push_back(game.conversation->lastResponse());
    lua_pushnumber(L, 1);
    return 1;
}

// The conversation road with a real script host whose only function records what it sees.
// Quilla's hit box is 132..164 by 118..186; Shadow overlaps its lower right; Bramble stands
// apart at 332..364; Ghost's script does not exist.
class WorldClickScriptTest : public testing::Test {
  protected:
    void SetUp() override {
        recorded.clear();
        std::ofstream(quillaScript) << "Record()\n";
        std::ofstream(brambleScript) << "Record() Record()\n";
        capturedStderr([this] {
            headless = std::make_unique<HeadlessWorld>(
                HeadlessScope::Conversations, std::vector<ScriptFunction>{{"Record", luaRecord}});
            world = game.environment = new Environment(50, 50);
            game.npcManager->addNpc(100, 100, "Quilla", 0, quillaScript.c_str(), "QuillaTemp");
            game.npcManager->addNpc(300, 100, "Bramble", 1, brambleScript.c_str(), "");
            game.npcManager->addNpc(110, 110, "Shadow", 2, brambleScript.c_str(), "");
            game.npcManager->addNpc(500, 100, "Ghost", 3, "no\\such.lua", "");
        });
        chat = game.gui->chatBox();
        game.conversation->setLastResponse(5);
    }

    ScopedGame scope;
    std::unique_ptr<HeadlessWorld> headless;
    const std::string quillaScript = testing::TempDir() + "quilla_record.lua";
    const std::string brambleScript = testing::TempDir() + "bramble_record.lua";
    Environment* world = nullptr;
    ChatBox* chat = nullptr;
};

} // namespace

// Press where only Quilla stands, release where Quilla and Shadow overlap: both are Quilla.
TEST_F(WorldClickScriptTest, ClickRunsTheScriptOnceWhileTheLastResponseIsMinusTwo) {
    EXPECT_TRUE(world->handleMouse(ButtonState::Press, 133, 119));
    EXPECT_FALSE(world->handleMouse(ButtonState::Release, 160, 180));
    EXPECT_EQ(recorded, std::vector<int>{-2});
    EXPECT_EQ(game.conversation->lastResponse(), -1);
    EXPECT_TRUE(game.gui->chatOpen());
    EXPECT_EQ(game.npcManager->getActiveNpc(), nullptr); // clicking does not select
}

// A release before any press; Quilla then Bramble; Quilla then ground; ground then Quilla.
TEST_F(WorldClickScriptTest, PressAndReleaseOnDifferentThingsRunNothing) {
    world->handleMouse(ButtonState::Release, 140, 130);
    const int points[][4] = {{140, 130, 340, 130}, {140, 130, 600, 500}, {600, 500, 140, 130}};
    for (const auto& p : points) {
        world->handleMouse(ButtonState::Press, p[0], p[1]);
        world->handleMouse(ButtonState::Release, p[2], p[3]);
    }
    EXPECT_TRUE(recorded.empty());
    EXPECT_FALSE(game.gui->chatOpen());
    EXPECT_EQ(game.conversation->lastResponse(), 5);
}

TEST_F(WorldClickScriptTest, PressTakenByTheGuiKeepsTheEarlierPressPoint) {
    world->handleMouse(ButtonState::Press, 600, 10); // open ground
    game.gui->setMouse(300, 500);
    EXPECT_TRUE(
        game.gui->click(ButtonState::Press)); // taken by the chat box area: the world never sees it
    world->handleMouse(ButtonState::Release, 140, 130);
    EXPECT_FALSE(game.gui->chatOpen());
    world->handleMouse(ButtonState::Press, 140, 130);
    game.gui->click(ButtonState::Press);
    world->handleMouse(ButtonState::Release, 141, 131);
    EXPECT_TRUE(game.gui->chatOpen());
}

TEST_F(WorldClickScriptTest, BrokenScriptStillOpensTheChat) {
    world->handleMouse(ButtonState::Press, 540, 130);
    const std::string out =
        capturedStderr([this] { world->handleMouse(ButtonState::Release, 540, 130); });
    EXPECT_EQ(out.rfind("Lua Error during Loading: ", 0), 0u) << out;
    EXPECT_EQ(game.conversation->lastResponse(), -1);
    EXPECT_TRUE(game.gui->chatOpen());
}

// The active character answers a chosen response, whoever was clicked.
TEST_F(WorldClickScriptTest, ChosenResponseRunsTheActiveCharactersScriptWithItsValue) {
    game.npcManager->setActiveNpcByName("Bramble");
    chat->setResponse(1, "Tell me more", 12);
    game.gui->setMouse(300, 380 + 13 + 16);
    EXPECT_TRUE(game.gui->click(ButtonState::Press));
    const std::string out =
        capturedStderr([] { EXPECT_TRUE(game.gui->click(ButtonState::Release)); });
    EXPECT_EQ(out, "Line response was 12\nCalling Script: " + brambleScript + " with value 12\n");
    EXPECT_EQ(recorded, (std::vector<int>{12, 12}));
}

// What a listener hears, in order: every script run for a click or a pick, and the box
// opening and closing. Closing on request is a pick of the close response without its line.
TEST_F(WorldClickScriptTest, ListenersHearScriptRunsAndTheBoxOpeningAndClosing) {
    struct Recorder : ConversationListener {
        std::vector<std::string> heard;
        void scriptRan(const Npc& npc) override { heard.push_back("ran " + npc.name()); }
        void chatOpened() override { heard.push_back("opened"); }
        void chatClosed() override { heard.push_back("closed"); }
    } recorder;
    Conversation& conversation = *game.conversation;
    conversation.addListener(recorder);
    world->handleMouse(ButtonState::Press, 140, 130);
    world->handleMouse(ButtonState::Release, 140, 130);
    game.npcManager->setActiveNpcByName("Bramble");
    capturedStderr([&] { EXPECT_TRUE(conversation.pick(12)); });
    EXPECT_EQ(conversation.respondingNpc(), game.npcManager->getActiveNpc());
    EXPECT_EQ(capturedStderr([&] { conversation.pick(-1); }), "Line response was -1\n");
    EXPECT_EQ(capturedStderr([&] { conversation.close(); }), "");
    EXPECT_EQ(conversation.lastResponse(), -3);
    EXPECT_FALSE(game.gui->chatOpen());
    conversation.open();
    EXPECT_TRUE(chat->isShown());
    EXPECT_EQ(capturedStderr([&] { conversation.pick(-3); }), "Line response was -3\n");
    EXPECT_FALSE(conversation.isOpen());
    EXPECT_FALSE(chat->isShown());
    EXPECT_EQ(recorded, (std::vector<int>{-2, 12, 12}));
    EXPECT_EQ(recorder.heard, (std::vector<std::string>{"ran Quilla", "opened", "ran Bramble",
                                                        "closed", "opened", "closed"}));
    conversation.removeListener(recorder);
    conversation.open();
    EXPECT_EQ(recorder.heard.size(), 6u);
}
