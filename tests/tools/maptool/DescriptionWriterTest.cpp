#include "DescriptionWriter.h"
#include "MapDescription.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using MapWriter::Block;
using MapWriter::MapContent;
using MapWriter::Pixel;

// A graphic of w x h pixels: a filled square of one colour with a clear border.
std::vector<Pixel> graphic(int w, int h, Pixel colour) {
    std::vector<Pixel> pixels(static_cast<std::size_t>(w) * h, Pixel{0, 0, 0, 0});
    for (int y = 1; y + 1 < h; ++y)
        for (int x = 1; x + 1 < w; ++x)
            pixels[static_cast<std::size_t>(y) * w + x] = colour;
    pixels[0] = Pixel{255, 255, 255, 255}; // one opaque corner, so flips would show
    return pixels;
}

// Several layers, foregrounds, every block field and two animations; graphics numbered in
// order of first use, as make numbers them.
MapContent sampleContent(int animations) {
    MapContent map;
    map.mapType = 3;
    map.blockDepth = 16;
    map.byteOrder = MapWriter::ByteOrder::Big;
    map.blockWidth = 8;
    map.blockHeight = 6;
    map.mapWidth = 5;
    map.mapHeight = 3;
    map.columnStep = 8;
    map.rowStep = 3;
    map.staggerX = 4;
    map.staggerY = 0;
    map.note = "Imported";
    map.graphics.push_back(std::vector<Pixel>(48, Pixel{0, 0, 0, 0}));
    for (int g = 1; g <= 5; ++g)
        map.graphics.push_back(
            graphic(8, 6, Pixel{static_cast<std::uint8_t>(40 * g), 90, 200, 255}));
    Block empty;
    Block grass;
    grass.background = 1;
    Block tree;
    tree.background = 2;
    tree.foreground1 = 3;
    tree.foreground3 = 1;
    tree.userLong1 = -70000;
    tree.userLong2 = 5;
    tree.userShort1 = -5;
    tree.userShort2 = 300;
    tree.userByte1 = 1;
    tree.userByte2 = 2;
    tree.userByte3 = 200;
    tree.flags = 3;
    Block water1;
    water1.background = 4;
    Block water2;
    water2.background = 5;
    water2.flags = 1;
    map.blocks = {empty, grass, tree, water1, water2};
    map.sequence = {3, 4, 4, 3, 1};
    if (animations > 0) {
        MapWriter::Animation flow;
        flow.type = 1;
        flow.delay = 6;
        flow.counter = 6;
        flow.start = 0;
        flow.end = 2;
        flow.current = 0;
        map.animations.push_back(flow);
        MapWriter::Animation shimmer = flow;
        shimmer.delay = 12;
        shimmer.counter = 12;
        shimmer.userByte = -3;
        shimmer.start = shimmer.current = 2;
        shimmer.end = 5;
        map.animations.push_back(shimmer);
    } else {
        map.sequence.clear();
    }
    const std::int16_t a1 = animations > 0 ? -2 : 3, a2 = animations > 0 ? -1 : 4;
    map.layers[0] = {1, 1, 1, a1, a1, 1, 1, 1, a2, a1, 1, 1, 1, 1, 1};
    map.layers[1] = {0, 2, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 2};
    map.layers[4] = {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0};
    return map;
}

void expectSameContent(const MapContent& a, const MapContent& b) {
    EXPECT_EQ(a.mapType, b.mapType);
    EXPECT_EQ(a.blockDepth, b.blockDepth);
    EXPECT_EQ(a.byteOrder, b.byteOrder);
    EXPECT_EQ(a.mapWidth, b.mapWidth);
    EXPECT_EQ(a.mapHeight, b.mapHeight);
    EXPECT_EQ(a.blockWidth, b.blockWidth);
    EXPECT_EQ(a.blockHeight, b.blockHeight);
    EXPECT_EQ(a.shortHeader, b.shortHeader);
    EXPECT_EQ(a.columnStep, b.columnStep);
    EXPECT_EQ(a.rowStep, b.rowStep);
    EXPECT_EQ(a.staggerX, b.staggerX);
    EXPECT_EQ(a.staggerY, b.staggerY);
    EXPECT_EQ(a.note, b.note);
    EXPECT_EQ(a.graphics, b.graphics);
    ASSERT_EQ(a.blocks.size(), b.blocks.size());
    for (std::size_t i = 0; i < a.blocks.size(); ++i) {
        SCOPED_TRACE("block " + std::to_string(i));
        const Block& x = a.blocks[i];
        const Block& y = b.blocks[i];
        EXPECT_EQ(x.background, y.background);
        EXPECT_EQ(x.foreground1, y.foreground1);
        EXPECT_EQ(x.foreground2, y.foreground2);
        EXPECT_EQ(x.foreground3, y.foreground3);
        EXPECT_EQ(x.userLong1, y.userLong1);
        EXPECT_EQ(x.userLong2, y.userLong2);
        EXPECT_EQ(x.userShort1, y.userShort1);
        EXPECT_EQ(x.userShort2, y.userShort2);
        EXPECT_EQ(x.userByte1, y.userByte1);
        EXPECT_EQ(x.userByte2, y.userByte2);
        EXPECT_EQ(x.userByte3, y.userByte3);
        EXPECT_EQ(x.flags, y.flags);
    }
    EXPECT_EQ(a.sequence, b.sequence);
    ASSERT_EQ(a.animations.size(), b.animations.size());
    for (std::size_t i = 0; i < a.animations.size(); ++i) {
        const MapWriter::Animation& x = a.animations[i];
        const MapWriter::Animation& y = b.animations[i];
        EXPECT_EQ(
            std::make_tuple(x.type, x.delay, x.counter, x.userByte, x.current, x.start, x.end),
            std::make_tuple(y.type, y.delay, y.counter, y.userByte, y.current, y.start, y.end));
    }
    EXPECT_EQ(a.layers, b.layers);
}

MapContent makeBack(const std::string& json) {
    MapDescription description;
    EXPECT_TRUE(description.read(json, MakeOptions())) << description.error();
    return description.content();
}

TEST(DescriptionWriter, MakeOfTheWrittenDescriptionGivesTheSameContent) {
    for (const int animations : {2, 0}) {
        SCOPED_TRACE(animations);
        const MapContent original = sampleContent(animations);
        const std::string json = testing::TempDir() + "Farm" + std::to_string(animations) + ".json";
        std::string error;
        ASSERT_TRUE(writeDescription(original, json, error)) << error;
        EXPECT_TRUE(fs::exists(testing::TempDir() + "Farm" + std::to_string(animations) + ".png"));
        expectSameContent(makeBack(json), original);
    }
}

TEST(DescriptionWriter, TheFarmGoesRoundUnchanged) {
    const MapContent farm = makeBack("tools/maps/WillowCreekFarm.json");
    ASSERT_GT(farm.animations.size(), 0u);
    const std::string json = testing::TempDir() + "WillowCreekFarm.json";
    std::string error;
    ASSERT_TRUE(writeDescription(farm, json, error)) << error;
    expectSameContent(makeBack(json), farm);
}

// Beyond the legend's alphabet the rows become lists of numbers, which make reads as well.
TEST(DescriptionWriter, ManyCellValuesAreWrittenAsNumbers) {
    MapContent map = sampleContent(2);
    map.mapWidth = 150;
    map.mapHeight = 1;
    for (std::size_t i = 5; i < 150; ++i) {
        Block block;
        block.background = 1;
        block.userLong1 = static_cast<std::int32_t>(i);
        map.blocks.push_back(block);
    }
    for (auto& layer : map.layers)
        layer.clear();
    for (int x = 0; x < 150; ++x)
        map.layers[2].push_back(static_cast<std::int16_t>(x < 148 ? x : x - 150));
    const std::string json = testing::TempDir() + "wide.json";
    std::string error;
    ASSERT_TRUE(writeDescription(map, json, error)) << error;
    std::ifstream in(json);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str().find("\"legend\""), std::string::npos);
    expectSameContent(makeBack(json), map);
}

TEST(DescriptionWriter, ContentMakeCannotTakeBackIsRefusedAndNothingWritten) {
    const struct {
        const char* name;
        void (*spoil)(MapContent&);
        const char* expected;
    } rows[] = {
        {"no blocks", [](MapContent& m) { m.blocks.clear(); }, "a map without blocks"},
        {"no graphics", [](MapContent& m) { m.graphics.clear(); }, "a map without graphics"},
        {"no layers",
         [](MapContent& m) {
             for (auto& layer : m.layers)
                 layer.clear();
         },
         "a map without layers"},
        {"cell past the blocks", [](MapContent& m) { m.layers[1][3] = 9; },
         "layer LYR1 cell 3,0 names block 9, but there are 5"},
        {"cell past the animations", [](MapContent& m) { m.layers[0][0] = -3; },
         "layer BODY cell 0,0 names animation -3"},
        {"short layer", [](MapContent& m) { m.layers[4].pop_back(); },
         "layer LYR4 has 14 cells, not 15"},
        {"missing graphic", [](MapContent& m) { m.blocks[2].foreground2 = 6; },
         "block 2 names graphic 6, but there are 6"},
        {"frame past the blocks", [](MapContent& m) { m.sequence[1] = 5; },
         "animation frame 1 names block 5, but there are 5"},
        {"huge blocks", [](MapContent& m) { m.blockWidth = 2000; }, "block size must lie in"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        MapContent map = sampleContent(2);
        row.spoil(map);
        std::string error;
        const std::string json = testing::TempDir() + "bad.json";
        EXPECT_FALSE(writeDescription(map, json, error));
        EXPECT_EQ(error.rfind(json + ": ", 0), 0u) << error;
        EXPECT_NE(error.find(row.expected), std::string::npos) << error;
        EXPECT_FALSE(fs::exists(json));
        EXPECT_FALSE(fs::exists(testing::TempDir() + "bad.png"));
    }
}

} // namespace
