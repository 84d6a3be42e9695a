#include "world/Environment.h"
#include "gui/GuiTestSupport.h"

#include <climits>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

// An environment built from the C library generator in its unseeded state, which is what a
// fresh run of the game starts from; ground tile k is a solid colour of level 40 * (k + 1).
class EnvironmentTest : public testing::Test {
  protected:
    void SetUp() override {
        std::srand(1);
        creation = capturedStderr([this] { environment = std::make_unique<Environment>(50, 50); });
        for (int k = 0; k < Environment::groundTileCount; ++k)
            tiles.push_back(std::make_unique<BitmapHolder>(
                solidBitmap(32, 32, al_map_rgb(40 * (k + 1), 40 * (k + 1), 0))));
        al_set_target_bitmap(window);
    }
    void setTiles() {
        for (int k = 0; k < Environment::groundTileCount; ++k)
            environment->setGroundTile(k, *tiles[k]);
    }
    Rgba groundAt(int column, int row) {
        const int level = 40 * (environment->getCell(column, row) + 1);
        return rgb(level, level, 0);
    }

    ScopedGame scope;
    std::string creation;
    std::unique_ptr<Environment> environment;
    std::vector<std::unique_ptr<BitmapHolder>> tiles;
    BitmapHolder window{solidBitmap(800, 600, al_map_rgb(0, 0, 255))};
};

} // namespace

TEST_F(EnvironmentTest, FillsTheGridColumnByColumnFromTheUnseededGenerator) {
    EXPECT_EQ(creation, "Creating Environment - done\n");
    std::srand(1);
    for (int column = 0; column < 50; ++column) {
        for (int row = 0; row < 50; ++row)
            ASSERT_EQ(environment->getCell(column, row), std::rand() % 6) << column << "," << row;
    }
    // Cells outside the grid, and every cell of an empty grid, read as zero.
    for (auto [column, row] : {std::pair{50, 0}, {0, 50}, {-1, 0}, {0, -1}, {INT_MIN, INT_MAX}})
        EXPECT_EQ(environment->getCell(column, row), 0) << column << "," << row;
    capturedStderr([this] { environment = std::make_unique<Environment>(-3, 0); });
    EXPECT_EQ(environment->width() + environment->getCell(0, 0), 0);
}

TEST_F(EnvironmentTest, DrawsTheGroundTilesThatFallInsideTheTargetAndNothingWithout) {
    environment->draw(window);
    EXPECT_EQ(pixelAt(window, 10, 10), rgb(0, 0, 255));
    setTiles();
    environment->draw(window);
    for (int column = 0; column < 25; ++column) {
        for (int row = 0; row < 19; ++row)
            ASSERT_EQ(pixelAt(window, 32 * column + 5, 32 * row + 5), groundAt(column, row))
                << column << "," << row;
    }
    EXPECT_EQ(pixelAt(window, 799, 599), groundAt(24, 18)); // the last row is cut, still drawn
}

TEST_F(EnvironmentTest, WithAMapLoadedDrawsTheMapAndNoGround) {
    setTiles();
    capturedStderr([] {
        game.mapManager = new MapManager();
        game.mapManager->load("WillowCreekFarm"); // no script host: the map script is skipped
    });
    ASSERT_TRUE(game.mapManager->isReady());
    BitmapHolder mapOnly(solidBitmap(800, 600, al_map_rgb(0, 0, 255)));
    game.mapManager->draw(mapOnly);
    al_set_target_bitmap(window);
    environment->draw(window);
    int differing = 0;
    for (int y = 0; y < 600; y += 3)
        for (int x = 0; x < 800; x += 3)
            differing += !(pixelAt(window, x, y) == pixelAt(mapOnly, x, y));
    EXPECT_EQ(differing, 0);
    capturedStderr([] { game.mapManager->unload(); });
}
