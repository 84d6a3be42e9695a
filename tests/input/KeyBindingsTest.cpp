#include "input/KeyBindings.h"

#include "core/TestSupport.h"
#include "player/Player.h"

#include <gtest/gtest.h>

namespace {

// Bindings wired to a real Player, as at start-up.
class KeyBindingsTest : public testing::Test {
  protected:
    KeyBindingsTest() { game.keyBindings = &bindings; }

    testsupport::ContextGuard context;
    Player player{0.0f, 0.0f};
    Player* wired = game.player = &player; // the bindings take the flags at construction
    KeyBindings bindings;
};

TEST_F(KeyBindingsTest, DefaultsInActionOrderWiredToThePlayerFlags) {
    struct Row {
        const char* name;
        int primary, secondary;
    };
    const Row expected[] = {{"Up", 84, -1},   {"Right", 83, -1},    {"Down", 85, -1},
                            {"Left", 82, -1}, {"Sprint", 215, 216}, {"Quit", 59, -1}};
    ASSERT_EQ(bindings.count(), 6);
    for (int i = 0; i < 6; ++i) {
        const KeyBinding* binding = bindings.binding(i);
        EXPECT_STREQ(binding->name, expected[i].name);
        EXPECT_EQ(binding->primaryKey, expected[i].primary) << i;
        EXPECT_EQ(binding->secondaryKey, expected[i].secondary) << i;
        EXPECT_EQ(binding->primaryFlag, &player.primaryKeys[i]);
        EXPECT_EQ(binding->secondaryFlag, &player.secondaryKeys[i]);
    }
    EXPECT_EQ(bindings.binding(6), nullptr);
    EXPECT_EQ(bindings.binding(-1), nullptr);
}

TEST_F(KeyBindingsTest, RebindingByExactNameMovesTheAction) {
    bindings.setKeys("Up", ALLEGRO_KEY_W, ALLEGRO_KEY_I);
    bindings.setKeys("up", ALLEGRO_KEY_Z, -1);
    bindings.setKeys("Jump", ALLEGRO_KEY_SPACE, -1);
    bindings.setKeys(nullptr, ALLEGRO_KEY_SPACE, -1);
    for (int i = 1; i < 6; ++i) {
        const int key = bindings.binding(i)->primaryKey;
        EXPECT_TRUE(key != ALLEGRO_KEY_Z && key != ALLEGRO_KEY_SPACE) << i;
    }
    bindings.setKeyState(ALLEGRO_KEY_UP, true);
    EXPECT_FALSE(player.primaryKeys[Player::Up]);
    bindings.setKeyState(ALLEGRO_KEY_W, true);
    EXPECT_TRUE(player.primaryKeys[Player::Up]);
    bindings.setKeyState(ALLEGRO_KEY_W, false);
    EXPECT_FALSE(player.primaryKeys[Player::Up]);
    bindings.setKeyState(ALLEGRO_KEY_I, true);
    EXPECT_TRUE(player.secondaryKeys[Player::Up]);
    EXPECT_FALSE(player.primaryKeys[Player::Up]);
}

TEST_F(KeyBindingsTest, SecondShiftKeepsSprintingAfterFirstIsReleased) {
    bindings.setKeyState(ALLEGRO_KEY_LSHIFT, true);
    bindings.setKeyState(ALLEGRO_KEY_RSHIFT, true);
    bindings.setKeyState(ALLEGRO_KEY_LSHIFT, false);
    player.update();
    EXPECT_TRUE(player.sprinting);
}

TEST_F(KeyBindingsTest, QuitKeysQuitOnPressAndOnReleaseAndLeaveTheirFlags) {
    for (bool down : {true, false}) {
        game.quit = false;
        bindings.setKeyState(ALLEGRO_KEY_ESCAPE, down);
        EXPECT_TRUE(game.quit) << down;
    }
    game.quit = false;
    bindings.setKeys("Quit", ALLEGRO_KEY_ESCAPE, ALLEGRO_KEY_Q);
    bindings.setKeyState(ALLEGRO_KEY_Q, true);
    EXPECT_TRUE(game.quit);
    EXPECT_FALSE(player.primaryKeys[Player::Quit]);
    EXPECT_FALSE(player.secondaryKeys[Player::Quit]);
}

TEST_F(KeyBindingsTest, SharedKeyServesEveryActionAndFillsOnlyThePrimaryOfADoubleBinding) {
    bindings.setKeys("Up", ALLEGRO_KEY_W, ALLEGRO_KEY_W);
    bindings.setKeys("Right", ALLEGRO_KEY_D, ALLEGRO_KEY_W);
    bindings.setKeys("Quit", ALLEGRO_KEY_ESCAPE, ALLEGRO_KEY_W);
    bindings.setKeyState(ALLEGRO_KEY_W, true);
    EXPECT_TRUE(player.primaryKeys[Player::Up]);
    EXPECT_FALSE(player.secondaryKeys[Player::Up]);
    EXPECT_TRUE(player.secondaryKeys[Player::Right]);
    EXPECT_TRUE(game.quit);
}

TEST_F(KeyBindingsTest, UnboundAndEmptyKeysAreIgnored) {
    bindings.setKeyState(ALLEGRO_KEY_F5, true);
    bindings.setKeyState(-1, true);
    for (int i = 0; i < Player::ActionCount; ++i)
        EXPECT_FALSE(player.primaryKeys[i] || player.secondaryKeys[i]) << i;
    EXPECT_FALSE(game.quit);
    // Without a player only Quit has an effect.
    game.player = nullptr;
    KeyBindings alone;
    alone.setKeyState(ALLEGRO_KEY_UP, true);
    alone.setKeyState(ALLEGRO_KEY_ESCAPE, true);
    EXPECT_TRUE(game.quit);
}

} // namespace
