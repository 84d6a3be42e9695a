#include "script/ScriptTestSupport.h"

#include "world/MapTravel.h"

#include <gtest/gtest.h>

namespace {

using WorldFunctionsTest = ScriptTest;

// Each function acts and returns 1, or prints one line and returns nothing; none raises a
// Lua error, whatever it is given.
TEST_F(WorldFunctionsTest, RefusalsPrintOneLineAndReturnNothing) {
    struct Row {
        const char* code;
        const char* console;
    };
    const Row rows[] = {
        {"return SetCollision()", "Insufficient Arguments for SetCollision.  Aborting.\n"},
        {"return SetCollision('yes')", "SetCollision: give true or false.  Aborting.\n"},
        {"return SetCollision(nil)", "SetCollision: give true or false.  Aborting.\n"},
        {"return AddMapExit(0, 0, 10, 10, 'Woods', 5)",
         "Insufficient Arguments for AddMapExit.  Aborting.\n"},
        {"return AddMapExit(0, 0, 0, 10, 'Woods', 5, 5)",
         "AddMapExit: the width and height must be above 0.  Aborting.\n"},
        {"return AddMapExit(0, 0, 10, -1, 'Woods', 5, 5)",
         "AddMapExit: the width and height must be above 0.  Aborting.\n"},
        {"return AddMapExit(0, 0, 10, 10, '..\\\\Woods', 5, 5)",
         "AddMapExit: \"..\\Woods\" is not the name of a map.  Aborting.\n"},
        {"return GoToMap('Woods', 1)", "Insufficient Arguments for GoToMap.  Aborting.\n"},
        {"return GoToMap('', 1, 2)", "GoToMap: \"\" is not the name of a map.  Aborting.\n"},
        {"return GoToMap({}, 1, 2)", "GoToMap: \"\" is not the name of a map.  Aborting.\n"},
        {"return GoToMap('a/b', 1, 2)", "GoToMap: \"a/b\" is not the name of a map.  Aborting.\n"},
        {"return SetPlayerPosition(3)",
         "Insufficient Arguments for SetPlayerPosition.  Aborting.\n"},
    };
    for (const Row& row : rows) {
        const ScriptOutcome outcome = call(row.code);
        EXPECT_EQ(outcome.console, row.console) << row.code;
        EXPECT_EQ(outcome.values, Values{}) << row.code;
        EXPECT_EQ(outcome.error, "") << row.code;
    }
    EXPECT_FALSE(game.mapTravel->settings().collision);
    EXPECT_TRUE(game.mapTravel->maps().current().exits.empty());
    EXPECT_FALSE(game.mapTravel->pending().has_value());
}

TEST_F(WorldFunctionsTest, EachFunctionActsOnTheMapOnShowAndReturnsOne) {
    EXPECT_EQ(values("return SetCollision(true)"), Values{"1"});
    EXPECT_TRUE(game.mapTravel->settings().collision);
    EXPECT_EQ(values("return SetCollision(0)"), Values{"1"});
    EXPECT_FALSE(game.mapTravel->settings().collision);
    EXPECT_EQ(values("return SetCollision(1)"), Values{"1"});
    EXPECT_TRUE(game.mapTravel->settings().collision);

    EXPECT_EQ(call("return AddMapExit(780.9, '0', 20, 600, 'Woods', 10, 300)").values, Values{"1"});
    const std::vector<MapExit>& exits = game.mapTravel->maps().current().exits;
    ASSERT_EQ(exits.size(), 1u);
    EXPECT_EQ(exits[0].x, 780);
    EXPECT_EQ(exits[0].height, 600);
    EXPECT_EQ(exits[0].map, "Woods");
    EXPECT_EQ(exits[0].toY, 300);

    // The move waits for the script to end; the last one asked for wins.
    const ScriptOutcome go =
        call("local r = GoToMap('Nowhere', 1, 2) return GoToMap('Woods', 40, 50), r");
    EXPECT_EQ(go.values, (Values{"1", "1"}));
    EXPECT_EQ(go.console, "");
    ASSERT_TRUE(game.mapTravel->pending().has_value());
    EXPECT_EQ(game.mapTravel->pending()->map, "Woods");
    EXPECT_EQ(game.mapTravel->pending()->x, 40);
    EXPECT_EQ(game.mapTravel->maps().currentName(), "WillowCreekFarm");

    // Without a player (the checker's world) the position is simply not kept anywhere.
    EXPECT_EQ(values("return SetPlayerPosition(5, 6)"), Values{"1"});
}

TEST_F(WorldFunctionsTest, DebugModeDiagnosesTheCallFirst) {
    run("Activate_Debug_Mode()");
    const std::string console = run("GoToMap('Woods')");
    EXPECT_NE(console.find("GoToMap"), std::string::npos);
    EXPECT_NE(console.find("Insufficient Arguments for GoToMap.  Aborting.\n"), std::string::npos);
    EXPECT_LT(console.find("GoToMap"), console.find("Insufficient"));
}

} // namespace
