#pragma once

#include "map/MapWriter.h"

#include <cstdint>
#include <string>
#include <vector>

// Small maps built in memory for the map tests: solid-colour graphics, one block per
// graphic, and layers filled by a rule.
namespace MapWriterFixtures {

inline std::vector<MapWriter::Pixel> solidGraphic(int width, int height, MapWriter::Pixel colour) {
    return std::vector<MapWriter::Pixel>(static_cast<std::size_t>(width) * height, colour);
}

inline const MapWriter::Pixel clear{0, 0, 0, 0};

// graphic 0 transparent, then one solid graphic and one block per colour (block i shows
// graphic i); layers are absent until a test fills them.
inline MapWriter::MapContent solidMap(int mapWidth, int mapHeight,
                                      const std::vector<MapWriter::Pixel>& colours,
                                      int blockSize = 32) {
    MapWriter::MapContent map;
    map.mapWidth = mapWidth;
    map.mapHeight = mapHeight;
    map.blockWidth = blockSize;
    map.blockHeight = blockSize;
    map.graphics.push_back(solidGraphic(blockSize, blockSize, clear));
    map.blocks.push_back(MapWriter::Block{});
    for (const MapWriter::Pixel& c : colours) {
        MapWriter::Block block;
        block.background = static_cast<std::int32_t>(map.graphics.size());
        map.graphics.push_back(solidGraphic(blockSize, blockSize, c));
        map.blocks.push_back(block);
    }
    return map;
}

inline std::vector<std::int16_t> filledLayer(const MapWriter::MapContent& map, std::int16_t v) {
    return std::vector<std::int16_t>(static_cast<std::size_t>(map.mapWidth) * map.mapHeight, v);
}

} // namespace MapWriterFixtures
