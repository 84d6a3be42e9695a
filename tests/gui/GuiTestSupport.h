#pragma once

// Helpers shared by the GUI and world tests (header only, as each test folder is its own
// program): a game context filled with just the managers a test needs, small solid bitmaps,
// pixel checks on memory bitmaps and captured console output.

#include "core/GameContext.h"
#include "core/TestSupport.h"
#include "gui/Gui.h"
#include "gui/PortraitStore.h"
#include "map/MapManager.h"
#include "player/Player.h"
#include "script/ScriptHost.h"
#include "world/Conversation.h"
#include "world/Environment.h"
#include "world/NpcManager.h"

#include <allegro5/allegro.h>
#include <gtest/gtest.h>

#include <string>

// Empties the global game context for one test and again afterwards, destroying whatever
// the test put there.
class ScopedGame {
  public:
    ScopedGame() { game = GameContext{}; }
    ~ScopedGame() { deleteManagers(game); }
    ScopedGame(const ScopedGame&) = delete;
    ScopedGame& operator=(const ScopedGame&) = delete;
};

// Runs the function with the standard error stream captured and returns what it wrote.
template <typename Function> std::string capturedStderr(Function function) {
    testing::internal::CaptureStderr();
    function();
    return testing::internal::GetCapturedStderr();
}

// A memory bitmap of one colour, released with the returned holder.
struct BitmapHolder {
    ALLEGRO_BITMAP* bitmap;
    explicit BitmapHolder(ALLEGRO_BITMAP* b) : bitmap(b) {}
    ~BitmapHolder() { al_destroy_bitmap(bitmap); }
    BitmapHolder(const BitmapHolder&) = delete;
    BitmapHolder& operator=(const BitmapHolder&) = delete;
    operator ALLEGRO_BITMAP*() const { return bitmap; }
};

inline ALLEGRO_BITMAP* solidBitmap(int width, int height, ALLEGRO_COLOR colour) {
    ALLEGRO_BITMAP* bitmap = al_create_bitmap(width, height);
    ALLEGRO_BITMAP* previous = al_get_target_bitmap();
    al_set_target_bitmap(bitmap);
    al_clear_to_color(colour);
    al_set_target_bitmap(previous);
    return bitmap;
}

using testsupport::Rgba;

inline Rgba rgb(int r, int g, int b) {
    return testsupport::opaque(r, g, b);
}

inline Rgba pixelAt(ALLEGRO_BITMAP* bitmap, int x, int y) {
    return testsupport::pixel(bitmap, x, y);
}
