#pragma once

#include "map/MapFormat.h"

#include <cstdint>
#include <string>
#include <vector>

// Builds map images in memory for the tests, the benchmarks and the fuzz corpus: chunks in the
// order they are added, each written as the caller says, so that broken maps can be built too.
// Values are given as the game reads them (block, graphic and sequence indices); the builder
// writes the file's form of them, including the byte offsets of type 0 maps. Run-length
// layers reuse the map writer's encoder.
class MapImageBuilder {
  public:
    struct Header {
        int versionMajor = 1, versionMinor = 0, byteOrder = 0, mapType = 1;
        int mapWidth = 4, mapHeight = 3, blockWidth = 4, blockHeight = 4, blockDepth = 32;
        int blockRecordSize = MapFormat::blockRecordSize, blockCount = 0, graphicCount = 0;
        int columnStep = 4, rowStep = 4, staggerX = 0, staggerY = 0;
        int length = MapFormat::headerSize; // shortHeaderSize leaves out the steps and stagger
    };
    using Block = MapFormat::BlockRecord;
    struct Animation {
        int type = 1, delay = 0, start = 0, end = 0, current = 0, counter = 0, userByte = 0;
    };
    using Bytes = std::vector<uint8_t>;

    Header header;

    MapImageBuilder& chunk(const char* id, const Bytes& data);
    MapImageBuilder& mphd();
    // Graphics bytes as written (big-endian two-byte pixels).
    MapImageBuilder& bgfx(const Bytes& pixels) { return chunk(MapFormat::graphicsChunk, pixels); }
    // Records padded to the header's record size.
    MapImageBuilder& bkdt(const std::vector<Block>& blocks);
    // `records` excludes the terminator, which the builder writes first.
    MapImageBuilder& andt(const std::vector<int>& sequence, const std::vector<Animation>& records);
    // Raw 16-bit numbers in the map's byte order (run lists of types 2 and 3 as written).
    MapImageBuilder& layerNumbers(const char* id, const std::vector<int>& numbers);
    // Cells (block indices, or negative animation numbers) encoded by the header's map type.
    MapImageBuilder& layer(const char* id, const std::vector<int>& cells);

    Bytes image() const;

  private:
    struct Chunk {
        std::string id;
        Bytes data;
    };

    // Each value in `size` bytes, in the header's byte order.
    void put(Bytes& d, int size, const std::vector<int>& values) const;

    std::vector<Chunk> chunks_;
};
