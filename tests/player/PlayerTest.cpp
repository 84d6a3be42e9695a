#include "player/Player.h"

#include "core/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Keys = std::vector<Player::Action>;

// A player with no bitmap library: movement and frame choice need none.
class PlayerTest : public testing::Test {
  protected:
    void hold(const Keys& actions, bool secondary = false) {
        for (Player::Action action : actions)
            (secondary ? player.secondaryKeys : player.primaryKeys)[action] = true;
    }
    void releaseAll() {
        for (int i = 0; i < Player::ActionCount; ++i)
            player.primaryKeys[i] = player.secondaryKeys[i] = false;
    }
    void ticks(int count) {
        for (int i = 0; i < count; ++i)
            player.update();
    }

    testsupport::ContextGuard context;
    Player player{100.0f, 200.0f};
};

// Keys held, the direction they give, and the step as multiples of the straight speed s and
// the diagonal speed d (s * 0.707): vx = sx*s + dx*d, vy = sy*s + dy*d. Sprinting holds the
// keys as secondary flags, which count like primary ones.
TEST_F(PlayerTest, StepFacingAndFramePerKeys) {
    EXPECT_EQ(player.frameSlot(), 0); // a new player faces up
    struct Move {
        Keys keys;
        int direction, sx, dx, sy, dy;
    };
    const Move moves[] = {
        {{Player::Up}, 0, 0, 0, -1, 0},
        {{Player::Up, Player::Right}, 1, 0, 1, 0, -1},
        {{Player::Right}, 2, 1, 0, 0, 0},
        {{Player::Down, Player::Right}, 3, 0, 1, 0, 1},
        {{Player::Down}, 4, 0, 0, 1, 0},
        {{Player::Down, Player::Left}, 5, 0, -1, 0, 1},
        {{Player::Left}, 6, -1, 0, 0, 0},
        {{Player::Up, Player::Left}, 7, 0, -1, 0, -1},
        // Opposite keys cancel each other.
        {{Player::Up, Player::Down, Player::Right}, 2, 1, 0, 0, 0},
        {{Player::Left, Player::Right, Player::Down}, 4, 0, 0, 1, 0},
    };
    for (const Move& m : moves) {
        for (bool sprint : {false, true}) {
            SCOPED_TRACE(testing::Message() << "direction " << m.direction << " sprint " << sprint);
            releaseAll();
            player.x = 100.0f;
            player.y = 200.0f;
            hold(m.keys, sprint);
            player.primaryKeys[Player::Sprint] = sprint;
            const float s = sprint ? 5.0f : 2.2f;
            const float d = static_cast<float>(static_cast<double>(s) * 0.707);
            player.update();
            EXPECT_EQ(player.direction, m.direction);
            EXPECT_EQ(player.x, 100.0f + (m.sx * s + m.dx * d));
            EXPECT_EQ(player.y, 200.0f + (m.sy * s + m.dy * d));
            EXPECT_EQ(player.frameSlot(), (sprint ? 56 : 8) + 6 * m.direction);
            releaseAll();
            player.update();
            EXPECT_EQ(player.frameSlot(), m.direction);
        }
    }
}

// After walking left a while, each of these stands still, keeps the facing and resets the cycle.
TEST_F(PlayerTest, StandsStillWithoutAMovingKey) {
    const Keys stills[] = {
        {}, {Player::Up, Player::Down, Player::Left, Player::Right}, {Player::Sprint}};
    for (const Keys& keys : stills) {
        SCOPED_TRACE(keys.size());
        releaseAll();
        hold({Player::Left});
        ticks(7);
        releaseAll();
        hold(keys);
        const float x = player.x, y = player.y;
        player.update();
        EXPECT_EQ(player.x, x);
        EXPECT_EQ(player.y, y);
        EXPECT_EQ(player.animCounter, 0);
        EXPECT_EQ(player.frameSlot(), 6);
    }
}

// Frame after each moving tick: 4 ticks of frame 0, 5 of each frame 1 to 5, then frame 0 for
// the counter's wrap to 30 and 0. Sprinting on the way keeps the frame number.
TEST_F(PlayerTest, FrameSequenceOfTheThirtyOneTickCycle) {
    hold({Player::Down});
    std::string frames;
    for (int tick = 1; tick <= 37; ++tick) {
        player.primaryKeys[Player::Sprint] = tick == 12;
        player.update();
        const int first = tick == 12 ? 56 : 8;
        frames += static_cast<char>('0' + player.frameSlot() - (first + 6 * 4));
    }
    EXPECT_EQ(frames, "0000111112222233333444445555500000011");
}

TEST_F(PlayerTest, ZeroSpeedStillAnimates) {
    player.setWalkSpeed(0.0f);
    hold({Player::Up});
    ticks(6);
    EXPECT_EQ(player.y, 200.0f);
    EXPECT_EQ(player.frameSlot(), 8 + 1);
}

TEST_F(PlayerTest, DrawWithoutLibraryOrTargetIsHarmless) {
    player.draw(nullptr);
    EXPECT_EQ(player.currentFrame, nullptr);
    player.ticksPerFrame = 0;
    hold({Player::Up});
    player.update();
    EXPECT_EQ(player.frameSlot(), 8);
}

} // namespace
