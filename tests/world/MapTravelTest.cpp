#include "world/MapTravel.h"

#include "core/HeadlessGame.h"
#include "core/MainLoop.h"
#include "core/TestSupport.h"
#include "map/MapLibrary.h"
#include "map/MapTestSupport.h"
#include "world/Npc.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

// Two maps of 25 x 19 cells, each with a script that spawns one character and counts its
// runs. On the farm, block 2 is solid and stands in cell (5, 4); the farm switches collision
// on and has an exit on its right edge to the woods.
class MapTravelTest : public testing::Test {
  protected:
    void SetUp() override {
        writeMap("WillowCreekFarm", true);
        writeMap("Woods", false);
        testsupport::writeFile(
            "Data/Scripts/Maps/WillowCreekFarm.lua",
            "farmRuns = (farmRuns or 0) + 1\n"
            "SpawnNPC(300, 200, 'Quilla', 'Data\\\\Scripts\\\\Q.lua', 'QuillaTemp')\n"
            "SetActiveNPCA('Quilla')\n"
            "AddScriptVariableA('gone', 'x')\n"
            "AddScriptVariableI('met', 7)\n"
            "DeleteScriptVariable('gone')\n"
            "SetCollision(true)\n"
            "AddMapExit(780, 0, 20, 600, 'Woods', 10, 300)\n");
        testsupport::writeFile("Data/Scripts/Maps/Woods.lua",
                               "woodsRuns = (woodsRuns or 0) + 1\n"
                               "SpawnNPC(100, 100, 'Hob', 'Data\\\\Scripts\\\\Hob.lua', 'Hob')\n");
        headless = std::make_unique<HeadlessGame>();
        CaptureStderr();
        game.mapManager->load("WillowCreekFarm");
        GetCapturedStderr();
    }
    void TearDown() override {
        headless.reset();
        MapLibrary::freeMap();
    }

    void writeMap(const std::string& name, bool withWall) {
        MapWriter::MapContent map =
            maptest::writerMap(25, 19, {{90, 160, 60, 255}, {120, 80, 40, 255}});
        map.blocks[2].flags = MapLibrary::SolidFlag;
        map.layers[0] = maptest::filledLayer(map, 1);
        if (withWall)
            map.layers[0][4 * 25 + 5] = 2;
        std::string error;
        const std::vector<unsigned char> bytes = MapWriter::writeMap(map, error);
        ASSERT_FALSE(bytes.empty()) << error;
        testsupport::writeFile("Data/Maps/" + name + ".fmp",
                               std::string(bytes.begin(), bytes.end()));
    }

    int global(const char* name) {
        lua_State* L = game.scriptHost->state();
        lua_getglobal(L, name);
        const int value = static_cast<int>(lua_tointeger(L, -1));
        lua_pop(L, 1);
        return value;
    }
    // Travels with the console captured; returns the console.
    std::string travel(const std::string& map, int x, int y, bool expected = true) {
        CaptureStderr();
        EXPECT_EQ(travelling().travel(map, x, y), expected) << map;
        return GetCapturedStderr();
    }
    MapTravel& travelling() { return *game.mapTravel; }
    NpcManager& npcs() { return *game.npcManager; }

    testsupport::ScratchDir dir;
    std::unique_ptr<HeadlessGame> headless;
};

TEST_F(MapTravelTest, AMapKeepsItsCharactersExitsAndSettingsAndRunsItsScriptOnce) {
    EXPECT_EQ(travel("Woods", 10, 300),
              "Finished version of level loader: Data\\Maps\\Woods.fmp!\n"
              "There are 1 layers on this map.\n"
              "Finished version of script loader: Data\\Scripts\\Maps\\Woods.lua!\n");
    EXPECT_EQ(travelling().maps().currentName(), "Woods");
    ASSERT_EQ(npcs().getNpcCount(), 1);
    EXPECT_EQ(npcs().npc(0)->name(), "Hob");
    EXPECT_EQ(npcs().getActiveNpc(), nullptr);
    EXPECT_EQ(travelling().settings(), MapSettings{});
    EXPECT_TRUE(travelling().maps().current().exits.empty());
    EXPECT_EQ(travelling().collisionForTick(), nullptr);
    EXPECT_FLOAT_EQ(game.player->x, 10.0f);
    EXPECT_FLOAT_EQ(game.player->y, 300.0f);
    // What the farm kept while the player was away.
    const MapRecord* farm = travelling().maps().find("WillowCreekFarm");
    ASSERT_NE(farm, nullptr);
    ASSERT_EQ(farm->characters.size(), 1u);
    const KeptCharacter& quilla = farm->characters[0];
    EXPECT_EQ(quilla.name, "Quilla");
    EXPECT_EQ(quilla.spriteName, "QuillaTemp");
    EXPECT_EQ(quilla.scriptPath, "Data\\Scripts\\Q.lua");
    EXPECT_EQ(quilla.x, 300);
    EXPECT_EQ(farm->activeCharacter, 0);

    EXPECT_EQ(travel("WillowCreekFarm", 700, 300),
              "Finished version of level loader: Data\\Maps\\WillowCreekFarm.fmp!\n"
              "There are 1 layers on this map.\n");
    EXPECT_EQ(global("farmRuns"), 1);
    ASSERT_EQ(npcs().getNpcCount(), 1);
    Npc* back = npcs().npc(0);
    EXPECT_EQ(back->name(), "Quilla");
    EXPECT_EQ(npcs().getActiveNpc(), back);
    // Every slot as it was, the emptied one too, so the next addition still takes it.
    EXPECT_EQ(back->variables().getVariableCount(), 2);
    EXPECT_EQ(back->variables().getVariableName(0), nullptr);
    EXPECT_EQ(back->variables().getIntVariable("met"), 7);
    EXPECT_TRUE(travelling().settings().collision);
    ASSERT_EQ(travelling().maps().current().exits.size(), 1u);
    const MapExit& exit = travelling().maps().current().exits[0];
    EXPECT_EQ(exit.map, "Woods");
    EXPECT_EQ(exit.toX, 10);
    EXPECT_EQ(exit.width, 20);

    travel("Woods", 10, 300);
    EXPECT_EQ(global("woodsRuns"), 1);
    EXPECT_EQ(npcs().npc(0)->name(), "Hob");
    EXPECT_EQ(travelling().maps().records().size(), 2u);
}

TEST_F(MapTravelTest, AMapThatCannotBeLoadedChangesNothing) {
    testsupport::writeFile("Data/Maps/Broken.fmp", "FORM\x00\x00\x00\x10"
                                                   "FMAPMPHD\x00\x00\x00\x01x");
    game.player->x = 123.0f;
    game.conversation->open();
    for (const char* map : {"Nowhere", "Broken"}) {
        const std::string console = travel(map, 5, 5, false);
        EXPECT_NE(console.find(std::string("Failed to load ") + map + " : -1."), std::string::npos)
            << console;
        EXPECT_EQ(travelling().maps().currentName(), "WillowCreekFarm");
        EXPECT_FLOAT_EQ(game.player->x, 123.0f);
        EXPECT_EQ(npcs().getNpcCount(), 1);
        EXPECT_TRUE(game.conversation->isOpen());
        EXPECT_TRUE(game.mapManager->isReady());
        EXPECT_EQ(MapLibrary::cellAt(0, 5, 4), 2);
        EXPECT_EQ(travelling().maps().find(map), nullptr);
    }
    // The move itself closes the chat box.
    travel("Woods", 1, 1);
    EXPECT_FALSE(game.conversation->isOpen());
}

TEST_F(MapTravelTest, AScriptsMoveWaitsUntilTheEventIsOverAndAnExitIsTakenOnEntering) {
    testsupport::writeFile("Data/Scripts/Go.lua", "result = GoToMap('Woods', 40, 50)\n");
    CaptureStderr();
    game.scriptHost->runFile("Data\\Scripts\\Go.lua");
    EXPECT_EQ(travelling().maps().currentName(), "WillowCreekFarm");
    ASSERT_TRUE(travelling().pending().has_value());
    ALLEGRO_EVENT tick{};
    tick.type = ALLEGRO_EVENT_TIMER;
    EXPECT_TRUE(dispatchEvent(tick));
    GetCapturedStderr();
    EXPECT_EQ(travelling().maps().currentName(), "Woods");
    EXPECT_FALSE(travelling().pending().has_value());
    EXPECT_FLOAT_EQ(game.player->x, 40.0f);

    // Back on the farm, arriving inside the exit does not use it; leaving and coming back does.
    travel("WillowCreekFarm", 730, 300); // feet 764..792: inside the exit from x 780
    ALLEGRO_EVENT key{};
    key.type = ALLEGRO_EVENT_KEY_DOWN;
    key.keyboard.keycode = ALLEGRO_KEY_LEFT;
    dispatchEvent(key);
    travelling().afterPlayerMoved();
    EXPECT_FALSE(travelling().pending().has_value());
    game.player->x = 600.0f; // feet right at 662: out of the exit
    travelling().afterPlayerMoved();
    EXPECT_FALSE(travelling().pending().has_value());
    game.player->x = 600.0f + (780 - 662) + 1; // one pixel in
    travelling().afterPlayerMoved();
    ASSERT_TRUE(travelling().pending().has_value());
    EXPECT_EQ(travelling().pending()->map, "Woods");
    EXPECT_EQ(travelling().pending()->y, 300);
}

TEST_F(MapTravelTest, AnExitCoversItsLeftAndTopEdgesButNotItsRightAndBottomOnes) {
    const MapExit exit{100, 50, 40, 20, "Woods", 0, 0};
    struct Row {
        Box feet;
        bool reached;
    };
    const Row rows[] = {
        {{90, 60, 100, 62}, false},   // touching the left edge from outside
        {{90, 60, 100.5f, 62}, true}, // half a pixel over it
        {{140, 60, 150, 62}, false},  // starting at the right edge
        {{139, 60, 150, 62}, true},   {{110, 40, 120, 50}, false}, // ending on the top edge
        {{110, 70, 120, 80}, false},                               // starting on the bottom edge
        {{110, 69, 120, 80}, true},
    };
    for (const Row& row : rows)
        EXPECT_EQ(exit.reachedBy(row.feet), row.reached) << row.feet.left << "," << row.feet.top;
}

TEST_F(MapTravelTest, CollisionReadsTheSolidBlocksAndTheCharactersFeet) {
    const Collision* collision = travelling().collisionForTick();
    ASSERT_NE(collision, nullptr);
    EXPECT_TRUE(collision->isSolid(5, 4));
    EXPECT_FALSE(collision->isSolid(4, 4));
    const Box quillaFeet = npcs().npc(0)->feet();
    EXPECT_GT(collision->overlap(quillaFeet, Box{0, 0, 10, 10}), 0.0f);
    CaptureStderr();
    travelling().setCollision(false);
    GetCapturedStderr();
    EXPECT_EQ(travelling().collisionForTick(), nullptr);
}

TEST_F(MapTravelTest, AReloadLoadsTheMapOnShowAndForgetsTheOthers) {
    travel("Woods", 10, 300);
    CaptureStderr();
    reloadWorld();
    const std::string console = GetCapturedStderr();
    EXPECT_NE(console.find("Data\\Maps\\Woods.fmp"), std::string::npos) << console;
    EXPECT_EQ(travelling().maps().records().size(), 1u);
    EXPECT_EQ(global("woodsRuns"), 1);
    travel("WillowCreekFarm", 10, 300);
    EXPECT_EQ(global("farmRuns"), 1); // a first visit again: the script ran
    EXPECT_EQ(npcs().getNpcCount(), 1);
}

} // namespace
