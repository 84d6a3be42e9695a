#pragma once

#include <allegro5/allegro.h>

// The game's handle on the map library: loads a map by bare name, counts its layers, runs its
// script, and draws every layer each frame. While ready_ is set the library holds a map with
// at least layerCount_ consecutive layers from slot 0, so draw never reads a released layer.
class MapManager {
  public:
    MapManager();

    bool load(const char* name);
    bool isReady() const { return ready_; }
    void draw(ALLEGRO_BITMAP* target);
    void unload();
    int layerCount() const { return layerCount_; }
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
