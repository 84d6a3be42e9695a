#include "core/MainLoop.h"

#include "core/HeadlessGame.h"
#include "core/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>

namespace {

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

ALLEGRO_EVENT eventOf(ALLEGRO_EVENT_TYPE type, int keycode = 0) {
    ALLEGRO_EVENT event{};
    event.type = type;
    event.keyboard.keycode = keycode;
    return event;
}

ALLEGRO_EVENT mouseEvent(ALLEGRO_EVENT_TYPE type, int x, int y, int button = 1) {
    ALLEGRO_EVENT event = eventOf(type);
    event.mouse.x = x;
    event.mouse.y = y;
    event.mouse.button = button;
    return event;
}

// Events handed to a whole game built without a window (no art: placeholders).
class EventDispatch : public testing::Test {
  protected:
    testsupport::ScratchDir dir;
    std::unique_ptr<HeadlessGame> headless = std::make_unique<HeadlessGame>();
};

// Only the timer asks for a redraw; only closing the window or the Quit key quits.
TEST_F(EventDispatch, RedrawAndQuitPerEvent) {
    struct Row {
        ALLEGRO_EVENT_TYPE type;
        int keycode;
        bool redraw, quits;
    };
    const Row rows[] = {
        {ALLEGRO_EVENT_TIMER, 0, true, false},
        {ALLEGRO_EVENT_KEY_DOWN, ALLEGRO_KEY_LEFT, false, false},
        {ALLEGRO_EVENT_DISPLAY_RESIZE, 0, false, false},
        {ALLEGRO_EVENT_JOYSTICK_AXIS, 0, false, false},
        {ALLEGRO_EVENT_KEY_UP, ALLEGRO_KEY_ESCAPE, false, true},
        {ALLEGRO_EVENT_DISPLAY_CLOSE, 0, false, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.type);
        game.quit = false;
        CaptureStderr();
        EXPECT_EQ(dispatchEvent(eventOf(row.type, row.keycode)), row.redraw);
        EXPECT_EQ(GetCapturedStderr(), "");
        EXPECT_EQ(game.quit, row.quits);
    }
}

// Key downs and ups go to the bindings (typed characters do not); ticks move the player; the
// pointer goes to the Gui and clicks it does not take to the Environment, for every button.
TEST_F(EventDispatch, KeysTicksPointerAndClicksReachTheirManagers) {
    dispatchEvent(eventOf(ALLEGRO_EVENT_KEY_DOWN, ALLEGRO_KEY_DOWN));
    dispatchEvent(eventOf(ALLEGRO_EVENT_TIMER));
    dispatchEvent(eventOf(ALLEGRO_EVENT_KEY_UP, ALLEGRO_KEY_DOWN));
    dispatchEvent(eventOf(ALLEGRO_EVENT_KEY_CHAR, ALLEGRO_KEY_DOWN));
    dispatchEvent(eventOf(ALLEGRO_EVENT_TIMER));
    EXPECT_FLOAT_EQ(game.player->y, 2.2f);
    dispatchEvent(mouseEvent(ALLEGRO_EVENT_MOUSE_AXES, 123, 456));
    EXPECT_EQ(game.gui->mouseY(), 456.0f);
    dispatchEvent(mouseEvent(ALLEGRO_EVENT_MOUSE_ENTER_DISPLAY, 600, 100));
    dispatchEvent(mouseEvent(ALLEGRO_EVENT_MOUSE_LEAVE_DISPLAY, 1, 1));
    EXPECT_EQ(game.gui->mouseX(), 600.0f);
    // A click in the chat box area goes to the Gui, elsewhere to the Environment.
    const std::string toGui =
        "Gui handled mouse down event\nLine response was -1\nGui handled mouse up event\n";
    const std::string toWorld =
        "Mouse down event thrown to Environment\nMouse up event thrown to Environment\n";
    for (int button : {1, 2, 3})
        for (const auto& [x, y, console] : {std::tuple{600, 100, toWorld}, {300, 500, toGui}}) {
            dispatchEvent(mouseEvent(ALLEGRO_EVENT_MOUSE_AXES, x, y));
            CaptureStderr();
            dispatchEvent(mouseEvent(ALLEGRO_EVENT_MOUSE_BUTTON_DOWN, 0, 0, button));
            dispatchEvent(mouseEvent(ALLEGRO_EVENT_MOUSE_BUTTON_UP, 0, 0, button));
            EXPECT_EQ(GetCapturedStderr(), console) << "button " << button << " at " << x;
        }
}

TEST(EventDispatchAlone, EmptyContextIsSafe) {
    testsupport::ContextGuard context;
    CaptureStderr();
    EXPECT_TRUE(dispatchEvent(eventOf(ALLEGRO_EVENT_TIMER)));
    dispatchEvent(eventOf(ALLEGRO_EVENT_KEY_DOWN, ALLEGRO_KEY_UP));
    dispatchEvent(mouseEvent(ALLEGRO_EVENT_MOUSE_AXES, 5, 5));
    dispatchEvent(mouseEvent(ALLEGRO_EVENT_MOUSE_BUTTON_DOWN, 5, 5));
    EXPECT_EQ(GetCapturedStderr(), "Mouse down event thrown to Environment\n");
}

TEST(EventRate, MeasuresEventsPerSecondOfEachWindow) {
    testsupport::ContextGuard context;
    double windowStart = 10.0;
    int count = 0;
    for (int i = 0; i < 59; ++i)
        countEvent(10.0 + i / 60.0, windowStart, count);
    countEvent(10.999, windowStart, count);
    EXPECT_EQ(game.measuredFps, 0.0);
    EXPECT_EQ(count, 60);
    countEvent(11.0, windowStart, count);
    EXPECT_DOUBLE_EQ(game.measuredFps, 60.0);
    EXPECT_EQ(windowStart, 11.0);
    EXPECT_EQ(count, 1);
    countEvent(13.0, windowStart, count);
    EXPECT_DOUBLE_EQ(game.measuredFps, 0.5);
}

} // namespace
