#pragma once

#include "map/MapFormat.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Writes tile-map files in the chunked format that the map library reads. The map tool builds
// the game's maps with it, and tests build their fixtures with it. Everything here is plain
// data and bytes: no Allegro, no files.
namespace MapWriter {

// One pixel of a block graphic as the author drew it; alpha 0 means transparent.
struct Pixel {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    std::uint8_t a = 255;
    bool operator==(const Pixel& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
};

// What a cell shows. Graphic fields are indices into MapContent::graphics.
using Block = MapFormat::BlockRecord;

// One animation: its frames are the sequence entries start .. end - 1 (block indices).
using Animation = MapFormat::AnimationRecord;

enum class ByteOrder { Little, Big };

// A whole map in the writer's terms. Cells hold a block index (v >= 0) or an animation
// reference exactly as the file stores it (v = -1 is the last animation, -2 the one before).
struct MapContent {
    int mapType = 2;     // 0..3
    int blockDepth = 32; // 8, 15, 16, 24 or 32
    ByteOrder byteOrder = ByteOrder::Little;
    int versionMajor = 1;
    int versionMinor = 0;
    int mapWidth = 0;
    int mapHeight = 0;
    int blockWidth = 32;
    int blockHeight = 32;
    // A short header (28 bytes) leaves the steps to the block size and has no stagger.
    bool shortHeader = false;
    int columnStep = 0; // 0: the block width
    int rowStep = 0;    // 0: the block height
    int staggerX = 0;
    int staggerY = 0;
    std::string note; // written as a NOVC chunk when not empty

    // graphicCount graphics of blockWidth x blockHeight pixels, row by row.
    std::vector<std::vector<Pixel>> graphics;
    std::vector<Block> blocks;
    std::vector<std::int32_t> sequence;
    std::vector<Animation> animations; // in file order, without the terminator record
    // Slot 0 is BODY, slots 1..7 are LYR1..LYR7; an empty vector is an absent layer.
    std::array<std::vector<std::int16_t>, MapFormat::LayerSlots> layers;
};

// Whether the format can hold the content: sizes and counts within the format's limits,
// every graphic, frame and cell naming something that exists. False with a one-line reason.
// writeMap checks this first; the tools that build content check it before writing anything.
bool checkContent(const MapContent& map, std::string& error);

// The file image, or an empty vector with a one-line reason in error.
std::vector<unsigned char> writeMap(const MapContent& map, std::string& error);

// The cell runs of one layer in the type 2 or type 3 encoding, as 16-bit values (exposed so
// tests can check that repeated patterns really shrink).
std::vector<std::int16_t> encodeRuns(const std::vector<std::int16_t>& cells, int mapWidth,
                                     bool backReferences);

} // namespace MapWriter
