#include "map/MapTestSupport.h"

#include <vector>

using namespace MapLibrary;
using namespace maptest;

namespace {

const Rgba kClear{0, 0, 0, 0};
const Rgba kMagenta{255, 0, 255, 255};

using BlockGraphicsTest = MapTest;

// Each depth's pixel layout and which colours are masked, without and with transparency.
TEST_F(BlockGraphicsTest, PixelsOfEveryDepthWithAndWithoutTransparency) {
    struct Row {
        int depth;
        Bytes pixels, palette;
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
        for (int makeTransparent : {0, 1}) {
            // One graphic `width` pixels wide and one high.
            MapImageBuilder b = solidHeader(1, 1, 1, 1);
            b.header.blockWidth = width;
            b.header.blockDepth = r.depth;
            b.mphd().chunk("CMAP", r.palette).bkdt({{}}).bgfx(r.pixels);
            ASSERT_EQ(decode(b.image(), makeTransparent), 0) << lastErrorDetail();
            std::vector<Rgba> row;
            for (int x = 0; x < width; ++x)
                row.push_back(pixelAt(blockBitmap(0), x, 0));
            EXPECT_EQ(row, makeTransparent ? r.transparent : r.opaque);
        }
    }
}

TEST_F(BlockGraphicsTest, EveryGraphicIsASubBitmapOfOneAtlas) {
    const int count = 37;
    ASSERT_EQ(decode(solidMap(count, 1, 8, count, std::vector<int>(count)).image()), 0);
    ASSERT_EQ(graphicCount(), count);
    ALLEGRO_BITMAP* atlas = al_get_parent_bitmap(blockBitmap(0));
    ASSERT_NE(atlas, nullptr);
    for (int i = 0; i < count; ++i) {
        ALLEGRO_BITMAP* graphic = blockBitmap(i);
        EXPECT_EQ(al_get_parent_bitmap(graphic), atlas);
        EXPECT_EQ(al_get_bitmap_width(graphic) + al_get_bitmap_height(graphic), 16);
        EXPECT_EQ(pixelAt(graphic, 0, 0), graphicColour(i));
        EXPECT_EQ(pixelAt(graphic, 7, 7), graphicColour(i));
    }
    EXPECT_EQ(blockBitmap(count), nullptr);
    ASSERT_EQ(decode(solidHeader(2, 2, 4, 0).mphd().image()), 0) << lastErrorDetail();
    EXPECT_EQ(blockBitmap(0), nullptr); // a map without graphics
}

TEST_F(BlockGraphicsTest, BitmapThatCannotBeMadeIsNoBitmapAndLeavesNoMap) {
    // Without a display Allegro refuses video bitmaps.
    const int flags = al_get_new_bitmap_flags();
    al_set_new_bitmap_flags(ALLEGRO_VIDEO_BITMAP);
    const int result = decode(solidMap(2, 1, 4, 2, {0, 1}).image());
    al_set_new_bitmap_flags(flags);
    EXPECT_EQ(result, -1);
    EXPECT_EQ(lastError(), MapNoBitmap);
    EXPECT_EQ(mapLoaded() + graphicCount(), 0);
}

TEST_F(BlockGraphicsTest, DecodingWithoutAllegroIsNoSystem) {
    const Bytes image = solidMap(2, 1, 4, 2, {0, 1}).image();
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
    restoreDrawState(); // nothing saved: no change
    EXPECT_EQ(saveDrawState(nullptr), first);
    restoreDrawState();
    al_set_target_bitmap(nullptr);
    al_destroy_bitmap(first);
    al_destroy_bitmap(second);
}

} // namespace
