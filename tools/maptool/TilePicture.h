#pragma once

#include "MapWriter.h"
#include "TiledMap.h"

#include <cstdint>
#include <string>
#include <vector>

// The pixels of one tile as the import turns them into a block graphic: cut from its image,
// flipped the way Tiled flips it, and made to survive the map format's transparency rules.
namespace TilePicture {

// A tile's pixels, row by row.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<TiledModel::Rgba> pixels;
};

// The rectangle (left, top, width, height) of image that a tile covers, or false when it
// reaches outside the image.
bool cut(const TiledModel::Image& image, int left, int top, int width, int height, Pixels& out);

// Applies the three flip bits of a tile number (diagonal first, as a transpose, then
// horizontal, then vertical). A diagonal flip swaps width and height.
Pixels flip(const Pixels& source, std::uint32_t flags);

// What the game would show for an opaque colour at a depth: the colour after the depth's
// rounding.
MapWriter::Pixel storedColour(const MapWriter::Pixel& p, int depth);

// True when the game makes an opaque colour of this depth transparent (black at 15, 16, 24 and
// 32 bits, magenta and grey 64,64,64 once stored).
bool isKeyColour(const MapWriter::Pixel& p, int depth);

// The nearest colour to p that stays visible at the depth (p itself when it does).
MapWriter::Pixel nearestVisible(const MapWriter::Pixel& p, int depth);

// Counts of what the transparency rules changed, for the import's notes.
struct Counts {
    long long halfTransparent = 0; // alpha neither 0 nor 255
    long long keyColoured = 0;     // opaque pixels moved off a key colour
};

// One Tiled pixel as a block pixel: alpha below one half is transparent, the rest opaque and
// off the key colours.
MapWriter::Pixel toBlockPixel(const TiledModel::Rgba& p, int depth, Counts& counts);

} // namespace TilePicture
