#pragma once

#include "MapImageBuilder.h"
#include "MapWriter.h"
#include "core/TestSupport.h"
#include "map/MapLibrary.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

// Shared helpers of the map tests: solid-colour maps built raw or through the map writer.
namespace maptest {

using testsupport::Rgba;
using Bytes = std::vector<uint8_t>;

inline constexpr auto& pixelAt = testsupport::pixel;

inline int decode(const Bytes& image, int makeTransparent = 1) {
    return MapLibrary::decodeMap(image.data(), image.size(), makeTransparent);
}

// The colour of graphic i: distinct and never a masked colour.
inline Rgba graphicColour(int i) {
    return {(10 + i * 7) % 256, 100, (i * 37) % 256, 255};
}

// A map of `blocks` blocks and 32-bit graphics, `blockSize` pixels square; solidChunks adds
// MPHD, BKDT (block i shows graphic i), BGFX (graphic i in graphicColour(i)) and the BODY.
inline MapImageBuilder solidHeader(int width, int height, int blockSize, int blocks) {
    MapImageBuilder b;
    b.header.mapWidth = width;
    b.header.mapHeight = height;
    b.header.blockWidth = b.header.blockHeight = blockSize;
    b.header.columnStep = b.header.rowStep = blockSize;
    b.header.blockCount = b.header.graphicCount = blocks;
    return b;
}

inline MapImageBuilder& addSolidChunks(MapImageBuilder& b, const std::vector<int>& cells) {
    std::vector<MapImageBuilder::Block> records(b.header.blockCount);
    Bytes pixels;
    for (int i = 0; i < b.header.blockCount; ++i) {
        records[i].background = i;
        const Rgba c = graphicColour(i);
        for (int p = 0; p < b.header.blockWidth * b.header.blockHeight; ++p)
            pixels.insert(pixels.end(), {0x5A, uint8_t(c.r), uint8_t(c.g), uint8_t(c.b)});
    }
    return b.mphd().bkdt(records).bgfx(pixels).layer("BODY", cells);
}

inline MapImageBuilder solidMap(int width, int height, int blockSize, int blocks,
                                const std::vector<int>& cells) {
    MapImageBuilder b = solidHeader(width, height, blockSize, blocks);
    addSolidChunks(b, cells);
    return b;
}

// The writer's form: graphic 0 clear, then one graphic and one block per colour (block i shows
// graphic i); every layer absent until a test fills it.
inline MapWriter::MapContent
writerMap(int width, int height, const std::vector<MapWriter::Pixel>& colours, int blockSize = 32) {
    MapWriter::MapContent map;
    map.mapWidth = width;
    map.mapHeight = height;
    map.blockWidth = map.blockHeight = blockSize;
    const size_t pixels = size_t(blockSize) * blockSize;
    map.graphics.push_back(std::vector<MapWriter::Pixel>(pixels, MapWriter::Pixel{0, 0, 0, 0}));
    map.blocks.resize(colours.size() + 1);
    for (size_t i = 0; i < colours.size(); ++i) {
        map.blocks[i + 1].background = int32_t(i + 1);
        map.graphics.push_back(std::vector<MapWriter::Pixel>(pixels, colours[i]));
    }
    return map;
}

inline std::vector<int16_t> filledLayer(const MapWriter::MapContent& map, int16_t v) {
    return std::vector<int16_t>(size_t(map.mapWidth) * map.mapHeight, v);
}

// Frees the map after every test, so no test sees another's map.
class MapTest : public ::testing::Test {
  protected:
    void TearDown() override { MapLibrary::freeMap(); }
};

} // namespace maptest
