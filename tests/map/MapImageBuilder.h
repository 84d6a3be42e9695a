#pragma once

#include "map/MapWriter.h"

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
        int blockRecordSize = 32, blockCount = 0, graphicCount = 0;
        int columnStep = 4, rowStep = 4, staggerX = 0, staggerY = 0;
        int length = 36; // MPHD data bytes: 28 leaves out the steps and the stagger
    };
    struct Block {
        int background = 0, foreground1 = 0, foreground2 = 0, foreground3 = 0;
        int userLong1 = 0, userLong2 = 0, userShort1 = 0, userShort2 = 0;
        int userByte1 = 0, userByte2 = 0, userByte3 = 0, flags = 0;
    };
    struct Animation {
        int type = 1, delay = 0, start = 0, end = 0, current = 0, counter = 0, userByte = 0;
    };
    using Bytes = std::vector<uint8_t>;

    Header header;

    MapImageBuilder& chunk(const char* id, const Bytes& data) {
        chunks_.push_back({std::string(id, 4), data});
        return *this;
    }

    MapImageBuilder& mphd() {
        const Header& h = header;
        Bytes d{uint8_t(h.versionMajor), uint8_t(h.versionMinor), uint8_t(h.byteOrder),
                uint8_t(h.mapType)};
        put(d, 2,
            {h.mapWidth, h.mapHeight, 0, 0, h.blockWidth, h.blockHeight, h.blockDepth,
             h.blockRecordSize, h.blockCount, h.graphicCount, 0, 0, h.columnStep, h.rowStep,
             h.staggerX, h.staggerY});
        d.resize(h.length, 0);
        return chunk("MPHD", d);
    }

    // Graphics bytes as written (big-endian two-byte pixels).
    MapImageBuilder& bgfx(const Bytes& pixels) { return chunk("BGFX", pixels); }

    MapImageBuilder& bkdt(const std::vector<Block>& blocks) {
        const Header& h = header;
        const int perGraphic =
            h.mapType == 0 ? h.blockWidth * h.blockHeight * ((h.blockDepth + 1) / 8) : 1;
        Bytes d;
        for (const Block& b : blocks) {
            const size_t start = d.size();
            put(d, 4,
                {b.background * perGraphic, b.foreground1 * perGraphic, b.foreground2 * perGraphic,
                 b.foreground3 * perGraphic, b.userLong1, b.userLong2});
            put(d, 2, {b.userShort1, b.userShort2});
            d.insert(d.end(), {uint8_t(b.userByte1), uint8_t(b.userByte2), uint8_t(b.userByte3),
                               uint8_t(b.flags)});
            d.resize(start + header.blockRecordSize, 0xEE);
        }
        return chunk("BKDT", d);
    }

    // `records` excludes the terminator, which the builder writes first.
    MapImageBuilder& andt(const std::vector<int>& sequence, const std::vector<Animation>& records) {
        const bool offsets = header.mapType == 0;
        const int n = int(sequence.size() * 4 + (records.size() + 1) * 16);
        Bytes d;
        for (int v : sequence)
            put(d, 4, {offsets ? v * header.blockRecordSize : v});
        auto index = [&](int i) { return offsets ? i * 4 - n : i; };
        std::vector<Animation> all{Animation{-1}};
        all.insert(all.end(), records.begin(), records.end());
        for (const Animation& a : all) {
            d.insert(d.end(),
                     {uint8_t(a.type), uint8_t(a.delay), uint8_t(a.counter), uint8_t(a.userByte)});
            put(d, 4, {index(a.current), index(a.start), index(a.end)});
        }
        return chunk("ANDT", d);
    }

    // Raw 16-bit numbers in the map's byte order (run lists of types 2 and 3 as written).
    MapImageBuilder& layerNumbers(const char* id, const std::vector<int>& numbers) {
        Bytes d;
        put(d, 2, numbers);
        return chunk(id, d);
    }

    // Cells (block indices, or negative animation numbers) encoded by the header's map type.
    MapImageBuilder& layer(const char* id, const std::vector<int>& cells) {
        std::vector<int> out;
        if (header.mapType >= 2) {
            const std::vector<int16_t> runs =
                MapWriter::encodeRuns(std::vector<int16_t>(cells.begin(), cells.end()),
                                      header.mapWidth, header.mapType == 3);
            out.assign(runs.begin(), runs.end());
        } else {
            for (int v : cells)
                out.push_back(header.mapType == 1 ? v : v * (v >= 0 ? header.blockRecordSize : 16));
        }
        return layerNumbers(id, out);
    }

    Bytes image() const {
        Bytes out{'F', 'O', 'R', 'M', 0, 0, 0, 0, 'F', 'M', 'A', 'P'};
        for (const auto& c : chunks_) {
            out.insert(out.end(), c.id.begin(), c.id.end());
            putBig32(out, uint32_t(c.data.size()));
            out.insert(out.end(), c.data.begin(), c.data.end());
        }
        const uint32_t length = uint32_t(out.size() - 8);
        for (int i = 0; i < 4; ++i)
            out[4 + i] = uint8_t(length >> (24 - 8 * i));
        return out;
    }

  private:
    struct Chunk {
        std::string id;
        Bytes data;
    };

    static void putBig32(Bytes& d, uint32_t v) {
        d.insert(d.end(), {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)});
    }

    // Each value in `size` bytes, in the header's byte order.
    void put(Bytes& d, int size, const std::vector<int>& values) const {
        for (int value : values)
            for (int i = 0; i < size; ++i) {
                const int byte = header.byteOrder == 1 ? i : size - 1 - i;
                d.push_back(uint8_t(uint32_t(value) >> (8 * byte)));
            }
    }

    std::vector<Chunk> chunks_;
};
