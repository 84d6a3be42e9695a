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
    BitmapLibraryTest() {
        testart::writeAllPictures();
        CaptureStderr();
        library = std::make_unique<BitmapLibrary>();
        console = GetCapturedStderr();
    }

    ALLEGRO_BITMAP* slot(int i) const { return library->bitmap(i); }

    testsupport::ScratchDir dir;
    std::unique_ptr<BitmapLibrary> library;
    std::string console;
};

TEST_F(BitmapLibraryTest, PrintsTheRippingListingAndFillsEverySlot) {
    EXPECT_EQ(console, std::string(progressListing) + fontNotices);
    for (int i = -1; i < 124; ++i) {
        EXPECT_EQ(library->bitmap(i) != nullptr, i >= 0 && i < 120) << i;
        EXPECT_EQ(library->font(i) != nullptr, i >= 120 && i < 123) << i;
    }
}

// Standing 0-7, walking 8-55, sprinting 56-103, six frames per direction. Directions 5 to 7 are
// directions 3 to 1 mirrored left to right. Only the sheet's grey and green keys turn
// transparent, not near-grey or magenta.
TEST_F(BitmapLibraryTest, PlayerFramesComeFromTheirSheetCellsOrTheirMirrors) {
    for (int i = 0; i < 104; ++i) {
        SCOPED_TRACE(i);
        const int row = i < 8 ? 0 : i < 56 ? 1 : 2;
        const int d = row == 0 ? i : (i - (row == 1 ? 8 : 56)) / 6;
        const bool mirrored = d >= 5;
        const int source = mirrored ? 8 - d : d;
        ASSERT_EQ(al_get_bitmap_width(slot(i)), 96);
        ASSERT_EQ(al_get_bitmap_height(slot(i)), 96);
        EXPECT_EQ(pixel(slot(i), 50, 50),
                  testart::playerCellRgba(row, row == 0 ? source : 6 * source + (i - 8) % 6));
        auto at = [&](int x, int y) { return pixel(slot(i), mirrored ? 95 - x : x, y); };
        EXPECT_EQ(at(testart::markerX, testart::markerY), opaque(255, 255, 255));
        EXPECT_EQ(at(testart::keyGreyX, testart::keyRowY).a, 0);
        EXPECT_EQ(at(testart::keyGreenX, testart::keyRowY).a, 0);
        EXPECT_EQ(at(testart::nearGreyX, testart::keyRowY), opaque(63, 64, 64));
        EXPECT_EQ(at(testart::magentaX, testart::keyRowY), opaque(255, 0, 255));
    }
}

// Mud tiles (106-111) and chat bubble frames (115-118) keep every colour; the pictures loaded
// directly mask the grey and magenta at (1, 1) and (2, 1).
TEST_F(BitmapLibraryTest, TilesFramesAndDirectBitmaps) {
    struct Slot {
        int slot, width, height;
        Rgba colour; // at (5, 5) and at the bottom right corner
        bool masked;
    };
    const Slot slots[] = {
        {106, 32, 32, opaque(10, 90, 30), false},   {110, 32, 32, opaque(130, 90, 30), false},
        {111, 32, 32, opaque(160, 90, 30), false},  {115, 32, 32, opaque(20, 60, 160), false},
        {118, 32, 32, opaque(170, 60, 160), false}, {112, 17, 17, opaque(1, 2, 3), true},
        {113, 16, 16, opaque(4, 5, 6), true},       {114, 688, 220, opaque(7, 8, 9), true},
        {119, 16, 16, opaque(10, 11, 12), true},    {104, 96, 96, opaque(13, 14, 15), true},
        {105, 80, 90, opaque(16, 17, 18), true},
    };
    for (const Slot& s : slots) {
        SCOPED_TRACE(s.slot);
        ALLEGRO_BITMAP* bitmap = slot(s.slot);
        EXPECT_EQ(al_get_bitmap_width(bitmap), s.width);
        EXPECT_EQ(al_get_bitmap_height(bitmap), s.height);
        EXPECT_EQ(pixel(bitmap, 5, 5), s.colour);
        EXPECT_EQ(pixel(bitmap, s.width - 1, s.height - 1), s.colour);
        EXPECT_EQ(pixel(bitmap, 1, 1).a == 0, s.masked);
        EXPECT_EQ(pixel(bitmap, 2, 1).a == 0, s.masked);
    }
}

// The art the game ships, from the repository root: every file loads and is big enough, and
// every font holds all the characters and draws text.
TEST(BitmapLibraryShippedArt, LoadsWithoutANotice) {
    CaptureStderr();
    BitmapLibrary library;
    EXPECT_EQ(GetCapturedStderr(), progressListing);
}

// Each missing, unreadable or too small file is named after the progress line it interrupts and
// replaced by a placeholder of the frame's size; each faulty font by the built-in font.
TEST(BitmapLibraryBadArt, EveryFaultIsNamedAndReplaced) {
    testsupport::ScratchDir dir;
    // Allegro's reader alone would take a BMP file cut short and fill the missing rows with black.
    testart::writeMudTiles();
    const std::string mud = testsupport::readFile("Data/Graphics/Tiles/MudTiles.bmp");
    testsupport::writeFile("Data/Graphics/Tiles/MudTiles.bmp", mud.substr(0, mud.size() - 1));
    testart::writeKeyedPicture("Data/Graphics/Vornels/MareSprite.png", 1440, 144,
                               al_map_rgb(1, 2, 3));
    testart::writeKeyedPicture("Data/Graphics/GUI/ChatBubble.png", 151, 40, al_map_rgb(1, 2, 3));
    testsupport::writeFile("Data/Graphics/GUI/ChatBox.png", "not a png");
    // One glyph box in its border colour: a bitmap font of a single character.
    testsupport::writeImage("Data/Graphics/Fonts/a4_font.tga", 12, 12, [](int x, int y) {
        const bool inside = x >= 1 && x <= 8 && y >= 1 && y <= 8;
        return inside ? al_map_rgb(255, 255, 255) : al_map_rgb(255, 255, 0);
    });
    // A TrueType file cut short opens but draws nothing.
    const std::string mono =
        testsupport::readFile("/usr/share/fonts/truetype/freefont/FreeMono.ttf");
    ASSERT_FALSE(mono.empty());
    testsupport::writeFile("Data/Graphics/Fonts/Courier.ttf", mono.substr(0, mono.size() / 2));
    CaptureStderr();
    auto library = std::make_unique<BitmapLibrary>();
    const std::string console = GetCapturedStderr();

    for (const char* line :
         {"Ripping Mud Tiles - L 012345 D done\n"
          "Could not load Data\\Graphics\\Tiles\\MudTiles.bmp, using a placeholder.\n",
          " D done\nData\\Graphics\\Vornels\\MareSprite.png is 1440 x 144 pixels, smaller than "
          "2880 x 288, using a placeholder.\n",
          "Data\\Graphics\\GUI\\ChatBubble.png is 151 x 40 pixels, smaller than 152 x 32, using "
          "a placeholder.\n",
          "Could not load Data\\Graphics\\GUI\\ChatBox.png, using a placeholder.\n",
          "Could not load Data\\Graphics\\Misc\\MouseImg.bmp, using a placeholder.\n",
          "Data\\Graphics\\Fonts\\a4_font.tga holds 1 characters, not the 95 from space to "
          "tilde, using the built-in font.\n"
          "Could not load Data\\Graphics\\Fonts\\MarwickMedium.ttf, using the built-in font.\n"
          "Data\\Graphics\\Fonts\\Courier.ttf draws no text, using the built-in font.\n"})
        EXPECT_NE(console.find(line), std::string::npos) << line;

    const int sizes[][3] = {{0, 96, 96},   {85, 96, 96},  {104, 96, 96}, {105, 96, 96},
                            {106, 32, 32}, {112, 17, 17}, {113, 16, 16}, {114, 688, 220},
                            {115, 32, 32}, {119, 16, 16}};
    for (const auto& [slot, width, height] : sizes) {
        ALLEGRO_BITMAP* bitmap = library->bitmap(slot);
        ASSERT_NE(bitmap, nullptr) << slot;
        EXPECT_EQ(al_get_bitmap_width(bitmap), width) << slot;
        EXPECT_EQ(al_get_bitmap_height(bitmap), height) << slot;
        // The placeholder is an opaque checkerboard of 16-pixel squares, blue at the corner.
        EXPECT_EQ(pixel(bitmap, 0, 0), opaque(0, 0, 160)) << slot;
        EXPECT_TRUE(width <= 16 || pixel(bitmap, 16, 0) == opaque(255, 230, 0)) << slot;
    }
    for (int i = 120; i < 123; ++i)
        EXPECT_NE(library->font(i), nullptr);
    EXPECT_EQ(BitmapLibrary::loadFile(nullptr), nullptr);
}

} // namespace
