#include "player/Collision.h"
#include "player/Player.h"

#include "core/TestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A 10 x 8 map of 32-pixel cells and a player steered by holding keys. The player's feet are
// at (x + 34, y + 74) to (x + 62, y + 86).
class CollisionTest : public testing::Test {
  protected:
    void SetUp() override { build(); }
    void build() {
        collision.setCells(32, 32, 10, 8, solid);
        collision.setBounds(320.0f, 256.0f);
    }
    void wall(int column, int row) { solid[static_cast<size_t>(row) * 10 + column] = 1; }
    void place(float x, float y) {
        player.x = x;
        player.y = y;
    }
    void walk(std::vector<Player::Action> keys, int ticks, bool sprint = false) {
        for (int i = 0; i < Player::ActionCount; ++i)
            player.primaryKeys[i] = false;
        for (Player::Action key : keys)
            player.primaryKeys[key] = true;
        player.primaryKeys[Player::Sprint] = sprint;
        for (int i = 0; i < ticks; ++i)
            player.update(&collision);
    }
    float feetRight() const { return player.feet().right; }
    float feetBottom() const { return player.feet().bottom; }

    testsupport::ContextGuard context;
    std::vector<uint8_t> solid = std::vector<uint8_t>(80, 0);
    Collision collision;
    Player player{0.0f, 0.0f};
};

TEST_F(CollisionTest, AWallHitStraightOnStopsTheFeetAgainstIt) {
    wall(6, 3); // x 192..224, y 96..128
    build();
    place(50.0f, 30.0f); // feet x 84..112, y 104..116
    walk({Player::Right}, 60);
    EXPECT_NEAR(feetRight(), 192.0f, 0.1f);
    EXPECT_LE(feetRight(), 192.0f);
    const float y = player.y;
    walk({Player::Right}, 10);
    EXPECT_NEAR(feetRight(), 192.0f, 0.1f);
    EXPECT_FLOAT_EQ(player.y, y);
}

TEST_F(CollisionTest, ADiagonalIntoAWallSlidesAlongItAndStopsInACorner) {
    for (int row = 0; row < 8; ++row)
        wall(6, row); // a wall from top to bottom at x 192
    build();
    place(50.0f, 0.0f);
    walk({Player::Down, Player::Right}, 70);
    // Sliding: the feet reached the wall and went on downwards at full diagonal speed.
    EXPECT_NEAR(feetRight(), 192.0f, 0.1f);
    EXPECT_NEAR(player.y, 70 * 1.5554f, 0.1f);

    wall(5, 6); // a block below, making a corner at (192, 192)
    build();
    place(50.0f, 0.0f);
    walk({Player::Down, Player::Right}, 200);
    const float x = player.x;
    const float y = player.y;
    walk({Player::Down, Player::Right}, 5);
    // The corner holds both axes, without jitter and without overlap.
    EXPECT_FLOAT_EQ(player.x, x);
    EXPECT_FLOAT_EQ(player.y, y);
    EXPECT_FLOAT_EQ(collision.overlap(player.feet(), player.body()), 0.0f);
    EXPECT_NEAR(feetBottom(), 192.0f, 0.1f);
    EXPECT_GT(feetRight(), 160.0f);
}

TEST_F(CollisionTest, NoSpeedPassesThroughAWallOneCellThick) {
    for (int row = 0; row < 8; ++row)
        wall(5, row); // x 160..192
    build();
    for (float speed : {5.0f, 31.0f, 64.0f, 1000.0f, 1e9f}) {
        place(0.0f, 60.0f);
        player.setSprintSpeed(speed);
        walk({Player::Right}, 60, true);
        EXPECT_NEAR(feetRight(), 160.0f, 0.1f) << speed;
    }
}

TEST_F(CollisionTest, APlayerPutInsideSomethingSolidCanWalkOut) {
    for (int column = 0; column < 10; ++column)
        for (int row = 2; row < 5; ++row)
            wall(column, row); // y 64..160 solid from side to side
    build();
    place(100.0f, 20.0f); // feet y 94..106: deep inside
    walk({Player::Left}, 5);
    EXPECT_LT(player.x, 100.0f); // sideways inside is no deeper
    walk({Player::Down}, 60);
    EXPECT_GE(player.feet().top, 160.0f); // and out below
    walk({Player::Up}, 60);
    EXPECT_NEAR(player.feet().top, 160.0f, 0.1f); // once out, it holds again
}

TEST_F(CollisionTest, ThePlayerStaysWithinTheBoundsOnEverySide) {
    place(100.0f, 100.0f);
    walk({Player::Left, Player::Up}, 200, true);
    EXPECT_NEAR(player.x, 0.0f, 0.1f);
    EXPECT_NEAR(player.y, 0.0f, 0.1f);
    walk({Player::Right, Player::Down}, 200, true);
    EXPECT_NEAR(player.x + Player::frameSize, 320.0f, 0.1f);
    EXPECT_NEAR(player.y + Player::frameSize, 256.0f, 0.1f);
}

TEST_F(CollisionTest, ACharactersFeetStopThePlayerButTouchingIsNoOverlap) {
    const Box character{200.0f, 140.0f, 232.0f, 154.0f};
    collision.setObstacles({character});
    place(50.0f, 70.0f); // feet y 144..156, level with the character's
    walk({Player::Right}, 60);
    EXPECT_NEAR(feetRight(), 200.0f, 0.1f);
    EXPECT_FLOAT_EQ(collision.overlap(Box{0, 0, 200, 10}.moved(0, 140), Box{}), 0.0f);
    EXPECT_GT(collision.overlap(Box{0, 0, 201, 10}.moved(0, 140), Box{}), 0.0f);
    // Walking round it below is free.
    place(50.0f, 80.0f); // feet y 154..166: touching only
    walk({Player::Right}, 80);
    EXPECT_GT(feetRight(), 232.0f);
}

TEST_F(CollisionTest, WithoutACollisionNothingStopsThePlayer) {
    wall(3, 3);
    build();
    place(0.0f, 0.0f);
    for (int i = 0; i < 100; ++i) {
        player.primaryKeys[Player::Right] = true;
        player.update();
    }
    EXPECT_GT(player.x, 219.0f);
    EXPECT_TRUE(collision.isSolid(3, 3));
    EXPECT_FALSE(collision.isSolid(-1, 3));
    EXPECT_FALSE(collision.isSolid(10, 3));
}

} // namespace
