#pragma once

#include <allegro5/allegro.h>

#include <cstddef>
#include <cstdint>

// The map library holds exactly one tile map in module state. These are its operations;
// the state itself lives in MapState.h, shared by MapLoader, BlockGraphics, LayerDrawing and
// BlockAnimation.
namespace MapLibrary {

enum MapError {
    MapOk = 0,
    MapOutOfMemory = 1,
    MapBadFile = 2,
    MapCannotOpen = 3,
    MapNoSystem = 4,
    MapNoBitmap = 6,
    MapTooNew = 7,
    MapUnsupported = 8,
};

// 0 on success, -1 on failure with lastError() set.
int loadMap(const char* path, int makeTransparent);
// The same checks and chunk walk over a map image already in memory.
int decodeMap(const unsigned char* data, std::size_t size, int makeTransparent);
void freeMap();
int lastError();
// "MapOk" .. "MapUnsupported".
const char* errorName(int code);
int selectLayer(int n);
void drawBackground(int mapX, int mapY, int screenX, int screenY, int screenWidth,
                    int screenHeight);
void resetAnimations();
void updateAnimations();

} // namespace MapLibrary
