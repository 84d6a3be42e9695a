#include "MapWriter.h"
#include "map/MapTestSupport.h"

#include <algorithm>
#include <cstdlib>
#include <ostream>
#include <string>
#include <tuple>

using MapWriter::ByteOrder;
using MapWriter::MapContent;
using MapWriter::Pixel;

namespace MapWriter {
// ctest lists the round trips by their byte order's name, not by its bytes.
void PrintTo(ByteOrder order, std::ostream* out) {
    *out << (order == ByteOrder::Little ? "le" : "be");
}
} // namespace MapWriter

namespace {

std::vector<long> fields(const MapFormat::BlockRecord& b) {
    return {b.background, b.foreground1, b.foreground2, b.foreground3, b.userLong1, b.userLong2,
            b.userShort1, b.userShort2,  b.userByte1,   b.userByte2,   b.userByte3, b.flags};
}

// A map that touches every part of the format: odd block sizes, opaque black, transparent
// pixels, foregrounds and user fields, two animations, repeated rows, a gap in the layers, and
// in big-endian maps steps and a stagger of their own.
MapContent richMap(int mapType, int depth, ByteOrder order) {
    MapContent map = maptest::writerMap(9, 6, {}, 4);
    map.mapType = mapType;
    map.blockDepth = depth;
    map.byteOrder = order;
    map.blockHeight = 3;
    if (order == ByteOrder::Big)
        map.columnStep = 5, map.rowStep = 2, map.staggerX = 4, map.staggerY = -2;
    map.note = "round trip";
    map.graphics.assign(4, std::vector<Pixel>(12, Pixel{0, 0, 0, 0}));
    for (int g = 1; g <= 3; ++g)
        for (int i = 0; i < 12; ++i) // pixel 7 is opaque black, pixel 5 of graphic 2 clear
            if (i != 5 || g != 2)
                map.graphics[g][i] = i == 7 ? Pixel{0, 0, 0, 255}
                                            : Pixel{uint8_t(40 * g + 9 * i), uint8_t(200 - 17 * i),
                                                    uint8_t(13 * g * i % 256), 255};
    map.blocks.clear();
    for (int b = 0; b < 5; ++b)
        map.blocks.push_back({b % 4, b == 3 ? 2 : 0, 0, b == 4 ? 1 : 0, -100000 * b, 7 + b,
                              int16_t(-300 * b), int16_t(b), uint8_t(250 - b), uint8_t(b), 128,
                              uint8_t(0x10 * b)});
    map.sequence = {1, 2, 3, 4, 2};
    map.animations = {{1, 3, 3, 0, 0, 0, 3}, {6, 0, 0, -5, 3, 3, 5}};
    for (int y = 0; y < map.mapHeight; ++y)
        for (int x = 0; x < map.mapWidth; ++x) {
            map.layers[0].push_back(int16_t(x == y ? -1 : x == y + 1 ? -2 : (x + y) % 5));
            map.layers[1].push_back(int16_t(y < 3 ? x % 2 : 4)); // repeated rows
            map.layers[3].push_back(int16_t(x < 4 ? 0 : 3));
        }
    return map;
}

// What the game shows for a pixel the author drew at this depth.
maptest::Rgba expectedColour(const Pixel& p, int depth) {
    if (p.a < 128)
        return {0, 0, 0, 0};
    int r = p.r, g = p.g, b = p.b;
    if (depth == 15 || depth == 16) {
        const int gBits = depth == 16 ? 6 : 5;
        r >>= 3;
        g >>= 8 - gBits;
        b >>= 3;
        if (r == 0 && g == 0 && b == 0) { // black is the mask colour: the nearest one instead
            r = b = 1;
            g = gBits == 6 ? 2 : 1;
        }
        auto widen = [](int c, int bits) { return (c << (8 - bits)) | (c >> (2 * bits - 8)); };
        return {widen(r, 5), widen(g, gBits), widen(b, 5), 255};
    }
    if (depth != 8 && r == 0 && g == 0 && b == 0)
        return {1, 1, 1, 255};
    return {r, g, b, 255};
}

// "type0_le_8": the name of a case and of its seed file.
std::string caseName(const std::tuple<int, int, ByteOrder>& c) {
    return "type" + std::to_string(std::get<0>(c)) +
           (std::get<2>(c) == ByteOrder::Big ? "_be_" : "_le_") + std::to_string(std::get<1>(c));
}

class MapWriterRoundTrip : public testing::TestWithParam<std::tuple<int, int, ByteOrder>> {
  protected:
    void TearDown() override { MapLibrary::freeMap(); }
};

TEST_P(MapWriterRoundTrip, LoaderReadsBackWhatWasWritten) {
    const auto [mapType, depth, order] = GetParam();
    const MapContent map = richMap(mapType, depth, order);
    std::string error;
    const std::vector<unsigned char> bytes = MapWriter::writeMap(map, error);
    ASSERT_FALSE(bytes.empty()) << error;
    // These maps are the fuzzer's seed corpus: FENNOW_WRITE_CORPUS=DIR writes them to DIR
    // (fuzz/corpus/map_decoder).
    if (const char* dir = std::getenv("FENNOW_WRITE_CORPUS"))
        testsupport::writeFile(std::string(dir) + "/" + caseName(GetParam()) + ".fmp",
                               std::string(bytes.begin(), bytes.end()));
    ASSERT_EQ(MapLibrary::decodeMap(bytes.data(), bytes.size(), 1), 0)
        << MapLibrary::errorName(MapLibrary::lastError()) << " " << MapLibrary::lastErrorDetail();

    const MapLibrary::MapHeader& h = MapLibrary::header();
    const bool big = order == ByteOrder::Big;
    EXPECT_EQ((std::vector<int>{h.mapType, h.blockDepth, h.byteOrder == 1, h.mapWidth, h.mapHeight,
                                h.blockWidth, h.blockHeight, h.columnStep, h.rowStep, h.staggerX,
                                h.staggerY, h.blockRecordSize, h.blockCount, h.graphicCount}),
              (std::vector<int>{mapType, depth, !big, 9, 6, 4, 3, big ? 5 : 4, big ? 2 : 3,
                                big ? 4 : 0, big ? -2 : 0, MapFormat::blockRecordSize, 5, 4}));

    for (int slot = 0; slot < MapLibrary::LayerSlots; ++slot) {
        const int16_t* cells = MapLibrary::layerCells(slot);
        EXPECT_EQ(cells ? std::vector<int16_t>(cells, cells + 54) : std::vector<int16_t>{},
                  map.layers[slot])
            << slot;
    }

    ASSERT_EQ(MapLibrary::blockCount(), 5);
    for (int i = 0; i < 5; ++i) {
        const MapLibrary::BlockStructure* s = MapLibrary::blockStructure(i);
        const MapWriter::Block& b = map.blocks[i];
        EXPECT_EQ(s->background, MapLibrary::blockBitmap(b.background)) << i;
        EXPECT_EQ(s->foreground1 == nullptr, b.foreground1 == 0) << i;
        EXPECT_EQ(fields(s->record), fields(b)) << i;
    }

    ASSERT_EQ(MapLibrary::sequenceLength(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(MapLibrary::sequenceValue(i), map.sequence[i]) << i;
    ASSERT_EQ(MapLibrary::animationCount(), 3);
    for (int k = 0; k < 2; ++k) {
        const MapLibrary::BlockAnimation* a = MapLibrary::animation(k + 1);
        const MapWriter::Animation& w = map.animations[k];
        EXPECT_EQ((std::vector<int>{a->type, a->delay, a->counter, a->userByte, a->start, a->end}),
                  (std::vector<int>{w.type, w.delay, w.delay, w.userByte, w.start, w.end}));
    }
    // After the load's reset: type 1 shows its first frame, type 6 its last.
    EXPECT_EQ(MapLibrary::blockOfCell(-2), 1);
    EXPECT_EQ(MapLibrary::blockOfCell(-1), 2);

    ASSERT_EQ(MapLibrary::graphicCount(), 4);
    for (int g = 0; g < 4; ++g)
        for (int i = 0; i < 12; ++i)
            EXPECT_EQ(maptest::pixelAt(MapLibrary::blockBitmap(g), i % 4, i / 4),
                      expectedColour(map.graphics[g][i], depth))
                << "graphic " << g << " pixel " << i;
}

INSTANTIATE_TEST_SUITE_P(EveryTypeDepthAndOrder, MapWriterRoundTrip,
                         testing::Combine(testing::Values(0, 1, 2, 3),
                                          testing::Values(8, 15, 16, 24, 32),
                                          testing::Values(ByteOrder::Little, ByteOrder::Big)),
                         [](const auto& info) { return caseName(info.param); });

// The round trip above covers the long header; here the short one and the note.
TEST(MapWriterBytes, ShortHeaderAndNote) {
    MapContent map = maptest::writerMap(4, 4, {{10, 20, 30, 255}}, 8);
    map.note = "odd";
    map.shortHeader = true;
    map.layers[0] = maptest::filledLayer(map, 1);
    std::string error;
    const auto bytes = MapWriter::writeMap(map, error);
    ASSERT_FALSE(bytes.empty()) << error;
    ASSERT_EQ(MapLibrary::decodeMap(bytes.data(), bytes.size(), 1), 0);
    EXPECT_EQ(MapLibrary::header().rowStep, 8);
    std::string chunks; // id and length of each chunk the loader walked
    for (int i = 0; i < MapLibrary::chunkCount(); ++i)
        chunks += std::string(MapLibrary::chunk(i)->id) +
                  std::to_string(MapLibrary::chunk(i)->length) + " ";
    EXPECT_EQ(chunks.substr(0, 13), "MPHD28 NOVC3 ");
    MapLibrary::freeMap();
}

TEST(MapWriterRuns, RunsCoverRowsExactly) {
    struct Row {
        std::vector<std::int16_t> cells;
        int width;
        bool backReferences;
        std::vector<std::int16_t> runs;
    };
    const Row rows[] = {
        {{5, 5, 5, 5, 1, 2}, 6, false, {-4, 5, 2, 1, 2}},             // a fill, then literals
        {{1, 2, 1, 2, 1, 2}, 6, true, {2, 1, 2, -4, -2}},             // a repeated pair copied
        {{1, 2, 3, 4, 1, 2, 3, 4}, 4, true, {4, 1, 2, 3, 4, -4, -4}}, // the row above copied
        {{7, 7, 7, 7, 7, 7}, 3, false, {-3, 7, -3, 7}},               // never across a row's end
    };
    for (const Row& row : rows)
        EXPECT_EQ(MapWriter::encodeRuns(row.cells, row.width, row.backReferences), row.runs);
}
TEST(MapWriterRuns, LargeLayersRoundTripInEveryRunEncoding) {
    // Repeated rows, long fills, short patterns and noise, on a map wide enough for
    // back-references far behind.
    MapContent map = maptest::writerMap(
        300, 120, {{1, 2, 3, 255}, {4, 5, 6, 255}, {7, 8, 9, 255}, {10, 11, 12, 255}}, 1);
    unsigned noise = 12345;
    for (int y = 0; y < map.mapHeight; ++y)
        for (int x = 0; x < map.mapWidth; ++x) {
            noise = noise * 1103515245u + 12345u;
            const int v = y % 7 == 3 ? (noise >> 16) % 5 : y % 3 == 0 ? x % 3 + 1 : (x / 50) % 5;
            map.layers[0].push_back(int16_t(v));
        }
    for (int type : {2, 3}) {
        map.mapType = type;
        std::string error;
        const auto bytes = MapWriter::writeMap(map, error);
        ASSERT_FALSE(bytes.empty()) << error;
        ASSERT_EQ(MapLibrary::decodeMap(bytes.data(), bytes.size(), 1), 0)
            << type << " " << MapLibrary::lastErrorDetail();
        const int16_t* read = MapLibrary::layerCells(0);
        EXPECT_TRUE(std::equal(map.layers[0].begin(), map.layers[0].end(), read)) << type;
        MapLibrary::freeMap();
    }
}

TEST(MapWriterErrors, EightBitsHoldAtMost255Colours) {
    std::vector<Pixel> colours;
    for (int i = 0; i < 256; ++i)
        colours.push_back(Pixel{static_cast<std::uint8_t>(i), 1, 2, 255});
    for (std::size_t count : {256u, 255u}) {
        colours.resize(count);
        MapContent map = maptest::writerMap(2, 2, colours, 1);
        map.blockDepth = 8;
        map.layers[0] = maptest::filledLayer(map, 1);
        std::string error;
        EXPECT_EQ(MapWriter::writeMap(map, error).empty(), count == 256) << error;
        EXPECT_EQ(error.find("255 colours") != std::string::npos, count == 256) << error;
    }
}

// Each limit of the format, just inside, at and just past each of its edges. Counts have no
// lower edge (0 is their lowest).
TEST(MapWriterErrors, EveryLimitHoldsAtItsEdgeAndNotPastIt) {
    // The numbers are the format's, written out, so that a changed limit fails here.
    const struct {
        const char* name;
        int lowest, highest;
        void (*set)(MapContent&, int);
    } limits[] = {
        {"map width", 1, 32767, [](MapContent& m, int v) { m.mapWidth = v; }},
        {"map height", 1, 32767, [](MapContent& m, int v) { m.mapHeight = v; }},
        {"block width", 1, 1024, [](MapContent& m, int v) { m.blockWidth = v; }},
        {"block height", 1, 1024, [](MapContent& m, int v) { m.blockHeight = v; }},
        {"blocks", 0, 32767, [](MapContent& m, int v) { m.blocks.resize(v); }},
        {"graphics", 0, 32767, [](MapContent& m, int v) { m.graphics.resize(v, m.graphics[0]); }},
        {"animations", 0, 2047, [](MapContent& m, int v) { m.animations.resize(v); }},
    };
    for (const auto& limit : limits)
        for (int edge : {limit.lowest, limit.highest})
            for (int v : {edge - 1, edge, edge + 1}) {
                if (edge == 0)
                    continue;
                MapContent map = maptest::writerMap(1, 1, {}, 1);
                limit.set(map, v);
                for (auto& graphic : map.graphics)
                    graphic.resize(std::size_t(map.blockWidth) * map.blockHeight);
                std::string error;
                EXPECT_EQ(MapWriter::checkContent(map, error),
                          v >= limit.lowest && v <= limit.highest)
                    << limit.name << " " << v << ": " << error;
            }
}

TEST(MapWriterErrors, RefusesContentTheLoaderCouldNotRead) {
    struct Case {
        const char* name;
        void (*spoil)(MapContent&);
    };
    const Case cases[] = {
        {"cell names a missing block", [](MapContent& m) { m.layers[0][3] = 9; }},
        {"cell names a missing animation", [](MapContent& m) { m.layers[0][0] = -1; }},
        {"block names a missing graphic", [](MapContent& m) { m.blocks[1].foreground2 = 7; }},
        {"layer of the wrong size", [](MapContent& m) { m.layers[2].resize(2); }},
        {"short header with stagger", [](MapContent& m) { m.shortHeader = true, m.staggerX = 2; }},
        {"depth 12", [](MapContent& m) { m.blockDepth = 12; }},
        {"map type 4", [](MapContent& m) { m.mapType = 4; }},
        {"zero width", [](MapContent& m) { m.mapWidth = 0; }},
        {"graphic of the wrong size", [](MapContent& m) { m.graphics[1].pop_back(); }},
        {"frame outside the blocks", [](MapContent& m) { m.sequence = {5}; }},
        {"animation past the sequence",
         [](MapContent& m) {
             m.animations.resize(1, {1, 0, 0, 0, 0, 0, 2});
         }},
        {"type 0 offset beyond 16 bits",
         [](MapContent& m) { m.mapType = 0, m.blocks.resize(1100), m.layers[0][0] = 1099; }},
    };
    for (const Case& c : cases) {
        MapContent map = maptest::writerMap(3, 3, {{1, 2, 3, 255}, {4, 5, 6, 255}}, 2);
        map.layers[0] = maptest::filledLayer(map, 1);
        c.spoil(map);
        std::string error;
        EXPECT_TRUE(MapWriter::writeMap(map, error).empty() && !error.empty()) << c.name;
    }
}

} // namespace
