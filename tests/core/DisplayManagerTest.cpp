#include "core/DisplayManager.h"

#include "core/HeadlessGame.h"
#include "core/TestArt.h"
#include "core/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using testsupport::opaque;
using testsupport::pixel;

// Frames of the whole game composed into an 800 x 600 memory bitmap. The bitmap font is
// missing in the test tree, so the status texts use Allegro's built-in 8 x 8 font.
class FrameComposition : public testing::Test {
  protected:
    FrameComposition() {
        testart::writePlayerSheet();
        headless = std::make_unique<HeadlessGame>();
        frame = al_create_bitmap(800, 600);
    }
    ~FrameComposition() override { al_destroy_bitmap(frame); }

    void compose() { game.displayManager->composeFrame(frame); }

    // Number of white pixels in a rectangle of the frame.
    int whiteIn(int left, int top, int width, int height) const {
        int count = 0;
        for (int y = top; y < top + height; ++y)
            for (int x = left; x < left + width; ++x)
                count += pixel(frame, x, y) == opaque(255, 255, 255);
        return count;
    }

    testsupport::ScratchDir dir;
    std::unique_ptr<HeadlessGame> headless;
    ALLEGRO_BITMAP* frame = nullptr;
};

TEST_F(FrameComposition, PlayerOverTheGroundOrAClearedFrame) {
    Environment* const ground = game.environment;
    for (bool withGround : {true, false}) {
        SCOPED_TRACE(withGround ? "ground" : "no ground");
        game.environment = withGround ? ground : nullptr;
        // The frame with the player out of sight is what the player stands on.
        game.player->x = -1000.0f;
        compose();
        ALLEGRO_BITMAP* under = al_clone_bitmap(frame);
        if (!withGround) {
            EXPECT_EQ(pixel(under, 350, 370), opaque(0, 0, 0));
        }
        game.player->x = 300.0f;
        game.player->y = 320.0f;
        compose();
        EXPECT_EQ(pixel(frame, 350, 370), testart::playerCellRgba(0, 0));
        // The sheet's colour keys let what is under the player show through.
        const int keyY = 320 + testart::keyRowY;
        for (int x : {300 + testart::keyGreyX, 300 + testart::keyGreenX, 299, 396})
            EXPECT_EQ(pixel(frame, x, keyY), pixel(under, x, keyY)) << x;
        EXPECT_EQ(pixel(frame, 700, 550), pixel(under, 700, 550));
        al_destroy_bitmap(under);
    }
    game.environment = ground;
}

TEST_F(FrameComposition, PlayerFrameFollowsMovement) {
    game.player->x = 300.0f;
    game.player->y = 320.0f;
    game.player->primaryKeys[Player::Right] = true;
    for (int i = 0; i < 5; ++i)
        game.player->update();
    compose();
    // Walking frame 1 of direction 2 (right), moved 5 steps of 2.2 pixels.
    EXPECT_EQ(pixel(frame, 361, 370), testart::playerCellRgba(1, 6 * 2 + 1));
}

TEST_F(FrameComposition, StatusTextsAtTheirPlacesWithTheCurrentFigures) {
    game.player->x = 400.0f;
    game.player->y = 400.0f;
    compose();
    // "2.200" at (5, 21) and "5.000" at (73, 21): five 8-pixel glyphs each.
    EXPECT_GT(whiteIn(5, 21, 40, 8), 0);
    EXPECT_GT(whiteIn(73, 21, 40, 8), 0);
    EXPECT_EQ(whiteIn(45, 21, 28, 8), 0);
    EXPECT_EQ(whiteIn(0, 0, 200, 21), 0);
    EXPECT_EQ(whiteIn(0, 29, 200, 259), 0);
    // "FPS 0.000000" at (0, 288): twelve glyphs, nothing after them.
    EXPECT_GT(whiteIn(0, 288, 96, 8), 0);
    EXPECT_EQ(whiteIn(96, 288, 40, 8), 0);
    EXPECT_EQ(whiteIn(0, 296, 200, 50), 0);

    ALLEGRO_BITMAP* before = al_clone_bitmap(frame);
    game.player->setWalkSpeed(3.4f);
    game.measuredFps = 60.123456;
    compose();
    int walkDiffers = 0, sprintDiffers = 0;
    for (int y = 21; y < 29; ++y) {
        for (int x = 5; x < 45; ++x)
            walkDiffers += !(pixel(frame, x, y) == pixel(before, x, y));
        for (int x = 73; x < 113; ++x)
            sprintDiffers += !(pixel(frame, x, y) == pixel(before, x, y));
    }
    EXPECT_GT(walkDiffers, 0);
    EXPECT_EQ(sprintDiffers, 0);
    // "FPS 60.123456" is one glyph longer than "FPS 0.000000".
    EXPECT_GT(whiteIn(96, 288, 8, 8), 0);
    al_destroy_bitmap(before);
}

TEST(DisplayManagerAlone, WithoutAWindowSaysSoAndComposesAnEmptyContextInBlack) {
    testsupport::ContextGuard context;
    DisplayManager manager(800, 600, DisplayManager::NoWindow::Tag);
    testing::internal::CaptureStderr();
    manager.drawFrame();
    manager.drawFrame();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Display was not created yet.\nDisplay was not created yet.\n");
    manager.initText();
    ALLEGRO_BITMAP* target = al_create_bitmap(64, 64);
    al_set_target_bitmap(target);
    al_clear_to_color(al_map_rgb(9, 9, 9));
    manager.composeFrame(target);
    EXPECT_EQ(pixel(target, 10, 10), opaque(0, 0, 0));
    manager.composeFrame(nullptr);
    al_destroy_bitmap(target);
}

} // namespace
