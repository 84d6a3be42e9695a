#include "input/KeyBindings.h"

#include "core/TestSupport.h"
#include "player/Player.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// Bindings wired to a real Player, as at start-up.
class KeyBindingsTest : public testing::Test {
  protected:
    KeyBindingsTest() {
        game.player = &player;
        bindings = std::make_unique<KeyBindings>();
        game.keyBindings = bindings.get();
    }

    testsupport::ContextGuard context;
    Player player{0.0f, 0.0f};
    std::unique_ptr<KeyBindings> bindings;
};

TEST_F(KeyBindingsTest, DefaultsInActionOrder) {
    struct Expected {
        const char* name;
        int primary;
        int secondary;
    };
    const Expected expected[] = {{"Up", 84, -1},   {"Right", 83, -1},    {"Down", 85, -1},
                                 {"Left", 82, -1}, {"Sprint", 215, 216}, {"Quit", 59, -1}};
    ASSERT_EQ(bindings->count(), 6);
    for (int i = 0; i < 6; ++i) {
        const KeyBinding* binding = bindings->binding(i);
        EXPECT_STREQ(binding->name, expected[i].name);
        EXPECT_EQ(binding->primaryKey, expected[i].primary);
        EXPECT_EQ(binding->secondaryKey, expected[i].secondary);
        EXPECT_EQ(binding->primaryFlag, &player.primaryKeys[i]);
        EXPECT_EQ(binding->secondaryFlag, &player.secondaryKeys[i]);
    }
    EXPECT_EQ(bindings->binding(6), nullptr);
    EXPECT_EQ(bindings->binding(-1), nullptr);
}

TEST_F(KeyBindingsTest, SetKeysMatchesTheExactName) {
    bindings->setKeys("Up", ALLEGRO_KEY_W, ALLEGRO_KEY_I);
    bindings->setKeys("up", ALLEGRO_KEY_Z, -1);
    bindings->setKeys("Jump", ALLEGRO_KEY_SPACE, -1);
    bindings->setKeys(nullptr, ALLEGRO_KEY_SPACE, -1);
    EXPECT_EQ(bindings->binding(0)->primaryKey, ALLEGRO_KEY_W);
    EXPECT_EQ(bindings->binding(0)->secondaryKey, ALLEGRO_KEY_I);
    for (int i = 1; i < 6; ++i) {
        EXPECT_NE(bindings->binding(i)->primaryKey, ALLEGRO_KEY_Z);
        EXPECT_NE(bindings->binding(i)->primaryKey, ALLEGRO_KEY_SPACE);
    }
}

TEST_F(KeyBindingsTest, PressAndReleaseWriteThePlayerFlags) {
    bindings->setKeyState(ALLEGRO_KEY_UP, true);
    EXPECT_TRUE(player.primaryKeys[Player::Up]);
    bindings->setKeyState(ALLEGRO_KEY_UP, false);
    EXPECT_FALSE(player.primaryKeys[Player::Up]);
    bindings->setKeyState(ALLEGRO_KEY_RSHIFT, true);
    EXPECT_TRUE(player.secondaryKeys[Player::Sprint]);
    EXPECT_FALSE(player.primaryKeys[Player::Sprint]);
    EXPECT_FALSE(game.quit);
}

TEST_F(KeyBindingsTest, SecondShiftKeepsSprintingAfterFirstIsReleased) {
    bindings->setKeyState(ALLEGRO_KEY_LSHIFT, true);
    bindings->setKeyState(ALLEGRO_KEY_RSHIFT, true);
    bindings->setKeyState(ALLEGRO_KEY_LSHIFT, false);
    player.update();
    EXPECT_TRUE(player.sprinting);
}

TEST_F(KeyBindingsTest, QuitKeysQuitOnPressAndOnRelease) {
    bindings->setKeyState(ALLEGRO_KEY_ESCAPE, true);
    EXPECT_TRUE(game.quit);
    game.quit = false;
    bindings->setKeyState(ALLEGRO_KEY_ESCAPE, false);
    EXPECT_TRUE(game.quit);

    game.quit = false;
    bindings->setKeys("Quit", ALLEGRO_KEY_ESCAPE, ALLEGRO_KEY_Q);
    bindings->setKeyState(ALLEGRO_KEY_Q, true);
    EXPECT_TRUE(game.quit);
    // The Quit binding's own flags are never written.
    EXPECT_FALSE(player.primaryKeys[Player::Quit]);
    EXPECT_FALSE(player.secondaryKeys[Player::Quit]);
}

TEST_F(KeyBindingsTest, ASharedKeyServesEveryActionHoldingIt) {
    bindings->setKeys("Up", ALLEGRO_KEY_W, -1);
    bindings->setKeys("Right", ALLEGRO_KEY_D, ALLEGRO_KEY_W);
    bindings->setKeys("Quit", ALLEGRO_KEY_ESCAPE, ALLEGRO_KEY_W);
    bindings->setKeyState(ALLEGRO_KEY_W, true);
    EXPECT_TRUE(player.primaryKeys[Player::Up]);
    EXPECT_TRUE(player.secondaryKeys[Player::Right]);
    EXPECT_TRUE(game.quit);
}

TEST_F(KeyBindingsTest, SameKeyInBothSlotsWritesOnlyThePrimaryFlag) {
    bindings->setKeys("Left", ALLEGRO_KEY_A, ALLEGRO_KEY_A);
    bindings->setKeyState(ALLEGRO_KEY_A, true);
    EXPECT_TRUE(player.primaryKeys[Player::Left]);
    EXPECT_FALSE(player.secondaryKeys[Player::Left]);
}

TEST_F(KeyBindingsTest, RebindingUpToWIgnoresTheArrow) {
    bindings->setKeys("Up", ALLEGRO_KEY_W, -1);
    bindings->setKeyState(ALLEGRO_KEY_UP, true);
    EXPECT_FALSE(player.primaryKeys[Player::Up]);
    bindings->setKeyState(ALLEGRO_KEY_W, true);
    EXPECT_TRUE(player.primaryKeys[Player::Up]);
}

TEST_F(KeyBindingsTest, UnboundAndEmptyKeysAreIgnored) {
    bindings->setKeyState(ALLEGRO_KEY_F5, true);
    bindings->setKeyState(-1, true);
    for (int i = 0; i < Player::ActionCount; ++i) {
        EXPECT_FALSE(player.primaryKeys[i]);
        EXPECT_FALSE(player.secondaryKeys[i]);
    }
    EXPECT_FALSE(game.quit);
}

TEST(KeyBindingsWithoutPlayer, WorkWithoutAPlayer) {
    testsupport::ContextGuard context;
    KeyBindings bindings;
    bindings.setKeyState(ALLEGRO_KEY_UP, true);
    bindings.setKeyState(ALLEGRO_KEY_ESCAPE, true);
    EXPECT_TRUE(game.quit);
}

} // namespace
