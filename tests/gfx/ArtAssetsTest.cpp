// Checks the pictures the game ships, as committed under Data/ and tools/maps/: sizes, the
// colour keys that turn into transparency, and the properties the game relies on when it cuts
// and draws them. The working directory is the repository root.
#include <allegro5/allegro.h>
#include <allegro5/allegro_font.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

struct BitmapDeleter {
    void operator()(ALLEGRO_BITMAP* b) const { al_destroy_bitmap(b); }
};
using Bitmap = std::unique_ptr<ALLEGRO_BITMAP, BitmapDeleter>;

struct Colour {
    int r, g, b;
    bool operator==(const Colour& o) const { return r == o.r && g == o.g && b == o.b; }
};

const Colour kMagenta{255, 0, 255};
const Colour kGrey{64, 64, 64};
const Colour kGreen{34, 177, 76};
const Colour kBlack{0, 0, 0};

Bitmap load(const std::string& path) {
    return Bitmap(al_load_bitmap(path.c_str()));
}

Colour at(ALLEGRO_BITMAP* b, int x, int y) {
    unsigned char r, g, bl;
    al_unmap_rgb(al_get_pixel(b, x, y), &r, &g, &bl);
    return Colour{r, g, bl};
}

bool isKey(const Colour& c) {
    return c == kGrey || c == kGreen;
}
bool isFigure(const Colour& c) {
    return !isKey(c);
}
bool isMagenta(const Colour& c) {
    return c == kMagenta;
}
bool notMagenta(const Colour& c) {
    return !(c == kMagenta);
}
bool isGrey(const Colour& c) {
    return c == kGrey;
}

int countIn(ALLEGRO_BITMAP* b, int x0, int y0, int w, int h, bool (*pred)(const Colour&)) {
    int n = 0;
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x)
            n += pred(at(b, x, y)) ? 1 : 0;
    return n;
}

bool sameRegion(ALLEGRO_BITMAP* a, int ax, int ay, ALLEGRO_BITMAP* b, int bx, int by, int w,
                int h) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (!(at(a, ax + x, ay + y) == at(b, bx + x, by + y)))
                return false;
    return true;
}

// Whether two tiles of one sheet share their two-pixel borders on all four sides.
bool sameBorders(ALLEGRO_BITMAP* m, int ax, int ay, int bx, int by) {
    return sameRegion(m, ax, ay, m, bx, by, 32, 2) &&
           sameRegion(m, ax, ay + 30, m, bx, by + 30, 32, 2) &&
           sameRegion(m, ax, ay, m, bx, by, 2, 32) &&
           sameRegion(m, ax + 30, ay, m, bx + 30, by, 2, 32);
}

struct AssetSize {
    const char* path;
    int width, height;
};

const AssetSize kAssets[] = {
    {"Data/Graphics/Vornels/MareSprite.png", 2880, 288},
    {"Data/Graphics/Vornels/BrambleTemp.png", 96, 96},
    {"Data/Graphics/Vornels/QuillaTemp.png", 96, 96},
    {"Data/Graphics/Tiles/MudTiles.bmp", 96, 64},
    {"Data/Graphics/GUI/DirectionalToggleUp.png", 17, 17},
    {"Data/Graphics/Misc/MouseImg.bmp", 16, 16},
    {"Data/Graphics/GUI/ChatBox.png", 688, 220},
    {"Data/Graphics/GUI/ChatBubble.png", 160, 40},
    {"Data/Graphics/GUI/ResponseBubble.png", 16, 16},
    {"Data/Graphics/Portraits/QuillaPortrait.png", 200, 192},
    {"Data/Graphics/Portraits/BramblePortrait.png", 200, 192},
    {"Data/Graphics/Portraits/PortraitBackground.png", 200, 192},
    {"tools/maps/FarmTiles.png", 256, 704},
};

} // namespace

TEST(ArtAssets, EveryPictureLoadsWithItsSize) {
    for (const AssetSize& asset : kAssets) {
        SCOPED_TRACE(asset.path);
        Bitmap b = load(asset.path);
        ASSERT_TRUE(b) << "cannot load";
        EXPECT_EQ(al_get_bitmap_width(b.get()), asset.width);
        EXPECT_EQ(al_get_bitmap_height(b.get()), asset.height);
    }
}

// Every frame holds a figure on both keys, clear of its border; walk frames differ from each
// other and from the sprint frames; standing poses differ and keep their hooves at one height.
TEST(ArtAssets, PlayerSheetFrames) {
    Bitmap sheet = load("Data/Graphics/Vornels/MareSprite.png");
    ASSERT_TRUE(sheet);
    ALLEGRO_BITMAP* s = sheet.get();
    EXPECT_TRUE(isKey(at(s, 0, 0)));
    EXPECT_TRUE(isKey(at(s, 2879, 287)));
    EXPECT_GT(countIn(s, 0, 0, 96, 96, [](const Colour& c) { return c == kGreen; }), 50);
    EXPECT_GT(countIn(s, 0, 0, 96, 96, isGrey), 50);
    EXPECT_EQ(countIn(s, 0, 0, 2880, 288, isMagenta), 0); // magenta would show on this sheet
    for (int row = 0; row <= 2; ++row)
        for (int i = 0; i < (row == 0 ? 5 : 30); ++i) {
            const int fx = 96 * i, fy = 96 * row;
            SCOPED_TRACE(testing::Message() << "row " << row << " frame " << i);
            EXPECT_GT(countIn(s, fx, fy, 96, 96, isFigure), 400);
            EXPECT_EQ(
                countIn(s, fx, fy, 96, 1, isFigure) + countIn(s, fx, fy + 95, 96, 1, isFigure) +
                    countIn(s, fx, fy, 1, 96, isFigure) + countIn(s, fx + 95, fy, 1, 96, isFigure),
                0);
            if (row == 1) {
                for (int g = i % 6 + 1; g < 6; ++g)
                    EXPECT_FALSE(sameRegion(s, fx, 96, s, fx + 96 * (g - i % 6), 96, 96, 96)) << g;
                EXPECT_FALSE(sameRegion(s, fx, 96, s, fx, 192, 96, 96)) << "walk and sprint";
            }
        }
    for (int d = 0; d < 5; ++d) {
        for (int e = d + 1; e < 5; ++e)
            EXPECT_FALSE(sameRegion(s, 96 * d, 0, s, 96 * e, 0, 96, 96));
        int lowest = -1;
        for (int y = 0; y < 96; ++y)
            if (countIn(s, 96 * d, y, 96, 1, isFigure) > 0)
                lowest = y;
        EXPECT_GE(lowest, 72) << d;
        EXPECT_LE(lowest, 88) << d;
    }
}

TEST(ArtAssets, CharacterSpritesStandOnMagentaAndFillTheirHitBox) {
    Bitmap bramble = load("Data/Graphics/Vornels/BrambleTemp.png");
    Bitmap quilla = load("Data/Graphics/Vornels/QuillaTemp.png");
    ASSERT_TRUE(bramble && quilla);
    for (ALLEGRO_BITMAP* b : {bramble.get(), quilla.get()}) {
        EXPECT_EQ(at(b, 0, 0), kMagenta);
        EXPECT_EQ(at(b, 95, 95), kMagenta);
        EXPECT_EQ(at(b, 95, 0), kMagenta);
        // The hit box (x 32..64, y 18..86) is mostly figure; nothing of it is a key colour.
        EXPECT_GT(countIn(b, 32, 18, 33, 69, notMagenta), 33 * 69 / 2);
        EXPECT_EQ(countIn(b, 0, 0, 96, 96, isGrey), 0);
        EXPECT_FALSE(at(b, 48, 52) == kMagenta);
    }
    EXPECT_FALSE(sameRegion(bramble.get(), 0, 0, quilla.get(), 0, 0, 96, 96));
}

TEST(ArtAssets, MudTilesShareTheirEdgesSoAnyArrangementIsSeamless) {
    Bitmap mud = load("Data/Graphics/Tiles/MudTiles.bmp");
    ASSERT_TRUE(mud);
    ALLEGRO_BITMAP* m = mud.get();
    // Every tile has the same border pixels as tile 0, and tile 0's borders continue into each
    // other (left after right, top after bottom), so neighbours in any order meet as one
    // texture.
    for (int k = 1; k < 6; ++k) {
        const int x = 32 * (k % 3), y = 32 * (k / 3);
        EXPECT_TRUE(sameBorders(m, 0, 0, x, y)) << k;
        EXPECT_FALSE(sameRegion(m, 0, 0, m, x, y, 32, 32)) << k << " should differ inside";
    }
}

TEST(ArtAssets, GuiPicturesKeepMagentaWhereTransparent) {
    Bitmap arrow = load("Data/Graphics/GUI/DirectionalToggleUp.png");
    Bitmap mouse = load("Data/Graphics/Misc/MouseImg.bmp");
    Bitmap response = load("Data/Graphics/GUI/ResponseBubble.png");
    Bitmap bubble = load("Data/Graphics/GUI/ChatBubble.png");
    ASSERT_TRUE(arrow && mouse && response && bubble);
    EXPECT_EQ(at(arrow.get(), 0, 16), kMagenta);
    EXPECT_EQ(at(arrow.get(), 16, 16), kMagenta);
    EXPECT_FALSE(at(arrow.get(), 8, 6) == kMagenta);  // the arrow's head
    EXPECT_FALSE(at(arrow.get(), 8, 13) == kMagenta); // its shaft
    EXPECT_EQ(at(mouse.get(), 15, 0), kMagenta);
    EXPECT_FALSE(at(mouse.get(), 2, 4) == kMagenta);
    EXPECT_EQ(at(response.get(), 0, 0), kMagenta);
    EXPECT_FALSE(at(response.get(), 8, 8) == kMagenta);
    // Four bubble cells 40 pixels apart, each a different frame of the animation.
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(at(bubble.get(), 40 * i + 16, 8) == kMagenta) << i;
    for (int i = 1; i < 4; ++i)
        EXPECT_FALSE(sameRegion(bubble.get(), 0, 0, bubble.get(), 40 * i, 0, 32, 32)) << i;
}

TEST(ArtAssets, ChatBoxLeavesRoomForPortraitAndDarkTextRows) {
    Bitmap box = load("Data/Graphics/GUI/ChatBox.png");
    ASSERT_TRUE(box);
    ALLEGRO_BITMAP* b = box.get();
    EXPECT_EQ(at(b, 0, 0), kMagenta);
    EXPECT_EQ(at(b, 687, 219), kMagenta);
    // The panel is opaque where the portrait and the text go.
    EXPECT_FALSE(at(b, 11, 13) == kMagenta);
    EXPECT_FALSE(at(b, 210, 206) == kMagenta);
    // White text must read on every row of the text column: its background stays dark.
    for (int y = 13; y < 13 + 12 * 16; y += 4)
        for (int x = 225; x <= 676; x += 9) {
            const Colour c = at(b, x, y);
            EXPECT_LT(0.3 * c.r + 0.59 * c.g + 0.11 * c.b, 110) << x << "," << y;
        }
    EXPECT_EQ(countIn(b, 0, 0, 688, 220, isGrey), 0);
}

TEST(ArtAssets, BitmapFontLoadsAndDrawsReadableText) {
    ALLEGRO_FONT* font = al_load_bitmap_font("Data/Graphics/Fonts/a4_font.tga");
    ASSERT_TRUE(font);
    EXPECT_GE(al_get_font_line_height(font), 10);
    EXPECT_LE(al_get_font_line_height(font), 20);
    const int width = al_get_text_width(font, "A");
    EXPECT_GT(width, 4);
    // Monospaced: every printable character is as wide as 'A', the last one included.
    EXPECT_EQ(al_get_text_width(font, "~"), width);
    EXPECT_EQ(al_get_text_width(font, "FPS 60.000000"), 13 * width);
    int bbx, bby, bbw, bbh;
    al_get_text_dimensions(font, "A", &bbx, &bby, &bbw, &bbh);
    EXPECT_GT(bbw, 0);

    // Drawn white on black, 'A' and 'I' light different pixels.
    Bitmap target(al_create_bitmap(40, 20));
    ALLEGRO_BITMAP* previous = al_get_target_bitmap();
    al_set_target_bitmap(target.get());
    auto lit = [&](const char* text) {
        al_clear_to_color(al_map_rgb(0, 0, 0));
        al_draw_text(font, al_map_rgb(255, 255, 255), 0, 0, 0, text);
        std::string mask;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 40; ++x)
                mask += at(target.get(), x, y).r > 128 ? '#' : '.';
        return mask;
    };
    const std::string a = lit("A"), i = lit("I"), space = lit(" ");
    EXPECT_GT(std::count(a.begin(), a.end(), '#'), 8);
    EXPECT_NE(a, i);
    EXPECT_EQ(std::count(space.begin(), space.end(), '#'), 0);
    al_set_target_bitmap(previous);
    al_destroy_font(font);
}

TEST(ArtAssets, PortraitsOnMagentaOverAnOpaqueBackdrop) {
    Bitmap quilla = load("Data/Graphics/Portraits/QuillaPortrait.png");
    Bitmap bramble = load("Data/Graphics/Portraits/BramblePortrait.png");
    Bitmap backdrop = load("Data/Graphics/Portraits/PortraitBackground.png");
    ASSERT_TRUE(quilla && bramble && backdrop);
    for (ALLEGRO_BITMAP* p : {quilla.get(), bramble.get()}) {
        EXPECT_EQ(at(p, 0, 0), kMagenta);
        EXPECT_EQ(at(p, 199, 0), kMagenta);
        EXPECT_FALSE(at(p, 100, 90) == kMagenta);
        EXPECT_GT(countIn(p, 0, 0, 200, 192, notMagenta), 200 * 192 / 4);
    }
    auto key = [](const Colour& c) { return c == kMagenta || c == kGrey || c == kBlack; };
    EXPECT_EQ(countIn(backdrop.get(), 0, 0, 200, 192, key), 0);
}

TEST(ArtAssets, FarmTilesHaveAnEmptyFirstTileAndNoAccidentalTransparency) {
    Bitmap farm = load("tools/maps/FarmTiles.png");
    ASSERT_TRUE(farm);
    ALLEGRO_BITMAP* f = farm.get();
    EXPECT_EQ(countIn(f, 0, 0, 32, 32, notMagenta), 0);
    // Black and grey would vanish in a map; only magenta marks transparency.
    EXPECT_EQ(countIn(f, 0, 0, 256, 704, [](const Colour& c) { return c == kBlack || c == kGrey; }),
              0);
    // Ground tiles (grass 1, water 24) are opaque; an object (fence 51) stands on magenta.
    EXPECT_EQ(countIn(f, 32, 0, 32, 32, isMagenta) + countIn(f, 0, 96, 32, 32, isMagenta), 0);
    EXPECT_EQ(at(f, 3 * 32, 6 * 32), kMagenta);
    // The three water frames differ but meet the grass seamlessly on their shared texture.
    EXPECT_FALSE(sameRegion(f, 0, 96, f, 32, 96, 32, 32));
    EXPECT_FALSE(sameRegion(f, 32, 96, f, 64, 96, 32, 32));
    // Shore tile 28 (grass along its north edge) ripples through 144 and 156: the water moves,
    // the grass stays.
    for (int frame : {144, 156}) {
        const int x = (frame % 8) * 32, y = (frame / 8) * 32;
        EXPECT_FALSE(sameRegion(f, 4 * 32, 3 * 32, f, x, y, 32, 32)) << frame;
        EXPECT_TRUE(sameRegion(f, 4 * 32, 3 * 32, f, x, y, 32, 4)) << frame;
    }
    // Grass 1 and its variants 2, 3, 4 and 23 differ only inside, so they mix freely; a path
    // leaving through the east side (8) still has plain grass along its north border.
    for (int index : {2, 3, 4, 23})
        EXPECT_TRUE(sameBorders(f, 32, 0, (index % 8) * 32, (index / 8) * 32)) << index;
    EXPECT_TRUE(sameRegion(f, 32, 0, f, 0, 32, 32, 2));
}

TEST(ArtAssets, FarmTileListNamesEveryTileOnTheSheet) {
    std::ifstream in("tools/maps/FarmTiles.md");
    ASSERT_TRUE(in);
    std::stringstream text;
    text << in.rdbuf();
    const std::string list = text.str();
    Bitmap farm = load("tools/maps/FarmTiles.png");
    ASSERT_TRUE(farm);
    for (int index = 0; index < 8 * 22; ++index) {
        const int x = (index % 8) * 32, y = (index / 8) * 32;
        const bool used = countIn(farm.get(), x, y, 32, 32, notMagenta) > 0;
        const bool listed = list.find("| " + std::to_string(index) + " |") != std::string::npos ||
                            list.find(" " + std::to_string(index) + " ") != std::string::npos;
        if (used) {
            EXPECT_TRUE(listed) << "tile " << index << " is drawn but not listed";
        }
    }
}
