#include "world/Environment.h"
#include "gui/ChatBox.h"
#include "gui/Gui.h"
#include "gui/GuiTestSupport.h"
#include "world/NpcManager.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

// Restores the C library generator to its unseeded state, which is what a fresh run of the
// game starts from, and builds an environment from it.
std::unique_ptr<Environment> freshEnvironment(std::string* output = nullptr) {
    std::srand(1);
    std::unique_ptr<Environment> environment;
    const std::string out =
        capturedStderr([&] { environment = std::make_unique<Environment>(50, 50); });
    if (output)
        *output = out;
    return environment;
}

} // namespace

TEST(Environment, FillsTheGridColumnByColumnFromTheUnseededGenerator) {
    ScopedGame scope;
    std::string out;
    auto environment = freshEnvironment(&out);
    EXPECT_EQ(out, "Creating Environment - done\n");
    EXPECT_EQ(environment->width(), 50);
    EXPECT_EQ(environment->height(), 50);

    std::srand(1);
    std::vector<int> counts(6, 0);
    for (int column = 0; column < 50; ++column) {
        for (int row = 0; row < 50; ++row) {
            const int cell = environment->getCell(column, row);
            ASSERT_EQ(cell, std::rand() % 6) << column << "," << row;
            ++counts[cell];
        }
    }
    for (int k = 0; k < 6; ++k)
        EXPECT_GT(counts[k], 0) << "tile " << k << " never used";

    auto again = freshEnvironment();
    for (int column = 0; column < 50; ++column)
        for (int row = 0; row < 50; ++row)
            ASSERT_EQ(again->getCell(column, row), environment->getCell(column, row));
}

TEST(Environment, CellsOutsideTheGridReadAsZero) {
    ScopedGame scope;
    auto environment = freshEnvironment();
    EXPECT_EQ(environment->getCell(50, 0), 0);
    EXPECT_EQ(environment->getCell(0, 50), 0);
    EXPECT_EQ(environment->getCell(-1, 0), 0);
    EXPECT_EQ(environment->getCell(0, -1), 0);
    EXPECT_EQ(environment->getCell(-2147483647 - 1, 2147483647), 0);

    std::unique_ptr<Environment> empty;
    capturedStderr([&] { empty = std::make_unique<Environment>(-3, 0); });
    EXPECT_EQ(empty->width(), 0);
    EXPECT_EQ(empty->getCell(0, 0), 0);
}

TEST(Environment, DrawsTheGroundTilesThatFallInsideTheTarget) {
    ScopedGame scope;
    auto environment = freshEnvironment();
    // Tile k is a solid grey of level 40 * (k + 1), so each pixel tells which tile is there.
    std::vector<std::unique_ptr<BitmapHolder>> tiles;
    for (int k = 0; k < 6; ++k) {
        const int level = 40 * (k + 1);
        tiles.push_back(
            std::make_unique<BitmapHolder>(solidBitmap(32, 32, al_map_rgb(level, level, 0))));
        environment->setGroundTile(k, *tiles.back());
    }
    BitmapHolder window(solidBitmap(800, 600, al_map_rgb(0, 0, 255)));
    al_set_target_bitmap(window);
    environment->draw(window);
    for (int column = 0; column < 25; ++column) {
        for (int row = 0; row < 19; ++row) {
            const int level = 40 * (environment->getCell(column, row) + 1);
            ASSERT_EQ(pixelAt(window, 32 * column + 5, 32 * row + 5), rgb(level, level, 0))
                << column << "," << row;
        }
    }
    // The last row is cut at the bottom edge, and still drawn.
    const int level = 40 * (environment->getCell(24, 18) + 1);
    EXPECT_EQ(pixelAt(window, 799, 599), rgb(level, level, 0));
}

TEST(Environment, WithAMapLoadedDrawsTheMapAndNoGround) {
    ScopedGame scope;
    auto environment = freshEnvironment();
    BitmapHolder tile(solidBitmap(32, 32, al_map_rgb(255, 0, 255)));
    for (int k = 0; k < Environment::groundTileCount; ++k)
        environment->setGroundTile(k, tile);
    capturedStderr([] {
        game.mapManager = new MapManager();
        game.mapManager->load("WillowCreekFarm"); // no script host: the map script is skipped
    });
    ASSERT_TRUE(game.mapManager->isReady());

    // What the map manager draws by itself ...
    BitmapHolder mapOnly(solidBitmap(800, 600, al_map_rgb(0, 0, 0)));
    game.mapManager->draw(mapOnly);
    // ... is exactly what the environment draws: not one ground tile pixel.
    BitmapHolder window(solidBitmap(800, 600, al_map_rgb(0, 0, 0)));
    al_set_target_bitmap(window);
    environment->draw(window);
    int differing = 0;
    for (int y = 0; y < 600; y += 3)
        for (int x = 0; x < 800; x += 3)
            differing += !(pixelAt(window, x, y) == pixelAt(mapOnly, x, y));
    EXPECT_EQ(differing, 0);
    EXPECT_FALSE(pixelAt(window, 5, 5) == rgb(255, 0, 255));
    capturedStderr([] { game.mapManager->unload(); });
}

TEST(Environment, DrawsNothingWithoutGroundTiles) {
    ScopedGame scope;
    auto environment = freshEnvironment();
    BitmapHolder window(solidBitmap(64, 64, al_map_rgb(0, 0, 255)));
    al_set_target_bitmap(window);
    environment->draw(window);
    EXPECT_EQ(pixelAt(window, 10, 10), rgb(0, 0, 255));
}

namespace {

// A world with two overlapping characters and the GUI; scripts are not run (no host).
class WorldClickTest : public testing::Test {
  protected:
    void SetUp() override {
        capturedStderr([] {
            game.npcManager = new NpcManager();
            game.gui = new Gui();
            game.environment = new Environment(50, 50);
            game.npcManager->addNpc(100, 100, "Quilla", 0, "Data\\Scripts\\Quilla.lua",
                                    "QuillaTemp");
            game.npcManager->addNpc(300, 100, "Bramble", 1, "Data\\Scripts\\Bramble.lua", "");
            game.npcManager->addNpc(110, 110, "Shadow", 2, "Data\\Scripts\\Shadow.lua", "");
        });
        world = game.environment;
        chat = game.gui->chatBox();
        chat->setLastResponse(5);
    }

    ScopedGame scope;
    Environment* world = nullptr;
    ChatBox* chat = nullptr;
};

} // namespace

TEST_F(WorldClickTest, PressReturnsTrueAndReleaseFalse) {
    EXPECT_TRUE(world->handleMouse(0, 0, 0));
    EXPECT_FALSE(world->handleMouse(1, 0, 0));
    EXPECT_TRUE(world->handleMouse(0, 140, 130));
    EXPECT_FALSE(world->handleMouse(1, 140, 130));
    EXPECT_FALSE(world->handleMouse(2, 140, 130));
}

TEST_F(WorldClickTest, ClickOnACharacterOpensTheChat) {
    world->handleMouse(0, 132, 118);
    world->handleMouse(1, 164, 186); // anywhere in the same hit box
    EXPECT_TRUE(game.gui->chatOpen());
    EXPECT_TRUE(chat->isShown());
    EXPECT_EQ(chat->lastResponse(), -1);
    EXPECT_EQ(game.npcManager->getActiveNpc(), nullptr); // clicking does not select
}

TEST_F(WorldClickTest, PressAndReleaseOnDifferentThingsDoNothing) {
    const std::pair<std::pair<int, int>, std::pair<int, int>> cases[] = {
        {{140, 130}, {340, 130}}, // Quilla, then Bramble
        {{140, 130}, {600, 500}}, // Quilla, then open ground
        {{600, 500}, {140, 130}}, // open ground, then Quilla
    };
    for (auto [press, release] : cases) {
        world->handleMouse(0, press.first, press.second);
        world->handleMouse(1, release.first, release.second);
        EXPECT_FALSE(game.gui->chatOpen());
        EXPECT_EQ(chat->lastResponse(), 5);
    }
}

TEST_F(WorldClickTest, ReleaseBeforeAnyPressDoesNothing) {
    world->handleMouse(1, 140, 130);
    EXPECT_FALSE(game.gui->chatOpen());
}

TEST_F(WorldClickTest, OverlapResolvesBothPointsToTheFirstCharacter) {
    // Press where only Quilla stands, release where Quilla and Shadow overlap: both Quilla.
    world->handleMouse(0, 133, 119);
    world->handleMouse(1, 160, 180);
    EXPECT_TRUE(game.gui->chatOpen());
}

TEST_F(WorldClickTest, PressTakenByTheGuiKeepsTheEarlierPressPoint) {
    world->handleMouse(0, 600, 10); // open ground
    game.gui->setMouse(300, 500);
    EXPECT_TRUE(game.gui->click(0)); // taken by the chat box area: the world never sees it
    world->handleMouse(1, 140, 130);
    EXPECT_FALSE(game.gui->chatOpen());

    world->handleMouse(0, 140, 130);
    game.gui->click(0);
    world->handleMouse(1, 141, 131);
    EXPECT_TRUE(game.gui->chatOpen());
}
