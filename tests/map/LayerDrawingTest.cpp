#include "map/MapTestSupport.h"

#include <allegro5/allegro.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <vector>

using namespace MapLibrary;
using namespace maptest;

namespace {

const Rgba kBackdrop{1, 2, 3, 255};

class LayerDrawingTest : public MapTest {
  protected:
    void SetUp() override {
        target_ = al_create_bitmap(840, 640);
        al_set_target_bitmap(target_);
        al_clear_to_color(al_map_rgb(kBackdrop.r, kBackdrop.g, kBackdrop.b));
    }

    void TearDown() override {
        al_set_target_bitmap(nullptr);
        al_destroy_bitmap(target_);
        MapTest::TearDown();
    }

    // A map of 32-pixel blocks; cell (c, r) shows block cellBlock(c, r) of 8.
    static int cellBlock(int c, int r) { return 1 + (c + 2 * r) % 7; }

    static std::vector<int> pattern(int width, int height) {
        std::vector<int> cells;
        for (int r = 0; r < height; ++r)
            for (int c = 0; c < width; ++c)
                cells.push_back(cellBlock(c, r));
        return cells;
    }

    Rgba at(int x, int y) { return pixelAt(target_, x, y); }
    static Rgba cell(int c, int r) { return graphicColour(cellBlock(c, r)); }

    ALLEGRO_BITMAP* target_ = nullptr;
};

TEST_F(LayerDrawingTest, PlainMapFillsTheWindowFromCellZero) {
    ASSERT_EQ(decode(solidMap(30, 20, 32, 8, pattern(30, 20)).image()), 0) << lastErrorDetail();
    drawBackground(0, 0, 0, 0, 800, 600);
    for (int r = 0; r < 19; ++r)
        for (int c = 0; c < 25; ++c) {
            ASSERT_EQ(at(c * 32, r * 32), cell(c, r)) << c << ", " << r;
            ASSERT_EQ(at(c * 32 + 31, std::min(r * 32 + 31, 599)), cell(c, r)) << c << ", " << r;
        }
    EXPECT_EQ(at(800, 10), kBackdrop);
    EXPECT_EQ(at(10, 600), kBackdrop);
}

TEST_F(LayerDrawingTest, OffsetIntoTheMapIsClippedToTheRectangle) {
    ASSERT_EQ(decode(solidMap(30, 20, 32, 8, pattern(30, 20)).image()), 0);
    drawBackground(40, 0, 100, 50, 200, 100);
    // Column 1 starts 8 pixels left of the rectangle, at x = 92.
    EXPECT_EQ(at(99, 60), kBackdrop);
    EXPECT_EQ(at(100, 60), cell(1, 0));
    EXPECT_EQ(at(123, 60), cell(1, 0));
    EXPECT_EQ(at(124, 60), cell(2, 0));
    EXPECT_EQ(at(299, 60), cell(7, 0));
    EXPECT_EQ(at(300, 60), kBackdrop);
    EXPECT_EQ(at(100, 49), kBackdrop);
    EXPECT_EQ(at(100, 149), cell(1, 3));
    EXPECT_EQ(at(100, 150), kBackdrop);
}

TEST_F(LayerDrawingTest, TargetAndClippingAreLeftAsTheyWere) {
    ASSERT_EQ(decode(solidMap(30, 20, 32, 8, pattern(30, 20)).image()), 0);
    al_set_clipping_rectangle(5, 6, 700, 500);
    drawBackground(0, 0, 0, 0, 800, 600);
    int x, y, w, h;
    al_get_clipping_rectangle(&x, &y, &w, &h);
    EXPECT_EQ(al_get_target_bitmap(), target_);
    EXPECT_EQ((std::vector<int>{x, y, w, h}), (std::vector<int>{5, 6, 700, 500}));
    EXPECT_FALSE(al_is_bitmap_drawing_held());
}

TEST_F(LayerDrawingTest, AnimatedCellShowsItsCurrentFrame) {
    MapImageBuilder b = solidHeader(25, 19, 32, 8);
    std::vector<int> cells = pattern(25, 19);
    cells[0] = -1;
    addSolidChunks(b, cells);
    MapImageBuilder::Animation a;
    a.start = 1;
    a.end = 3;
    b.andt({2, 5, 6}, {a});
    ASSERT_EQ(decode(b.image()), 0) << lastErrorDetail();
    drawBackground(0, 0, 0, 0, 800, 600);
    EXPECT_EQ(at(5, 5), graphicColour(5));
    updateAnimations();
    drawBackground(0, 0, 0, 0, 800, 600);
    EXPECT_EQ(at(5, 5), graphicColour(6));
}

// A plain map draws graphic 0 like any other.
TEST_F(LayerDrawingTest, DrawsTheSelectedLayerIncludingGraphicZero) {
    MapImageBuilder b = solidMap(25, 19, 32, 8, pattern(25, 19));
    b.layer("LYR4", std::vector<int>(25 * 19, 0));
    ASSERT_EQ(decode(b.image()), 0);
    ASSERT_EQ(selectLayer(4), 4);
    drawBackground(0, 0, 0, 0, 800, 600);
    EXPECT_EQ(at(400, 300), graphicColour(0));
}

class StaggeredDrawingTest : public LayerDrawingTest {
  protected:
    // Stagger of half a block both ways; drawing from map pixel (16, 16) makes ax = ay = 0, so
    // the view starts one step up and left: map row 2k at y = 32k - 32, x = 32j - 32, and map
    // row 2k + 1 at y = 32k - 16, x = 32j - 16.
    void load(int height, std::vector<int> cells) {
        MapImageBuilder b = solidHeader(10, height, 32, 8);
        b.header.staggerX = 16;
        b.header.staggerY = 16;
        addSolidChunks(b, cells);
        ASSERT_EQ(decode(b.image()), 0) << lastErrorDetail();
    }
};

TEST_F(StaggeredDrawingTest, StaggeredRowsOverlapTheRowsAbove) {
    load(9, pattern(10, 9));
    drawBackground(16, 16, 0, 0, 200, 150);
    EXPECT_EQ(at(5, 5), cell(1, 2));   // row 2 (x 0..31, y 0..31) over row 1
    EXPECT_EQ(at(5, 20), cell(0, 3));  // row 3 (x -16..15, y 16..47) over row 2
    EXPECT_EQ(at(20, 20), cell(1, 3)); // row 3 (x 16..47)
    EXPECT_EQ(at(40, 40), cell(2, 4)); // row 4 (x 32..63, y 32..63) over row 3
    EXPECT_EQ(at(40, 50), cell(1, 5)); // row 5 (x 16..47, y 48..79) over row 4
    EXPECT_EQ(at(50, 60), cell(2, 5));
    EXPECT_EQ(at(50, 70), cell(2, 6)); // row 6 starts at y 64
    EXPECT_EQ(at(200, 60), kBackdrop);
}

TEST_F(StaggeredDrawingTest, GraphicZeroIsSkippedAndTheLastOddRowHasNoPartner) {
    std::vector<int> cells = pattern(10, 9);
    cells[3 * 10 + 0] = 0; // row 3, column 0
    load(9, cells);
    drawBackground(16, 16, 0, 0, 400, 400);
    EXPECT_EQ(at(5, 20), cell(1, 2));  // row 2 shows through
    EXPECT_EQ(at(5, 100), cell(1, 8)); // row 8 at y 96..127
    EXPECT_EQ(at(5, 130), kBackdrop);  // row 9 does not exist
    EXPECT_EQ(at(5, 300), kBackdrop);
}

// Views larger than the map, or left of and above it, draw only the map.
TEST_F(LayerDrawingTest, ViewBeyondTheMapDrawsOnlyTheMap) {
    ASSERT_EQ(decode(solidMap(5, 4, 32, 8, pattern(5, 4)).image()), 0);
    drawBackground(0, 0, 0, 0, 800, 600);
    EXPECT_EQ(at(150, 10), cell(4, 0));
    EXPECT_EQ(at(160, 10), kBackdrop);
    EXPECT_EQ(at(10, 127), cell(0, 3));
    EXPECT_EQ(at(10, 128), kBackdrop);
    al_clear_to_color(al_map_rgb(kBackdrop.r, kBackdrop.g, kBackdrop.b));
    drawBackground(-40, -8, 0, 0, 300, 200);
    EXPECT_EQ(at(39, 20), kBackdrop);
    EXPECT_EQ(at(40, 8), cell(0, 0));
    EXPECT_EQ(at(40, 7), kBackdrop);
    EXPECT_EQ(at(72, 40), cell(1, 1));
    EXPECT_EQ(at(200, 20), kBackdrop);
}

TEST_F(LayerDrawingTest, ExtremeArgumentsDrawNothingAndDoNotOverflow) {
    ASSERT_EQ(decode(solidMap(5, 4, 32, 8, pattern(5, 4)).image()), 0);
    drawBackground(INT_MAX, INT_MIN, INT_MIN, 0, INT_MAX, INT_MAX);
    drawBackground(INT_MIN, INT_MAX, 0, INT_MIN, INT_MAX, INT_MAX);
    drawBackground(0, 0, 0, 0, -100, -100);
    EXPECT_EQ(at(10, 10), kBackdrop);
    drawBackground(0, 0, INT_MIN, INT_MIN, INT_MAX, INT_MAX); // the map ends far left of us
    EXPECT_EQ(at(10, 10), kBackdrop);
}

TEST_F(LayerDrawingTest, NoMapDrawsNothing) {
    freeMap();
    drawBackground(0, 0, 0, 0, 800, 600);
    EXPECT_EQ(at(10, 10), kBackdrop);
    MapImageBuilder b = solidHeader(5, 4, 32, 8);
    b.mphd().bkdt(std::vector<MapImageBuilder::Block>(8)).bgfx(std::vector<uint8_t>(8 * 4096));
    ASSERT_EQ(decode(b.image()), 0);
    drawBackground(0, 0, 0, 0, 800, 600); // no layer at all
    EXPECT_EQ(at(10, 10), kBackdrop);
}

} // namespace
