#include "MapWriter.h"

#include <algorithm>
#include <map>
#include <tuple>
#include <unordered_map>

namespace MapWriter {

namespace {

using MapFormat::blockRecordSize;

// Appends numbers in the map's byte order; chunk lengths are always big-endian.
class ByteSink {
  public:
    explicit ByteSink(ByteOrder order) : order_(order) {}

    void put8(int v) { bytes_.push_back(static_cast<unsigned char>(v & 0xFF)); }
    void put16(int v) {
        if (order_ == ByteOrder::Little) {
            put8(v);
            put8(v >> 8);
        } else {
            put8(v >> 8);
            put8(v);
        }
    }
    void put32(std::int32_t v) {
        const auto u = static_cast<std::uint32_t>(v);
        if (order_ == ByteOrder::Little) {
            for (int shift = 0; shift < 32; shift += 8)
                put8(static_cast<int>(u >> shift));
        } else {
            for (int shift = 24; shift >= 0; shift -= 8)
                put8(static_cast<int>(u >> shift));
        }
    }
    void putBigEndian32(std::uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8)
            put8(static_cast<int>(v >> shift));
    }
    void putText(const std::string& text) { bytes_.insert(bytes_.end(), text.begin(), text.end()); }
    void putBytes(const std::vector<unsigned char>& more) {
        bytes_.insert(bytes_.end(), more.begin(), more.end());
    }
    const std::vector<unsigned char>& bytes() const { return bytes_; }
    std::size_t size() const { return bytes_.size(); }

  private:
    ByteOrder order_;
    std::vector<unsigned char> bytes_;
};

void putChunk(ByteSink& out, const char* id, const ByteSink& data) {
    out.putText(std::string(id, 4));
    out.putBigEndian32(static_cast<std::uint32_t>(data.size()));
    out.putBytes(data.bytes());
}

bool isTransparent(const Pixel& p) {
    return p.a < 128;
}

// Opaque pixels must never come out as the colour the game reads as transparent (black at
// 15, 16, 24 and 32 bits), so they are nudged to the nearest colour the depth can hold.
int pack15(const Pixel& p) {
    if (isTransparent(p))
        return 0;
    const int v = ((p.r >> 3) << 10) | ((p.g >> 3) << 5) | (p.b >> 3);
    return v == 0 ? 0x0421 : v;
}

int pack16(const Pixel& p) {
    if (isTransparent(p))
        return 0;
    const int v = ((p.r >> 3) << 11) | ((p.g >> 2) << 5) | (p.b >> 3);
    return v == 0 ? 0x0841 : v;
}

Pixel opaqueTrueColour(const Pixel& p) {
    if (isTransparent(p))
        return Pixel{0, 0, 0, 0};
    if (p.r == 0 && p.g == 0 && p.b == 0)
        return Pixel{1, 1, 1, 255};
    return p;
}

using Rgb = std::tuple<int, int, int>;

// Palette index 0 is the transparent entry; opaque colours take 1..255 in order of first use.
bool buildPalette(const MapContent& map, std::map<Rgb, int>& indices, std::string& error) {
    for (const auto& graphic : map.graphics) {
        for (const Pixel& p : graphic) {
            if (isTransparent(p))
                continue;
            const Rgb key{p.r, p.g, p.b};
            if (indices.count(key) == 0) {
                const int next = static_cast<int>(indices.size()) + 1;
                indices.emplace(key, next);
            }
        }
    }
    if (indices.size() > 255) {
        error = "8-bit maps hold at most 255 colours besides transparency, these graphics use " +
                std::to_string(indices.size()) + " (use depth 15, 16, 24 or 32)";
        return false;
    }
    return true;
}

ByteSink makePalette(const std::map<Rgb, int>& indices) {
    std::vector<unsigned char> table(256 * 3, 0);
    table[0] = 255;
    table[1] = 0;
    table[2] = 255;
    for (const auto& [rgb, index] : indices) {
        table[index * 3] = static_cast<unsigned char>(std::get<0>(rgb));
        table[index * 3 + 1] = static_cast<unsigned char>(std::get<1>(rgb));
        table[index * 3 + 2] = static_cast<unsigned char>(std::get<2>(rgb));
    }
    ByteSink data(ByteOrder::Big);
    data.putBytes(table);
    return data;
}

ByteSink makeGraphics(const MapContent& map, const std::map<Rgb, int>& palette) {
    ByteSink data(ByteOrder::Big); // two-byte pixels are big-endian in every map
    for (const auto& graphic : map.graphics) {
        for (const Pixel& p : graphic) {
            switch (map.blockDepth) {
            case 8:
                data.put8(isTransparent(p) ? 0 : palette.at(Rgb{p.r, p.g, p.b}));
                break;
            case 15:
                data.put16(pack15(p));
                break;
            case 16:
                data.put16(pack16(p));
                break;
            default: {
                const Pixel q = opaqueTrueColour(p);
                if (map.blockDepth == 32)
                    data.put8(0);
                data.put8(q.r);
                data.put8(q.g);
                data.put8(q.b);
            }
            }
        }
    }
    return data;
}

ByteSink makeHeader(const MapContent& map) {
    ByteSink data(map.byteOrder);
    data.put8(map.versionMajor);
    data.put8(map.versionMinor);
    data.put8(map.byteOrder == ByteOrder::Little ? 1 : 0);
    data.put8(map.mapType);
    data.put16(map.mapWidth);
    data.put16(map.mapHeight);
    data.put32(0);
    data.put16(map.blockWidth);
    data.put16(map.blockHeight);
    data.put16(map.blockDepth);
    data.put16(blockRecordSize);
    data.put16(static_cast<int>(map.blocks.size()));
    data.put16(static_cast<int>(map.graphics.size()));
    data.put32(0);
    if (!map.shortHeader) {
        data.put16(map.columnStep != 0 ? map.columnStep : map.blockWidth);
        data.put16(map.rowStep != 0 ? map.rowStep : map.blockHeight);
        data.put16(map.staggerX);
        data.put16(map.staggerY);
    }
    return data;
}

ByteSink makeBlocks(const MapContent& map) {
    // Map type 0 stores graphics as byte offsets into the graphics chunk.
    const std::int32_t unit =
        map.mapType == 0 ? map.blockWidth * map.blockHeight * MapFormat::pixelBytes(map.blockDepth)
                         : 1;
    ByteSink data(map.byteOrder);
    for (const Block& b : map.blocks) {
        data.put32(b.background * unit);
        data.put32(b.foreground1 * unit);
        data.put32(b.foreground2 * unit);
        data.put32(b.foreground3 * unit);
        data.put32(b.userLong1);
        data.put32(b.userLong2);
        data.put16(b.userShort1);
        data.put16(b.userShort2);
        data.put8(b.userByte1);
        data.put8(b.userByte2);
        data.put8(b.userByte3);
        data.put8(b.flags);
    }
    return data;
}

// The sequence, then the terminator record, then the animations. Type 0 keeps byte offsets:
// sequence entries into the block chunk, record positions counted back from the chunk's end.
ByteSink makeAnimations(const MapContent& map) {
    const bool offsets = map.mapType == 0;
    const std::int32_t total =
        static_cast<std::int32_t>(map.sequence.size() * 4 + (map.animations.size() + 1) * 16);
    auto position = [&](std::int32_t index) { return offsets ? index * 4 - total : index; };
    ByteSink data(map.byteOrder);
    for (std::int32_t entry : map.sequence)
        data.put32(offsets ? entry * blockRecordSize : entry);
    data.put8(0xFF);
    data.put8(0);
    data.put8(0);
    data.put8(0);
    data.put32(0);
    data.put32(0);
    data.put32(0);
    for (const Animation& a : map.animations) {
        data.put8(a.type);
        data.put8(a.delay);
        data.put8(a.counter);
        data.put8(a.userByte);
        data.put32(position(a.current));
        data.put32(position(a.start));
        data.put32(position(a.end));
    }
    return data;
}

ByteSink makeLayer(const MapContent& map, const std::vector<std::int16_t>& cells) {
    ByteSink data(map.byteOrder);
    if (map.mapType >= 2) {
        for (std::int16_t v : encodeRuns(cells, map.mapWidth, map.mapType == 3))
            data.put16(v);
        return data;
    }
    for (std::int16_t v : cells) {
        if (map.mapType == 0)
            data.put16(v >= 0 ? v * blockRecordSize : v * 16);
        else
            data.put16(v);
    }
    return data;
}

bool fail(std::string& error, const std::string& reason) {
    error = reason;
    return false;
}

bool checkHeader(const MapContent& map, std::string& error) {
    if (map.mapType < 0 || map.mapType > 3)
        return fail(error, "map type must be 0, 1, 2 or 3, not " + std::to_string(map.mapType));
    if (!MapFormat::isToolDepth(map.blockDepth))
        return fail(error,
                    "depth must be 8, 15, 16, 24 or 32, not " + std::to_string(map.blockDepth));
    if (map.versionMajor < 0 || map.versionMajor > 255 || map.versionMinor < 0 ||
        map.versionMinor > 255)
        return fail(error, "version numbers must lie in 0..255");
    using namespace MapFormat;
    if (map.mapWidth < 1 || map.mapWidth > mostMapSide || map.mapHeight < 1 ||
        map.mapHeight > mostMapSide)
        return fail(error,
                    "map size must lie in 1.." + std::to_string(mostMapSide) + " blocks each way");
    if (map.blockWidth < 1 || map.blockWidth > mostBlockSide || map.blockHeight < 1 ||
        map.blockHeight > mostBlockSide)
        return fail(error, "block size must lie in 1.." + std::to_string(mostBlockSide) +
                               " pixels each way");
    for (int v : {map.columnStep, map.rowStep, map.staggerX, map.staggerY})
        if (v < -32768 || v > 32767)
            return fail(error, "steps and stagger must fit in 16 bits");
    if (map.columnStep < 0 || map.rowStep < 0)
        return fail(error, "column and row steps must not be negative");
    if (map.shortHeader &&
        (map.columnStep != 0 || map.rowStep != 0 || map.staggerX != 0 || map.staggerY != 0))
        return fail(error, "a short header cannot hold steps or stagger");
    if (map.blocks.size() > std::size_t(mostBlocks) ||
        map.graphics.size() > std::size_t(mostGraphics))
        return fail(error, "at most " + std::to_string(mostBlocks) + " blocks and " +
                               std::to_string(mostGraphics) + " graphics");
    if (map.animations.size() > std::size_t(mostAnimations))
        return fail(error, "at most " + std::to_string(mostAnimations) + " animations");
    return true;
}

bool checkGraphics(const MapContent& map, std::string& error) {
    const std::size_t pixels = static_cast<std::size_t>(map.blockWidth) * map.blockHeight;
    for (std::size_t i = 0; i < map.graphics.size(); ++i)
        if (map.graphics[i].size() != pixels)
            return fail(error, "graphic " + std::to_string(i) + " has " +
                                   std::to_string(map.graphics[i].size()) + " pixels, not " +
                                   std::to_string(pixels));
    const auto count = static_cast<std::int32_t>(map.graphics.size());
    for (std::size_t i = 0; i < map.blocks.size(); ++i) {
        const Block& b = map.blocks[i];
        for (std::int32_t g : {b.background, b.foreground1, b.foreground2, b.foreground3})
            if (g < 0 || g >= count)
                return fail(error, "block " + std::to_string(i) + " names graphic " +
                                       std::to_string(g) + ", but there are " +
                                       std::to_string(count));
    }
    return true;
}

bool checkAnimations(const MapContent& map, std::string& error) {
    const auto blocks = static_cast<std::int32_t>(map.blocks.size());
    for (std::size_t i = 0; i < map.sequence.size(); ++i)
        if (map.sequence[i] < 0 || map.sequence[i] >= blocks)
            return fail(error, "animation frame " + std::to_string(i) + " names block " +
                                   std::to_string(map.sequence[i]) + ", but there are " +
                                   std::to_string(blocks));
    const auto frames = static_cast<std::int32_t>(map.sequence.size());
    for (std::size_t i = 0; i < map.animations.size(); ++i) {
        const Animation& a = map.animations[i];
        const bool inside = a.start >= 0 && a.start <= a.end && a.end <= frames &&
                            (a.start == a.end || (a.current >= a.start && a.current < a.end));
        if (!inside)
            return fail(error, "animation " + std::to_string(i) +
                                   " has frames outside the animation sequence");
        if (a.type == -1)
            return fail(error, "animation " + std::to_string(i) +
                                   " has type -1, which marks the end of the records");
    }
    if (map.mapType == 0 && (map.sequence.size() * 4 + (map.animations.size() + 1) * 16) >
                                static_cast<std::size_t>(INT32_MAX))
        return fail(error, "too many animation frames");
    return true;
}

bool checkLayers(const MapContent& map, std::string& error) {
    const std::size_t cells = static_cast<std::size_t>(map.mapWidth) * map.mapHeight;
    const auto blocks = static_cast<int>(map.blocks.size());
    const auto animations = static_cast<int>(map.animations.size());
    for (std::size_t slot = 0; slot < map.layers.size(); ++slot) {
        const auto& layer = map.layers[slot];
        if (layer.empty())
            continue;
        const std::string name = MapFormat::layerChunks[slot];
        if (layer.size() != cells)
            return fail(error, "layer " + name + " has " + std::to_string(layer.size()) +
                                   " cells, not " + std::to_string(cells));
        for (std::size_t i = 0; i < layer.size(); ++i) {
            const int v = layer[i];
            const std::string where = "layer " + name + " cell " +
                                      std::to_string(i % map.mapWidth) + "," +
                                      std::to_string(i / map.mapWidth);
            if (v >= 0 && v >= blocks)
                return fail(error, where + " names block " + std::to_string(v) +
                                       ", but there are " + std::to_string(blocks));
            if (v < 0 && -v > animations)
                return fail(error, where + " names animation " + std::to_string(v) +
                                       ", but there are " + std::to_string(animations));
            // Type 0 stores cells as byte offsets, which must fit in 16 bits.
            if (map.mapType == 0 &&
                (v * blockRecordSize > INT16_MAX || v * MapFormat::animationRecordSize < INT16_MIN))
                return fail(error, where + ": block " + std::to_string(v) +
                                       " is too far for map type 0 (use type 1, 2 or 3)");
        }
    }
    return true;
}

} // namespace

namespace {

constexpr int longestRun = 32767;
constexpr std::size_t farthestReference = 32768;
constexpr int candidatesTried = 64;

// Finds earlier copies of the cells at a position, as a back-reference can repeat them.
// Positions are chained by the pair of cells they start with, nearest first, so a search
// looks at a few likely places instead of every distance in reach.
class MatchFinder {
  public:
    explicit MatchFinder(const std::vector<std::int16_t>& cells)
        : cells_(cells), previous_(cells.size(), noPosition) {}

    // The longest earlier copy of at most `left` cells at p (copied cell by cell, so it may
    // overlap p), the nearest on ties; length 0 when there is none.
    void find(std::size_t p, int left, int& length, int& distance) const {
        length = 0;
        distance = 0;
        if (p + 1 >= cells_.size())
            return;
        const auto found = heads_.find(key(p));
        std::size_t q = found == heads_.end() ? noPosition : found->second;
        for (int tried = 0;
             q != noPosition && p - q <= farthestReference && tried < candidatesTried;
             ++tried, q = previous_[q]) {
            const std::size_t d = p - q;
            int n = 0;
            while (n < left && cells_[p + n] == cells_[p + n - d])
                ++n;
            if (n > length) {
                length = n;
                distance = static_cast<int>(d);
                if (n == left)
                    return;
            }
        }
    }

    // Makes position p a candidate for the positions after it.
    void add(std::size_t p) {
        if (p + 1 >= cells_.size())
            return;
        auto [slot, fresh] = heads_.try_emplace(key(p), p);
        if (!fresh) {
            previous_[p] = slot->second;
            slot->second = p;
        }
    }

  private:
    static constexpr std::size_t noPosition = static_cast<std::size_t>(-1);

    std::uint32_t key(std::size_t p) const {
        return (static_cast<std::uint32_t>(static_cast<std::uint16_t>(cells_[p])) << 16) |
               static_cast<std::uint16_t>(cells_[p + 1]);
    }

    const std::vector<std::int16_t>& cells_;
    std::vector<std::size_t> previous_;
    std::unordered_map<std::uint32_t, std::size_t> heads_;
};

} // namespace

std::vector<std::int16_t> encodeRuns(const std::vector<std::int16_t>& cells, int mapWidth,
                                     bool backReferences) {
    std::vector<std::int16_t> out;
    std::vector<std::int16_t> literals;
    auto flush = [&]() {
        std::size_t at = 0;
        while (at < literals.size()) {
            const std::size_t n = std::min<std::size_t>(longestRun, literals.size() - at);
            out.push_back(static_cast<std::int16_t>(n));
            out.insert(out.end(), literals.begin() + at, literals.begin() + at + n);
            at += n;
        }
        literals.clear();
    };

    MatchFinder finder(cells);
    const std::size_t rows = mapWidth > 0 ? cells.size() / mapWidth : 0;
    for (std::size_t row = 0; row < rows; ++row) {
        const std::size_t rowStart = row * mapWidth;
        const std::size_t rowEnd = rowStart + mapWidth;
        std::size_t p = rowStart;
        while (p < rowEnd) {
            const int left = static_cast<int>(std::min<std::size_t>(rowEnd - p, longestRun));
            int length = 0;
            int distance = 0;
            if (backReferences) {
                finder.find(p, left, length, distance);
            } else {
                while (length < left && cells[p + length] == cells[p])
                    ++length;
            }
            // A run costs two values, so it pays from three cells on.
            const int taken = length >= 3 ? length : 1;
            if (length >= 3) {
                flush();
                out.push_back(static_cast<std::int16_t>(-length));
                out.push_back(backReferences ? static_cast<std::int16_t>(-distance) : cells[p]);
            } else {
                literals.push_back(cells[p]);
            }
            if (backReferences)
                for (int i = 0; i < taken; ++i)
                    finder.add(p + i);
            p += taken;
        }
        flush(); // runs end exactly at the end of their row
    }
    return out;
}

bool checkContent(const MapContent& map, std::string& error) {
    return checkHeader(map, error) && checkGraphics(map, error) && checkAnimations(map, error) &&
           checkLayers(map, error);
}

std::vector<unsigned char> writeMap(const MapContent& map, std::string& error) {
    error.clear();
    if (!checkContent(map, error))
        return {};
    std::map<Rgb, int> palette;
    if (map.blockDepth == 8 && !buildPalette(map, palette, error))
        return {};

    ByteSink chunks(map.byteOrder);
    putChunk(chunks, MapFormat::headerChunk, makeHeader(map));
    if (!map.note.empty()) {
        ByteSink note(map.byteOrder);
        note.putText(map.note);
        putChunk(chunks, MapFormat::noteChunk, note);
    }
    if (map.blockDepth == 8)
        putChunk(chunks, MapFormat::paletteChunk, makePalette(palette));
    putChunk(chunks, MapFormat::blockChunk, makeBlocks(map));
    if (!map.animations.empty() || !map.sequence.empty())
        putChunk(chunks, MapFormat::animationChunk, makeAnimations(map));
    putChunk(chunks, MapFormat::graphicsChunk, makeGraphics(map, palette));
    for (std::size_t slot = 0; slot < map.layers.size(); ++slot)
        if (!map.layers[slot].empty())
            putChunk(chunks, MapFormat::layerChunks[slot], makeLayer(map, map.layers[slot]));

    ByteSink file(ByteOrder::Big);
    file.putText(MapFormat::containerId);
    file.putBigEndian32(static_cast<std::uint32_t>(chunks.size() + 4));
    file.putText(MapFormat::mapId);
    file.putBytes(chunks.bytes());
    return file.bytes();
}

} // namespace MapWriter
