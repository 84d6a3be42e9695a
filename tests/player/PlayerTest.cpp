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
    void hold(const Keys& actions) {
        for (Player::Action action : actions)
            player.primaryKeys[action] = true;
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
// the diagonal speed d (s * 0.707): vx = sx*s + dx*d, vy = sy*s + dy*d. Sprinting rows hold
// the keys as secondary flags, which count like primary ones.
struct Move {
    Keys keys;
    int direction, sx, dx, sy, dy;
};

TEST_F(PlayerTest, StepFacingAndFramePerKeys) {
    EXPECT_EQ(player.frameSlot(), 0); // a new player faces up
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
            for (Player::Action action : m.keys)
                (sprint ? player.secondaryKeys : player.primaryKeys)[action] = true;
            if (sprint)
                hold({Player::Sprint});
            const float s = sprint ? 5.0f : 2.2f;
            const float d = static_cast<float>(static_cast<double>(s) * 0.707);
            player.update();
            EXPECT_EQ(player.direction, m.direction);
            EXPECT_EQ(player.x, 100.0f + (m.sx * s + m.dx * d));
            EXPECT_EQ(player.y, 200.0f + (m.sy * s + m.dy * d));
            EXPECT_FALSE(player.standing);
            EXPECT_EQ(player.sprinting, sprint);
            EXPECT_EQ(player.frameSlot(), (sprint ? 56 : 8) + 6 * m.direction);
            releaseAll();
            player.update();
            EXPECT_EQ(player.frameSlot(), m.direction);
        }
    }
}

TEST_F(PlayerTest, DiagonalStepMatchesTheKnownFigures) {
    hold({Player::Up, Player::Left});
    player.update();
    EXPECT_NEAR(player.vy, -1.5554, 1e-4);
    hold({Player::Sprint});
    player.update();
    EXPECT_NEAR(player.vx, -3.535, 1e-4);
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
        EXPECT_TRUE(player.standing);
        EXPECT_EQ(player.direction, 6);
        EXPECT_EQ(player.animCounter, 0);
        EXPECT_EQ(player.frameSlot(), 6);
    }
}

TEST_F(PlayerTest, FrameSequenceOfTheThirtyOneTickCycle) {
    hold({Player::Down});
    // Frame after each moving tick: 4 ticks of frame 0, 5 of each frame 1 to 5, then frame 0
    // for the counter's wrap to 30 and 0.
    std::string frames;
    for (int tick = 1; tick <= 37; ++tick) {
        player.update();
        frames += static_cast<char>('0' + player.frameSlot() - (8 + 6 * 4));
        if (tick == 30 || tick == 31) {
            EXPECT_EQ(player.animCounter, tick % 31);
        }
    }
    EXPECT_EQ(frames, "0000111112222233333444445555500000011");
}

TEST_F(PlayerTest, SwitchingToSprintKeepsTheFrameNumber) {
    hold({Player::Right});
    ticks(12);
    EXPECT_EQ(player.frameSlot(), 8 + 6 * 2 + 2);
    hold({Player::Sprint});
    player.update();
    EXPECT_EQ(player.frameSlot(), 56 + 6 * 2 + 2);
}

TEST_F(PlayerTest, ZeroSpeedStillAnimatesAndNoEdgeStopsTheWalk) {
    player.setWalkSpeed(0.0f);
    hold({Player::Up});
    ticks(6);
    EXPECT_EQ(player.y, 200.0f);
    EXPECT_EQ(player.frameSlot(), 8 + 1);
    player.setWalkSpeed(2.2f);
    releaseAll();
    player.x = 799.0f;
    hold({Player::Right});
    ticks(10);
    EXPECT_FLOAT_EQ(player.x, 799.0f + 22.0f);
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
