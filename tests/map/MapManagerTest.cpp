#include "map/MapManager.h"
#include "core/GameContext.h"
#include "map/MapLibrary.h"
#include "map/MapWriter.h"
#include "map/MapWriterFixtures.h"
#include "script/ScriptHost.h"

#include <allegro5/allegro.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

using MapWriter::MapContent;
using MapWriter::Pixel;

namespace {

const Pixel red{200, 30, 30, 255};
const Pixel green{30, 200, 30, 255};
const Pixel blue{30, 30, 200, 255};

// A 25 x 19 map of 32-pixel blocks (exactly the window) with BODY red everywhere, LYR1 green
// in column 0 and clear elsewhere, and LYR2 blue in row 0 and clear elsewhere.
MapContent threeLayerMap() {
    MapContent map = MapWriterFixtures::solidMap(25, 19, {red, green, blue});
    map.layers[0] = MapWriterFixtures::filledLayer(map, 1);
    map.layers[1] = MapWriterFixtures::filledLayer(map, 0);
    map.layers[2] = MapWriterFixtures::filledLayer(map, 0);
    for (int y = 0; y < 19; ++y)
        map.layers[1][y * 25] = 2;
    for (int x = 0; x < 25; ++x)
        map.layers[2][x] = 3;
    return map;
}

class MapManagerTest : public testing::Test {
  protected:
    void SetUp() override {
        previous_ = std::filesystem::current_path();
        char pattern[] = "/tmp/fennow-mapmanager-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        scratch_ = pattern;
        std::filesystem::create_directories(scratch_ / "Data" / "Maps");
        std::filesystem::create_directories(scratch_ / "Data" / "Scripts" / "Maps");
        std::filesystem::current_path(scratch_);
    }

    void TearDown() override {
        game.scriptHost = nullptr;
        MapLibrary::freeMap();
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(scratch_);
    }

    void writeMap(const std::string& name, const MapContent& map, std::size_t keep = 0) {
        std::string error;
        std::vector<unsigned char> bytes = MapWriter::writeMap(map, error);
        ASSERT_FALSE(bytes.empty()) << error;
        if (keep != 0)
            bytes.resize(keep);
        std::ofstream out("Data/Maps/" + name + ".fmp", std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }

    void writeScript(const std::string& name, const std::string& text) {
        std::ofstream out("Data/Scripts/Maps/" + name + ".lua");
        out << text;
    }

    std::filesystem::path previous_;
    std::filesystem::path scratch_;
};

TEST_F(MapManagerTest, LoadWritesThreeLinesAndCountsLayers) {
    writeMap("Farm", threeLayerMap());
    MapManager manager;
    testing::internal::CaptureStderr();
    EXPECT_TRUE(manager.load("Farm"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Finished version of level loader: Data\\Maps\\Farm.fmp!\n"
              "There are 3 layers on this map.\n"
              "Finished version of script loader: Data\\Scripts\\Maps\\Farm.lua!\n");
    EXPECT_TRUE(manager.isReady());
    EXPECT_EQ(manager.layerCount(), 3);
    EXPECT_EQ(manager.loadResult(), 0);
}

TEST_F(MapManagerTest, LayerCountStopsAtTheFirstMissingSlot) {
    MapContent map = threeLayerMap();
    map.layers[1].clear(); // BODY and LYR2 only
    writeMap("Gap", map);
    MapManager manager;
    testing::internal::CaptureStderr();
    EXPECT_TRUE(manager.load("Gap"));
    const std::string out = testing::internal::GetCapturedStderr();
    EXPECT_NE(out.find("There are 1 layers on this map.\n"), std::string::npos) << out;
    EXPECT_EQ(manager.layerCount(), 1);
}

TEST_F(MapManagerTest, RunsTheMapScriptAfterLoading) {
    writeMap("Farm", threeLayerMap());
    writeScript("Farm", "mapScriptRan = 42\n");
    ScriptHost host(std::vector<ScriptFunction>{});
    game.scriptHost = &host;
    MapManager manager;
    testing::internal::CaptureStderr();
    EXPECT_TRUE(manager.load("Farm"));
    testing::internal::GetCapturedStderr();
    lua_getglobal(host.state(), "mapScriptRan");
    EXPECT_EQ(lua_tointeger(host.state(), -1), 42);
    lua_pop(host.state(), 1);
}

TEST_F(MapManagerTest, AMissingScriptLeavesTheMapReady) {
    writeMap("Farm", threeLayerMap());
    ScriptHost host(std::vector<ScriptFunction>{});
    game.scriptHost = &host;
    MapManager manager;
    testing::internal::CaptureStderr();
    EXPECT_TRUE(manager.load("Farm"));
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(manager.isReady());
}

TEST_F(MapManagerTest, MissingFileWritesTheFailureLineAndRunsNoScript) {
    writeScript("WillowCreekFarm", "mapScriptRan = 1\n");
    ScriptHost host(std::vector<ScriptFunction>{});
    game.scriptHost = &host;
    MapManager manager;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(manager.load("WillowCreekFarm"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Finished version of level loader: Data\\Maps\\WillowCreekFarm.fmp!\n"
              "Failed to load WillowCreekFarm : -1.  Map Manager aborts loading.\n");
    EXPECT_FALSE(manager.isReady());
    EXPECT_EQ(manager.layerCount(), 0);
    EXPECT_EQ(manager.loadResult(), -1);
    lua_getglobal(host.state(), "mapScriptRan");
    EXPECT_TRUE(lua_isnil(host.state(), -1));
    lua_pop(host.state(), 1);
}

TEST_F(MapManagerTest, DrawBeforeLoadDrawsNothing) {
    MapManager manager;
    std::unique_ptr<ALLEGRO_BITMAP, void (*)(ALLEGRO_BITMAP*)> target(al_create_bitmap(64, 64),
                                                                      al_destroy_bitmap);
    al_set_target_bitmap(target.get());
    al_clear_to_color(al_map_rgb(1, 2, 3));
    testing::internal::CaptureStderr();
    manager.draw(target.get());
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Map was not ready, but you tried to blind draw it.  Don't do that.\n");
    unsigned char r, g, b;
    al_unmap_rgb(al_get_pixel(target.get(), 10, 10), &r, &g, &b);
    EXPECT_EQ(r, 1);
    EXPECT_EQ(b, 3);
}

TEST_F(MapManagerTest, DrawsEveryLayerInOrderOverTheWholeWindow) {
    writeMap("Farm", threeLayerMap());
    MapManager manager;
    testing::internal::CaptureStderr();
    ASSERT_TRUE(manager.load("Farm"));
    testing::internal::GetCapturedStderr();
    std::unique_ptr<ALLEGRO_BITMAP, void (*)(ALLEGRO_BITMAP*)> target(al_create_bitmap(800, 600),
                                                                      al_destroy_bitmap);
    al_set_target_bitmap(target.get());
    al_clear_to_color(al_map_rgb(0, 0, 0));
    manager.draw(target.get());
    EXPECT_EQ(al_get_target_bitmap(), target.get());
    auto at = [&](int x, int y) {
        unsigned char r, g, b;
        al_unmap_rgb(al_get_pixel(target.get(), x, y), &r, &g, &b);
        return std::to_string(r) + "," + std::to_string(g) + "," + std::to_string(b);
    };
    EXPECT_EQ(at(400, 300), "200,30,30"); // BODY only
    EXPECT_EQ(at(799, 599), "200,30,30"); // the last pixel of the window
    EXPECT_EQ(at(5, 300), "30,200,30");   // LYR1 over BODY
    EXPECT_EQ(at(400, 5), "30,30,200");   // LYR2 over BODY
    EXPECT_EQ(at(5, 5), "30,30,200");     // LYR2 over LYR1
}

TEST_F(MapManagerTest, AFailedLoadAfterTheOldMapWasReleasedLeavesNothingToDraw) {
    writeMap("Farm", threeLayerMap());
    writeMap("Cut", threeLayerMap(), 600); // chunk data cut short
    MapManager manager;
    testing::internal::CaptureStderr();
    ASSERT_TRUE(manager.load("Farm"));
    EXPECT_FALSE(manager.load("Cut"));
    const std::string out = testing::internal::GetCapturedStderr();
    EXPECT_NE(out.find("Failed to load Cut : -1.  Map Manager aborts loading.\n"),
              std::string::npos);
    EXPECT_FALSE(manager.isReady());
    EXPECT_EQ(manager.layerCount(), 0);
    testing::internal::CaptureStderr();
    std::unique_ptr<ALLEGRO_BITMAP, void (*)(ALLEGRO_BITMAP*)> target(al_create_bitmap(800, 600),
                                                                      al_destroy_bitmap);
    manager.draw(target.get());
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Map was not ready, but you tried to blind draw it.  Don't do that.\n");
}

TEST_F(MapManagerTest, AMissingSecondMapKeepsTheFirstOne) {
    writeMap("Farm", threeLayerMap());
    MapManager manager;
    testing::internal::CaptureStderr();
    ASSERT_TRUE(manager.load("Farm"));
    EXPECT_FALSE(manager.load("Elsewhere"));
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(manager.isReady());
    EXPECT_EQ(manager.layerCount(), 3);
    EXPECT_EQ(manager.loadResult(), -1);
}

TEST_F(MapManagerTest, RefusesANameTooLongForItsPaths) {
    MapManager manager;
    const std::string name(300, 'a');
    testing::internal::CaptureStderr();
    EXPECT_FALSE(manager.load(name.c_str()));
    const std::string out = testing::internal::GetCapturedStderr();
    EXPECT_NE(out.find("Map name too long (300 characters"), std::string::npos) << out;
    EXPECT_EQ(out.find("level loader"), std::string::npos);
    EXPECT_FALSE(manager.isReady());
    // The longest name that fits still gets its two paths.
    const std::string longest(233, 'b');
    testing::internal::CaptureStderr();
    EXPECT_FALSE(manager.load(longest.c_str()));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Failed to load " + longest),
              std::string::npos);
}

TEST_F(MapManagerTest, UnloadReleasesTheMap) {
    writeMap("Farm", threeLayerMap());
    MapManager manager;
    testing::internal::CaptureStderr();
    ASSERT_TRUE(manager.load("Farm"));
    testing::internal::GetCapturedStderr();
    manager.unload();
    EXPECT_FALSE(manager.isReady());
    EXPECT_EQ(MapLibrary::selectLayer(0), -1);
}

} // namespace
