#include "gui/PortraitStore.h"
#include "gui/GuiTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// Writes an 8 x 8 picture: magenta corners, a dark grey centre, the rest of the given colour.
std::string writePortrait(const std::string& fileName, ALLEGRO_COLOR colour) {
    BitmapHolder picture(solidBitmap(8, 8, colour));
    al_set_target_bitmap(picture);
    for (auto [x, y] : {std::pair{0, 0}, {7, 0}, {0, 7}, {7, 7}})
        al_put_pixel(x, y, al_map_rgb(255, 0, 255));
    al_put_pixel(4, 4, al_map_rgb(64, 64, 64));
    const std::string path = testing::TempDir() + fileName;
    EXPECT_TRUE(al_save_bitmap(path.c_str(), picture));
    return path;
}

} // namespace

TEST(PortraitStore, OnlyMagentaIsTransparentAndTheFirstLoadOfANameIsFound) {
    PortraitStore store;
    const std::string red = writePortrait("portrait_a.png", al_map_rgb(200, 0, 0));
    std::string blue = writePortrait("portrait_b.png", al_map_rgb(0, 0, 200));
    ASSERT_TRUE(store.load("Face", red.c_str()));
    ASSERT_TRUE(store.load("Face", blue.c_str()));
    for (char& c : blue)
        c = c == '/' ? '\\' : c; // paths in the game's form are opened in the host's
    ASSERT_TRUE(store.load("face", blue.c_str()));
    EXPECT_EQ(store.count(), 3);
    ALLEGRO_BITMAP* face = store.find("Face");
    EXPECT_EQ(pixelAt(face, 0, 0).a, 0);
    EXPECT_EQ(pixelAt(face, 7, 7).a, 0);
    EXPECT_EQ(pixelAt(face, 4, 4), rgb(64, 64, 64));
    EXPECT_EQ(pixelAt(face, 1, 1), rgb(200, 0, 0));
    EXPECT_EQ(pixelAt(store.find("face"), 1, 1), rgb(0, 0, 200));
    for (const char* name : {"FACE", "Face ", ""})
        EXPECT_EQ(store.find(name), nullptr) << name;
}

TEST(PortraitStore, UnloadableFileAddsNothingAndSaysSo) {
    PortraitStore store;
    const std::string notAPicture = testing::TempDir() + "portrait_text.png";
    FILE* file = std::fopen(notAPicture.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fputs("not a picture", file);
    std::fclose(file);
    const std::string out = capturedStderr([&] {
        EXPECT_FALSE(store.load("Ghost", "Data\\Graphics\\Portraits\\Missing.png"));
        EXPECT_FALSE(store.load("Ghost", notAPicture.c_str()));
    });
    EXPECT_EQ(out, "Could not load portrait Data\\Graphics\\Portraits\\Missing.png.\n"
                   "Could not load portrait " +
                       notAPicture + ".\n");
    EXPECT_EQ(store.count(), 0);
    EXPECT_EQ(store.find("Ghost"), nullptr);
}
