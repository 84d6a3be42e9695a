#include "gfx/MapPicture.h"

#include "core/HeadlessGame.h"
#include "core/TestArt.h"
#include "core/TestSupport.h"
#include "map/MapTestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

using maptest::addSolidChunks;
using maptest::graphicColour;
using maptest::solidHeader;

// Cell (c, r) of the generated maps shows one of the blocks 1 to 7.
std::vector<int> pattern(int width, int height) {
    std::vector<int> cells;
    for (int r = 0; r < height; ++r)
        for (int c = 0; c < width; ++c)
            cells.push_back(1 + (c + 2 * r) % 7);
    return cells;
}

std::vector<uint8_t> smallerThanTheWindow() {
    MapImageBuilder b = solidHeader(10, 7, 32, 8);
    return addSolidChunks(b, pattern(10, 7)).image();
}

// Half a block of stagger both ways; cells of graphic 0 are skipped, leaving holes.
std::vector<uint8_t> staggered() {
    MapImageBuilder b = solidHeader(12, 40, 32, 8);
    b.header.staggerX = b.header.staggerY = 16;
    std::vector<int> cells = pattern(12, 40);
    for (size_t i = 0; i < cells.size(); i += 5)
        cells[i] = 0;
    return addSolidChunks(b, cells).image();
}

// Cells of two animations: a forward one shows its first frame, a backward one its last.
std::vector<uint8_t> animated() {
    MapImageBuilder b = solidHeader(25, 19, 32, 8);
    std::vector<int> cells = pattern(25, 19);
    for (size_t i = 0; i < cells.size(); i += 3)
        cells[i] = i % 2 == 0 ? -1 : -2;
    addSolidChunks(b, cells);
    MapImageBuilder::Animation forward;
    forward.start = 0;
    forward.end = 2;
    MapImageBuilder::Animation backward;
    backward.type = 2;
    backward.start = 1;
    backward.end = 4;
    return b.andt({2, 5, 6, 7}, {forward, backward}).image();
}

constexpr int seeThroughBlock = 8; // every pixel magenta: transparent
constexpr int stripedBlock = 9;    // every other row magenta

// Two upper layers, mostly transparent, over a ground layer. Flowing, some cells animate: on the
// ground under the striped middle layer, every tick; on the top layer, back and forth between a
// see-through block, a solid one and a striped one, so that a cell drawn again must show the
// layers under it anew where its old frame was.
std::vector<uint8_t> transparentUpperLayers(bool flowing = false) {
    MapImageBuilder b = solidHeader(25, 19, 32, 10);
    std::vector<MapImageBuilder::Block> blocks(10);
    std::vector<uint8_t> pixels;
    for (int g = 0; g < 10; ++g) {
        blocks[g].background = g;
        for (int p = 0; p < 32 * 32; ++p) {
            const bool magenta = g == seeThroughBlock || (g == stripedBlock && p / 32 % 2 == 0);
            const testsupport::Rgba c = graphicColour(g == stripedBlock ? 3 : g);
            const std::initializer_list<uint8_t> pixel = {0x5A, uint8_t(magenta ? 255 : c.r),
                                                          uint8_t(magenta ? 0 : c.g),
                                                          uint8_t(magenta ? 255 : c.b)};
            pixels.insert(pixels.end(), pixel);
        }
    }
    std::vector<int> middle(25 * 19, seeThroughBlock);
    std::vector<int> top(25 * 19, seeThroughBlock);
    for (size_t i = 0; i < middle.size(); ++i) {
        if (i % 3 == 1)
            middle[i] = stripedBlock;
        if (i % 4 == 0)
            top[i] = i % 8 == 0 ? stripedBlock : 5;
    }
    std::vector<int> ground = pattern(25, 19);
    for (size_t i = 0; flowing && i < ground.size(); ++i) {
        if (i % 6 == 1)
            ground[i] = -2;
        if (i % 10 == 3)
            top[i] = -1;
    }
    b.mphd().bkdt(blocks).bgfx(pixels).layer("BODY", ground);
    b.layer("LYR1", middle).layer("LYR2", top);
    if (flowing) {
        MapImageBuilder::Animation everyTick;
        everyTick.start = 0;
        everyTick.end = 3;
        MapImageBuilder::Animation backAndForth;
        backAndForth.type = 5;
        backAndForth.delay = 1;
        backAndForth.start = 3;
        backAndForth.end = 6;
        b.andt({2, 4, 6, seeThroughBlock, 5, stripedBlock}, {everyTick, backAndForth});
    }
    return b.image();
}

// Pixels where two frames of the same size differ: the count and the first of them.
std::string differences(ALLEGRO_BITMAP* a, ALLEGRO_BITMAP* b) {
    const int width = al_get_bitmap_width(a);
    const int height = al_get_bitmap_height(a);
    const ALLEGRO_LOCKED_REGION* ra =
        al_lock_bitmap(a, ALLEGRO_PIXEL_FORMAT_ABGR_8888_LE, ALLEGRO_LOCK_READONLY);
    const ALLEGRO_LOCKED_REGION* rb =
        al_lock_bitmap(b, ALLEGRO_PIXEL_FORMAT_ABGR_8888_LE, ALLEGRO_LOCK_READONLY);
    long count = 0;
    std::ostringstream first;
    for (int y = 0; y < height; ++y) {
        const auto* rowA = reinterpret_cast<const uint32_t*>(static_cast<const char*>(ra->data) +
                                                             static_cast<long>(y) * ra->pitch);
        const auto* rowB = reinterpret_cast<const uint32_t*>(static_cast<const char*>(rb->data) +
                                                             static_cast<long>(y) * rb->pitch);
        for (int x = 0; x < width; ++x) {
            if (rowA[x] != rowB[x] && count++ == 0)
                first << ", first at (" << x << ", " << y << ")";
        }
    }
    al_unlock_bitmap(a);
    al_unlock_bitmap(b);
    return count == 0 ? "" : std::to_string(count) + " pixels differ" + first.str();
}

// Whole frames of the game composed into memory bitmaps, once through the map picture and
// once layer by layer, with the player standing on the world.
class MapPictureFrames : public testing::Test {
  protected:
    MapPictureFrames() {
        std::filesystem::create_directories("Data/Maps");
        std::filesystem::copy_file(shippedStartMap, "Data/Maps/WillowCreekFarm.fmp");
        testart::writePlayerSheet();
        testart::writeMudTiles();
        headless = std::make_unique<HeadlessGame>();
        game.player->x = 300.0f;
        game.player->y = 320.0f;
    }
    ~MapPictureFrames() override {
        al_destroy_bitmap(pictured);
        al_destroy_bitmap(layered);
        headless.reset();
        MapLibrary::freeMap();
    }

    void load(const std::string& name, const std::vector<uint8_t>& image) {
        if (!image.empty())
            testsupport::writeFile("Data/Maps/" + name + ".fmp",
                                   std::string(image.begin(), image.end()));
        testing::internal::CaptureStderr();
        const bool loaded = game.mapManager->load(name.c_str());
        const std::string console = testing::internal::GetCapturedStderr();
        ASSERT_TRUE(loaded) << console;
    }

    void composeBothWays() {
        game.displayManager->composeFrame(pictured);
        game.displayManager->setDrawLayerByLayer(true);
        game.displayManager->composeFrame(layered);
        game.displayManager->setDrawLayerByLayer(false);
    }

    const std::filesystem::path shippedStartMap =
        std::filesystem::current_path() / "Data/Maps/WillowCreekFarm.fmp";
    testsupport::ScratchDir dir;
    std::unique_ptr<HeadlessGame> headless;
    ALLEGRO_BITMAP* pictured = al_create_bitmap(800, 600);
    ALLEGRO_BITMAP* layered = al_create_bitmap(800, 600);
};

// One game loads the maps in turn, so each row also proves that a load makes the picture anew.
TEST_F(MapPictureFrames, SameFrameAsLayerByLayerForEveryKindOfWorld) {
    const struct {
        const char* what;
        const char* map; // null: no map, the mud ground
        std::vector<uint8_t> image;
    } rows[] = {
        {"mud ground", nullptr, {}},
        {"start map", "WillowCreekFarm", {}},
        {"map smaller than the window", "Smaller", smallerThanTheWindow()},
        {"staggered map with holes", "Staggered", staggered()},
        {"animated cells", "Animated", animated()},
        {"transparent upper layers", "SeeThrough", transparentUpperLayers()},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        if (row.map != nullptr)
            load(row.map, row.image);
        composeBothWays();
        EXPECT_EQ(differences(pictured, layered), "");
    }
    // The last map shows its ground through the upper layers where they are transparent: in
    // cell (13, 10) neither upper layer has a visible pixel.
    EXPECT_EQ(testsupport::pixel(pictured, 13 * 32 + 5, 10 * 32 + 5), graphicColour(6));
}

TEST_F(MapPictureFrames, KeepsItsPictureUntilRemade) {
    load("Animated", animated());
    composeBothWays();
    ALLEGRO_BITMAP* before = al_clone_bitmap(pictured);
    MapLibrary::updateAnimations();
    composeBothWays();
    EXPECT_EQ(differences(pictured, before), "");
    EXPECT_NE(differences(pictured, layered), "");
    game.displayManager->remakeMapPicture();
    composeBothWays();
    EXPECT_EQ(differences(pictured, layered), "");
    al_destroy_bitmap(before);
}

// With map animation on, each tick draws only the changed cells again into the picture, through
// every layer; the frame stays the one composed whole, tick after tick.
TEST_F(MapPictureFrames, FlowingCellsRedrawnIntoThePictureMatchTheWholeFrame) {
    load("Flowing", transparentUpperLayers(true));
    currentMapSettings().mapAnimation = true;
    composeBothWays();
    ALLEGRO_BITMAP* first = al_clone_bitmap(pictured);
    for (int tick = 1; tick <= 8; ++tick) {
        SCOPED_TRACE("tick " + std::to_string(tick));
        ALLEGRO_BITMAP* before = al_clone_bitmap(pictured);
        game.mapManager->animate();
        composeBothWays();
        EXPECT_EQ(differences(pictured, layered), "");
        EXPECT_NE(differences(pictured, before), "") << "the ground flows on every tick";
        al_destroy_bitmap(before);
    }
    // Switched off, the cells rest on the frame they reached.
    currentMapSettings().mapAnimation = false;
    ALLEGRO_BITMAP* resting = al_clone_bitmap(pictured);
    game.mapManager->animate();
    composeBothWays();
    EXPECT_EQ(differences(pictured, resting), "");
    EXPECT_NE(differences(pictured, first), "");
    al_destroy_bitmap(resting);
    al_destroy_bitmap(first);
}

// Without a display no display bitmap can be made: the frame is drawn layer by layer.
TEST_F(MapPictureFrames, FallsBackToTheLayersWhenNoPictureCanBeMade) {
    load("Smaller", smallerThanTheWindow());
    game.displayManager->setDrawLayerByLayer(true);
    game.displayManager->composeFrame(layered);
    game.displayManager->setDrawLayerByLayer(false);
    const int flags = al_get_new_bitmap_flags();
    al_set_new_bitmap_flags(0);
    testing::internal::CaptureStderr();
    for (int frame = 0; frame < 2; ++frame) {
        game.displayManager->composeFrame(pictured);
        EXPECT_EQ(differences(pictured, layered), "") << frame;
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "The display cannot hold the 800 by 600 map picture; the map is drawn layer by "
              "layer.\n");
    al_set_new_bitmap_flags(flags);
}

} // namespace
