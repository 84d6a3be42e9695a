#include "gui/Gui.h"
#include "gui/ChatBox.h"
#include "gui/GuiButton.h"
#include "gui/GuiTestSupport.h"
#include "player/Player.h"
#include "world/NpcManager.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// A game with a player, the GUI and an NPC manager; the GUI's construction output is dropped.
class GuiTest : public testing::Test {
  protected:
    void SetUp() override {
        game.player = new Player(0.0f, 0.0f);
        capturedStderr([] {
            game.npcManager = new NpcManager();
            game.gui = new Gui();
        });
        gui = game.gui;
        chat = gui->chatBox();
    }

    // Moves the pointer and presses and releases there; returns what click answered.
    std::pair<bool, bool> clickAt(float x, float y) {
        gui->setMouse(x, y);
        const bool press = gui->click(0);
        const bool release = gui->click(1);
        return {press, release};
    }

    ScopedGame scope;
    Gui* gui = nullptr;
    ChatBox* chat = nullptr;
};

std::string formatted(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", static_cast<double>(value));
    return text;
}

} // namespace

TEST_F(GuiTest, StartsWithPointerAtCentreAndTwelveSpeedButtons) {
    EXPECT_EQ(gui->mouseX(), 320.0f);
    EXPECT_EQ(gui->mouseY(), 240.0f);
    EXPECT_FALSE(gui->chatOpen());
    EXPECT_FALSE(chat->isShown());
    EXPECT_EQ(gui->respondingNpc(), nullptr);
    ASSERT_EQ(gui->buttonCount(), 12);

    const int xs[12] = {0, 17, 34, 0, 17, 34, 68, 85, 102, 68, 85, 102};
    const int ys[12] = {0, 0, 0, 34, 34, 34, 0, 0, 0, 34, 34, 34};
    for (int i = 0; i < 12; ++i) {
        const GuiButton* b = gui->button(i);
        EXPECT_EQ(b->left(), xs[i]) << i;
        EXPECT_EQ(b->top(), ys[i]) << i;
        EXPECT_EQ(b->right(), xs[i] + 17) << i;
        EXPECT_EQ(b->bottom(), ys[i] + 17) << i;
        EXPECT_EQ(b->halfWidth(), 8);
        EXPECT_EQ(b->halfHeight(), 8);
        EXPECT_EQ(b->angle(), ys[i] == 0 ? 0.0f : 3.1415927f) << i;
        EXPECT_EQ(b->drawFlags(), 0);
    }
    EXPECT_EQ(gui->button(12), nullptr);
    EXPECT_EQ(gui->button(-1), nullptr);
}

TEST_F(GuiTest, EachSpeedButtonStepsItsSpeedInSinglePrecision) {
    const float steps[6] = {1.0f, 0.1f, 0.01f, -1.0f, -0.1f, -0.01f};
    for (int i = 0; i < 12; ++i) {
        game.player->setWalkSpeed(10.0f);
        game.player->setSprintSpeed(20.0f);
        const GuiButton* b = gui->button(i);
        EXPECT_EQ(clickAt(b->x() + 8, b->y() + 8), std::make_pair(false, true)) << i;
        const bool sprint = i >= 6;
        EXPECT_EQ(game.player->walkSpeed(), sprint ? 10.0f : 10.0f + steps[i % 6]) << i;
        EXPECT_EQ(game.player->sprintSpeed(), sprint ? 20.0f + steps[i % 6] : 20.0f) << i;
    }
}

TEST_F(GuiTest, SharedEdgeBelongsToTheEarlierButton) {
    game.player->setWalkSpeed(2.2f);
    EXPECT_EQ(clickAt(17, 5), std::make_pair(false, true));
    EXPECT_EQ(game.player->walkSpeed(), 2.2f + 1.0f); // button 1, not button 2's 0.1
}

TEST_F(GuiTest, PressOnOneButtonAndReleaseOnAnotherChangesNothing) {
    game.player->setWalkSpeed(2.2f);
    gui->setMouse(5, 5);
    EXPECT_FALSE(gui->click(0));
    gui->setMouse(25, 5);
    EXPECT_FALSE(gui->click(1)); // goes on to the world
    EXPECT_EQ(game.player->walkSpeed(), 2.2f);
    // Neither button remembers the press afterwards.
    EXPECT_FALSE(gui->click(1));
    EXPECT_EQ(game.player->walkSpeed(), 2.2f);
}

TEST_F(GuiTest, SpeedsClampAtZeroAndShowThreeDecimals) {
    game.player->setWalkSpeed(0.5f);
    clickAt(5, 40); // button 4, walk - 1.0
    EXPECT_EQ(game.player->walkSpeed(), 0.0f);
    clickAt(5, 40);
    EXPECT_EQ(game.player->walkSpeed(), 0.0f);

    game.player->setSprintSpeed(5.0f);
    for (int i = 0; i < 3; ++i)
        clickAt(105, 5); // button 9, sprint + 0.01
    EXPECT_EQ(game.player->sprintSpeed(), ((5.0f + 0.01f) + 0.01f) + 0.01f);
    EXPECT_EQ(formatted(game.player->sprintSpeed()), "5.030");
}

TEST_F(GuiTest, ChatBoxAreaTakesClicksEvenWhileHidden) {
    ASSERT_EQ(chat->x(), 0);
    ASSERT_EQ(chat->y(), 380);
    ASSERT_FALSE(chat->isShown());
    gui->setMouse(300, 500);
    EXPECT_TRUE(gui->click(0));
    EXPECT_EQ(capturedStderr([this] { EXPECT_TRUE(gui->click(1)); }), "Line response was -1\n");

    // Edges: 0..688 by 380..600, all inclusive, tested on the float position.
    for (auto [x, y] : {std::pair{688.0f, 500.0f}, {0.0f, 380.0f}, {688.0f, 600.0f}}) {
        gui->setMouse(x, y);
        EXPECT_TRUE(gui->click(0)) << x << "," << y;
    }
    for (auto [x, y] : {std::pair{689.0f, 500.0f},
                        {688.5f, 500.0f},
                        {300.0f, 379.0f},
                        {300.0f, 601.0f},
                        {-0.5f, 500.0f}}) {
        gui->setMouse(x, y);
        EXPECT_FALSE(gui->click(0)) << x << "," << y;
    }
}

TEST_F(GuiTest, ClickBeforeAnyPointerEventIsTestedAtTheStartPosition) {
    int clicks = 0;
    gui->addButton(new GuiButton(
        310, 230, 20, 20,
        [&clicks] {
            ++clicks;
            return true;
        },
        nullptr));
    EXPECT_FALSE(gui->click(0));
    EXPECT_TRUE(gui->click(1));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(gui->buttonCount(), 13);
}

TEST_F(GuiTest, ButtonIgnoresUnknownKindsAndCountsOnlyCompletedClicks) {
    int clicks = 0;
    GuiButton button(
        10, 10, 5, 5,
        [&clicks] {
            ++clicks;
            return false; // the answer does not matter: the click is still taken
        },
        nullptr);
    EXPECT_FALSE(button.handleClick(0, 10, 10));
    EXPECT_TRUE(button.pressedInside());
    EXPECT_FALSE(button.handleClick(7, 10, 10));
    EXPECT_TRUE(button.pressedInside());
    EXPECT_TRUE(button.handleClick(1, 15, 15));
    EXPECT_FALSE(button.pressedInside());
    EXPECT_FALSE(button.releasedInside());
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(button.handleClick(1, 15, 15)); // no press before it
    EXPECT_FALSE(button.handleClick(0, 16, 10));
    EXPECT_FALSE(button.handleClick(1, 12, 12));
    EXPECT_EQ(clicks, 1);
}

TEST_F(GuiTest, ChosenResponseRunsTheActiveCharactersScript) {
    capturedStderr([] {
        game.npcManager->addNpc(100, 100, "Quilla", 0, "Data\\Scripts\\Quilla.lua", "QuillaTemp");
    });
    game.npcManager->setActiveNpcByName("Quilla");
    chat->setResponse(0, "Hello", 7);
    gui->setMouse(225, 393);
    EXPECT_TRUE(gui->click(0));
    std::string out = capturedStderr([this] { EXPECT_TRUE(gui->click(1)); });
    EXPECT_EQ(out, "Line response was 7\nCalling Script: Data\\Scripts\\Quilla.lua with value 7\n");
    EXPECT_EQ(gui->respondingNpc(), game.npcManager->getActiveNpc());
    EXPECT_EQ(chat->lastResponse(), 7);
}

TEST_F(GuiTest, ChosenResponseWithoutActiveCharacterRunsAndPrintsNothingMore) {
    chat->setResponse(0, "Hello", 7);
    gui->setMouse(300, 400);
    gui->click(0);
    EXPECT_EQ(capturedStderr([this] { EXPECT_TRUE(gui->click(1)); }), "Line response was 7\n");
    EXPECT_EQ(gui->respondingNpc(), nullptr);
}

TEST_F(GuiTest, CloseResponseHidesTheChatBoxAndRunsNoScript) {
    capturedStderr([] { game.npcManager->addNpc(100, 100, "Quilla", 0, "q.lua", ""); });
    game.npcManager->setActiveNpcByName("Quilla");
    gui->openChat();
    ASSERT_TRUE(chat->isShown());
    chat->setResponse(3, "Goodbye", -3);
    gui->setMouse(300, 380 + 61);
    gui->click(0);
    EXPECT_EQ(capturedStderr([this] { EXPECT_TRUE(gui->click(1)); }), "Line response was -3\n");
    EXPECT_FALSE(chat->isShown());
    EXPECT_FALSE(gui->chatOpen());
    EXPECT_EQ(chat->lastResponse(), -3);
}

TEST_F(GuiTest, PressOnAButtonThenReleaseOnAResponseDoesNotChooseIt) {
    chat->setResponse(0, "Hello", 7);
    gui->setMouse(300, 393);
    gui->click(0); // a press in the chat box ...
    gui->setMouse(5, 5);
    EXPECT_FALSE(gui->click(0)); // ... is forgotten at the next press, on a button
    gui->setMouse(300, 393);
    EXPECT_EQ(capturedStderr([this] { EXPECT_TRUE(gui->click(1)); }), "");
    EXPECT_EQ(chat->lastResponse(), -1);
}

TEST_F(GuiTest, OpenAndCloseMoveChatBoxAndFlagTogether) {
    gui->openChat();
    EXPECT_TRUE(gui->chatOpen());
    EXPECT_TRUE(chat->isShown());
    gui->closeChat();
    EXPECT_FALSE(gui->chatOpen());
    EXPECT_FALSE(chat->isShown());
}

TEST_F(GuiTest, DrawsUpArrowsAsStoredAndDownArrowsTurnedAboutTheirCentre) {
    // An arrow whose upper half is red and lower half blue: turned by pi, the halves swap.
    BitmapHolder arrow(al_create_bitmap(17, 17));
    al_set_target_bitmap(arrow);
    al_clear_to_color(al_map_rgb(0, 0, 255));
    BitmapHolder top(solidBitmap(17, 8, al_map_rgb(255, 0, 0)));
    al_draw_bitmap(top, 0, 0, 0);
    for (int i = 0; i < gui->buttonCount(); ++i)
        gui->button(i)->setBitmap(arrow);

    BitmapHolder frame(solidBitmap(200, 100, al_map_rgb(0, 0, 0)));
    gui->draw(frame);
    EXPECT_EQ(pixelAt(frame, 8, 2), rgb(255, 0, 0));
    EXPECT_EQ(pixelAt(frame, 8, 14), rgb(0, 0, 255));
    EXPECT_EQ(pixelAt(frame, 8 + 102, 2), rgb(255, 0, 0));
    EXPECT_EQ(pixelAt(frame, 8, 34 + 2), rgb(0, 0, 255));
    EXPECT_EQ(pixelAt(frame, 8, 34 + 14), rgb(255, 0, 0));
    EXPECT_EQ(pixelAt(frame, 8 + 102, 34 + 14), rgb(255, 0, 0));
    EXPECT_EQ(pixelAt(frame, 150, 50), rgb(0, 0, 0));
    // The hidden chat box draws nothing.
    EXPECT_EQ(al_get_target_bitmap(), frame.bitmap);
}
