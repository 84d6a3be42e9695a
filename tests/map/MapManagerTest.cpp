#include "map/MapManager.h"
#include "map/MapTestSupport.h"
#include "script/ScriptHost.h"

#include <string>

using maptest::Rgba;
using MapWriter::MapContent;
using MapWriter::Pixel;

namespace {

const Pixel red{200, 30, 30, 255};
const Pixel green{30, 200, 30, 255};
const Pixel blue{30, 30, 200, 255};

// A 25 x 19 map of 32-pixel blocks (exactly the window) with BODY red everywhere, LYR1 green
// in column 0 and clear elsewhere, and LYR2 blue in row 0 and clear elsewhere.
MapContent threeLayerMap() {
    MapContent map = maptest::writerMap(25, 19, {red, green, blue});
    map.layers[0] = maptest::filledLayer(map, 1);
    map.layers[1] = map.layers[2] = maptest::filledLayer(map, 0);
    for (int y = 0; y < 19; ++y)
        map.layers[1][y * 25] = 2;
    for (int x = 0; x < 25; ++x)
        map.layers[2][x] = 3;
    return map;
}

// Each test runs in a scratch directory holding Data/Maps and Data/Scripts/Maps.
class MapManagerTest : public testing::Test {
  protected:
    void TearDown() override {
        game.scriptHost = nullptr;
        MapLibrary::freeMap();
    }

    void writeMap(const std::string& name, const MapContent& map, std::size_t keep = 0) {
        std::string error;
        std::vector<unsigned char> bytes = MapWriter::writeMap(map, error);
        ASSERT_FALSE(bytes.empty()) << error;
        if (keep != 0)
            bytes.resize(keep);
        testsupport::writeFile("Data/Maps/" + name + ".fmp",
                               std::string(bytes.begin(), bytes.end()));
    }

    // Loads with the console captured; returns the console.
    std::string load(const char* name, bool expected = true) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(manager.load(name), expected) << name;
        return testing::internal::GetCapturedStderr();
    }

    std::string drawnConsole(ALLEGRO_BITMAP* target) {
        testing::internal::CaptureStderr();
        manager.draw(target);
        return testing::internal::GetCapturedStderr();
    }

    // Ready, layer count and the result of the last load.
    std::vector<int> state() const {
        return {manager.isReady(), manager.layerCount(), manager.loadResult()};
    }

    bool scriptRan() {
        lua_getglobal(host.state(), "mapScriptRan");
        const bool ran = lua_tointeger(host.state(), -1) == 42;
        lua_pop(host.state(), 1);
        return ran;
    }

    testsupport::ScratchDir dir;
    ScriptHost host{std::vector<ScriptFunction>{}};
    MapManager manager;
};

const char* const kNotReady =
    "Map was not ready, but you tried to blind draw it.  Don't do that.\n";

TEST_F(MapManagerTest, LoadWritesThreeLinesCountsLayersAndRunsTheScript) {
    writeMap("Farm", threeLayerMap());
    testsupport::writeFile("Data/Scripts/Maps/Farm.lua", "mapScriptRan = 42\n");
    game.scriptHost = &host;
    EXPECT_EQ(load("Farm"), "Finished version of level loader: Data\\Maps\\Farm.fmp!\n"
                            "There are 3 layers on this map.\n"
                            "Finished version of script loader: Data\\Scripts\\Maps\\Farm.lua!\n");
    EXPECT_EQ(state(), (std::vector<int>{1, 3, 0}));
    EXPECT_TRUE(scriptRan());
}

TEST_F(MapManagerTest, LayerCountStopsAtTheFirstMissingSlotAndNoScriptIsNeeded) {
    MapContent map = threeLayerMap();
    map.layers[1].clear(); // BODY and LYR2 only
    writeMap("Gap", map);
    game.scriptHost = &host;
    EXPECT_NE(load("Gap").find("There are 1 layers on this map.\n"), std::string::npos);
    EXPECT_EQ(state(), (std::vector<int>{1, 1, 0}));
}

TEST_F(MapManagerTest, MissingFileWritesTheFailureLineAndRunsNoScript) {
    testsupport::writeFile("Data/Scripts/Maps/WillowCreekFarm.lua", "mapScriptRan = 42\n");
    game.scriptHost = &host;
    EXPECT_EQ(load("WillowCreekFarm", false),
              "Finished version of level loader: Data\\Maps\\WillowCreekFarm.fmp!\n"
              "Failed to load WillowCreekFarm : -1.  Map Manager aborts loading.\n");
    EXPECT_EQ(state(), (std::vector<int>{0, 0, -1}));
    EXPECT_FALSE(scriptRan());
}

TEST_F(MapManagerTest, DrawsEveryLayerInOrderOverTheWholeWindowOnlyWhenReady) {
    ALLEGRO_BITMAP* target = al_create_bitmap(800, 600);
    al_set_target_bitmap(target);
    al_clear_to_color(al_map_rgb(1, 2, 3));
    EXPECT_EQ(drawnConsole(target), kNotReady);
    auto at = [&](int x, int y) { return maptest::pixelAt(target, x, y); };
    EXPECT_EQ(at(10, 10), (Rgba{1, 2, 3, 255}));

    writeMap("Farm", threeLayerMap());
    load("Farm");
    EXPECT_EQ(drawnConsole(target), "");
    EXPECT_EQ(al_get_target_bitmap(), target);
    // BODY alone up to the last pixel of the window, LYR1 over it, LYR2 over both.
    const Rgba r{200, 30, 30, 255}, g{30, 200, 30, 255}, b{30, 30, 200, 255};
    EXPECT_EQ((std::vector<Rgba>{at(400, 300), at(799, 599), at(5, 300), at(400, 5), at(5, 5)}),
              (std::vector<Rgba>{r, r, g, b, b}));

    manager.unload();
    EXPECT_EQ(state(), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(MapLibrary::selectLayer(0), -1);
    EXPECT_EQ(drawnConsole(target), kNotReady);
    al_set_target_bitmap(nullptr);
    al_destroy_bitmap(target);
}

// Neither a missing file nor a bad one loses the map loaded before: it stays whole.
TEST_F(MapManagerTest, ASecondLoadThatFails) {
    writeMap("Farm", threeLayerMap());
    writeMap("Cut", threeLayerMap(), 600); // chunk data cut short
    load("Farm");
    const int cell = MapLibrary::cellAt(2, 1, 1);
    load("Elsewhere", false);
    EXPECT_EQ(state(), (std::vector<int>{1, 3, -1}));
    load("Cut", false);
    EXPECT_EQ(state(), (std::vector<int>{1, 3, -1}));
    EXPECT_EQ(MapLibrary::lastError(), MapLibrary::MapBadFile);
    EXPECT_EQ(MapLibrary::cellAt(2, 1, 1), cell);
    EXPECT_NE(MapLibrary::blockBitmap(0), nullptr);
}

TEST_F(MapManagerTest, RefusesANameTooLongForItsPaths) {
    const std::string out = load(std::string(300, 'a').c_str(), false);
    EXPECT_NE(out.find("Map name too long (300 characters"), std::string::npos) << out;
    EXPECT_EQ(out.find("level loader"), std::string::npos);
    // The longest name that fits still gets its two paths.
    const std::string longest(233, 'b');
    EXPECT_NE(load(longest.c_str(), false).find("Failed to load " + longest), std::string::npos);
}

} // namespace
