#include "player/Player.h"

#include "core/TestSupport.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace {

// A player with no bitmap library: movement and frame choice need none.
class PlayerTest : public testing::Test {
  protected:
    void hold(const std::vector<Player::Action>& actions) {
        for (Player::Action action : actions)
            player.primaryKeys[action] = true;
    }
    void releaseAll() {
        for (int i = 0; i < Player::ActionCount; ++i) {
            player.primaryKeys[i] = false;
            player.secondaryKeys[i] = false;
        }
    }

    testsupport::ContextGuard context;
    Player player{100.0f, 200.0f};
};

TEST_F(PlayerTest, StartsStandingFacingUpWithDefaultSpeeds) {
    EXPECT_EQ(player.x, 100.0f);
    EXPECT_EQ(player.y, 200.0f);
    EXPECT_EQ(player.walkSpeed(), 2.2f);
    EXPECT_EQ(player.sprintSpeed(), 5.0f);
    EXPECT_EQ(player.direction, 0);
    EXPECT_TRUE(player.standing);
    EXPECT_FALSE(player.sprinting);
    EXPECT_EQ(player.currentFrame, nullptr);
    EXPECT_EQ(player.frameSlot(), 0);
}

// Keys held, the direction they give, and the step per tick as multiples of the straight
// speed s and the diagonal speed d (s * 0.707 in double, stored as float).
struct Move {
    const char* name;
    std::vector<Player::Action> keys;
    int direction;
    int sx, dx, sy, dy; // vx = sx*s + dx*d, vy = sy*s + dy*d
};

class PlayerMoves : public PlayerTest, public testing::WithParamInterface<Move> {};

TEST_P(PlayerMoves, StepAndFacingPerKeys) {
    for (bool sprint : {false, true}) {
        releaseAll();
        player.x = 100.0f;
        player.y = 200.0f;
        hold(GetParam().keys);
        if (sprint)
            hold({Player::Sprint});
        const float s = sprint ? 5.0f : 2.2f;
        const float d = static_cast<float>(static_cast<double>(s) * 0.707);
        player.update();
        const Move& m = GetParam();
        const float vx = m.sx * s + m.dx * d;
        const float vy = m.sy * s + m.dy * d;
        EXPECT_EQ(player.direction, m.direction);
        EXPECT_EQ(player.vx, vx) << "sprint " << sprint;
        EXPECT_EQ(player.vy, vy) << "sprint " << sprint;
        EXPECT_EQ(player.x, 100.0f + vx);
        EXPECT_EQ(player.y, 200.0f + vy);
        EXPECT_FALSE(player.standing);
        EXPECT_EQ(player.sprinting, sprint);
    }
}

INSTANTIATE_TEST_SUITE_P(
    EightDirections, PlayerMoves,
    testing::Values(
        Move{"Up", {Player::Up}, 0, 0, 0, -1, 0},
        Move{"UpRight", {Player::Up, Player::Right}, 1, 0, 1, 0, -1},
        Move{"Right", {Player::Right}, 2, 1, 0, 0, 0},
        Move{"DownRight", {Player::Down, Player::Right}, 3, 0, 1, 0, 1},
        Move{"Down", {Player::Down}, 4, 0, 0, 1, 0},
        Move{"DownLeft", {Player::Down, Player::Left}, 5, 0, -1, 0, 1},
        Move{"Left", {Player::Left}, 6, -1, 0, 0, 0},
        Move{"UpLeft", {Player::Up, Player::Left}, 7, 0, -1, 0, -1},
        // Opposite keys cancel each other.
        Move{"UpDownRight", {Player::Up, Player::Down, Player::Right}, 2, 1, 0, 0, 0},
        Move{"LeftRightDown", {Player::Left, Player::Right, Player::Down}, 4, 0, 0, 1, 0}),
    [](const testing::TestParamInfo<Move>& info) { return std::string(info.param.name); });

TEST_F(PlayerTest, DiagonalStepMatchesTheKnownFigures) {
    hold({Player::Up, Player::Left});
    player.update();
    EXPECT_NEAR(player.vx, -1.5554, 1e-4);
    EXPECT_NEAR(player.vy, -1.5554, 1e-4);
    hold({Player::Sprint});
    player.update();
    EXPECT_NEAR(player.vx, -3.535, 1e-4);
    EXPECT_EQ(player.frameSlot(), 56 + 6 * 7 + 0);
}

TEST_F(PlayerTest, SecondaryFlagsCountLikePrimaryOnes) {
    player.secondaryKeys[Player::Right] = true;
    player.update();
    EXPECT_EQ(player.direction, 2);
    EXPECT_TRUE(player.keys[Player::Right]);
}

TEST_F(PlayerTest, NoKeysKeepsPositionAndLastFacing) {
    hold({Player::Left});
    for (int i = 0; i < 7; ++i)
        player.update();
    releaseAll();
    const float x = player.x, y = player.y;
    player.update();
    EXPECT_EQ(player.x, x);
    EXPECT_EQ(player.y, y);
    EXPECT_EQ(player.vx, 0.0f);
    EXPECT_EQ(player.direction, 6);
    EXPECT_EQ(player.animCounter, 0);
    EXPECT_TRUE(player.standing);
    EXPECT_EQ(player.frameSlot(), 6);
}

TEST_F(PlayerTest, AllFourDirectionKeysStandStill) {
    hold({Player::Right});
    player.update();
    hold({Player::Up, Player::Down, Player::Left});
    player.update();
    EXPECT_TRUE(player.standing);
    EXPECT_EQ(player.direction, 2);
    EXPECT_EQ(player.animCounter, 0);
    EXPECT_EQ(player.vx, 0.0f);
    EXPECT_EQ(player.vy, 0.0f);
}

TEST_F(PlayerTest, SprintAloneStandsWithTheStandingFrame) {
    hold({Player::Sprint});
    player.update();
    EXPECT_TRUE(player.standing);
    EXPECT_TRUE(player.sprinting);
    EXPECT_EQ(player.x, 100.0f);
    EXPECT_EQ(player.frameSlot(), 0);
}

TEST_F(PlayerTest, CounterRunsThirtyOneTicksACycle) {
    hold({Player::Down});
    for (int tick = 1; tick <= 30; ++tick) {
        player.update();
        EXPECT_EQ(player.animCounter, tick);
    }
    player.update();
    EXPECT_EQ(player.animCounter, 0);
    player.update();
    EXPECT_EQ(player.animCounter, 1);
}

TEST_F(PlayerTest, FrameSequenceOfOneCycle) {
    hold({Player::Down});
    // Frame shown after each of 31 moving ticks: 4 ticks of frame 0 at the start, then 5 of
    // each frame 1 to 5, then frame 0 for the counter's wrap to 30 and 0.
    std::string frames;
    for (int tick = 0; tick < 37; ++tick) {
        player.update();
        frames += static_cast<char>('0' + player.frameSlot() - (8 + 6 * 4));
    }
    EXPECT_EQ(frames, "0000111112222233333444445555500000011");
}

TEST_F(PlayerTest, SwitchingToSprintKeepsTheFrameNumber) {
    hold({Player::Right});
    for (int i = 0; i < 12; ++i)
        player.update();
    EXPECT_EQ(player.frameSlot(), 8 + 6 * 2 + 2);
    hold({Player::Sprint});
    player.update();
    EXPECT_EQ(player.frameSlot(), 56 + 6 * 2 + 2);
}

TEST_F(PlayerTest, FrameSlotsForEveryDirection) {
    const std::vector<Player::Action> keysOf[8] = {{Player::Up},    {Player::Up, Player::Right},
                                                   {Player::Right}, {Player::Down, Player::Right},
                                                   {Player::Down},  {Player::Down, Player::Left},
                                                   {Player::Left},  {Player::Up, Player::Left}};
    for (int d = 0; d < 8; ++d) {
        releaseAll();
        hold(keysOf[d]);
        player.update();
        EXPECT_EQ(player.frameSlot(), 8 + 6 * d + player.animCounter / 5 % 6) << d;
        releaseAll();
        player.update();
        EXPECT_EQ(player.frameSlot(), d);
    }
}

TEST_F(PlayerTest, ZeroSpeedStillAnimates) {
    player.setWalkSpeed(0.0f);
    hold({Player::Up});
    for (int i = 0; i < 6; ++i)
        player.update();
    EXPECT_EQ(player.y, 200.0f);
    EXPECT_EQ(player.frameSlot(), 8 + 1);
}

TEST_F(PlayerTest, WalksPastTheWindowEdge) {
    player.x = 799.0f;
    hold({Player::Right});
    for (int i = 0; i < 10; ++i)
        player.update();
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
