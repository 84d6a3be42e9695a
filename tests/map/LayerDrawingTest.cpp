#include "map/MapTestSupport.h"

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
        clear();
    }

    void TearDown() override {
        al_set_target_bitmap(nullptr);
        al_destroy_bitmap(target_);
        MapTest::TearDown();
    }

    void clear() { al_clear_to_color(al_map_rgb(kBackdrop.r, kBackdrop.g, kBackdrop.b)); }

    // A map of 32-pixel blocks; cell (c, r) shows block cellBlock(c, r) of 8.
    static int cellBlock(int c, int r) { return 1 + (c + 2 * r) % 7; }
    static Rgba cell(int c, int r) { return graphicColour(cellBlock(c, r)); }

    static MapImageBuilder patternMap(int width, int height, int staggerX = 0) {
        std::vector<int> cells;
        for (int r = 0; r < height; ++r)
            for (int c = 0; c < width; ++c)
                cells.push_back(cellBlock(c, r));
        MapImageBuilder b = solidHeader(width, height, 32, 8);
        b.header.staggerX = b.header.staggerY = staggerX;
        return addSolidChunks(b, cells);
    }

    void load(const MapImageBuilder& b) { ASSERT_EQ(decode(b.image()), 0) << lastErrorDetail(); }

    Rgba at(int x, int y) { return pixelAt(target_, x, y); }
    // The colours at the points x0, y0, x1, y1, ...
    void expectAt(const std::vector<int>& points, const std::vector<Rgba>& colours) {
        for (size_t i = 0; i < colours.size(); ++i)
            EXPECT_EQ(at(points[2 * i], points[2 * i + 1]), colours[i]) << "point " << i;
    }

    ALLEGRO_BITMAP* target_ = nullptr;
};

TEST_F(LayerDrawingTest, PlainMapFillsTheWindowFromCellZeroAndLeavesTargetAndClipping) {
    load(patternMap(30, 20));
    al_set_clipping_rectangle(0, 0, 800, 600);
    drawBackground(0, 0, 0, 0, 800, 600);
    for (int r = 0; r < 19; ++r)
        for (int c = 0; c < 25; ++c) {
            ASSERT_EQ(at(c * 32, r * 32), cell(c, r)) << c << ", " << r;
            ASSERT_EQ(at(c * 32 + 31, std::min(r * 32 + 31, 599)), cell(c, r)) << c << ", " << r;
        }
    expectAt({800, 10, 10, 600}, {kBackdrop, kBackdrop});
    al_set_clipping_rectangle(5, 6, 700, 500);
    drawBackground(0, 0, 0, 0, 800, 600);
    int x, y, w, h;
    al_get_clipping_rectangle(&x, &y, &w, &h);
    EXPECT_EQ(al_get_target_bitmap(), target_);
    EXPECT_EQ((std::vector<int>{x, y, w, h}), (std::vector<int>{5, 6, 700, 500}));
    EXPECT_FALSE(al_is_bitmap_drawing_held());
}

// Column 1 starts 8 pixels left of the rectangle, at x = 92, cut off by the clipping.
TEST_F(LayerDrawingTest, OffsetIntoTheMapIsClippedToTheRectangle) {
    load(patternMap(30, 20));
    drawBackground(40, 0, 100, 50, 200, 100);
    expectAt({99, 60, 100, 60, 123, 60, 124, 60, 299, 60, 300, 60, 100, 49, 100, 149, 100, 150},
             {kBackdrop, cell(1, 0), cell(1, 0), cell(2, 0), cell(7, 0), kBackdrop, kBackdrop,
              cell(1, 3), kBackdrop});
}

// An animated cell shows its current frame; a plain map draws graphic 0 like any other.
TEST_F(LayerDrawingTest, AnimatedCellsAndGraphicZeroOfTheSelectedLayer) {
    MapImageBuilder b = solidHeader(25, 19, 32, 8);
    std::vector<int> cells(25 * 19, 0);
    cells[0] = -1;
    MapImageBuilder::Animation a;
    a.start = 1;
    a.end = 3;
    load(addSolidChunks(b, cells).andt({2, 5, 6}, {a}).layer("LYR4", std::vector<int>(475, 3)));
    drawBackground(0, 0, 0, 0, 800, 600);
    expectAt({5, 5, 400, 300}, {graphicColour(5), graphicColour(0)});
    updateAnimations();
    drawBackground(0, 0, 0, 0, 800, 600);
    EXPECT_EQ(at(5, 5), graphicColour(6));
    ASSERT_EQ(selectLayer(4), 4);
    drawBackground(0, 0, 0, 0, 800, 600);
    EXPECT_EQ(at(5, 5), graphicColour(3));
}

// Stagger of half a block both ways; drawing from map pixel (16, 16) makes ax = ay = 0, so the
// view starts one step up and left: map row 2k at y = 32k - 32, x = 32j - 32, and map row
// 2k + 1 at y = 32k - 16, x = 32j - 16. Graphic 0 is not drawn.
TEST_F(LayerDrawingTest, StaggeredRowsOverlapTheRowsAboveAndSkipGraphicZero) {
    MapImageBuilder b = patternMap(10, 9, 16);
    std::vector<int> cells(90);
    for (int i = 0; i < 90; ++i)
        cells[i] = i == 30 ? 0 : cellBlock(i % 10, i / 10); // row 3, column 0 shows graphic 0
    load(b.layer("BODY", cells));
    drawBackground(16, 16, 0, 0, 200, 400);
    // Row 2 (x 0..31, y 0..31) over row 1; row 3 column 0 (x -16..15, y 16..47) skipped; row 3
    // (x 16..47); row 4 (x 32..63, y 32..63) over row 3; row 5 (x 16..47, y 48..79) over row 4;
    // row 6 from y 64; row 8 at y 96..127; no row 9.
    expectAt({5, 5, 5, 20, 20, 20, 40, 40, 40, 50, 50, 60, 50, 70, 5, 100, 5, 130, 200, 60},
             {cell(1, 2), cell(1, 2), cell(1, 3), cell(2, 4), cell(1, 5), cell(2, 5), cell(2, 6),
              cell(1, 8), kBackdrop, kBackdrop});
}

// Views larger than the map, or left of and above it, draw only the map; nothing overflows.
TEST_F(LayerDrawingTest, DrawsOnlyWhatExists) {
    load(patternMap(5, 4));
    drawBackground(0, 0, 0, 0, 800, 600);
    expectAt({150, 10, 160, 10, 10, 127, 10, 128}, {cell(4, 0), kBackdrop, cell(0, 3), kBackdrop});
    clear();
    drawBackground(-40, -8, 0, 0, 300, 200);
    expectAt({39, 20, 40, 8, 40, 7, 72, 40, 200, 20},
             {kBackdrop, cell(0, 0), kBackdrop, cell(1, 1), kBackdrop});
    clear();
    drawBackground(INT_MAX, INT_MIN, INT_MIN, 0, INT_MAX, INT_MAX);
    drawBackground(INT_MIN, INT_MAX, 0, INT_MIN, INT_MAX, INT_MAX);
    drawBackground(0, 0, 0, 0, -100, -100);
    drawBackground(0, 0, INT_MIN, INT_MIN, INT_MAX, INT_MAX); // the map ends far left of us
    load(solidHeader(5, 4, 32, 0).mphd());                    // no layer at all
    drawBackground(0, 0, 0, 0, 800, 600);
    freeMap();
    drawBackground(0, 0, 0, 0, 800, 600);
    EXPECT_EQ(at(10, 10), kBackdrop);
}

} // namespace
