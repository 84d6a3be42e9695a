#include "input/KeyBindings.h"

#include "core/TestSupport.h"
#include "player/Player.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Bindings wired to a real Player, as at start-up.
class KeyBindingsTest : public testing::Test {
  protected:
    KeyBindingsTest() { game.keyBindings = &bindings; }

    bool anyFlag() const {
        for (int i = 0; i < Player::ActionCount; ++i)
            if (player.primaryKeys[i] || player.secondaryKeys[i])
                return true;
        return false;
    }

    testsupport::ContextGuard context;
    Player player{0.0f, 0.0f};
    Player* wired = game.player = &player; // the bindings take the flags at construction
    KeyBindings bindings;
};

TEST_F(KeyBindingsTest, DefaultsInActionOrderWiredToThePlayerFlags) {
    std::string all;
    for (int i = 0; i < bindings.count(); ++i) {
        const KeyBinding* binding = bindings.binding(i);
        all += std::string(binding->name) + " " + std::to_string(binding->primaryKey) + " " +
               std::to_string(binding->secondaryKey) + ", ";
        EXPECT_EQ(binding->primaryFlag, &player.primaryKeys[i]);
        EXPECT_EQ(binding->secondaryFlag, &player.secondaryKeys[i]);
    }
    EXPECT_EQ(all, "Up 84 -1, Right 83 -1, Down 85 -1, Left 82 -1, Sprint 215 216, Quit 59 -1, ");
    EXPECT_EQ(bindings.binding(6), nullptr);
    EXPECT_EQ(bindings.binding(-1), nullptr);
}

// Only the exact name rebinds; a key shared by several actions serves them all, and a key bound
// twice to one action fills only its primary flag.
TEST_F(KeyBindingsTest, RebindingByExactNameAndSharedKeys) {
    bindings.setKeys("Up", ALLEGRO_KEY_W, ALLEGRO_KEY_W);
    bindings.setKeys("up", ALLEGRO_KEY_Z, -1);
    bindings.setKeys(nullptr, ALLEGRO_KEY_Z, -1);
    bindings.setKeys("Right", ALLEGRO_KEY_D, ALLEGRO_KEY_W);
    bindings.setKeyState(ALLEGRO_KEY_UP, true);
    bindings.setKeyState(ALLEGRO_KEY_Z, true);
    EXPECT_FALSE(anyFlag());
    bindings.setKeyState(ALLEGRO_KEY_W, true);
    EXPECT_TRUE(player.primaryKeys[Player::Up]);
    EXPECT_FALSE(player.secondaryKeys[Player::Up]);
    EXPECT_TRUE(player.secondaryKeys[Player::Right]);
    bindings.setKeyState(ALLEGRO_KEY_W, false);
    EXPECT_FALSE(anyFlag());
    EXPECT_FALSE(game.quit);
}

// Either Quit key quits, on press and on release, and sets no flag; without a player only Quit
// has an effect.
TEST_F(KeyBindingsTest, QuitKeysQuitOnPressAndOnRelease) {
    bindings.setKeys("Quit", ALLEGRO_KEY_ESCAPE, ALLEGRO_KEY_Q);
    for (int key : {ALLEGRO_KEY_ESCAPE, ALLEGRO_KEY_Q})
        for (bool down : {true, false}) {
            game.quit = false;
            bindings.setKeyState(key, down);
            EXPECT_TRUE(game.quit) << key << " " << down;
        }
    game.quit = false;
    bindings.setKeyState(-1, true);
    EXPECT_FALSE(anyFlag() || game.quit);
    game.player = nullptr;
    KeyBindings alone;
    alone.setKeyState(ALLEGRO_KEY_UP, true);
    alone.setKeyState(ALLEGRO_KEY_ESCAPE, true);
    EXPECT_TRUE(game.quit);
}

} // namespace
