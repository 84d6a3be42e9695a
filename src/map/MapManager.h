#pragma once

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
    int loadResult() const { return loadResult_; }
    // Goes up whenever what the map looks like changes (a load or an unload), so that a
    // picture composed of it knows to be made anew.
    int changeCount() const { return changeCount_; }

  private:
    int countLayers() const;
    void remakePicture() { ++changeCount_; }

    bool ready_ = false;
    int loadResult_ = 0;
    int layerCount_ = 0;
    int changeCount_ = 0;
};
