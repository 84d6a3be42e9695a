#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

// Builds map images in memory for the tests and the fuzz corpus: the FORM container, chunks in
// the order they are added, and encoders for the header, blocks, animations, layers of every
// type and graphics of every depth. Values are given as the game reads them (block indices,
// graphic indices, sequence indices); the builder writes the file's form of them, including the
// byte offsets of type 0 maps.
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

    Header header;

    bool little() const { return header.byteOrder == 1; }

    // Raw chunk.
    MapImageBuilder& chunk(const char* id, const std::vector<uint8_t>& data) {
        chunks_.push_back({std::string(id, 4), data});
        return *this;
    }

    MapImageBuilder& mphd() {
        const Header& h = header;
        std::vector<uint8_t> d{uint8_t(h.versionMajor), uint8_t(h.versionMinor),
                               uint8_t(h.byteOrder), uint8_t(h.mapType)};
        put16(d, h.mapWidth);
        put16(d, h.mapHeight);
        put32(d, 0);
        for (int v : {h.blockWidth, h.blockHeight, h.blockDepth, h.blockRecordSize, h.blockCount,
                      h.graphicCount})
            put16(d, v);
        put32(d, 0);
        for (int v : {h.columnStep, h.rowStep, h.staggerX, h.staggerY})
            put16(d, v);
        d.resize(h.length, 0);
        return chunk("MPHD", d);
    }

    MapImageBuilder& cmap(const std::vector<uint8_t>& rgb) { return chunk("CMAP", rgb); }

    MapImageBuilder& bkdt(const std::vector<Block>& blocks) {
        std::vector<uint8_t> d;
        const long long perGraphic = graphicBytes();
        auto graphic = [&](int g) { return header.mapType == 0 ? int(g * perGraphic) : g; };
        for (const Block& b : blocks) {
            const size_t start = d.size();
            for (int v : {graphic(b.background), graphic(b.foreground1), graphic(b.foreground2),
                          graphic(b.foreground3), b.userLong1, b.userLong2})
                put32(d, v);
            put16(d, b.userShort1);
            put16(d, b.userShort2);
            d.insert(d.end(), {uint8_t(b.userByte1), uint8_t(b.userByte2), uint8_t(b.userByte3),
                               uint8_t(b.flags)});
            d.resize(start + header.blockRecordSize, 0xEE);
        }
        return chunk("BKDT", d);
    }

    // `records` excludes the terminator, which the builder writes first.
    MapImageBuilder& andt(const std::vector<int>& sequence, const std::vector<Animation>& records) {
        std::vector<uint8_t> d;
        const int n = int(sequence.size() * 4 + (records.size() + 1) * 16);
        for (int v : sequence)
            put32(d, header.mapType == 0 ? v * header.blockRecordSize : v);
        auto index = [&](int i) { return header.mapType == 0 ? i * 4 - n : i; };
        Animation terminator;
        terminator.type = -1;
        std::vector<Animation> all{terminator};
        all.insert(all.end(), records.begin(), records.end());
        for (const Animation& a : all) {
            d.insert(d.end(),
                     {uint8_t(a.type), uint8_t(a.delay), uint8_t(a.counter), uint8_t(a.userByte)});
            for (int v : {index(a.current), index(a.start), index(a.end)})
                put32(d, v);
        }
        return chunk("ANDT", d);
    }

    // Raw 16-bit numbers in the map's byte order (run lists of types 2 and 3 as written).
    MapImageBuilder& layerNumbers(const char* id, const std::vector<int>& numbers) {
        std::vector<uint8_t> d;
        for (int v : numbers)
            put16(d, v);
        return chunk(id, d);
    }

    // Cells (block indices, or negative animation numbers) encoded by the header's map type.
    MapImageBuilder& layer(const char* id, const std::vector<int>& cells) {
        return layerNumbers(id, encodeCells(cells));
    }

    // Graphics bytes as written (big-endian two-byte pixels).
    MapImageBuilder& bgfx(const std::vector<uint8_t>& pixels) { return chunk("BGFX", pixels); }

    std::vector<int> encodeCells(const std::vector<int>& cells) const {
        std::vector<int> out;
        const int w = header.mapWidth;
        switch (header.mapType) {
        case 0:
            for (int v : cells)
                out.push_back(v >= 0 ? v * header.blockRecordSize : v * 16);
            break;
        case 1:
            out = cells;
            break;
        default:
            for (size_t row = 0; row * w < cells.size(); ++row)
                encodeRow(cells, row * w, w, out);
            break;
        }
        return out;
    }

    std::vector<uint8_t> image() const {
        std::vector<uint8_t> body;
        for (const auto& c : chunks_) {
            body.insert(body.end(), c.id.begin(), c.id.end());
            putBig32(body, uint32_t(c.data.size()));
            body.insert(body.end(), c.data.begin(), c.data.end());
        }
        std::vector<uint8_t> out{'F', 'O', 'R', 'M'};
        putBig32(out, uint32_t(body.size() + 4));
        out.insert(out.end(), {'F', 'M', 'A', 'P'});
        out.insert(out.end(), body.begin(), body.end());
        return out;
    }

    long long graphicBytes() const {
        return (long long)header.blockWidth * header.blockHeight * ((header.blockDepth + 1) / 8);
    }

    static void putBig32(std::vector<uint8_t>& d, uint32_t v) {
        d.insert(d.end(), {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)});
    }

    void put16(std::vector<uint8_t>& d, int value) const {
        const uint16_t v = uint16_t(value);
        if (little())
            d.insert(d.end(), {uint8_t(v), uint8_t(v >> 8)});
        else
            d.insert(d.end(), {uint8_t(v >> 8), uint8_t(v)});
    }

    void put32(std::vector<uint8_t>& d, int value) const {
        const uint32_t v = uint32_t(value);
        if (little())
            d.insert(d.end(), {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)});
        else
            putBig32(d, v);
    }

  private:
    struct Chunk {
        std::string id;
        std::vector<uint8_t> data;
    };

    // Type 2: fills for repeats, literal runs otherwise. Type 3: a copy of the previous row
    // where the whole row repeats it, else as type 2 with literal runs only.
    void encodeRow(const std::vector<int>& cells, size_t first, int w,
                   std::vector<int>& out) const {
        if (header.mapType == 3 && first >= size_t(w) &&
            std::equal(cells.begin() + first, cells.begin() + first + w,
                       cells.begin() + first - w)) {
            out.push_back(-w);
            out.push_back(-w);
            return;
        }
        int x = 0;
        while (x < w) {
            int same = 1;
            while (x + same < w && cells[first + x + same] == cells[first + x])
                ++same;
            if (header.mapType == 2 && same > 1) {
                out.push_back(-same);
                out.push_back(cells[first + x]);
                x += same;
                continue;
            }
            int literal = 1;
            if (header.mapType == 2)
                while (x + literal < w &&
                       cells[first + x + literal] != cells[first + x + literal - 1])
                    ++literal;
            else
                literal = w - x;
            out.push_back(literal);
            for (int i = 0; i < literal; ++i)
                out.push_back(cells[first + x + i]);
            x += literal;
        }
    }

    std::vector<Chunk> chunks_;
};
