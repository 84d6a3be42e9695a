#include "gui/Gui.h"
#include "gui/ChatBox.h"
#include "gui/GuiButton.h"
#include "gui/GuiTestSupport.h"
#include "player/Player.h"
#include "world/NpcManager.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

// A game with a player, the GUI and an NPC manager; the GUI's construction output is dropped.
class GuiTest : public testing::Test {
  protected:
    void SetUp() override {
        game.player = new Player(0.0f, 0.0f);
        capturedStderr([] {
            game.npcManager = new NpcManager();
            game.conversation = new Conversation();
            game.gui = new Gui();
        });
        gui = game.gui;
        chat = gui->chatBox();
    }

    // Moves the pointer, presses and releases there; returns what the release answered.
    bool clickAt(float x, float y) {
        gui->setMouse(x, y);
        gui->click(ButtonState::Press);
        return gui->click(ButtonState::Release);
    }

    ScopedGame scope;
    Gui* gui = nullptr;
    ChatBox* chat = nullptr;
};

} // namespace

// Walk up, walk down, sprint up, sprint down: twelve 17-pixel buttons in two blocks, the down
// arrows turned; a click on each steps its speed in single precision.
TEST_F(GuiTest, TwelveSpeedButtonsEachStepTheirSpeed) {
    ASSERT_EQ(gui->buttonCount(), 12);
    const float steps[6] = {1.0f, 0.1f, 0.01f, -1.0f, -0.1f, -0.01f};
    for (int i = 0; i < 12; ++i) {
        SCOPED_TRACE(i);
        const GuiButton* b = gui->button(i);
        const int x = 17 * (i % 3) + (i >= 6 ? 68 : 0), y = i % 6 < 3 ? 0 : 34;
        EXPECT_EQ(std::make_tuple(b->left(), b->top(), b->right(), b->bottom()),
                  std::make_tuple(x, y, x + 17, y + 17));
        EXPECT_EQ(b->angle(), y == 0 ? 0.0f : 3.1415927f);
        game.player->setWalkSpeed(10.0f);
        game.player->setSprintSpeed(20.0f);
        EXPECT_TRUE(clickAt(x + 8, y + 8));
        const bool sprint = i >= 6;
        EXPECT_EQ(game.player->walkSpeed(), sprint ? 10.0f : 10.0f + steps[i % 6]);
        EXPECT_EQ(game.player->sprintSpeed(), sprint ? 20.0f + steps[i % 6] : 20.0f);
    }
    EXPECT_EQ(gui->button(12), nullptr);
    EXPECT_EQ(gui->button(-1), nullptr);
}

TEST_F(GuiTest, EdgesPressesAndClamping) {
    game.player->setWalkSpeed(2.2f);
    EXPECT_TRUE(clickAt(17, 5)); // the shared edge belongs to button 1 (+1.0), not 2 (+0.1)
    EXPECT_EQ(game.player->walkSpeed(), 2.2f + 1.0f);

    // A press on one button and a release on another changes nothing, and neither keeps it.
    game.player->setWalkSpeed(2.2f);
    gui->setMouse(5, 5);
    EXPECT_FALSE(gui->click(ButtonState::Press));
    gui->setMouse(25, 5);
    EXPECT_FALSE(gui->click(ButtonState::Release));
    EXPECT_FALSE(gui->click(ButtonState::Release));
    EXPECT_EQ(game.player->walkSpeed(), 2.2f);

    game.player->setWalkSpeed(0.5f);
    clickAt(5, 40); // button 3, walk - 1.0, twice
    clickAt(5, 40);
    EXPECT_EQ(game.player->walkSpeed(), 0.0f);
    game.player->setSprintSpeed(5.0f);
    for (int i = 0; i < 3; ++i)
        clickAt(105, 5); // button 8, sprint + 0.01
    EXPECT_EQ(game.player->sprintSpeed(), ((5.0f + 0.01f) + 0.01f) + 0.01f);
}

TEST_F(GuiTest, ChatBoxAreaTakesClicksEvenWhileHidden) {
    ASSERT_FALSE(chat->isShown());
    EXPECT_EQ(capturedStderr([this] { EXPECT_TRUE(clickAt(300, 500)); }), "Line response was -1\n");
    EXPECT_FALSE(chat->pressedInBox()); // a line that is no response keeps nothing
    EXPECT_EQ(game.conversation->lastResponse(), -1);
    // Edges: 0..688 by 380..600, all inclusive, tested on the float position.
    const std::tuple<float, float, bool> points[] = {
        {688, 500, true},     {0, 380, true},    {688, 600, true},  {689, 500, false},
        {688.5f, 500, false}, {300, 379, false}, {300, 601, false}, {-0.5f, 500, false}};
    for (auto [x, y, taken] : points) {
        gui->setMouse(x, y);
        EXPECT_EQ(gui->click(ButtonState::Press), taken) << x << "," << y;
    }
}

TEST_F(GuiTest, ButtonsCountOnlyCompletedClicksFromTheStartPosition) {
    int clicks = 0;
    const auto count = [&clicks] { return ++clicks, false; }; // the answer does not matter
    gui->addButton(new GuiButton(310, 230, 20, 20, count, nullptr));
    EXPECT_FALSE(gui->click(ButtonState::Press)); // before any pointer event: at the start position
    EXPECT_TRUE(gui->click(ButtonState::Release));
    EXPECT_TRUE(clickAt(330, 250));                 // the far corner belongs to the button too
    EXPECT_FALSE(gui->click(ButtonState::Release)); // no press before it
    EXPECT_EQ(clicks, 2);
}

TEST_F(GuiTest, ResponsesWithoutActiveCharacterAndTheCloseResponse) {
    chat->setResponse(0, "Hello", 7);
    chat->setResponse(3, "Goodbye", -3);
    EXPECT_EQ(capturedStderr([this] { EXPECT_TRUE(clickAt(300, 400)); }), "Line response was 7\n");
    EXPECT_EQ(game.conversation->respondingNpc(), nullptr);

    // A press in the chat box is forgotten at the next press, taken by a button.
    game.conversation->setLastResponse(-1);
    gui->setMouse(300, 393);
    gui->click(ButtonState::Press);
    gui->setMouse(5, 5);
    EXPECT_FALSE(gui->click(ButtonState::Press));
    gui->setMouse(300, 393);
    EXPECT_EQ(capturedStderr([this] { EXPECT_TRUE(gui->click(ButtonState::Release)); }), "");
    EXPECT_EQ(game.conversation->lastResponse(), -1);

    capturedStderr([] { game.npcManager->addNpc(100, 100, "Quilla", 0, "q.lua", ""); });
    game.npcManager->setActiveNpcByName("Quilla");
    game.conversation->open();
    EXPECT_TRUE(chat->isShown());
    EXPECT_EQ(capturedStderr([this] { EXPECT_TRUE(clickAt(300, 380 + 61)); }),
              "Line response was -3\n");
    EXPECT_FALSE(chat->isShown());
    EXPECT_FALSE(gui->chatOpen());
    EXPECT_EQ(game.conversation->lastResponse(), -3);
}

TEST_F(GuiTest, DrawsUpArrowsAsStoredAndDownArrowsTurnedAboutTheirCentre) {
    // An arrow whose upper half is red and lower half blue: turned by pi, the halves swap.
    BitmapHolder arrow(solidBitmap(17, 17, al_map_rgb(0, 0, 255)));
    BitmapHolder top(solidBitmap(17, 8, al_map_rgb(255, 0, 0)));
    al_set_target_bitmap(arrow);
    al_draw_bitmap(top, 0, 0, 0);
    for (int i = 0; i < gui->buttonCount(); ++i)
        gui->button(i)->setBitmap(arrow);
    BitmapHolder frame(solidBitmap(200, 100, al_map_rgb(0, 0, 0)));
    gui->draw(frame);
    const Rgba red = rgb(255, 0, 0), blue = rgb(0, 0, 255);
    const std::pair<std::pair<int, int>, Rgba> pixels[] = {
        {{8, 2}, red},  {{8, 14}, blue},  {{110, 2}, red},          {{8, 36}, blue},
        {{8, 48}, red}, {{110, 48}, red}, {{150, 50}, rgb(0, 0, 0)}}; // the hidden chat box draws
                                                                      // nothing
    for (const auto& [at, colour] : pixels)
        EXPECT_EQ(pixelAt(frame, at.first, at.second), colour) << at.first << "," << at.second;
}
