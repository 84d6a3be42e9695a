#pragma once

#include "core/TestSupport.h"
#include "map/MapImageBuilder.h"
#include "map/MapLibrary.h"

#include <allegro5/allegro.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

// Shared helpers of the map library tests: decoding built images, solid graphics of every
// depth, and reading pixels back.
namespace maptest {

using testsupport::Rgba;

inline Rgba pixelAt(ALLEGRO_BITMAP* bitmap, int x, int y) {
    return testsupport::pixel(bitmap, x, y);
}

inline int decode(const std::vector<uint8_t>& image, int makeTransparent = 1) {
    return MapLibrary::decodeMap(image.data(), image.size(), makeTransparent);
}

// One pixel of a 32-bit graphic; the first byte is not read, so it carries noise.
inline std::vector<uint8_t> pixel32(int r, int g, int b) {
    return {0x5A, uint8_t(r), uint8_t(g), uint8_t(b)};
}

// `count` graphics of `size` pixels each, graphic i filled with colours[i].
inline std::vector<uint8_t> solidGraphics(const std::vector<std::vector<uint8_t>>& colours,
                                          int size) {
    std::vector<uint8_t> out;
    for (const auto& pixel : colours)
        for (int i = 0; i < size; ++i)
            out.insert(out.end(), pixel.begin(), pixel.end());
    return out;
}

// The colour of graphic i in the drawing tests: distinct and never a masked colour.
inline Rgba graphicColour(int i) {
    return {(10 + i * 7) % 256, 100, (i * 37) % 256, 255};
}

// The header of a map of `blocks` solid graphics and blocks, `blockSize` pixels square.
inline MapImageBuilder solidHeader(int width, int height, int blockSize, int blocks) {
    MapImageBuilder b;
    b.header.mapWidth = width;
    b.header.mapHeight = height;
    b.header.blockWidth = b.header.blockHeight = blockSize;
    b.header.columnStep = b.header.rowStep = blockSize;
    b.header.blockCount = b.header.graphicCount = blocks;
    return b;
}

// MPHD, BKDT (block i shows graphic i), BGFX (graphic i filled with graphicColour(i), 32-bit)
// and the cells as BODY.
inline MapImageBuilder& addSolidChunks(MapImageBuilder& b, const std::vector<int>& cells) {
    const int blocks = b.header.blockCount;
    std::vector<MapImageBuilder::Block> records(blocks);
    std::vector<std::vector<uint8_t>> colours;
    for (int i = 0; i < blocks; ++i) {
        records[i].background = i;
        const Rgba c = graphicColour(i);
        colours.push_back(pixel32(c.r, c.g, c.b));
    }
    b.mphd().bkdt(records).bgfx(solidGraphics(colours, b.header.blockWidth * b.header.blockHeight));
    return b.layer("BODY", cells);
}

inline MapImageBuilder solidMap(int width, int height, int blockSize, int blocks,
                                const std::vector<int>& cells) {
    MapImageBuilder b = solidHeader(width, height, blockSize, blocks);
    addSolidChunks(b, cells);
    return b;
}

// Frees the map after every test, so no test sees another's map.
class MapTest : public ::testing::Test {
  protected:
    void TearDown() override { MapLibrary::freeMap(); }
};

} // namespace maptest
