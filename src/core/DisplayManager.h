#pragma once

#include <allegro5/allegro.h>
#include <allegro5/allegro_font.h>

#include "core/GameContext.h"
#include "gfx/MapPicture.h"

#include <memory>

class Environment;

// Opens the game window and composes every frame in a fixed order: ground or map, player,
// characters, GUI, then the three status texts. The window handle lives in the game context;
// the view's width and height go into the context only once a window exists (or for a
// window-less manager).
// The world at the bottom of the frame never changes between map loads, so it is composed
// once into a picture and copied onto each frame; the picture is made anew on every load.
class DisplayManager {
  public:
    static constexpr const char* windowTitle = "Fennow-Online";
    static constexpr int windowWidth = 800;
    static constexpr int windowHeight = 600;

    // Marks the constructor that opens no window: frames are composed into given bitmaps only.
    enum class NoWindow { Tag };

    DisplayManager(int width, int height);
    DisplayManager(int width, int height, NoWindow);

    void initText();
    int width() const { return game.viewWidth; }
    int height() const { return game.viewHeight; }
    void drawFrame();
    void composeFrame(ALLEGRO_BITMAP* target);
    // The frame's world, over the cleared target: the picture of the map or of the ground, or
    // the Environment's own drawing where no picture can stand in for it.
    void drawWorld(ALLEGRO_BITMAP* target);
    // The one call for whatever changes what the map looks like (a load): the next frame
    // composes the picture anew.
    void remakeMapPicture();
    // Draws the world layer by layer every frame instead of the picture, for comparisons; the
    // environment variable FENNOW_DRAW_LAYERS=1 sets it at construction.
    void setDrawLayerByLayer(bool layerByLayer) { layerByLayer_ = layerByLayer; }

    ALLEGRO_COLOR textColour{};

  private:
    ALLEGRO_FONT* textFont_ = nullptr;
    std::unique_ptr<MapPicture> mapPicture_;
    const Environment* pictured_ = nullptr;
    int picturedMapChanges_ = 0;
    bool layerByLayer_ = false;
};
