#include "map/MapTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

using namespace MapLibrary;
using namespace maptest;

namespace {

using B = MapImageBuilder;

// Five columns, three rows; the third row repeats the second so that type 3 copies a row.
const std::vector<int> kCells = {0, 1, 1, 1, 2, 2, 2, 0, 1, 0, 2, 2, 0, 1, 0};

B threeBlockMap(int mapType = 1, int byteOrder = 0) {
    B b = solidHeader(5, 3, 4, 3);
    b.header.mapType = mapType;
    b.header.byteOrder = byteOrder;
    return b;
}

Bytes goodImage(int mapType = 1, int byteOrder = 0) {
    B b = threeBlockMap(mapType, byteOrder);
    return addSolidChunks(b, kCells).image();
}

std::vector<int> cellsOf(int layer) {
    std::vector<int> out;
    for (int row = 0; row < header().mapHeight; ++row)
        for (int column = 0; column < header().mapWidth; ++column)
            out.push_back(cellAt(layer, column, row));
    return out;
}

class MapLoaderTest : public MapTest {};

TEST_F(MapLoaderTest, RunLengthLayersFillSkipAndCopy) {
    struct Row {
        int mapType, width, height;
        std::vector<int> numbers, cells;
    };
    const Row rows[] = {
        // 3, a, b, c, 0, -2, d with a..d = 1..4: an empty count is skipped.
        {2, 5, 1, {3, 1, 2, 3, 0, -2, 4}, {1, 2, 3, 4, 4}},
        // Row 0: 2, a, b, -4, -2. Row 1 copies from row 0 across the row boundary.
        {3, 6, 2, {2, 1, 2, -4, -2, 1, 0, -5, -6}, {1, 2, 1, 2, 1, 2, 0, 2, 1, 2, 1, 2}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.mapType);
        B b = solidHeader(row.width, row.height, 4, 5);
        b.header.mapType = row.mapType;
        b.mphd().bkdt(std::vector<B::Block>(5)).bgfx(Bytes(5 * 64, 1));
        ASSERT_EQ(decode(b.layerNumbers("BODY", row.numbers).image()), 0) << lastErrorDetail();
        EXPECT_EQ(cellsOf(0), row.cells);
    }
}

TEST_F(MapLoaderTest, TypeZeroTurnsByteOffsetsIntoIndices) {
    B b = solidHeader(5, 1, 4, 3);
    b.header.mapType = 0;
    B::Block block;
    block.background = 2; // written as 2 graphics of 64 bytes: offset 128
    block.foreground3 = 1;
    b.mphd().bkdt({{}, {}, block}).bgfx(Bytes(3 * 64, 1));
    B::Animation first, second;
    first.end = 2;
    second.type = 2;
    second.start = 1;
    second.end = 3;
    b.andt({1, 2, 0}, {first, second});
    // Offsets that are not whole records truncate toward zero: 70 / 32 and -17 / 16.
    b.layerNumbers("BODY", {64, -32, 70, -17, -31});
    ASSERT_EQ(decode(b.image()), 0) << lastErrorDetail();
    EXPECT_EQ(cellsOf(0), (std::vector<int>{2, -2, 2, -1, -1}));
    EXPECT_EQ(blockStructure(2)->record.background, 2);
    EXPECT_EQ(blockStructure(2)->record.foreground3, 1);
    EXPECT_EQ(blockStructure(2)->foreground3, blockBitmap(1)); // foreground 0 is none
    EXPECT_EQ(blockStructure(2)->foreground2, nullptr);
    EXPECT_EQ(sequenceValue(1), 2);
    ASSERT_EQ(animationCount(), 3);
    EXPECT_EQ(animation(1)->start, 0);   // written as -N
    EXPECT_EQ(animation(2)->current, 2); // reset: type 2 starts on its last frame
    EXPECT_EQ(blockOfCell(-3), -1);      // the terminator is no animation
}

// ---- The chunk walk, layers and cells -------------------------------------------------------

TEST_F(MapLoaderTest, OddLengthAndUnknownChunksAreWalkedOver) {
    B b = threeBlockMap();
    b.chunk("NOVC", {'h', 'i', '!'}).chunk("ATHR", {1, 2, 3, 4, 5});
    ASSERT_EQ(decode(addSolidChunks(b, kCells).image()), 0) << lastErrorDetail();
    EXPECT_EQ(cellsOf(0), kCells);
    ASSERT_EQ(chunkCount(), 6);
    EXPECT_STREQ(chunk(0)->id, "NOVC");
    EXPECT_EQ(chunk(0)->length, 3u);
    EXPECT_EQ(chunk(1)->offset, 12u + 8 + 3);
}

TEST_F(MapLoaderTest, LaterLayerAndPaletteReplaceEarlierOnesButOnlyTheFirstGraphicsCount) {
    B b = solidHeader(2, 1, 1, 2);
    b.header.blockDepth = 8;
    b.mphd().bkdt({{}, {}}).chunk("CMAP", {1, 1, 1, 2, 2, 2}).bgfx({1, 0}).bgfx({0, 0});
    b.chunk("CMAP", {1, 1, 1, 30, 40, 50}).layer("BODY", {0, 0}).layer("LYR2", {0, 1});
    ASSERT_EQ(decode(b.layer("BODY", {1, 1}).image()), 0) << lastErrorDetail();
    EXPECT_EQ(cellsOf(0), (std::vector<int>{1, 1}));
    EXPECT_EQ(cellsOf(2), (std::vector<int>{0, 1}));
    EXPECT_EQ(pixelAt(blockBitmap(0), 0, 0), (Rgba{30, 40, 50, 255}));
}

TEST_F(MapLoaderTest, SelectLayerTakesOnlyPresentSlotsAndIndicesOutsideNameNothing) {
    B b = threeBlockMap();
    b.mphd().bkdt(std::vector<B::Block>(3)).bgfx(Bytes(3 * 64));
    ASSERT_EQ(decode(b.layer("LYR7", kCells).image()), 0) << lastErrorDetail();
    EXPECT_EQ(currentLayer(), -1); // no BODY
    for (int absent : {-1, 0, 1, 6, 8})
        EXPECT_EQ(selectLayer(absent), -1) << absent;
    EXPECT_EQ(selectLayer(7), 7);
    EXPECT_EQ(selectLayer(3), -1);
    EXPECT_EQ(currentLayer(), 7);
    ASSERT_EQ(decode(b.layer("BODY", kCells).image()), 0);
    EXPECT_EQ(currentLayer(), 0);
    EXPECT_EQ(cellAt(0, 4, 2), 0);
    for (auto [layer, column, row] : {std::tuple{0, 5, 0}, {0, -1, 0}, {0, 0, 3}, {1, 0, 0}})
        EXPECT_EQ(cellAt(layer, column, row), NoCell) << layer << " " << column << " " << row;
    // Blocks 0..2 and graphics 0..2: the queries answer up to the last and not one past it.
    for (int i : {-1, 0, 2, 3}) {
        const bool inside = i == 0 || i == 2;
        EXPECT_EQ(blockStructure(i) != nullptr, inside) << i;
        EXPECT_EQ(blockBitmap(i) != nullptr, inside) << i;
        EXPECT_EQ(blockOfCell(i), i == 3 ? -1 : i) << i; // -1 is no animation either
    }
    EXPECT_EQ(chunk(chunkCount()), nullptr);
    EXPECT_EQ(chunk(-1), nullptr);
}

// ---- Files and error codes ------------------------------------------------------------------

// Failures before the container is accepted keep the loaded map; later ones empty it.
TEST_F(MapLoaderTest, LoadsFilesAndKeepsTheMapWhenTheFileOrContainerFails) {
    testsupport::ScratchDir dir;
    const Bytes good = goodImage(2, 1);
    testsupport::writeFile("maps/good.fmp", std::string(good.begin(), good.end()));
    ASSERT_EQ(loadMap("maps\\good.fmp", 1), 0) << lastErrorDetail();
    EXPECT_EQ(cellsOf(0), kCells);
    for (size_t size : {size_t(0), size_t(11), good.size() - 1}) {
        ASSERT_EQ(decode(good), 0);
        testsupport::writeFile("cut.fmp", std::string(good.begin(), good.begin() + size));
        EXPECT_EQ(loadMap("cut.fmp", 1), -1) << size;
        EXPECT_EQ(lastError(), MapBadFile) << size;
    }
    ASSERT_EQ(decode(good), 0);
    EXPECT_EQ(loadMap("maps", 1), -1); // a directory
    EXPECT_EQ(loadMap("NoSuchMap.fmp", 1), -1);
    EXPECT_EQ(lastError(), MapCannotOpen);
    EXPECT_EQ(loadMap(nullptr, 1), -1);
    EXPECT_EQ(lastError(), MapCannotOpen);
    for (size_t at : {size_t(0), size_t(11)}) { // not FORM, not FMAP
        Bytes bad = good;
        bad[at] = 'X';
        EXPECT_EQ(decode(bad) + lastError(), -1 + MapBadFile);
    }
    EXPECT_EQ(decodeMap(nullptr, 0, 1), -1);
    EXPECT_EQ(cellsOf(0), kCells);
}

TEST_F(MapLoaderTest, ErrorNames) {
    std::string names;
    for (int code = 0; code <= 9; ++code)
        names += std::string(errorName(code)) + " ";
    EXPECT_EQ(names, "MapOk MapOutOfMemory MapBadFile MapCannotOpen MapNoSystem MapUnknown "
                     "MapNoBitmap MapTooNew MapUnsupported MapUnknown ");
}

// ---- Malformed images: one row per rule -----------------------------------------------------

using Build = std::function<void(B&)>;

B& rest(B& b) {
    return b.bkdt(std::vector<B::Block>(3)).bgfx(Bytes(3 * 64));
}
B& headerAndRest(B& b) {
    return rest(b.mphd());
}
// One header field changed; then either the usual chunks or MPHD alone.
Build with(int B::Header::*field, int value, bool chunks = true) {
    return [=](B& b) {
        b.header.*field = value;
        chunks ? addSolidChunks(b, kCells) : b.mphd();
    };
}
const Build solid = [](B& b) { addSolidChunks(b, kCells); };
const std::vector<int> kFirstCellAnimated = {-1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
// A map of this type whose BODY holds these raw numbers.
Build runs(int mapType, std::vector<int> numbers) {
    return [=](B& b) {
        b.header.mapType = mapType;
        headerAndRest(b).layerNumbers("BODY", numbers);
    };
}
// One animation over [start, end) of this sequence; a cell shows it when `shown`.
Build animated(int start, int end, std::vector<int> sequence, bool shown = false) {
    return [=](B& b) {
        B::Animation a;
        a.start = start;
        a.end = end;
        headerAndRest(b).andt(sequence, {a});
        if (shown)
            b.layer("BODY", kFirstCellAnimated);
    };
}

struct BadImage {
    const char* name;
    int expected;
    Build build;                     // the chunks (and header changes) of a three-block map
    void (*patch)(Bytes&) = nullptr; // bytes changed after building
};

// ctest lists a case by its name, not by its bytes.
void PrintTo(const BadImage& image, std::ostream* out) {
    *out << image.name;
}

const BadImage kBadImages[] = {
    {"VersionTwo", MapTooNew, with(&B::Header::versionMajor, 2)},
    {"MapTypeFour", MapTooNew, with(&B::Header::mapType, 4)},
    {"AnimatedGraphics", MapUnsupported, [](B& b) { rest(b.mphd().chunk("AGFX", Bytes(2))); }},
    {"HugeMap", MapOutOfMemory,
     [](B& b) { b.header.mapWidth = b.header.mapHeight = 32767, b.mphd(); }},
    {"NoHeader", MapBadFile, [](B& b) { rest(b); }},
    {"HeaderAfterBlocks", MapBadFile, [](B& b) { b.bkdt(std::vector<B::Block>(3)).mphd(); }},
    {"HeaderAfterALayer", MapBadFile, [](B& b) { headerAndRest(b).layer("BODY", kCells).mphd(); }},
    {"HeaderOf30Bytes", MapBadFile, with(&B::Header::length, 30)},
    {"ZeroWidth", MapBadFile, with(&B::Header::mapWidth, 0)},
    {"ZeroBlockHeight", MapBadFile, with(&B::Header::blockHeight, 0)},
    {"ZeroRecordSize", MapBadFile, with(&B::Header::blockRecordSize, 0)},
    {"NegativeGraphicCount", MapBadFile, with(&B::Header::graphicCount, -1, false)},
    {"ZeroColumnStep", MapBadFile, with(&B::Header::columnStep, 0)},
    {"TypeZeroDepthOfNoBytes", MapBadFile,
     [](B& b) { b.header.mapType = 0, with(&B::Header::blockDepth, 4, false)(b); }},
    {"BlankPixelsAboveTheLimit", MapOutOfMemory,
     [](B& b) {
         b.header.blockWidth = b.header.blockHeight = 4096,
         with(&B::Header::blockDepth, 4, false)(b);
     }},
    {"NoGraphics", MapBadFile, [](B& b) { b.mphd().bkdt(std::vector<B::Block>(3)); }},
    {"ShortBkdt", MapBadFile,
     [](B& b) { b.mphd().bkdt(std::vector<B::Block>(2)).bgfx(Bytes(3 * 64)); }},
    {"ShortGraphics", MapBadFile,
     [](B& b) { b.mphd().bkdt(std::vector<B::Block>(3)).bgfx(Bytes(3 * 64 - 1)); }},
    {"GraphicAtCount", MapBadFile,
     [](B& b) { b.mphd().bkdt(std::vector<B::Block>(3, {3})).bgfx(Bytes(3 * 64)); }},
    {"PaletteTooShort", MapBadFile,
     [](B& b) {
         b.header.blockDepth = 8,
         b.mphd().chunk("CMAP", Bytes(6)).bkdt(std::vector<B::Block>(3)).bgfx(Bytes(48, 2));
     }},
    {"LayerTooShort", MapBadFile,
     [](B& b) { headerAndRest(b).layer("BODY", std::vector<int>(14, 0)); }},
    {"CellNamesNoBlock", MapBadFile, [](B& b) { addSolidChunks(b, std::vector<int>(15, 3)); }},
    {"CellNamesTheTerminator", MapBadFile,
     [](B& b) { headerAndRest(b).andt({0}, {}).layer("BODY", kFirstCellAnimated); }},
    {"AnimationWithoutTerminator", MapBadFile,
     [](B& b) { headerAndRest(b).chunk("ANDT", Bytes(48, 0)); }},
    {"SequenceNotWholeValues", MapBadFile, // terminator at offset 2 of 18 bytes
     [](B& b) { headerAndRest(b).chunk("ANDT", Bytes(18, 0xFF)); }},
    {"ReachedFrameNamesNoBlock", MapBadFile, animated(2, 1, {0, 1, 3})},
    {"AnimationEndsPastSequence", MapBadFile, animated(0, 3, {0, 1})},
    {"AnimationStartsPastSequence", MapBadFile, animated(3, 1, {0, 1})},
    {"ShownAnimationWithoutFrames", MapBadFile, animated(1, 1, {0}, true)},
    {"ShownAnimationStepsBelowItsSequence", MapBadFile, animated(1, 0, {0, 1}, true)},
    {"RunPastTheRowEnd", MapBadFile, runs(2, {3, 0, 0, 0, -3, 1, -5, 0, -5, 0})},
    {"RunsCutShort", MapBadFile, runs(2, {-5, 0, -5, 0, 3, 0})},
    {"OnlyEmptyCounts", MapBadFile, runs(2, std::vector<int>(100, 0))},
    {"CopyBeforeTheLayer", MapBadFile, runs(3, {1, 0, -4, -2, -5, -5, -5, -5})},
    {"CopyFromItself", MapBadFile, runs(3, {1, 0, -4, 0, -5, -5, -5, -5})},
    {"TypeZeroBlockOffsetPastBlocks", MapBadFile, // cell 7 names block 3 of 3
     runs(0, {0, 0, 0, 0, 0, 0, 0, 96, 0, 0, 0, 0, 0, 0, 0})},
    {"ChunkLongerThanTheFile", MapBadFile, solid, [](Bytes& i) { i[16] = 0xFF; }},
    {"ChunkHeaderCutShort", MapBadFile, solid, [](Bytes& i) { i.resize(i.size() - 30 - 8 + 4); }},
    {"FormLongerThanTheFile", MapBadFile, solid, [](Bytes& i) { i[4] = 0x7F; }},
};

class MalformedImageTest : public MapTest, public testing::WithParamInterface<BadImage> {};

TEST_P(MalformedImageTest, IsRefusedAndLeavesNoMap) {
    // A good map first, to prove a refusal past the container empties it.
    ASSERT_EQ(decode(goodImage()), 0);
    B b = threeBlockMap();
    GetParam().build(b);
    Bytes image = b.image();
    if (GetParam().patch)
        GetParam().patch(image);
    EXPECT_EQ(decode(image), -1);
    EXPECT_EQ(lastError(), GetParam().expected)
        << errorName(lastError()) << ": " << lastErrorDetail();
    EXPECT_STRNE(lastErrorDetail(), "");
    EXPECT_EQ(mapLoaded() + blockCount() + graphicCount() + layerPresent(0), 0);
    EXPECT_EQ(currentLayer(), -1);
    // Every prefix of the image is refused too, without reading past its end.
    for (size_t size = 0; size < image.size(); ++size) {
        const Bytes prefix(image.begin(), image.begin() + size);
        EXPECT_EQ(decodeMap(prefix.data(), prefix.size(), 1), -1);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, MalformedImageTest, testing::ValuesIn(kBadImages),
                         [](const auto& info) { return std::string(info.param.name); });

// Unusual maps that are no danger to read: each loads, and check() proves it was read right.
struct OddImage {
    const char* name;
    Build build;
    std::function<void()> check = [] {};
};

void PrintTo(const OddImage& image, std::ostream* out) {
    *out << image.name;
}

const OddImage kOddImages[] = {
    // Pixels of no bytes (depth 4) or of five (depth 40): the colours are the map's affair.
    {"DepthOfNoBytes", [](B& b) { b.header.blockDepth = 4, headerAndRest(b).bgfx({}); }},
    {"DepthOfFiveBytes",
     [](B& b) {
         b.header.blockDepth = 40, b.mphd().bkdt(std::vector<B::Block>(3)).bgfx(Bytes(3 * 80));
     }},
    // Starting above its end, an animation steps between start and end - 1 only.
    {"AnimationStartsAboveItsEnd", animated(2, 1, {1, 5, 2}, true),
     [] { EXPECT_EQ((updateAnimations(), blockOfCell(-1)), 2); }},
    // Entry 1 names no block, but no animation reaches it.
    {"UnreachedFrameNamesNoBlock", animated(2, 3, {0, 9, 1}, true),
     [] { EXPECT_EQ(sequenceValue(1), 9); }},
    // Only byte order 1 is little-endian.
    {"ByteOrderSeven", [](B& b) { b.header.byteOrder = 7, addSolidChunks(b, kCells); },
     [] { EXPECT_EQ(cellsOf(0), kCells); }},
    // The later of two headers holds while no chunk has used the first.
    {"SecondHeaderFirst",
     [](B& b) {
         b.header.mapWidth = 9;
         b.mphd().chunk("NOVC", {'x'});
         b.header.mapWidth = 5;
         headerAndRest(b).layer("BODY", kCells);
     },
     [] { EXPECT_EQ(cellsOf(0), kCells); }},
};

class OddImageTest : public MapTest, public testing::WithParamInterface<OddImage> {};

TEST_P(OddImageTest, Loads) {
    B b = threeBlockMap();
    GetParam().build(b);
    ASSERT_EQ(decode(b.image()), 0) << lastErrorDetail();
    GetParam().check();
}

INSTANTIATE_TEST_SUITE_P(Table, OddImageTest, testing::ValuesIn(kOddImages),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
