#include "gfx/BitmapLibrary.h"

#include "core/TestArt.h"
#include "core/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;
using testsupport::opaque;
using testsupport::pixel;
using testsupport::Rgba;
using testsupport::transparent;

const char* const progressListing = "Creating bitmap library\n"
                                    "Ripping Mud Tiles - L 012345 D done\n"
                                    "Ripping Vornel Stances - LC\n"
                                    " 0 1 2 3 4 5 6 7 S!\n"
                                    "  0   1   2   3   4   5 \n"
                                    "  5   6   7   8   9  10 \n"
                                    " 10  11  12  13  14  15 \n"
                                    " 15  16  17  18  19  20 \n"
                                    " 20  21  22  23  24  25 \n"
                                    " 25  26  27  28  29  30 \n"
                                    " 30  31  32  33  34  35 \n"
                                    " 35  36  37  38  39  40 \n"
                                    " D done\n"
                                    "Ripping Chat Bubble - L 0123 D done\n"
                                    "Ripping Bitmaps Directly - done\n";

const char* const fontNotices =
    "Could not load Data\\Graphics\\Fonts\\a4_font.tga, using the built-in font.\n"
    "Could not load Data\\Graphics\\Fonts\\MarwickMedium.ttf, using the built-in font.\n"
    "Could not load Data\\Graphics\\Fonts\\Courier.ttf, using the built-in font.\n";

// A library built from the small test sheets in a scratch Data/ tree (fonts missing).
class BitmapLibraryTest : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir = new testsupport::ScratchDir();
        testart::writeAllPictures();
        CaptureStderr();
        library = new BitmapLibrary();
        console = new std::string(GetCapturedStderr());
    }
    static void TearDownTestSuite() {
        delete library;
        delete console;
        delete dir;
    }

    static ALLEGRO_BITMAP* slot(int i) { return library->bitmap(i); }

    // Each pixel of frame a equals the pixel of frame b mirrored left to right.
    static void expectMirror(int a, int b) {
        for (int y = 0; y < 96; y += 3) {
            for (int x = 0; x < 96; ++x) {
                ASSERT_EQ(pixel(slot(a), x, y), pixel(slot(b), 95 - x, y))
                    << "slots " << a << "/" << b << " at " << x << "," << y;
            }
        }
    }

    static testsupport::ScratchDir* dir;
    static BitmapLibrary* library;
    static std::string* console;
};

testsupport::ScratchDir* BitmapLibraryTest::dir = nullptr;
BitmapLibrary* BitmapLibraryTest::library = nullptr;
std::string* BitmapLibraryTest::console = nullptr;

TEST_F(BitmapLibraryTest, PrintsTheRippingListing) {
    EXPECT_EQ(*console, std::string(progressListing) + fontNotices);
}

TEST_F(BitmapLibraryTest, EverySlotIsFilled) {
    for (int i = 0; i < BitmapLibrary::bitmapSlotCount; ++i) {
        EXPECT_NE(library->bitmap(i), nullptr) << i;
        EXPECT_EQ(library->font(i), nullptr) << i;
    }
    for (int i = 120; i < 123; ++i) {
        EXPECT_NE(library->font(i), nullptr) << i;
        EXPECT_EQ(library->bitmap(i), nullptr) << i;
    }
    EXPECT_EQ(library->bitmap(-1), nullptr);
    EXPECT_EQ(library->font(123), nullptr);
}

TEST_F(BitmapLibraryTest, PlayerFramesComeFromTheirSheetCells) {
    for (int d = 0; d < 5; ++d) {
        EXPECT_EQ(pixel(slot(d), 50, 50), testart::playerCellRgba(0, d)) << "standing " << d;
        for (int f = 0; f < 6; ++f) {
            EXPECT_EQ(pixel(slot(8 + 6 * d + f), 50, 50), testart::playerCellRgba(1, 6 * d + f));
            EXPECT_EQ(pixel(slot(56 + 6 * d + f), 50, 50), testart::playerCellRgba(2, 6 * d + f));
        }
    }
    for (int i = 0; i < 104; ++i) {
        EXPECT_EQ(al_get_bitmap_width(slot(i)), 96);
        EXPECT_EQ(al_get_bitmap_height(slot(i)), 96);
        // Cut frames have the marker at the left, mirrored ones at the right.
        const bool mirrored = i < 8 ? i >= 5 : ((i - 8) % 48) / 6 >= 5;
        const int markerX = mirrored ? 95 - testart::markerX : testart::markerX;
        EXPECT_EQ(pixel(slot(i), markerX, testart::markerY), opaque(255, 255, 255)) << i;
    }
}

TEST_F(BitmapLibraryTest, DirectionsFiveToSevenAreMirrored) {
    expectMirror(6, 2);
    expectMirror(5, 3);
    expectMirror(7, 1);
    expectMirror(40, 28);  // walking frame 2 of directions 5 and 3
    expectMirror(103, 67); // sprinting frame 5 of directions 7 and 1
    expectMirror(8 + 6 * 6, 8 + 6 * 2);
}

TEST_F(BitmapLibraryTest, PlayerSheetKeysOnlyGreyAndGreen) {
    for (int i : {0, 4, 6, 8, 30, 55, 56, 103}) {
        const bool mirrored = i == 6 || i == 55 || i == 103;
        auto at = [&](int x) { return pixel(slot(i), mirrored ? 95 - x : x, testart::keyRowY); };
        EXPECT_EQ(at(testart::keyGreyX).a, 0) << i;
        EXPECT_EQ(at(testart::keyGreenX).a, 0) << i;
        EXPECT_EQ(at(testart::nearGreyX), opaque(63, 64, 64)) << i;
        EXPECT_EQ(at(testart::magentaX), opaque(255, 0, 255)) << i;
    }
}

TEST_F(BitmapLibraryTest, MudTilesKeepEveryColour) {
    for (int k = 0; k < 6; ++k) {
        ALLEGRO_BITMAP* tile = slot(106 + k);
        EXPECT_EQ(al_get_bitmap_width(tile), 32);
        EXPECT_EQ(al_get_bitmap_height(tile), 32);
        EXPECT_EQ(pixel(tile, 20, 20), opaque(30 * k + 10, 90, 30)) << k;
    }
    EXPECT_EQ(pixel(slot(106), 1, 1), opaque(64, 64, 64));
    EXPECT_EQ(pixel(slot(106), 2, 1), opaque(255, 0, 255));
    // Tile 4: the middle of the second row.
    EXPECT_EQ(pixel(slot(110), 0, 0), opaque(130, 90, 30));
    EXPECT_EQ(pixel(slot(110), 31, 31), opaque(130, 90, 30));
}

TEST_F(BitmapLibraryTest, ChatBubbleFramesHoldTheCellsTopLeft) {
    for (int i = 0; i < 4; ++i) {
        ALLEGRO_BITMAP* frame = slot(115 + i);
        EXPECT_EQ(al_get_bitmap_width(frame), 32);
        EXPECT_EQ(al_get_bitmap_height(frame), 32);
        EXPECT_EQ(pixel(frame, 0, 0), opaque(50 * i + 20, 60, 160));
        EXPECT_EQ(pixel(frame, 31, 31), opaque(50 * i + 20, 60, 160));
    }
}

TEST_F(BitmapLibraryTest, DirectBitmapsMaskGreyAndMagenta) {
    struct Direct {
        int slot, width, height;
        Rgba colour;
    };
    const Direct directs[] = {{112, 17, 17, opaque(1, 2, 3)},    {113, 16, 16, opaque(4, 5, 6)},
                              {114, 688, 220, opaque(7, 8, 9)},  {119, 16, 16, opaque(10, 11, 12)},
                              {104, 96, 96, opaque(13, 14, 15)}, {105, 80, 90, opaque(16, 17, 18)}};
    for (const Direct& d : directs) {
        ALLEGRO_BITMAP* bitmap = slot(d.slot);
        EXPECT_EQ(al_get_bitmap_width(bitmap), d.width) << d.slot;
        EXPECT_EQ(al_get_bitmap_height(bitmap), d.height) << d.slot;
        EXPECT_EQ(pixel(bitmap, 5, 5), d.colour) << d.slot;
        EXPECT_EQ(pixel(bitmap, 1, 1).a, 0) << d.slot;
        EXPECT_EQ(pixel(bitmap, 2, 1).a, 0) << d.slot;
    }
}

TEST(BitmapLibraryLoading, LoadMaskedMakesBothColoursTransparent) {
    testsupport::ScratchDir dir;
    testart::writeKeyedPicture("Data/Pic.png", 8, 8, al_map_rgb(34, 177, 76));
    ALLEGRO_BITMAP* bitmap = BitmapLibrary::loadMasked("Data\\Pic.png", 34 + 256, 177, 76);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(pixel(bitmap, 1, 1), transparent);
    EXPECT_EQ(pixel(bitmap, 2, 1), opaque(255, 0, 255));
    EXPECT_EQ(pixel(bitmap, 5, 5), transparent);
    al_destroy_bitmap(bitmap);
    EXPECT_EQ(BitmapLibrary::loadMagentaMasked("Data\\Missing.png"), nullptr);
    EXPECT_EQ(BitmapLibrary::loadMasked(nullptr, 0, 0, 0), nullptr);
}

// Without any art every slot still holds a placeholder of the expected size.
TEST(BitmapLibraryMissingArt, PlaceholdersOfTheExpectedSizes) {
    testsupport::ScratchDir dir;
    // A file that exists but is no picture counts as missing.
    testsupport::writeFile("Data/Graphics/GUI/ChatBox.png", "not a png");
    CaptureStderr();
    auto library = std::make_unique<BitmapLibrary>();
    const std::string console = GetCapturedStderr();

    EXPECT_NE(
        console.find("Ripping Mud Tiles - L 012345 D done\n"
                     "Could not load Data\\Graphics\\Tiles\\MudTiles.bmp, using a placeholder.\n"),
        std::string::npos);
    EXPECT_NE(
        console.find(" D done\nCould not load Data\\Graphics\\Vornels\\MareSprite.png, using a "
                     "placeholder.\n"),
        std::string::npos);
    EXPECT_NE(
        console.find("Could not load Data\\Graphics\\GUI\\ChatBox.png, using a placeholder.\n"),
        std::string::npos);
    EXPECT_NE(console.find(fontNotices), std::string::npos);

    struct Size {
        int slot, width, height;
    };
    const Size sizes[] = {{0, 96, 96},   {103, 96, 96}, {104, 96, 96}, {105, 96, 96},
                          {106, 32, 32}, {112, 17, 17}, {113, 16, 16}, {114, 688, 220},
                          {115, 32, 32}, {119, 16, 16}};
    for (const Size& s : sizes) {
        ALLEGRO_BITMAP* bitmap = library->bitmap(s.slot);
        ASSERT_NE(bitmap, nullptr) << s.slot;
        EXPECT_EQ(al_get_bitmap_width(bitmap), s.width) << s.slot;
        EXPECT_EQ(al_get_bitmap_height(bitmap), s.height) << s.slot;
    }
    // The placeholder is opaque and shows both of its colours.
    EXPECT_EQ(pixel(library->bitmap(114), 0, 0), opaque(0, 0, 160));
    EXPECT_EQ(pixel(library->bitmap(114), 16, 0), opaque(255, 230, 0));
    for (int i = 120; i < 123; ++i)
        EXPECT_NE(library->font(i), nullptr);
}

// Damaged files: each is named on the console and replaced, never used half-read.
TEST(BitmapLibraryDamagedArt, BmpCutShortCountsAsUnreadable) {
    testsupport::ScratchDir dir;
    testart::writeMudTiles();
    const std::string whole = testsupport::readFile("Data/Graphics/Tiles/MudTiles.bmp");
    ALLEGRO_BITMAP* good = BitmapLibrary::loadFile("Data\\Graphics\\Tiles\\MudTiles.bmp");
    ASSERT_NE(good, nullptr);
    al_destroy_bitmap(good);
    // Allegro's reader alone would take this file and fill the missing rows with black.
    testsupport::writeFile("Data/Graphics/Tiles/MudTiles.bmp", whole.substr(0, whole.size() - 1));
    EXPECT_EQ(BitmapLibrary::loadFile("Data\\Graphics\\Tiles\\MudTiles.bmp"), nullptr);
    testsupport::writeFile("Data/Graphics/Tiles/MudTiles.bmp", whole.substr(0, 60));
    EXPECT_EQ(BitmapLibrary::loadFile("Data\\Graphics\\Tiles\\MudTiles.bmp"), nullptr);
    EXPECT_EQ(BitmapLibrary::loadFile(nullptr), nullptr);
}

TEST(BitmapLibraryDamagedArt, SheetsTooSmallAreReplacedAndFontsChecked) {
    testsupport::ScratchDir dir;
    testart::writeAllPictures();
    testart::writeKeyedPicture("Data/Graphics/Vornels/MareSprite.png", 1440, 144,
                               al_map_rgb(1, 2, 3));
    testart::writeKeyedPicture("Data/Graphics/Tiles/MudTiles.bmp", 7, 3, al_map_rgb(1, 2, 3));
    testart::writeKeyedPicture("Data/Graphics/GUI/ChatBubble.png", 151, 40, al_map_rgb(1, 2, 3));
    // One glyph box in its border colour: a bitmap font of a single character.
    testsupport::writeImage("Data/Graphics/Fonts/a4_font.tga", 12, 12, [](int x, int y) {
        const bool inside = x >= 1 && x <= 8 && y >= 1 && y <= 8;
        return inside ? al_map_rgb(255, 255, 255) : al_map_rgb(255, 255, 0);
    });
    // A TrueType file cut short opens but draws nothing.
    const std::string mono =
        testsupport::readFile("/usr/share/fonts/truetype/freefont/FreeMono.ttf");
    if (!mono.empty())
        testsupport::writeFile("Data/Graphics/Fonts/Courier.ttf", mono.substr(0, mono.size() / 2));
    CaptureStderr();
    auto library = std::make_unique<BitmapLibrary>();
    const std::string console = GetCapturedStderr();

    EXPECT_NE(console.find("Data\\Graphics\\Vornels\\MareSprite.png is 1440 x 144 pixels, smaller "
                           "than 2880 x 288, using a placeholder.\n"),
              std::string::npos);
    EXPECT_NE(console.find("Data\\Graphics\\Tiles\\MudTiles.bmp is 7 x 3 pixels, smaller than 96 "
                           "x 64, using a placeholder.\n"),
              std::string::npos);
    EXPECT_NE(console.find("Data\\Graphics\\GUI\\ChatBubble.png is 151 x 40 pixels, smaller than "
                           "152 x 32, using a placeholder.\n"),
              std::string::npos);
    EXPECT_NE(console.find("Data\\Graphics\\Fonts\\a4_font.tga holds 1 characters, not the 95 "
                           "from space to tilde, using the built-in font.\n"),
              std::string::npos);
    if (!mono.empty()) {
        EXPECT_NE(console.find("Data\\Graphics\\Fonts\\Courier.ttf draws no text, using the "
                               "built-in font.\n"),
                  std::string::npos);
    }
    // The placeholders show in the frames, at the frame sizes.
    EXPECT_EQ(pixel(library->bitmap(0), 0, 0), opaque(0, 0, 160));
    EXPECT_EQ(pixel(library->bitmap(106), 16, 0), opaque(255, 230, 0));
    EXPECT_EQ(al_get_bitmap_width(library->bitmap(106)), 32);
    EXPECT_EQ(pixel(library->bitmap(115), 0, 0), opaque(0, 0, 160));
    for (int i = 120; i < 123; ++i)
        EXPECT_NE(library->font(i), nullptr);
}

} // namespace
