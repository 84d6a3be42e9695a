#include "core/DisplayManager.h"

#include "core/HeadlessGame.h"
#include "core/TestArt.h"
#include "core/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using testsupport::opaque;
using testsupport::pixel;
using testsupport::textMask;
using testsupport::whiteMask;

// Frames of the whole game composed into an 800 x 600 memory bitmap. The bitmap font is
// missing in the test tree, so the status texts use Allegro's built-in font.
class FrameComposition : public testing::Test {
  protected:
    FrameComposition() {
        testart::writePlayerSheet();
        headless = std::make_unique<HeadlessGame>();
        frame = al_create_bitmap(800, 600);
        game.player->x = 300.0f;
        game.player->y = 320.0f;
    }
    ~FrameComposition() override { al_destroy_bitmap(frame); }

    void compose() { game.displayManager->composeFrame(frame); }

    testsupport::ScratchDir dir;
    std::unique_ptr<HeadlessGame> headless;
    ALLEGRO_BITMAP* frame = nullptr;
};

// The player over the ground: the sheet's colour keys let the ground show through.
TEST_F(FrameComposition, PlayerOverTheGround) {
    game.player->x = -1000.0f; // out of sight: the frame shows what the player stands on
    compose();
    ALLEGRO_BITMAP* under = al_clone_bitmap(frame);
    game.player->x = 300.0f;
    compose();
    EXPECT_EQ(pixel(frame, 350, 370), testart::playerCellRgba(0, 0));
    const int keyY = 320 + testart::keyRowY;
    for (int x : {300 + testart::keyGreyX, 300 + testart::keyGreenX, 299, 396})
        EXPECT_EQ(pixel(frame, x, keyY), pixel(under, x, keyY)) << x;
    al_destroy_bitmap(under);
}

TEST_F(FrameComposition, PlayerFrameFollowsMovement) {
    game.player->primaryKeys[Player::Right] = true;
    for (int i = 0; i < 5; ++i)
        game.player->update();
    compose();
    // Walking frame 1 of direction 2 (right), moved 5 steps of 2.2 pixels.
    EXPECT_EQ(pixel(frame, 361, 370), testart::playerCellRgba(1, 6 * 2 + 1));
}

// The walking and sprinting speeds at (5, 21) and (73, 21), the event rate at (0, 288).
TEST_F(FrameComposition, StatusTextsAtTheirPlacesWithTheCurrentFigures) {
    ASSERT_NE(textMask("0", 8), std::string(64, '.'));
    compose();
    EXPECT_EQ(whiteMask(frame, 5, 21, 64, 8), textMask("2.200", 64));
    EXPECT_EQ(whiteMask(frame, 73, 21, 64, 8), textMask("5.000", 64));
    EXPECT_EQ(whiteMask(frame, 0, 288, 128, 8), textMask("FPS 0.000000", 128));
    game.player->setSprintSpeed(0.125f);
    game.measuredFps = 60.123456;
    compose();
    EXPECT_EQ(whiteMask(frame, 73, 21, 64, 8), textMask("0.125", 64));
    EXPECT_EQ(whiteMask(frame, 0, 288, 128, 8), textMask("FPS 60.123456", 128));
}

TEST(DisplayManagerAlone, WithoutAWindowSaysSoAndComposesAnEmptyContextInBlack) {
    testsupport::ContextGuard context;
    DisplayManager manager(800, 600, DisplayManager::NoWindow::Tag);
    testing::internal::CaptureStderr();
    manager.drawFrame();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Display was not created yet.\n");
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
