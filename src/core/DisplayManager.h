#pragma once

#include <allegro5/allegro.h>
#include <allegro5/allegro_font.h>

// Opens the game window and composes every frame in a fixed order: ground or map, player,
// characters, GUI, then the three status texts.
class DisplayManager {
public:
    DisplayManager(int width, int height);

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
