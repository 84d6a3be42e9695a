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

    Rgba pixel(int x) { return pixelAt(blockBitmap(0), x, 0); }
};

TEST_F(BlockGraphicsTest, EightBitPaletteWithIndexZeroAndColourKeysMasked) {
    const std::vector<uint8_t> palette = {10, 20, 30, 255, 0, 255, 64, 64, 64, 1, 2, 3};
    ASSERT_EQ(decodeRow(8, {0, 1, 2, 3}, 4, 1, palette), 0) << lastErrorDetail();
    EXPECT_EQ(pixel(0), kClear);
    EXPECT_EQ(pixel(1), kClear);
    EXPECT_EQ(pixel(2), kClear);
    EXPECT_EQ(pixel(3), (Rgba{1, 2, 3, 255}));

    ASSERT_EQ(decodeRow(8, {0, 1, 2, 3}, 4, 0, palette), 0) << lastErrorDetail();
    EXPECT_EQ(pixel(0), (Rgba{10, 20, 30, 255}));
    EXPECT_EQ(pixel(1), kMagenta);
    EXPECT_EQ(pixel(2), (Rgba{64, 64, 64, 255}));
}

TEST_F(BlockGraphicsTest, SixteenBitPixelsAreBigEndianWithBlackAlwaysMagenta) {
    const std::vector<uint8_t> pixels = {0xF8, 0x00, 0x07, 0xE0, 0x00,
                                         0x1F, 0x00, 0x00, 0x84, 0x10};
    ASSERT_EQ(decodeRow(16, pixels, 5, 0), 0) << lastErrorDetail();
    EXPECT_EQ(pixel(0), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(pixel(1), (Rgba{0, 255, 0, 255}));
    EXPECT_EQ(pixel(2), (Rgba{0, 0, 255, 255}));
    EXPECT_EQ(pixel(3), kMagenta);
    EXPECT_EQ(pixel(4), (Rgba{132, 130, 132, 255})); // 16, 32, 16 widened

    ASSERT_EQ(decodeRow(16, pixels, 5, 1), 0);
    EXPECT_EQ(pixel(3), kClear);
    EXPECT_EQ(pixel(0), (Rgba{255, 0, 0, 255}));
}

TEST_F(BlockGraphicsTest, FifteenBitPixelsIgnoreTheTopBit) {
    const std::vector<uint8_t> pixels = {0x04, 0x21, 0x7C, 0x00, 0x80, 0x00, 0x7F, 0xFF};
    ASSERT_EQ(decodeRow(15, pixels, 4, 0), 0) << lastErrorDetail();
    EXPECT_EQ(pixel(0), (Rgba{8, 8, 8, 255}));
    EXPECT_EQ(pixel(1), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(pixel(2), kMagenta); // only bit 15 set: black
    EXPECT_EQ(pixel(3), (Rgba{255, 255, 255, 255}));
}

TEST_F(BlockGraphicsTest, TwentyFourBitBlackIsMagentaOrTransparent) {
    const std::vector<uint8_t> pixels = {1, 2, 3, 0, 0, 0, 64, 64, 64};
    ASSERT_EQ(decodeRow(24, pixels, 3, 0), 0) << lastErrorDetail();
    EXPECT_EQ(pixel(0), (Rgba{1, 2, 3, 255}));
    EXPECT_EQ(pixel(1), kMagenta);
    EXPECT_EQ(pixel(2), (Rgba{64, 64, 64, 255}));
    ASSERT_EQ(decodeRow(24, pixels, 3, 1), 0);
    EXPECT_EQ(pixel(0), (Rgba{1, 2, 3, 255}));
    EXPECT_EQ(pixel(1), kClear);
    EXPECT_EQ(pixel(2), kClear);
}

TEST_F(BlockGraphicsTest, ThirtyTwoBitBlackStaysBlackWithoutTransparency) {
    const std::vector<uint8_t> pixels = {0xFF, 1, 2, 3, 0x77, 0, 0, 0, 0, 255, 0, 255};
    ASSERT_EQ(decodeRow(32, pixels, 3, 0), 0) << lastErrorDetail();
    EXPECT_EQ(pixel(0), (Rgba{1, 2, 3, 255}));
    EXPECT_EQ(pixel(1), (Rgba{0, 0, 0, 255}));
    EXPECT_EQ(pixel(2), kMagenta);
    ASSERT_EQ(decodeRow(32, pixels, 3, 1), 0);
    EXPECT_EQ(pixel(1), kClear);
    EXPECT_EQ(pixel(2), kClear);
}

TEST_F(BlockGraphicsTest, PixelsFillEachGraphicRowByRow) {
    MapImageBuilder b = solidHeader(1, 1, 2, 1);
    b.header.blockDepth = 24;
    b.mphd().bkdt({{}}).bgfx({1, 0, 0, 2, 0, 0, 3, 0, 0, 4, 0, 0}).layer("BODY", {0});
    ASSERT_EQ(decode(b.image()), 0) << lastErrorDetail();
    EXPECT_EQ(pixelAt(blockBitmap(0), 0, 0).r, 1);
    EXPECT_EQ(pixelAt(blockBitmap(0), 1, 0).r, 2);
    EXPECT_EQ(pixelAt(blockBitmap(0), 0, 1).r, 3);
    EXPECT_EQ(pixelAt(blockBitmap(0), 1, 1).r, 4);
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
        EXPECT_TRUE(al_is_sub_bitmap(graphic));
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
    EXPECT_EQ(graphicCount(), 0);
    EXPECT_EQ(blockBitmap(0), nullptr);
    EXPECT_EQ(mapLoaded(), 1);
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
