#pragma once

#include "map/MapLibrary.h"

#include <allegro5/allegro.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace MapLibrary {

// The one map the library holds, shared by the loader, the graphics decoder, the drawing and
// the animation code. While `loaded` is true every cell of every present layer names an
// existing block structure or animation record, every block structure names existing
// graphics, every sequence entry that an animation can reach names an existing block, and
// every frame of an animation that a cell shows lies inside the sequence, so drawing never
// needs to re-check the file.
struct MapState {
    MapHeader header;
    bool loaded = false;

    std::vector<unsigned char> palette;  // CMAP bytes, 3 per entry
    std::vector<unsigned char> graphics; // BGFX bytes, released once the bitmaps exist
    bool graphicsSeen = false;
    std::vector<unsigned char> colours; // decoded graphics, 3 bytes (R, G, B) per pixel
    std::vector<BlockStructure> blocks;
    bool blocksSeen = false;
    std::vector<int32_t> sequence;
    std::vector<BlockAnimation> animations;              // terminator first
    std::array<std::vector<int16_t>, LayerSlots> layers; // empty: slot absent
    int currentLayer = -1;

    // graphicCount sub-bitmaps of the atlas pages, then a null entry.
    std::vector<ALLEGRO_BITMAP*> blockBitmaps;
    std::vector<ALLEGRO_BITMAP*> atlasPages;

    int lastError = MapOk;
    std::string errorDetail;
    std::vector<ChunkInfo> chunks;

    ALLEGRO_STATE drawState;
    bool drawStateSaved = false;
};

MapState& mapState();

// Sets lastError and the explanation tools print with it; returns -1 for the caller to pass on.
int fail(int code, const std::string& detail);

} // namespace MapLibrary
