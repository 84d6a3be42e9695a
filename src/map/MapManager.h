#pragma once

#include <allegro5/allegro.h>

// The game's handle on the map library: loads a map by bare name, counts its layers, runs its
// script, and draws every layer each frame.
class MapManager {
public:
    MapManager();

    bool load(const char* name);
    bool isReady() const { return ready_; }
    void draw(ALLEGRO_BITMAP* target);
    void unload();
    int layerCount() const { return layerCount_; }
    int loadResult() const { return loadResult_; }

private:
    bool ready_ = false;
    int loadResult_ = 0;
    int layerCount_ = 0;
};
