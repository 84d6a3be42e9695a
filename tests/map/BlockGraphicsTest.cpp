#include "map/MapTestSupport.h"

#include <allegro5/allegro.h>
#include <gtest/gtest.h>

#include <vector>

using namespace MapLibrary;
using namespace maptest;

namespace {

const Rgba kClear{0, 0, 0, 0};
const Rgba kMagenta{255, 0, 255, 255};

class BlockGraphicsTest : public MapTest {
  protected:
    // One graphic `width` pixels wide and one high, shown by block 0 in the only cell.
    int decodeRow(int depth, const std::vector<uint8_t>& pixels, int width, int makeTransparent,
                  const std::vector<uint8_t>& palette = {}) {
        MapImageBuilder b = solidHeader(1, 1, 1, 1);
        b.header.blockWidth = width;
        b.header.blockDepth = depth;
        b.mphd();
        if (!palette.empty())
            b.cmap(palette);
        b.bkdt({{}}).bgfx(pixels).layer("BODY", {0});
        return decode(b.image(), makeTransparent);
    }

    std::vector<Rgba> row(int width) {
        std::vector<Rgba> out;
        for (int x = 0; x < width; ++x)
            out.push_back(pixelAt(blockBitmap(0), x, 0));
        return out;
    }
};

// Each depth's pixel layout and which colours are masked, without and with transparency.
TEST_F(BlockGraphicsTest, PixelsOfEveryDepthWithAndWithoutTransparency) {
    struct Row {
        int depth;
        std::vector<uint8_t> pixels, palette;
        std::vector<Rgba> opaque, transparent;
    };
    const Rgba red{255, 0, 0, 255};
    const Row rows[] = {
        // Palette index 0 and the colour keys (magenta, grey 64) are masked.
        {8,
         {0, 1, 2, 3},
         {10, 20, 30, 255, 0, 255, 64, 64, 64, 1, 2, 3},
         {{10, 20, 30, 255}, kMagenta, {64, 64, 64, 255}, {1, 2, 3, 255}},
         {kClear, kClear, kClear, {1, 2, 3, 255}}},
        // Big-endian 5-6-5; black is always magenta; 16, 32, 16 widened.
        {16,
         {0xF8, 0x00, 0x07, 0xE0, 0x00, 0x1F, 0x00, 0x00, 0x84, 0x10},
         {},
         {red, {0, 255, 0, 255}, {0, 0, 255, 255}, kMagenta, {132, 130, 132, 255}},
         {red, {0, 255, 0, 255}, {0, 0, 255, 255}, kClear, {132, 130, 132, 255}}},
        // 5-5-5 ignores the top bit: only bit 15 set is black.
        {15,
         {0x04, 0x21, 0x7C, 0x00, 0x80, 0x00, 0x7F, 0xFF},
         {},
         {{8, 8, 8, 255}, red, kMagenta, {255, 255, 255, 255}},
         {{8, 8, 8, 255}, red, kClear, {255, 255, 255, 255}}},
        {24,
         {1, 2, 3, 0, 0, 0, 64, 64, 64},
         {},
         {{1, 2, 3, 255}, kMagenta, {64, 64, 64, 255}},
         {{1, 2, 3, 255}, kClear, kClear}},
        // The first byte of a 32-bit pixel is not read; black stays black without transparency.
        {32,
         {0xFF, 1, 2, 3, 0x77, 0, 0, 0, 0, 255, 0, 255},
         {},
         {{1, 2, 3, 255}, {0, 0, 0, 255}, kMagenta},
         {{1, 2, 3, 255}, kClear, kClear}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.depth);
        const int width = int(r.opaque.size());
        ASSERT_EQ(decodeRow(r.depth, r.pixels, width, 0, r.palette), 0) << lastErrorDetail();
        EXPECT_EQ(row(width), r.opaque);
        ASSERT_EQ(decodeRow(r.depth, r.pixels, width, 1, r.palette), 0) << lastErrorDetail();
        EXPECT_EQ(row(width), r.transparent);
    }
}

TEST_F(BlockGraphicsTest, PixelsFillEachGraphicRowByRow) {
    MapImageBuilder b = solidHeader(1, 1, 2, 1);
    b.header.blockDepth = 24;
    b.mphd().bkdt({{}}).bgfx({1, 0, 0, 2, 0, 0, 3, 0, 0, 4, 0, 0}).layer("BODY", {0});
    ASSERT_EQ(decode(b.image()), 0) << lastErrorDetail();
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(pixelAt(blockBitmap(0), i % 2, i / 2).r, i + 1);
}

TEST_F(BlockGraphicsTest, EveryGraphicIsASubBitmapOfOneAtlas) {
    const int count = 37;
    std::vector<int> cells(count);
    for (int i = 0; i < count; ++i)
        cells[i] = i;
    ASSERT_EQ(decode(solidMap(count, 1, 8, count, cells).image()), 0) << lastErrorDetail();
    ASSERT_EQ(graphicCount(), count);
    ALLEGRO_BITMAP* atlas = al_get_parent_bitmap(blockBitmap(0));
    ASSERT_NE(atlas, nullptr);
    for (int i = 0; i < count; ++i) {
        ALLEGRO_BITMAP* graphic = blockBitmap(i);
        ASSERT_NE(graphic, nullptr);
        EXPECT_EQ(al_get_parent_bitmap(graphic), atlas);
        EXPECT_EQ(al_get_bitmap_width(graphic), 8);
        EXPECT_EQ(al_get_bitmap_height(graphic), 8);
        EXPECT_EQ(pixelAt(graphic, 0, 0), graphicColour(i));
        EXPECT_EQ(pixelAt(graphic, 7, 7), graphicColour(i));
    }
    EXPECT_EQ(blockBitmap(count), nullptr);
    EXPECT_EQ(blockBitmap(-1), nullptr);
}

TEST_F(BlockGraphicsTest, ForegroundZeroIsNoneButBackgroundZeroIsGraphicZero) {
    MapImageBuilder b = solidHeader(1, 1, 2, 1);
    b.header.graphicCount = 3;
    MapImageBuilder::Block block;
    block.foreground1 = 2;
    block.foreground3 = 1;
    b.mphd().bkdt({block}).bgfx(std::vector<uint8_t>(3 * 16, 9)).layer("BODY", {0});
    ASSERT_EQ(decode(b.image()), 0) << lastErrorDetail();
    const BlockStructure* s = blockStructure(0);
    EXPECT_EQ(s->background, blockBitmap(0));
    EXPECT_EQ(s->foreground1, blockBitmap(2));
    EXPECT_EQ(s->foreground2, nullptr);
    EXPECT_EQ(s->foreground3, blockBitmap(1));
}

TEST_F(BlockGraphicsTest, MapWithoutGraphicsLoads) {
    MapImageBuilder b = solidHeader(2, 2, 4, 0);
    b.mphd();
    ASSERT_EQ(decode(b.image()), 0) << lastErrorDetail();
    EXPECT_EQ(blockBitmap(0), nullptr);
}

TEST_F(BlockGraphicsTest, BitmapThatCannotBeMadeIsNoBitmapAndLeavesNoMap) {
    // Without a display Allegro refuses video bitmaps.
    const int flags = al_get_new_bitmap_flags();
    al_set_new_bitmap_flags(ALLEGRO_VIDEO_BITMAP);
    const int result = decode(solidMap(2, 1, 4, 2, {0, 1}).image());
    al_set_new_bitmap_flags(flags);
    EXPECT_EQ(result, -1);
    EXPECT_EQ(lastError(), MapNoBitmap);
    EXPECT_EQ(mapLoaded(), 0);
    EXPECT_EQ(graphicCount(), 0);
}

TEST_F(BlockGraphicsTest, DecodingWithoutAllegroIsNoSystem) {
    const std::vector<uint8_t> image = solidMap(2, 1, 4, 2, {0, 1}).image();
    al_uninstall_system();
    EXPECT_EQ(decode(image), -1);
    EXPECT_EQ(lastError(), MapNoSystem);
    EXPECT_EQ(mapLoaded(), 0);
    ASSERT_TRUE(al_init());
    al_set_new_bitmap_flags(ALLEGRO_MEMORY_BITMAP);
    EXPECT_EQ(decode(image), 0);
}

TEST_F(BlockGraphicsTest, DrawStateIsSavedAndRestored) {
    ALLEGRO_BITMAP* first = al_create_bitmap(4, 4);
    ALLEGRO_BITMAP* second = al_create_bitmap(4, 4);
    al_set_target_bitmap(first);
    EXPECT_EQ(saveDrawState(second), second);
    EXPECT_EQ(al_get_target_bitmap(), second);
    restoreDrawState();
    EXPECT_EQ(al_get_target_bitmap(), first);
    EXPECT_EQ(saveDrawState(nullptr), first);
    restoreDrawState();
    restoreDrawState(); // nothing saved: no change
    EXPECT_EQ(al_get_target_bitmap(), first);
    al_set_target_bitmap(nullptr);
    al_destroy_bitmap(first);
    al_destroy_bitmap(second);
}

} // namespace
