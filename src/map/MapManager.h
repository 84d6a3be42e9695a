#pragma once

#include "map/MapAnimator.h"

#include <allegro5/allegro.h>

#include <cstdint>
#include <string_view>
#include <vector>

// The game's handle on the map library: loads a map by bare name, counts its layers, runs its
// script, and draws every layer each frame. While ready_ is set the library holds a map with
// at least layerCount_ consecutive layers from slot 0, so draw never reads a released layer.
class MapManager {
  public:
    MapManager();

    // A bare map name: not empty, short enough for its paths, no folder, no zero byte.
    static bool isMapName(std::string_view name);

    // loadFile, then runScript.
    bool load(const char* name);
    // Reads the map file and counts its layers. A map that cannot be loaded is reported and
    // the map loaded before stays, whole.
    bool loadFile(const char* name);
    // Runs the map's own script.
    void runScript(const char* name);
    bool isReady() const { return ready_; }
    void draw(ALLEGRO_BITMAP* target);
    void unload();
    int layerCount() const { return layerCount_; }

    // The cells of the loaded map as collision sees them: a cell is solid when the block it
    // shows on any drawn layer has the solid flag. Empty while no map is ready.
    struct SolidCells {
        int cellWidth = 0;
        int cellHeight = 0;
        int columns = 0;
        int rows = 0;
        std::vector<uint8_t> solid; // columns x rows, row by row
    };
    SolidCells solidCells() const;
    // The same for whatever map the library holds, over its first `layerCount` layers.
    static SolidCells solidCellsOf(int layerCount);
    int loadResult() const { return loadResult_; }
    // Goes up whenever what the map looks like changes (a load or an unload), so that a
    // picture composed of it knows to be made anew.
    int changeCount() const { return changeCount_; }

    // A pixel rectangle of the window.
    struct Area {
        int x;
        int y;
        int width;
        int height;
    };
    // One tick, while the map's script has switched map animation on: the block animations
    // advance, and the cells that now show another block are kept for changedAreas.
    void animate();
    // The areas of the cells that changed since the last call, neighbours joined into
    // rectangles that hold changed cells only. When a cell cannot be drawn
    // again on its own (blocks that reach beyond their cell, staggered rows), the whole map
    // counts as changed: changeCount goes up and no area is given.
    std::vector<Area> takeChangedAreas();
    // Draws every layer of the map inside the area into the target, clipped to it, with the
    // very pixels draw gives there.
    void drawArea(ALLEGRO_BITMAP* target, const Area& area);

  private:
    int countLayers() const;
    bool cellsDrawAlone() const;
    void remakePicture() { ++changeCount_; }

    bool ready_ = false;
    int loadResult_ = 0;
    int layerCount_ = 0;
    int changeCount_ = 0;
    MapAnimator animator_;
};
