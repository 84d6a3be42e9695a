#pragma once

#include <allegro5/allegro.h>
#include <allegro5/allegro_font.h>

// Opens the game window and composes every frame in a fixed order: ground or map, player,
// characters, GUI, then the three status texts. The window handle lives in the game context;
// width and height are set only once a window exists (or for a window-less manager in tests).
class DisplayManager {
  public:
    static constexpr const char* windowTitle = "Fennow-Online";

    // Marks the constructor that opens no window: frames are composed into given bitmaps only.
    enum class NoWindow { Tag };

    DisplayManager(int width, int height);
    DisplayManager(int width, int height, NoWindow);

    void initText();
    int width() const { return width_; }
    int height() const { return height_; }
    void drawFrame();
    void composeFrame(ALLEGRO_BITMAP* target);

    ALLEGRO_COLOR textColour{};

  private:
    int width_ = 0;
    int height_ = 0;
    ALLEGRO_FONT* textFont_ = nullptr;
};
