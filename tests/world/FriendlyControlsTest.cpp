#include "world/FriendlyControls.h"

#include "core/HeadlessGame.h"
#include "core/MainLoop.h"
#include "gui/ChatBox.h"
#include "gui/GuiTestSupport.h"
#include "world/Npc.h"

#include <allegro5/allegro_font.h>

#include <memory>
#include <string>

namespace {

// Mare's first page has a response on line 0 and the close response on line 1; picking the
// first gives a second page with its own response on line 0.
const char* const mareScript = R"(
SetActiveNPCA("Mare")
if GetLastChatResponse() == -2 then
    SetDialogueResponse(0, "Tell me more", 1)
    SetDialogueResponse(1, "Bye", -3)
else
    SetDialogueResponse(0, "And then?", 2)
end
)";

// The whole game without a window, Mare standing at (400, 100) (the middle of her click box at
// (448, 152)), the player's position taken as its middle, and a clock the test sets.
class FriendlyControlsTest : public testing::Test {
  protected:
    FriendlyControlsTest() {
        testsupport::writeFile("Mare.lua", mareScript);
        headless = std::make_unique<HeadlessGame>();
        delete game.friendlyControls;
        game.friendlyControls = new FriendlyControls([this] { return now; });
        mare = game.npcManager->addNpc(400, 100, "Mare", 0, "Mare.lua", "");
        game.player->currentFrame = nullptr;
        standAt(448.0f, 200.0f);
        currentMapSettings().friendlyControls = true;
    }

    void standAt(float x, float y) {
        game.player->x = x;
        game.player->y = y;
    }
    void talkToMare() {
        capturedStderr([this] { game.conversation->clickCharacter(*mare); });
    }
    // Presses and releases on chat line `row`; returns the console.
    std::string clickRow(int row) {
        return capturedStderr([row] {
            game.gui->setMouse(300.0f, static_cast<float>(380 + 13 + 16 * row + 8));
            game.gui->click(ButtonState::Press);
            game.gui->click(ButtonState::Release);
        });
    }
    static void key(int keyCode, bool pressed) {
        ALLEGRO_EVENT event{};
        event.type = pressed ? ALLEGRO_EVENT_KEY_DOWN : ALLEGRO_EVENT_KEY_UP;
        event.keyboard.keycode = keyCode;
        dispatchEvent(event);
    }
    static void tick() {
        ALLEGRO_EVENT event{};
        event.type = ALLEGRO_EVENT_TIMER;
        dispatchEvent(event);
    }
    static bool open() { return game.conversation->isOpen(); }

    testsupport::ScratchDir dir;
    std::unique_ptr<HeadlessGame> headless;
    double now = 100.0;
    Npc* mare = nullptr;
};

// Escape closes an open chat box as the close response does, its release does not quit, and
// only an Escape with no box open quits. Switched off, Escape quits at once.
TEST_F(FriendlyControlsTest, QuitKeyClosesTheChatBoxBeforeItQuits) {
    talkToMare();
    ASSERT_TRUE(open());
    key(ALLEGRO_KEY_ESCAPE, true);
    EXPECT_FALSE(open());
    EXPECT_FALSE(game.gui->chatOpen());
    EXPECT_EQ(game.conversation->lastResponse(), Conversation::closeResponse);
    EXPECT_FALSE(game.quit);
    key(ALLEGRO_KEY_ESCAPE, false);
    EXPECT_FALSE(game.quit) << "the release of the press that closed the box";
    key(ALLEGRO_KEY_ESCAPE, true);
    EXPECT_TRUE(game.quit);

    game.quit = false;
    currentMapSettings().friendlyControls = false;
    talkToMare();
    key(ALLEGRO_KEY_ESCAPE, true);
    EXPECT_TRUE(game.quit);
    EXPECT_TRUE(open());
}

// The box closes once the player stands more than 160 px from the active character; a box
// opened from farther away closes only when the player walks farther off still.
TEST_F(FriendlyControlsTest, WalkingAwayClosesTheChatBox) {
    talkToMare();
    standAt(448.0f + 160.0f, 152.0f);
    tick();
    EXPECT_TRUE(open()) << "160 px is not more than 160";
    standAt(448.0f + 161.0f, 152.0f);
    tick();
    EXPECT_FALSE(open());

    standAt(448.0f, 152.0f + 300.0f);
    talkToMare();
    tick();
    EXPECT_TRUE(open()) << "opened from 300 px away";
    standAt(448.0f, 152.0f + 301.0f);
    tick();
    EXPECT_FALSE(open());

    currentMapSettings().friendlyControls = false;
    talkToMare();
    standAt(448.0f + 600.0f, 152.0f);
    tick();
    EXPECT_TRUE(open()) << "switched off";
}

// A response clicked within 300 ms of the page changing picks nothing; a click after that picks.
TEST_F(FriendlyControlsTest, ClickHardOnANewPageIsIgnored) {
    talkToMare();
    now += 0.29;
    EXPECT_EQ(clickRow(0), "");
    EXPECT_EQ(game.conversation->lastResponse(), Conversation::noResponse);
    now += 0.02;
    EXPECT_EQ(clickRow(0), "Line response was 1\nCalling Script: Mare.lua with value 1\n");
    // The second page came up with that pick: a double click stops here.
    EXPECT_EQ(clickRow(0), "");
    now += 0.31;
    EXPECT_EQ(clickRow(0), "Line response was 2\nCalling Script: Mare.lua with value 2\n");

    currentMapSettings().friendlyControls = false;
    EXPECT_EQ(clickRow(0), "Line response was 2\nCalling Script: Mare.lua with value 2\n");
}

// The response line under the pointer is drawn in the highlight colour, only that one, and only
// a response; switched off, nothing is highlighted.
TEST_F(FriendlyControlsTest, ResponseUnderThePointerIsHighlighted) {
    ALLEGRO_FONT* font = al_create_builtin_font();
    ChatBox& chat = *game.gui->chatBox();
    chat.setFont(font);
    talkToMare();
    chat.setLine(2, "MMMM");
    const auto pointAt = [](int row) {
        game.gui->setMouse(600.0f, static_cast<float>(380 + 13 + 16 * row));
    };
    const auto gold = [&chat](int row) {
        BitmapHolder frame{solidBitmap(800, 600, al_map_rgb(0, 0, 0))};
        game.gui->draw(frame);
        const Rgba highlight = rgb(255, 214, 92);
        int count = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 225; x < 676; ++x)
                count += pixelAt(frame, x, chat.y() + 13 + 16 * row + y) == highlight;
        return count;
    };
    pointAt(1);
    EXPECT_EQ(game.gui->highlightedRow(), 1);
    EXPECT_GT(gold(1), 0);
    EXPECT_EQ(gold(0), 0);
    pointAt(0);
    EXPECT_EQ(game.gui->highlightedRow(), 0);
    pointAt(2);
    EXPECT_EQ(game.gui->highlightedRow(), std::nullopt) << "a plain line";
    EXPECT_EQ(gold(2), 0);
    game.gui->setMouse(224.0f, 380.0f + 13.0f);
    EXPECT_EQ(game.gui->highlightedRow(), std::nullopt) << "left of the column";
    pointAt(1);
    currentMapSettings().friendlyControls = false;
    EXPECT_EQ(game.gui->highlightedRow(), std::nullopt);
    EXPECT_EQ(gold(1), 0);
    chat.setFont(nullptr);
    al_destroy_font(font);
}

} // namespace
