#pragma once

#include <cstdint>

// The facts of the chunked map file that the loader reads and the tools write: chunk ids,
// record sizes, layer slots and the limits that 16-bit fields put on a map.
namespace MapFormat {

// The 12-byte container: "FORM", a big-endian length, "FMAP"; then the chunks.
constexpr char containerId[] = "FORM";
constexpr char mapId[] = "FMAP";
constexpr int containerHeaderSize = 12;
constexpr int chunkHeaderSize = 8; // id and big-endian length

constexpr char headerChunk[] = "MPHD";
constexpr char paletteChunk[] = "CMAP";
constexpr char blockChunk[] = "BKDT";
constexpr char animationChunk[] = "ANDT";
constexpr char graphicsChunk[] = "BGFX";
constexpr char animatedGraphicsChunk[] = "AGFX"; // refused by the loader
constexpr char noteChunk[] = "NOVC";

// Slot 0 is BODY, slots 1..7 LYR1..LYR7.
constexpr int LayerSlots = 8;
constexpr const char* layerChunks[LayerSlots] = {"BODY", "LYR1", "LYR2", "LYR3",
                                                 "LYR4", "LYR5", "LYR6", "LYR7"};

// MPHD data bytes: the short form leaves out the steps and the stagger.
constexpr int shortHeaderSize = 28;
constexpr int headerSize = 36;
// Bytes of one BKDT record as written, and of one ANDT animation record.
constexpr int blockRecordSize = 32;
constexpr int animationRecordSize = 16;

// The pixel depths the tools write; the loader takes any, and depths below 7 store no bytes.
constexpr bool isToolDepth(int depth) {
    return depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32;
}
constexpr int pixelBytes(int depth) {
    return depth < 7 ? 0 : (depth + 1) / 8;
}

// Sizes and counts are 16-bit fields; the tools keep block sides to 1..1024 pixels.
constexpr int mostMapSide = 32767;
constexpr int mostBlockSide = 1024;
constexpr int mostBlocks = 32767;
constexpr int mostGraphics = 32767;
// Type 0 stores an animation cell as -16 times its number in 16 bits, the terminator record
// included: 2048 records reach -32768.
constexpr int mostAnimations = 2047;

// One BKDT record. The four graphic fields are graphic indices (type 0 files store byte
// offsets into BGFX); a foreground of 0 means none.
struct BlockRecord {
    std::int32_t background = 0;
    std::int32_t foreground1 = 0;
    std::int32_t foreground2 = 0;
    std::int32_t foreground3 = 0;
    std::int32_t userLong1 = 0;
    std::int32_t userLong2 = 0;
    std::int16_t userShort1 = 0;
    std::int16_t userShort2 = 0;
    std::uint8_t userByte1 = 0;
    std::uint8_t userByte2 = 0;
    std::uint8_t userByte3 = 0;
    std::uint8_t flags = 0;
};

// One animation record (16 bytes in the file). type -1 marks the terminator record. current,
// start and end are indices into the sequence of block indices; end is one past the last frame.
struct AnimationRecord {
    std::int8_t type = 0;
    std::int8_t delay = 0;
    std::int8_t counter = 0;
    std::int8_t userByte = 0;
    std::int32_t current = 0;
    std::int32_t start = 0;
    std::int32_t end = 0;
};

// The bit of a block's flags that makes the cells showing it solid once a map script has
// switched collision on.
constexpr std::uint8_t SolidFlag = 1;

} // namespace MapFormat
