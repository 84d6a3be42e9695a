// Checks the art the game ships (Data/ and tools/maps/) by what a player would notice: the size
// the game cuts it by, a background that turns see-through, a figure that stands out from it,
// and animation frames that really move. The working directory is the repository root.
#include "core/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using testsupport::opaque;
using testsupport::pixel;
using testsupport::Rgba;

struct BitmapDeleter {
    void operator()(ALLEGRO_BITMAP* b) const { al_destroy_bitmap(b); }
};
using Bitmap = std::unique_ptr<ALLEGRO_BITMAP, BitmapDeleter>;

const Rgba magenta = opaque(255, 0, 255), grey = opaque(64, 64, 64), green = opaque(34, 177, 76),
           black = opaque(0, 0, 0);

// The colours that turn see-through: the player sheet's own two, or magenta (grey too).
enum class Keys { Sheet, Magenta, None };

bool isKey(Keys keys, const Rgba& c) {
    return keys == Keys::Sheet ? c == grey || c == green : c == magenta || c == grey;
}

template <typename Pred> int countIn(ALLEGRO_BITMAP* b, int x0, int y0, int w, int h, Pred pred) {
    int n = 0;
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x)
            n += pred(pixel(b, x, y)) ? 1 : 0;
    return n;
}

int figureIn(ALLEGRO_BITMAP* b, int x, int y, int w, int h, Keys keys = Keys::Magenta) {
    return countIn(b, x, y, w, h, [keys](const Rgba& c) { return !isKey(keys, c); });
}

bool sameRegion(ALLEGRO_BITMAP* b, int ax, int ay, int bx, int by, int w, int h) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (!(pixel(b, ax + x, ay + y) == pixel(b, bx + x, by + y)))
                return false;
    return true;
}

struct Picture {
    const char* path;
    int width, height;
    Keys keys;
    int figurePercent; // at least this share of the picture is figure, and some is background
};

const Picture pictures[] = {
    {"Data/Graphics/Vornels/MareSprite.png", 2880, 288, Keys::Sheet, 10},
    {"Data/Graphics/Vornels/BrambleTemp.png", 96, 96, Keys::Magenta, 15},
    {"Data/Graphics/Vornels/QuillaTemp.png", 96, 96, Keys::Magenta, 15},
    {"Data/Graphics/Characters/Fern.png", 96, 96, Keys::Magenta, 15},
    {"Data/Graphics/Tiles/MudTiles.bmp", 96, 64, Keys::None, 100},
    {"Data/Graphics/GUI/DirectionalToggleUp.png", 17, 17, Keys::Magenta, 25},
    {"Data/Graphics/Misc/MouseImg.bmp", 16, 16, Keys::Magenta, 10},
    {"Data/Graphics/GUI/ChatBox.png", 688, 220, Keys::Magenta, 80},
    {"Data/Graphics/GUI/ChatBubble.png", 160, 40, Keys::Magenta, 25},
    {"Data/Graphics/GUI/ResponseBubble.png", 16, 16, Keys::Magenta, 25},
    {"Data/Graphics/Portraits/QuillaPortrait.png", 200, 192, Keys::Magenta, 25},
    {"Data/Graphics/Portraits/BramblePortrait.png", 200, 192, Keys::Magenta, 25},
    {"Data/Graphics/Portraits/FernPortrait.png", 200, 192, Keys::Magenta, 25},
    {"Data/Graphics/Portraits/PortraitBackground.png", 200, 192, Keys::None, 100},
    {"tools/maps/FarmTiles.png", 256, 704, Keys::Magenta, 25},
};

} // namespace

TEST(ArtAssets, EveryPictureHasItsSizeAndAFigureOnASeeThroughBackground) {
    for (const Picture& p : pictures) {
        SCOPED_TRACE(p.path);
        Bitmap b(al_load_bitmap(p.path));
        ASSERT_TRUE(b) << "cannot load";
        ASSERT_EQ(al_get_bitmap_width(b.get()), p.width);
        ASSERT_EQ(al_get_bitmap_height(b.get()), p.height);
        const int area = p.width * p.height,
                  figure = figureIn(b.get(), 0, 0, p.width, p.height, p.keys);
        EXPECT_GE(100 * figure, p.figurePercent * area);
        if (p.keys == Keys::None) {
            // Opaque art holds no colour key, nor pure black, which would read as a hole.
            EXPECT_EQ(
                countIn(b.get(), 0, 0, p.width, p.height,
                        [](const Rgba& c) { return c == magenta || c == grey || c == black; }),
                0);
        } else {
            EXPECT_LT(figure, area) << "no see-through background";
            const int w = p.width - 1, h = p.height - 1;
            EXPECT_TRUE(isKey(p.keys, pixel(b.get(), 0, 0)) ||
                        isKey(p.keys, pixel(b.get(), w, 0)) ||
                        isKey(p.keys, pixel(b.get(), 0, h)) || isKey(p.keys, pixel(b.get(), w, h)))
                << "no see-through corner";
        }
    }
}

// 5 standing poses, then 5 directions of 6 walking and 6 sprinting frames: each a figure clear
// of its frame's edges, and every frame of a cycle a different picture.
TEST(ArtAssets, PlayerSheetHoldsEveryFrameAndTheFramesMove) {
    Bitmap sheet(al_load_bitmap("Data/Graphics/Vornels/MareSprite.png"));
    ASSERT_TRUE(sheet);
    ALLEGRO_BITMAP* s = sheet.get();
    EXPECT_EQ(countIn(s, 0, 0, 2880, 288, [](const Rgba& c) { return c == magenta; }), 0);
    for (int row = 0; row < 3; ++row)
        for (int i = 0; i < (row == 0 ? 5 : 30); ++i) {
            SCOPED_TRACE(testing::Message() << "row " << row << " frame " << i);
            const int fx = 96 * i, fy = 96 * row, first = row == 0 ? 0 : fx - 96 * (i % 6);
            EXPECT_GT(figureIn(s, fx, fy, 96, 96, Keys::Sheet), 400);
            EXPECT_EQ(figureIn(s, fx, fy, 96, 96, Keys::Sheet),
                      figureIn(s, fx + 1, fy + 1, 94, 94, Keys::Sheet));
            for (int other = first; other < fx; other += 96)
                EXPECT_FALSE(sameRegion(s, fx, fy, other, fy, 96, 96)) << "same as x " << other;
            EXPECT_TRUE(row != 1 || !sameRegion(s, fx, 96, fx, 192, 96, 96)) << "walk and sprint";
        }
}

// Animated cells: chat bubble frames 40 pixels apart, water 24 to 26 on the farm sheet. Mud
// tiles are mixed at random, so each must look different too.
TEST(ArtAssets, AnimationFramesAndTileVariantsDiffer) {
    struct Cells {
        const char* path;
        int x, y, stepX, stepY, size, count;
    };
    const Cells cells[] = {{"Data/Graphics/GUI/ChatBubble.png", 0, 0, 40, 0, 32, 4},
                           {"tools/maps/FarmTiles.png", 0, 96, 32, 0, 32, 3},
                           {"Data/Graphics/Tiles/MudTiles.bmp", 0, 0, 32, 0, 32, 3},
                           {"Data/Graphics/Tiles/MudTiles.bmp", 0, 0, 0, 32, 32, 2}};
    for (const Cells& c : cells) {
        Bitmap b(al_load_bitmap(c.path));
        ASSERT_TRUE(b) << c.path;
        for (int i = 0; i < c.count; ++i) {
            EXPECT_GT(figureIn(b.get(), c.x + i * c.stepX, c.y + i * c.stepY, c.size, c.size), 0);
            for (int j = 0; j < i; ++j)
                EXPECT_FALSE(sameRegion(b.get(), c.x + i * c.stepX, c.y + i * c.stepY,
                                        c.x + j * c.stepX, c.y + j * c.stepY, c.size, c.size))
                    << c.path << " cells " << j << " and " << i;
        }
    }
}

// White text must read on every row of the chat box's text column: its background stays dark.
TEST(ArtAssets, ChatBoxTextColumnIsDark) {
    Bitmap box(al_load_bitmap("Data/Graphics/GUI/ChatBox.png"));
    ASSERT_TRUE(box);
    const int light = countIn(box.get(), 225, 13, 452, 192, [](const Rgba& c) {
        return 0.3 * c.r + 0.59 * c.g + 0.11 * c.b >= 110 || c == magenta;
    });
    EXPECT_EQ(light, 0);
}

// The map maker's list of farm tiles names every tile drawn on the sheet; tile 0 is empty.
TEST(ArtAssets, FarmTileListNamesEveryDrawnTile) {
    const std::string list = testsupport::readFile("tools/maps/FarmTiles.md");
    ASSERT_FALSE(list.empty());
    Bitmap farm(al_load_bitmap("tools/maps/FarmTiles.png"));
    ASSERT_TRUE(farm);
    EXPECT_EQ(figureIn(farm.get(), 0, 0, 32, 32), 0);
    // Black and grey would vanish in a map: only magenta marks see-through there.
    EXPECT_EQ(
        countIn(farm.get(), 0, 0, 256, 704, [](const Rgba& c) { return c == black || c == grey; }),
        0);
    for (int index = 1; index < 8 * 22; ++index) {
        const std::string number = std::to_string(index);
        const bool listed = list.find("| " + number + " |") != std::string::npos ||
                            list.find(" " + number + " ") != std::string::npos;
        const bool drawn = figureIn(farm.get(), (index % 8) * 32, (index / 8) * 32, 32, 32) > 0;
        EXPECT_TRUE(listed || !drawn) << "tile " << index << " is drawn but not listed";
    }
}
