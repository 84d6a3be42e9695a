#include "map/MapTestSupport.h"

#include <allegro5/allegro.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

using namespace MapLibrary;
using namespace maptest;

namespace {

// Five columns, three rows; the third row repeats the second so that type 3 copies a row.
const std::vector<int> kCells = {0, 1, 1, 1, 2, 2, 2, 0, 1, 0, 2, 2, 0, 1, 0};

MapImageBuilder threeBlockMap(int mapType, int byteOrder) {
    MapImageBuilder b = solidHeader(5, 3, 4, 3);
    b.header.mapType = mapType;
    b.header.byteOrder = byteOrder;
    return b;
}

std::vector<int> cellsOf(int layer) {
    std::vector<int> out;
    for (int row = 0; row < header().mapHeight; ++row)
        for (int column = 0; column < header().mapWidth; ++column)
            out.push_back(cellAt(layer, column, row));
    return out;
}

class MapLoaderTest : public MapTest {};

// ---- Map types and byte orders -------------------------------------------------------------

class MapTypeTest : public MapTest, public ::testing::WithParamInterface<std::tuple<int, int>> {};

TEST_P(MapTypeTest, DecodesCellsBlocksAndHeaderInEitherByteOrder) {
    const auto [mapType, byteOrder] = GetParam();
    MapImageBuilder b = threeBlockMap(mapType, byteOrder);
    b.header.columnStep = 5;
    b.header.rowStep = 6;
    b.header.staggerX = -2;
    b.header.staggerY = 3;
    MapImageBuilder::Block block;
    block.background = 2;
    block.foreground1 = 1;
    block.userLong1 = -100000;
    block.userLong2 = 0x12345678;
    block.userShort1 = -2;
    block.userShort2 = 30000;
    block.userByte1 = 200;
    block.userByte2 = 1;
    block.userByte3 = 2;
    block.flags = 0x95;
    std::vector<std::vector<uint8_t>> colours = {pixel32(1, 2, 3), pixel32(4, 5, 6),
                                                 pixel32(7, 8, 9)};
    b.mphd().bkdt({{}, {}, block}).bgfx(solidGraphics(colours, 16)).layer("BODY", kCells);

    ASSERT_EQ(decode(b.image()), 0) << lastErrorDetail();
    EXPECT_EQ(lastError(), MapOk);
    EXPECT_EQ(header().mapType, mapType);
    EXPECT_EQ(header().mapWidth, 5);
    EXPECT_EQ(header().mapHeight, 3);
    EXPECT_EQ(header().columnStep, 5);
    EXPECT_EQ(header().rowStep, 6);
    EXPECT_EQ(header().staggerX, -2);
    EXPECT_EQ(header().staggerY, 3);
    EXPECT_EQ(cellsOf(0), kCells);
    EXPECT_EQ(currentLayer(), 0);
    ASSERT_EQ(blockCount(), 3);
    const BlockStructure* s = blockStructure(2);
    EXPECT_EQ(s->backgroundGraphic, 2);
    EXPECT_EQ(s->foreground1Graphic, 1);
    EXPECT_EQ(s->background, blockBitmap(2));
    EXPECT_EQ(s->foreground1, blockBitmap(1));
    EXPECT_EQ(s->userLong1, -100000);
    EXPECT_EQ(s->userLong2, 0x12345678);
    EXPECT_EQ(s->userShort1, -2);
    EXPECT_EQ(s->userShort2, 30000);
    EXPECT_EQ(s->userByte1, 200);
    EXPECT_EQ(s->userByte2, 1);
    EXPECT_EQ(s->userByte3, 2);
    EXPECT_EQ(s->flags, 0x95);
}

INSTANTIATE_TEST_SUITE_P(EveryTypeAndByteOrder, MapTypeTest,
                         ::testing::Combine(::testing::Values(0, 1, 2, 3),
                                            ::testing::Values(0, 1)));

TEST_F(MapLoaderTest, ChunkLengthsStayBigEndianWithALittleEndianMap) {
    MapImageBuilder b = threeBlockMap(1, 1);
    addSolidChunks(b, kCells);
    const std::vector<uint8_t> image = b.image();
    // MPHD's length field is the big-endian 36 and its width the little-endian 5.
    EXPECT_EQ(image[12 + 4 + 3], 36);
    EXPECT_EQ(image[20 + 4], 5);
    ASSERT_EQ(decode(image), 0) << lastErrorDetail();
    EXPECT_EQ(header().byteOrder, 1);
    EXPECT_EQ(cellsOf(0), kCells);
}

TEST_F(MapLoaderTest, AnyByteOrderOtherThanOneIsBigEndian) {
    MapImageBuilder b = threeBlockMap(1, 0);
    addSolidChunks(b, kCells);
    std::vector<uint8_t> image = b.image();
    image[20 + 2] = 7; // the byteOrder byte of MPHD
    ASSERT_EQ(decode(image), 0) << lastErrorDetail();
    EXPECT_EQ(header().mapWidth, 5);
}

TEST_F(MapLoaderTest, ShortHeaderTakesTheStepsFromTheBlockSize) {
    MapImageBuilder b = threeBlockMap(1, 0);
    b.header.blockWidth = 4;
    b.header.blockHeight = 2;
    b.header.columnStep = 9;
    b.header.staggerX = 3;
    b.header.length = 28;
    addSolidChunks(b, kCells);
    ASSERT_EQ(decode(b.image()), 0) << lastErrorDetail();
    EXPECT_EQ(header().columnStep, 4);
    EXPECT_EQ(header().rowStep, 2);
    EXPECT_EQ(header().staggerX, 0);
    EXPECT_EQ(header().staggerY, 0);
}

TEST_F(MapLoaderTest, LongerHeaderIsReadToItsThirtySixBytes) {
    MapImageBuilder b = threeBlockMap(1, 0);
    b.header.length = 64;
    addSolidChunks(b, kCells);
    ASSERT_EQ(decode(b.image()), 0) << lastErrorDetail();
    EXPECT_EQ(header().columnStep, 4);
}

// ---- Run-length layers ---------------------------------------------------------------------

TEST_F(MapLoaderTest, TypeTwoRunsFillAndSkipEmptyCounts) {
    MapImageBuilder b = solidHeader(5, 1, 4, 5);
    b.header.mapType = 2;
    b.mphd().bkdt(std::vector<MapImageBuilder::Block>(5));
    b.bgfx(std::vector<uint8_t>(5 * 64, 1));
    // 3, a, b, c, 0, -2, d with a..d = 1..4
    b.layerNumbers("BODY", {3, 1, 2, 3, 0, -2, 4});
    ASSERT_EQ(decode(b.image()), 0) << lastErrorDetail();
    EXPECT_EQ(cellsOf(0), (std::vector<int>{1, 2, 3, 4, 4}));
}

TEST_F(MapLoaderTest, TypeThreeCopiesRepeatAShortPattern) {
    MapImageBuilder b = solidHeader(6, 2, 4, 3);
    b.header.mapType = 3;
    b.mphd().bkdt(std::vector<MapImageBuilder::Block>(3));
    b.bgfx(std::vector<uint8_t>(3 * 64, 1));
    // Row 0: 2, a, b, -4, -2. Row 1 copies from row 0 across the row boundary.
    b.layerNumbers("BODY", {2, 1, 2, -4, -2, 1, 0, -5, -6});
    ASSERT_EQ(decode(b.image()), 0) << lastErrorDetail();
    EXPECT_EQ(cellsOf(0), (std::vector<int>{1, 2, 1, 2, 1, 2, 0, 2, 1, 2, 1, 2}));
}

// ---- Type 0 offsets -----------------------------------------------------------------------

TEST_F(MapLoaderTest, TypeZeroTurnsByteOffsetsIntoIndices) {
    MapImageBuilder b = solidHeader(2, 1, 4, 3);
    b.header.mapType = 0;
    MapImageBuilder::Block block;
    block.background = 2; // written as 2 graphics of 64 bytes: offset 128
    block.foreground3 = 1;
    b.mphd().bkdt({{}, {}, block}).bgfx(std::vector<uint8_t>(3 * 64, 1));
    MapImageBuilder::Animation first, second;
    first.start = 0;
    first.end = 2;
    second.type = 2;
    second.start = 1;
    second.end = 3;
    b.andt({1, 2, 0}, {first, second});
    b.layerNumbers("BODY", {64, -32}); // block 2 and animation -2
    ASSERT_EQ(decode(b.image()), 0) << lastErrorDetail();
    EXPECT_EQ(cellsOf(0), (std::vector<int>{2, -2}));
    EXPECT_EQ(blockStructure(2)->backgroundGraphic, 2);
    EXPECT_EQ(blockStructure(2)->foreground3Graphic, 1);
    ASSERT_EQ(sequenceLength(), 3);
    EXPECT_EQ(sequenceValue(0), 1);
    EXPECT_EQ(sequenceValue(1), 2);
    EXPECT_EQ(sequenceValue(2), 0);
    ASSERT_EQ(animationCount(), 3);
    EXPECT_EQ(animation(1)->start, 0); // written as -N
    EXPECT_EQ(animation(1)->end, 2);
    EXPECT_EQ(animation(2)->start, 1);
    EXPECT_EQ(animation(2)->end, 3);
    EXPECT_EQ(animation(2)->current, 2); // reset: type 2 starts on its last frame
}

TEST_F(MapLoaderTest, AnimationRecordsAreFoundFromTheEnd) {
    MapImageBuilder b = solidHeader(3, 1, 4, 2);
    b.mphd().bkdt(std::vector<MapImageBuilder::Block>(2)).bgfx(std::vector<uint8_t>(128, 1));
    MapImageBuilder::Animation a;
    a.type = 1;
    a.delay = 3;
    a.userByte = 9;
    a.start = 0;
    a.end = 4;
    b.andt({1, 0, 1, 1}, {a, a});
    b.layer("BODY", {-1, -2, 0});
    ASSERT_EQ(decode(b.image()), 0) << lastErrorDetail();
    ASSERT_EQ(animationCount(), 3);
    EXPECT_EQ(animation(0)->type, -1);
    EXPECT_EQ(animation(1)->delay, 3);
    EXPECT_EQ(animation(1)->counter, 3);
    EXPECT_EQ(animation(1)->userByte, 9);
    EXPECT_EQ(sequenceLength(), 4);
    EXPECT_EQ(blockOfCell(-1), 1);
    EXPECT_EQ(blockOfCell(-3), -1); // the terminator is no animation
    EXPECT_EQ(blockOfCell(-4), -1);
}

// ---- The chunk walk -------------------------------------------------------------------------

TEST_F(MapLoaderTest, OddLengthAndUnknownChunksAreWalkedOver) {
    MapImageBuilder b = threeBlockMap(1, 0);
    b.chunk("NOVC", {'h', 'i', '!'});
    b.chunk("ATHR", {1, 2, 3, 4, 5});
    addSolidChunks(b, kCells);
    b.chunk("XTRA", {9});
    ASSERT_EQ(decode(b.image()), 0) << lastErrorDetail();
    EXPECT_EQ(cellsOf(0), kCells);
    ASSERT_EQ(chunkCount(), 7);
    EXPECT_STREQ(chunk(0)->id, "NOVC");
    EXPECT_EQ(chunk(0)->length, 3u);
    EXPECT_EQ(chunk(0)->offset, 12u);
    EXPECT_STREQ(chunk(1)->id, "ATHR");
    EXPECT_EQ(chunk(1)->offset, 12u + 8 + 3);
    EXPECT_STREQ(chunk(6)->id, "XTRA");
}

TEST_F(MapLoaderTest, LaterLayerAndPaletteReplaceEarlierOnesButOnlyTheFirstGraphicsCount) {
    MapImageBuilder b = solidHeader(2, 1, 1, 2);
    b.header.blockDepth = 8;
    b.mphd().bkdt({{}, {}});
    b.cmap({1, 1, 1, 2, 2, 2});
    b.bgfx({1, 0});
    b.bgfx({0, 0});
    b.cmap({1, 1, 1, 30, 40, 50});
    b.layer("BODY", {0, 0});
    b.layer("LYR2", {0, 1});
    b.layer("BODY", {1, 1});
    ASSERT_EQ(decode(b.image()), 0) << lastErrorDetail();
    EXPECT_EQ(cellsOf(0), (std::vector<int>{1, 1}));
    EXPECT_EQ(cellsOf(2), (std::vector<int>{0, 1}));
    EXPECT_EQ(paletteSize(), 2);
    EXPECT_EQ(pixelAt(blockBitmap(0), 0, 0), (Rgba{30, 40, 50, 255}));
}

TEST_F(MapLoaderTest, SelectLayerTakesOnlyPresentSlots) {
    MapImageBuilder b = threeBlockMap(1, 0);
    addSolidChunks(b, kCells);
    ASSERT_EQ(decode(b.image()), 0) << lastErrorDetail();
    EXPECT_EQ(layerPresent(0), 1);
    EXPECT_EQ(layerPresent(1), 0);
    EXPECT_EQ(selectLayer(1), -1);
    EXPECT_EQ(selectLayer(8), -1);
    EXPECT_EQ(selectLayer(-1), -1);
    EXPECT_EQ(currentLayer(), 0);

    b.layer("LYR7", kCells);
    ASSERT_EQ(decode(b.image()), 0) << lastErrorDetail();
    EXPECT_EQ(selectLayer(7), 7);
    EXPECT_EQ(currentLayer(), 7);
    EXPECT_EQ(selectLayer(3), -1);
    EXPECT_EQ(currentLayer(), 7);
    EXPECT_EQ(selectLayer(0), 0);
}

TEST_F(MapLoaderTest, MapWithoutBodyHasNoCurrentLayer) {
    MapImageBuilder b = threeBlockMap(1, 0);
    b.mphd().bkdt(std::vector<MapImageBuilder::Block>(3)).bgfx(std::vector<uint8_t>(3 * 64));
    b.layer("LYR1", kCells);
    ASSERT_EQ(decode(b.image()), 0) << lastErrorDetail();
    EXPECT_EQ(currentLayer(), -1);
    EXPECT_EQ(selectLayer(1), 1);
}

TEST_F(MapLoaderTest, CellQueriesOutsideTheMapAnswerNoCell) {
    MapImageBuilder b = threeBlockMap(1, 0);
    addSolidChunks(b, kCells);
    ASSERT_EQ(decode(b.image()), 0);
    EXPECT_EQ(cellAt(0, 4, 2), 0);
    EXPECT_EQ(cellAt(0, 5, 0), NoCell);
    EXPECT_EQ(cellAt(0, -1, 0), NoCell);
    EXPECT_EQ(cellAt(0, 0, 3), NoCell);
    EXPECT_EQ(cellAt(1, 0, 0), NoCell);
    EXPECT_EQ(cellAt(9, 0, 0), NoCell);
    EXPECT_EQ(layerCells(1), nullptr);
}

// ---- Files ---------------------------------------------------------------------------------

TEST_F(MapLoaderTest, LoadsAFileThroughAllegro) {
    MapImageBuilder b = threeBlockMap(2, 1);
    addSolidChunks(b, kCells);
    const std::vector<uint8_t> image = b.image();
    const std::string path = "/tmp/fennow_maploader_test.fmp";
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(image.data(), 1, image.size(), file);
    std::fclose(file);

    ASSERT_EQ(loadMap(path.c_str(), 1), 0) << lastErrorDetail();
    EXPECT_EQ(cellsOf(0), kCells);
    EXPECT_EQ(mapLoaded(), 1);
    // Backslashes are the game's separators.
    ASSERT_EQ(loadMap("\\tmp\\fennow_maploader_test.fmp", 1), 0) << lastErrorDetail();
    std::remove(path.c_str());
}

TEST_F(MapLoaderTest, TruncatedOrEmptyFilesAreBadFile) {
    MapImageBuilder b = threeBlockMap(1, 0);
    addSolidChunks(b, kCells);
    const std::vector<uint8_t> image = b.image();
    const std::string path = "/tmp/fennow_maploader_truncated.fmp";
    for (size_t size : {size_t(0), size_t(11), size_t(12), image.size() - 1}) {
        FILE* file = std::fopen(path.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(image.data(), 1, size, file);
        std::fclose(file);
        EXPECT_EQ(loadMap(path.c_str(), 1), -1) << size;
        EXPECT_EQ(lastError(), MapBadFile) << size;
    }
    std::remove(path.c_str());
    EXPECT_EQ(loadMap("/tmp", 1), -1); // a directory
    EXPECT_NE(lastError(), MapOk);
}

TEST_F(MapLoaderTest, MissingFileIsCannotOpenAndKeepsTheLoadedMap) {
    MapImageBuilder b = threeBlockMap(1, 0);
    addSolidChunks(b, kCells);
    ASSERT_EQ(decode(b.image()), 0);
    EXPECT_EQ(loadMap("/nonexistent/NoSuchMap.fmp", 1), -1);
    EXPECT_EQ(lastError(), MapCannotOpen);
    EXPECT_EQ(loadMap(nullptr, 1), -1);
    EXPECT_EQ(lastError(), MapCannotOpen);
    EXPECT_EQ(mapLoaded(), 1);
    EXPECT_EQ(cellsOf(0), kCells);
}

TEST_F(MapLoaderTest, BadContainerIsBadFileAndKeepsTheLoadedMap) {
    MapImageBuilder b = threeBlockMap(1, 0);
    addSolidChunks(b, kCells);
    const std::vector<uint8_t> good = b.image();
    ASSERT_EQ(decode(good), 0);

    std::vector<uint8_t> notForm = good;
    notForm[0] = 'X';
    EXPECT_EQ(decode(notForm), -1);
    EXPECT_EQ(lastError(), MapBadFile);
    std::vector<uint8_t> notFmap = good;
    notFmap[11] = 'X';
    EXPECT_EQ(decode(notFmap), -1);
    EXPECT_EQ(lastError(), MapBadFile);
    EXPECT_EQ(decode(std::vector<uint8_t>(good.begin(), good.begin() + 11)), -1);
    EXPECT_EQ(lastError(), MapBadFile);
    EXPECT_EQ(decodeMap(nullptr, 0, 1), -1);

    EXPECT_EQ(mapLoaded(), 1);
    EXPECT_EQ(cellsOf(0), kCells);
}

TEST_F(MapLoaderTest, FailureAfterTheContainerEmptiesTheMap) {
    MapImageBuilder b = threeBlockMap(1, 0);
    addSolidChunks(b, kCells);
    ASSERT_EQ(decode(b.image()), 0);
    b.chunk("AGFX", {1, 2, 3});
    EXPECT_EQ(decode(b.image()), -1);
    EXPECT_EQ(lastError(), MapUnsupported);
    EXPECT_EQ(mapLoaded(), 0);
    EXPECT_EQ(layerPresent(0), 0);
    EXPECT_EQ(blockCount(), 0);
    EXPECT_EQ(graphicCount(), 0);
    EXPECT_EQ(currentLayer(), -1);
    freeMap(); // twice is harmless
    freeMap();
}

TEST_F(MapLoaderTest, ErrorNames) {
    EXPECT_STREQ(errorName(MapOk), "MapOk");
    EXPECT_STREQ(errorName(MapOutOfMemory), "MapOutOfMemory");
    EXPECT_STREQ(errorName(MapBadFile), "MapBadFile");
    EXPECT_STREQ(errorName(MapCannotOpen), "MapCannotOpen");
    EXPECT_STREQ(errorName(MapNoSystem), "MapNoSystem");
    EXPECT_STREQ(errorName(MapNoBitmap), "MapNoBitmap");
    EXPECT_STREQ(errorName(MapTooNew), "MapTooNew");
    EXPECT_STREQ(errorName(MapUnsupported), "MapUnsupported");
    EXPECT_STREQ(errorName(5), "MapUnknown");
}

// ---- Malformed images ---------------------------------------------------------------------

struct BadImage {
    const char* name;
    int expected;
    std::vector<uint8_t> (*make)();
};

std::vector<uint8_t> withHeader(void (*change)(MapImageBuilder::Header&),
                                const std::vector<int>& cells = kCells) {
    MapImageBuilder b = threeBlockMap(1, 0);
    change(b.header);
    addSolidChunks(b, cells);
    return b.image();
}

// A valid map whose chunks after MPHD are replaced by `build`.
std::vector<uint8_t> withChunks(void (*build)(MapImageBuilder&)) {
    MapImageBuilder b = threeBlockMap(1, 0);
    build(b);
    return b.image();
}

void validRest(MapImageBuilder& b) {
    b.bkdt(std::vector<MapImageBuilder::Block>(3)).bgfx(std::vector<uint8_t>(3 * 64));
}

std::vector<uint8_t> patchedLength(size_t chunkOffset, uint32_t length) {
    MapImageBuilder b = threeBlockMap(1, 0);
    addSolidChunks(b, kCells);
    std::vector<uint8_t> image = b.image();
    for (int i = 0; i < 4; ++i)
        image[chunkOffset + 4 + i] = uint8_t(length >> (24 - 8 * i));
    return image;
}

const BadImage kBadImages[] = {
    {"VersionTwo", MapTooNew, [] { return withHeader([](auto& h) { h.versionMajor = 2; }); }},
    {"MapTypeFour", MapTooNew, [] { return withHeader([](auto& h) { h.mapType = 4; }); }},
    {"AnimatedGraphics", MapUnsupported,
     [] {
         return withChunks([](MapImageBuilder& b) {
             b.mphd().chunk("AGFX", {0, 0});
             validRest(b);
         });
     }},
    {"HugeMap", MapOutOfMemory,
     [] {
         return withChunks([](MapImageBuilder& b) {
             b.header.mapWidth = b.header.mapHeight = 32767;
             b.mphd();
         });
     }},
    {"NoHeader", MapBadFile, [] { return withChunks([](MapImageBuilder& b) { validRest(b); }); }},
    {"EmptyForm", MapBadFile, [] { return withChunks([](MapImageBuilder&) {}); }},
    {"HeaderAfterLayer", MapBadFile,
     [] {
         return withChunks([](MapImageBuilder& b) {
             b.layer("BODY", kCells);
             b.mphd();
             validRest(b);
         });
     }},
    {"HeaderAfterBlocks", MapBadFile,
     [] {
         return withChunks([](MapImageBuilder& b) {
             b.bkdt(std::vector<MapImageBuilder::Block>(3));
             b.mphd();
         });
     }},
    {"HeaderAfterAnimations", MapBadFile,
     [] {
         return withChunks([](MapImageBuilder& b) {
             b.andt({}, {});
             b.mphd();
         });
     }},
    {"SecondHeader", MapBadFile,
     [] {
         return withChunks([](MapImageBuilder& b) {
             b.mphd().mphd();
             validRest(b);
         });
     }},
    {"HeaderOf27Bytes", MapBadFile, [] { return withHeader([](auto& h) { h.length = 27; }); }},
    {"HeaderOf30Bytes", MapBadFile, [] { return withHeader([](auto& h) { h.length = 30; }); }},
    {"ZeroWidth", MapBadFile, [] { return withHeader([](auto& h) { h.mapWidth = 0; }, {}); }},
    {"NegativeHeight", MapBadFile,
     [] { return withHeader([](auto& h) { h.mapHeight = -3; }, {}); }},
    {"ZeroBlockWidth", MapBadFile, [] { return withHeader([](auto& h) { h.blockWidth = 0; }); }},
    {"ZeroBlockHeight", MapBadFile, [] { return withHeader([](auto& h) { h.blockHeight = 0; }); }},
    {"ZeroRecordSize", MapBadFile,
     [] { return withHeader([](auto& h) { h.blockRecordSize = 0; }); }},
    {"NegativeBlockCount", MapBadFile,
     [] {
         return withChunks([](MapImageBuilder& b) {
             b.header.blockCount = -1;
             b.mphd();
         });
     }},
    {"NegativeGraphicCount", MapBadFile,
     [] {
         return withChunks([](MapImageBuilder& b) {
             b.header.graphicCount = -1;
             b.mphd();
         });
     }},
    {"ZeroColumnStep", MapBadFile, [] { return withHeader([](auto& h) { h.columnStep = 0; }); }},
    {"NegativeRowStep", MapBadFile, [] { return withHeader([](auto& h) { h.rowStep = -32; }); }},
    {"DepthWithoutPixelSize", MapBadFile,
     [] { return withHeader([](auto& h) { h.blockDepth = 4; }); }},
    {"DepthOfFiveBytes", MapBadFile, [] { return withHeader([](auto& h) { h.blockDepth = 40; }); }},
    {"ChunkLongerThanTheFile", MapBadFile, [] { return patchedLength(12, 0xFFFFFFF0u); }},
    {"LastChunkCutShort", MapBadFile,
     [] {
         std::vector<uint8_t> image = patchedLength(12, 36);
         image.resize(image.size() - 1); // cut the last chunk short by a byte
         return image;
     }},
    {"HeaderCutShort", MapBadFile,
     [] {
         MapImageBuilder b = threeBlockMap(1, 0);
         addSolidChunks(b, kCells);
         std::vector<uint8_t> image = b.image();
         image.resize(image.size() - 2 * 15 - 8 + 4); // inside BODY's chunk header
         return image;
     }},
    {"FormLongerThanTheFile", MapBadFile,
     [] {
         MapImageBuilder b = threeBlockMap(1, 0);
         addSolidChunks(b, kCells);
         std::vector<uint8_t> image = b.image();
         image[4] = 0x7F;
         return image;
     }},
    {"BlocksWithoutBkdt", MapBadFile,
     [] {
         return withChunks([](MapImageBuilder& b) { b.mphd().bgfx(std::vector<uint8_t>(3 * 64)); });
     }},
    {"ShortBkdt", MapBadFile,
     [] {
         return withChunks([](MapImageBuilder& b) {
             b.mphd()
                 .bkdt(std::vector<MapImageBuilder::Block>(2))
                 .bgfx(std::vector<uint8_t>(3 * 64));
         });
     }},
    {"GraphicAtCount", MapBadFile,
     [] {
         return withChunks([](MapImageBuilder& b) {
             MapImageBuilder::Block block;
             block.background = 3;
             b.mphd().bkdt({{}, {}, block}).bgfx(std::vector<uint8_t>(3 * 64));
         });
     }},
    {"NegativeForeground", MapBadFile,
     [] {
         return withChunks([](MapImageBuilder& b) {
             MapImageBuilder::Block block;
             block.foreground2 = -1;
             b.mphd().bkdt({{}, {}, block}).bgfx(std::vector<uint8_t>(3 * 64));
         });
     }},
    {"NoGraphics", MapBadFile,
     [] {
         return withChunks(
             [](MapImageBuilder& b) { b.mphd().bkdt(std::vector<MapImageBuilder::Block>(3)); });
     }},
    {"ShortGraphics", MapBadFile,
     [] {
         return withChunks([](MapImageBuilder& b) {
             b.mphd()
                 .bkdt(std::vector<MapImageBuilder::Block>(3))
                 .bgfx(std::vector<uint8_t>(3 * 64 - 1));
         });
     }},
    {"PaletteTooShort", MapBadFile,
     [] {
         return withChunks([](MapImageBuilder& b) {
             b.header.blockDepth = 8;
             b.mphd().bkdt(std::vector<MapImageBuilder::Block>(3));
             b.cmap({0, 0, 0, 1, 1, 1});
             std::vector<uint8_t> pixels(3 * 16, 1);
             pixels[20] = 2;
             b.bgfx(pixels);
         });
     }},
    {"EightBitWithoutPalette", MapBadFile,
     [] {
         return withChunks([](MapImageBuilder& b) {
             b.header.blockDepth = 8;
             b.mphd().bkdt(std::vector<MapImageBuilder::Block>(3));
             b.bgfx(std::vector<uint8_t>(3 * 16, 1));
         });
     }},
    {"LayerTooShort", MapBadFile,
     [] {
         return withChunks([](MapImageBuilder& b) {
             b.mphd();
             validRest(b);
             b.layer("BODY", std::vector<int>(14, 0));
         });
     }},
    {"CellNamesNoBlock", MapBadFile,
     [] {
         return withHeader([](auto&) {}, {0, 1, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
     }},
    {"CellNamesNoAnimation", MapBadFile,
     [] {
         return withHeader([](auto&) {}, {0, 1, 2, -1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
     }},
    {"CellNamesTheTerminator", MapBadFile,
     [] {
         return withChunks([](MapImageBuilder& b) {
             b.mphd();
             validRest(b);
             b.andt({0}, {});
             b.layer("BODY", {-1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
         });
     }},
    {"AnimationWithoutTerminator", MapBadFile,
     [] {
         return withChunks([](MapImageBuilder& b) {
             b.mphd();
             validRest(b);
             b.chunk("ANDT", std::vector<uint8_t>(48, 0));
         });
     }},
    {"AnimationShorterThanARecord", MapBadFile,
     [] {
         return withChunks([](MapImageBuilder& b) {
             b.mphd();
             validRest(b);
             b.chunk("ANDT", {0xFF, 0, 0, 0});
         });
     }},
    {"SequenceNotWholeValues", MapBadFile,
     [] {
         return withChunks([](MapImageBuilder& b) {
             b.mphd();
             validRest(b);
             std::vector<uint8_t> data(18, 0);
             data[2] = 0xFF; // terminator at offset 2 of 18 bytes
             b.chunk("ANDT", data);
         });
     }},
    {"SequenceNamesNoBlock", MapBadFile,
     [] {
         return withChunks([](MapImageBuilder& b) {
             b.mphd();
             validRest(b);
             b.andt({3}, {});
         });
     }},
    {"AnimationEndsPastSequence", MapBadFile,
     [] {
         return withChunks([](MapImageBuilder& b) {
             b.mphd();
             validRest(b);
             MapImageBuilder::Animation a;
             a.start = 0;
             a.end = 3;
             b.andt({0, 1}, {a});
         });
     }},
    {"AnimationStartsAfterItsEnd", MapBadFile,
     [] {
         return withChunks([](MapImageBuilder& b) {
             b.mphd();
             validRest(b);
             MapImageBuilder::Animation a;
             a.start = 2;
             a.end = 1;
             b.andt({0, 1}, {a});
         });
     }},
    {"NegativeAnimationStart", MapBadFile,
     [] {
         return withChunks([](MapImageBuilder& b) {
             b.mphd();
             validRest(b);
             MapImageBuilder::Animation a;
             a.start = -1;
             a.end = 1;
             b.andt({0, 1}, {a});
         });
     }},
    {"ShownAnimationWithoutFrames", MapBadFile,
     [] {
         return withChunks([](MapImageBuilder& b) {
             b.mphd();
             validRest(b);
             MapImageBuilder::Animation a;
             a.start = 1;
             a.end = 1;
             b.andt({0}, {a});
             b.layer("BODY", {-1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
         });
     }},
    {"RunPastTheRowEnd", MapBadFile,
     [] {
         return withChunks([](MapImageBuilder& b) {
             b.header.mapType = 2;
             b.mphd();
             validRest(b);
             b.layerNumbers("BODY", {3, 0, 0, 0, -3, 1, -5, 0, -5, 0});
         });
     }},
    {"LiteralRunPastTheRowEnd", MapBadFile,
     [] {
         return withChunks([](MapImageBuilder& b) {
             b.header.mapType = 2;
             b.mphd();
             validRest(b);
             b.layerNumbers("BODY", {6, 0, 0, 0, 0, 0, 0, -5, 0, -5, 0});
         });
     }},
    {"RunsCutShort", MapBadFile,
     [] {
         return withChunks([](MapImageBuilder& b) {
             b.header.mapType = 2;
             b.mphd();
             validRest(b);
             b.layerNumbers("BODY", {-5, 0, -5, 0, 3, 0});
         });
     }},
    {"OnlyEmptyCounts", MapBadFile,
     [] {
         return withChunks([](MapImageBuilder& b) {
             b.header.mapType = 2;
             b.mphd();
             validRest(b);
             b.layerNumbers("BODY", std::vector<int>(100, 0));
         });
     }},
    {"CopyBeforeTheLayer", MapBadFile,
     [] {
         return withChunks([](MapImageBuilder& b) {
             b.header.mapType = 3;
             b.mphd();
             validRest(b);
             b.layerNumbers("BODY", {1, 0, -4, -2, -5, -5, -5, -5});
         });
     }},
    {"CopyFromItself", MapBadFile,
     [] {
         return withChunks([](MapImageBuilder& b) {
             b.header.mapType = 3;
             b.mphd();
             validRest(b);
             b.layerNumbers("BODY", {1, 0, -4, 0, -5, -5, -5, -5});
         });
     }},
    {"CopyFromAhead", MapBadFile,
     [] {
         return withChunks([](MapImageBuilder& b) {
             b.header.mapType = 3;
             b.mphd();
             validRest(b);
             b.layerNumbers("BODY", {1, 0, -4, 2, -5, -5, -5, -5});
         });
     }},
    {"TypeZeroBlockOffsetPastBlocks", MapBadFile,
     [] {
         return withChunks([](MapImageBuilder& b) {
             b.header.mapType = 0;
             b.mphd();
             validRest(b);
             std::vector<int> cells(15, 0);
             cells[7] = 96; // block 3 of 3
             b.layerNumbers("BODY", cells);
         });
     }},
};

class MalformedImageTest : public MapTest, public ::testing::WithParamInterface<BadImage> {};

TEST_P(MalformedImageTest, IsRefusedAndLeavesNoMap) {
    // A good map first, to prove a refusal past the container empties it.
    MapImageBuilder good = threeBlockMap(1, 0);
    addSolidChunks(good, kCells);
    ASSERT_EQ(decode(good.image()), 0);

    const std::vector<uint8_t> image = GetParam().make();
    EXPECT_EQ(decode(image), -1);
    EXPECT_EQ(lastError(), GetParam().expected)
        << errorName(lastError()) << ": " << lastErrorDetail();
    EXPECT_STRNE(lastErrorDetail(), "");
    EXPECT_EQ(mapLoaded(), 0);
    EXPECT_EQ(layerPresent(0), 0);
    // Every prefix of the image is refused too, without reading past its end.
    for (size_t size = 0; size < image.size(); ++size) {
        const std::vector<uint8_t> prefix(image.begin(), image.begin() + size);
        EXPECT_EQ(decodeMap(prefix.data(), prefix.size(), 1), -1);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, MalformedImageTest, ::testing::ValuesIn(kBadImages),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
