#include "gui/PortraitStore.h"
#include "gui/GuiTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Writes an 8 x 8 picture into the scratch folder: magenta corners, a dark grey centre, the
// rest of the given colour.
void writePortrait(const std::string& path, ALLEGRO_COLOR colour) {
    testsupport::writeImage(path, 8, 8, [colour](int x, int y) {
        if ((x == 0 || x == 7) && (y == 0 || y == 7))
            return al_map_rgb(255, 0, 255);
        return x == 4 && y == 4 ? al_map_rgb(64, 64, 64) : colour;
    });
}

} // namespace

TEST(PortraitStore, OnlyMagentaIsTransparentAndTheFirstLoadOfANameIsFound) {
    testsupport::ScratchDir dir;
    PortraitStore store;
    writePortrait("Data/a.png", al_map_rgb(200, 0, 0));
    writePortrait("Data/b.png", al_map_rgb(0, 0, 200));
    ASSERT_TRUE(store.load("Face", "Data/a.png"));
    ASSERT_TRUE(store.load("Face", "Data/b.png"));
    ASSERT_TRUE(store.load("face", "Data\\b.png")); // the game's form of a path
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
    testsupport::ScratchDir dir;
    PortraitStore store;
    testsupport::writeFile("Data/text.png", "not a picture");
    const std::string out = capturedStderr([&] {
        EXPECT_FALSE(store.load("Ghost", "Data\\Missing.png"));
        EXPECT_FALSE(store.load("Ghost", "Data\\text.png"));
    });
    EXPECT_EQ(out, "Could not load portrait Data\\Missing.png.\n"
                   "Could not load portrait Data\\text.png.\n");
    EXPECT_EQ(store.count(), 0);
    EXPECT_EQ(store.find("Ghost"), nullptr);
}
