#include "gui/PortraitStore.h"
#include "gui/GuiTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Writes an 8 x 8 picture: magenta corners, a dark grey centre, the rest of the given colour.
std::string writePortrait(const std::string& fileName, ALLEGRO_COLOR colour) {
    BitmapHolder picture(solidBitmap(8, 8, colour));
    al_set_target_bitmap(picture);
    const ALLEGRO_COLOR magenta = al_map_rgb(255, 0, 255);
    for (auto [x, y] : {std::pair{0, 0}, {7, 0}, {0, 7}, {7, 7}})
        al_put_pixel(x, y, magenta);
    al_put_pixel(4, 4, al_map_rgb(64, 64, 64));
    const std::string path = testing::TempDir() + fileName;
    EXPECT_TRUE(al_save_bitmap(path.c_str(), picture));
    return path;
}

} // namespace

TEST(PortraitStore, MakesOnlyMagentaTransparent) {
    PortraitStore store;
    EXPECT_EQ(store.count(), 0);
    const std::string path = writePortrait("portrait_red.png", al_map_rgb(200, 0, 0));
    ASSERT_TRUE(store.load("Quilla", path.c_str()));
    EXPECT_EQ(store.count(), 1);
    ALLEGRO_BITMAP* picture = store.find("Quilla");
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(pixelAt(picture, 0, 0).a, 0);
    EXPECT_EQ(pixelAt(picture, 7, 7).a, 0);
    EXPECT_EQ(pixelAt(picture, 4, 4), rgb(64, 64, 64));
    EXPECT_EQ(pixelAt(picture, 1, 1), rgb(200, 0, 0));
}

TEST(PortraitStore, FirstLoadOfANameIsTheOneFound) {
    PortraitStore store;
    const std::string red = writePortrait("portrait_a.png", al_map_rgb(200, 0, 0));
    const std::string blue = writePortrait("portrait_b.png", al_map_rgb(0, 0, 200));
    ASSERT_TRUE(store.load("Face", red.c_str()));
    ASSERT_TRUE(store.load("Face", blue.c_str()));
    ASSERT_TRUE(store.load("face", blue.c_str()));
    EXPECT_EQ(store.count(), 3);
    EXPECT_EQ(pixelAt(store.find("Face"), 1, 1), rgb(200, 0, 0));
    EXPECT_EQ(pixelAt(store.find("face"), 1, 1), rgb(0, 0, 200));
    EXPECT_NE(store.find("Face"), store.find("face"));
    EXPECT_EQ(store.find("FACE"), nullptr);
    EXPECT_EQ(store.find("Face "), nullptr);
    EXPECT_EQ(store.find(""), nullptr);
}

TEST(PortraitStore, BackslashPathsAreOpenedInTheHostsForm) {
    PortraitStore store;
    std::string path = writePortrait("portrait_slash.png", al_map_rgb(0, 200, 0));
    for (char& c : path)
        if (c == '/')
            c = '\\';
    EXPECT_TRUE(store.load("Green", path.c_str()));
}

TEST(PortraitStore, UnloadableFileAddsNothingAndSaysSo) {
    PortraitStore store;
    const std::string notAPicture = testing::TempDir() + "portrait_text.png";
    FILE* file = std::fopen(notAPicture.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fputs("not a picture", file);
    std::fclose(file);

    std::string out = capturedStderr([&] {
        EXPECT_FALSE(store.load("Ghost", "Data\\Graphics\\Portraits\\Missing.png"));
        EXPECT_FALSE(store.load("Ghost", notAPicture.c_str()));
    });
    EXPECT_EQ(out, "Could not load portrait Data\\Graphics\\Portraits\\Missing.png.\n"
                   "Could not load portrait " +
                       notAPicture + ".\n");
    EXPECT_EQ(store.count(), 0);
    EXPECT_EQ(store.find("Ghost"), nullptr);
}
