#include "ContentChecker.h"
#include "CheckOptions.h"

#include "core/TestSupport.h"
#include "map/MapLibrary.h"
#include "map/MapTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The source root: unit tests start there.
const fs::path sourceRoot = fs::current_path();

struct Outcome {
    int status = -1;
    std::vector<std::string> lines; // everything before the summary
    std::string summary;
    std::string errors;
};

Outcome runChecker(const std::vector<std::string>& words) {
    Outcome outcome;
    CheckOptions options;
    std::string error;
    if (!parseCheckOptions(words, options, error)) {
        outcome.status = 2;
        outcome.errors = error;
        return outcome;
    }
    std::ostringstream out;
    std::ostringstream err;
    outcome.status = ContentChecker(options).run(out, err);
    outcome.errors = err.str();
    std::istringstream text(out.str());
    for (std::string line; std::getline(text, line);)
        outcome.lines.push_back(line);
    if (!outcome.lines.empty()) {
        outcome.summary = outcome.lines.back();
        outcome.lines.pop_back();
    }
    return outcome;
}

// A Data/ tree in the scratch folder: the game's art (for the chat font) and start-up scripts,
// with the fixture's own scripts over them.
void makeFixtureData(const std::string& fixture) {
    fs::create_directories("Data/Scripts");
    fs::create_directory_symlink(sourceRoot / "Data" / "Graphics", "Data/Graphics");
    for (const char* script : {"RunOnce.lua", "VersionBark.lua"})
        fs::copy_file(sourceRoot / "Data" / "Scripts" / script, fs::path("Data/Scripts") / script);
    fs::copy(sourceRoot / "tests" / "data" / "check" / fixture / "Data", "Data",
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

struct FixtureCase {
    const char* fixture;
    std::vector<std::string> expected;
    std::vector<std::string> words = {};
};

// Test names say which fixture; ctest's list needs no bytes of the case.
void PrintTo(const FixtureCase& c, std::ostream* out) {
    *out << c.fixture;
}

class BrokenFixture : public testing::TestWithParam<FixtureCase> {};

// Each fixture holds one fault: the checker finds exactly it, with the path that shows it.
TEST_P(BrokenFixture, GivesExactlyItsFinding) {
    testsupport::ScratchDir scratch;
    makeFixtureData(GetParam().fixture);
    std::vector<std::string> words = {"--script-limit", "0.2"};
    words.insert(words.end(), GetParam().words.begin(), GetParam().words.end());
    const Outcome outcome = runChecker(words);
    EXPECT_EQ(outcome.lines, GetParam().expected);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.summary.find(", 1 finding, "), std::string::npos) << outcome.summary;
}

const FixtureCase fixtureCases[] = {
    {"syntax_error",
     {"Data\\Scripts\\Mira.lua:4: error: 'then' expected near 'Talk'", "  path: Mira: click"}},
    {"helper_error",
     {"Data\\Scripts\\Mira.lua:3: error: bad argument #1 to 'ipairs' (table expected, got "
      "string) (inside the shared helper at Data\\Scripts\\RunOnce.lua:176)",
      "  path: Mira: click"}},
    {"endless_loop",
     {"Data\\Scripts\\Mira.lua:4: error: script stopped after running for 0.2 seconds",
      "  path: Mira: click > \"How is the weather?\""}},
    {"missing_value",
     {"Data\\Scripts\\Mira.lua:4: value: response \"Tell me more.\" has no value; it counts as "
      "0 (inside the shared helper at Data\\Scripts\\RunOnce.lua:200)",
      "  path: Mira: click"}},
    {"long_line",
     {"Data\\Scripts\\Mira.lua:3: text: line 0 \"This line is much too long to fit in the...\" "
      "is 690 pixels wide; the chat box's text column is 451",
      "  path: Mira: click"}},
    {"unknown_portrait",
     {"Data\\Scripts\\Mira.lua:3: portrait: portrait \"Mira\" was never loaded with "
      "LoadPortrait (inside the shared helper at Data\\Scripts\\RunOnce.lua:142)",
      "  path: Mira: click"}},
    {"os_exit",
     {"Data\\Scripts\\Mira.lua:4: error: os.exit would end the whole game",
      "  path: Mira: click > \"I have to go.\""}},
    {"two_maps",
     {"Data\\Scripts\\Maps\\Meadow.lua:3: character: the script Data\\Scripts\\Tam.lua of "
      "character Tam does not exist",
      "  path: map Meadow"},
     {"--all"}},
    {"dead_end",
     {"Data\\Scripts\\Mira.lua:4: stuck: the chat box is open with no response line to pick "
      "(page \"That is all I know.\")",
      "  path: Mira: click > \"Tell me more.\""}},
    {"no_way_out",
     {"Data\\Scripts\\Mira.lua:5: stuck: no choice from here ever leads to a close response "
      "(page \"Round we go.\")",
      "  path: Mira: click > \"Let's go round.\""}},
    {"same_value",
     {"Data\\Scripts\\Mira.lua:9: value: responses \"Yes.\" and \"No.\" on one page have the "
      "same value 1",
      "  path: Mira: click"}},
    // Followed, "kettle" (0) would lead back to the counting greeting without end.
    {"kettle",
     {"Data\\Scripts\\Mudge.lua:10: value: response \"Put the kettle on.\" has a value that "
      "is not a number (string); it counts as 0 (inside the shared helper at "
      "Data\\Scripts\\RunOnce.lua:200)",
      "  path: Mudge: click",
      "note: Mudge: its memory still changed on visit 3, the last walked; a later visit may "
      "differ (try --visits 4)"}},
    {"broken_portrait",
     {"Data\\Scripts\\Maps\\WillowCreekFarm.lua:2: portrait: portrait \"Tamsin\": the file "
      "Data\\Portraits\\Tamsin.png cannot be loaded (Not a PNG file)",
      "  path: map WillowCreekFarm"}},
    {"not_text",
     {"Data\\Scripts\\Mira.lua:3: text: Talk.say was given nil where a text belongs (inside the "
      "shared helper at Data\\Scripts\\RunOnce.lua:63)",
      "  path: Mira: click"}},
    {"fourth_visit",
     {"Data\\Scripts\\Mira.lua:4: stuck: the chat box is open with no response line to pick "
      "(page \"I have nothing more to say.\")",
      "  path: Mira: click > \"Goodbye.\" > click > \"Goodbye.\" > click > \"Goodbye.\" > click",
      "note: Mira: its memory still changed on visit 4, the last walked; a later visit may "
      "differ (try --visits 5)"},
     {"--visits", "4"}},
    {"off_screen",
     {"Data\\Scripts\\Maps\\WillowCreekFarm.lua:2: character: character Mira at (900, 100): no "
      "part of its hit box (932, 118) to (964, 186) lies in the 800x600 window",
      "  path: map WillowCreekFarm"}},
    {"under_chat_box",
     {"Data\\Scripts\\Maps\\WillowCreekFarm.lua:2: character: character Mira at (300, 400): its "
      "whole hit box (332, 418) to (364, 486) lies under the chat box area (0, 380) to (688, "
      "600), where a click goes to the chat box",
      "  path: map WillowCreekFarm"}},
    {"missing_script",
     {"Data\\Scripts\\Maps\\WillowCreekFarm.lua:2: character: the script "
      "Data\\Scripts\\Nobody.lua of character Mira does not exist",
      "  path: map WillowCreekFarm"}},
    {"sprite_case",
     {"Data\\Scripts\\Maps\\WillowCreekFarm.lua:2: character: sprite \"quillatemp\" has no "
      "picture of its own in Data\\Graphics\\Characters; the default sprite is drawn; did you "
      "mean \"QuillaTemp\"?",
      "  path: map WillowCreekFarm"}},
    {"sprite_near_miss",
     {"Data\\Scripts\\Maps\\WillowCreekFarm.lua:2: character: sprite \"FernTemp\" has no "
      "picture of its own in Data\\Graphics\\Characters; the default sprite is drawn; did you "
      "mean \"Fern\" (Data\\Graphics\\Characters\\Fern.png)?",
      "  path: map WillowCreekFarm"}},
    {"exit_nowhere",
     {"Data\\Scripts\\Maps\\WillowCreekFarm.lua:3: map: an exit to map Nowhere, which does "
      "not exist (no Data\\Maps\\Nowhere.fmp)",
      "  path: map WillowCreekFarm"}},
    {"goto_nowhere",
     {"Data\\Scripts\\Mira.lua:4: map: GoToMap to map Nowhere, which does not exist (no "
      "Data\\Maps\\Nowhere.fmp)",
      "  path: Mira: click > \"Show me the way.\""}},
};

INSTANTIATE_TEST_SUITE_P(Fixtures, BrokenFixture, testing::ValuesIn(fixtureCases),
                         [](const testing::TestParamInfo<FixtureCase>& info) {
                             return std::string(info.param.fixture);
                         });

// With collision on, a character must stand on open ground the player can walk to. The map:
// grass with a closed ring of solid cells (columns 10 to 14, rows 4 to 8) and one solid cell
// (5, 10). Mira stands inside the ring, Tam on the cell; the player starts outside.
TEST(Ground, CharactersOnSolidCellsOrOutOfReachAreFindings) {
    testsupport::ScratchDir scratch;
    makeFixtureData("off_screen");
    MapWriter::MapContent map =
        maptest::writerMap(25, 19, {{90, 160, 60, 255}, {30, 60, 200, 255}});
    map.blocks[2].flags = MapFormat::SolidFlag;
    map.layers[0] = maptest::filledLayer(map, 1);
    for (int column = 10; column <= 14; ++column)
        for (int row = 4; row <= 8; ++row)
            if (column == 10 || column == 14 || row == 4 || row == 8)
                map.layers[0][row * 25 + column] = 2;
    map.layers[0][10 * 25 + 5] = 2;
    std::string error;
    const std::vector<unsigned char> bytes = MapWriter::writeMap(map, error);
    ASSERT_FALSE(bytes.empty()) << error;
    fs::create_directories("Data/Maps");
    testsupport::writeFile("Data/Maps/WillowCreekFarm.fmp",
                           std::string(bytes.begin(), bytes.end()));
    testsupport::writeFile(
        "Data/Scripts/Maps/WillowCreekFarm.lua",
        "SetCollision(true) SetPlayerPosition(0, 400)\n"
        "SpawnNPC(352, 120, 'Mira', 'Data\\\\Scripts\\\\Mira.lua', 'BrambleTemp')\n"
        "SpawnNPC(128, 248, 'Tam', 'Data\\\\Scripts\\\\Mira.lua', 'BrambleTemp')\n");
    const Outcome outcome = runChecker({});
    EXPECT_EQ(outcome.lines,
              (std::vector<std::string>{
                  "Data\\Scripts\\Maps\\WillowCreekFarm.lua:2: character: character Mira at "
                  "(352, 120): the player cannot walk there from where they start (0, 400)",
                  "  path: map WillowCreekFarm",
                  "Data\\Scripts\\Maps\\WillowCreekFarm.lua:3: character: character Tam at "
                  "(128, 248): its feet stand on the solid cell (5, 10)",
                  "  path: map WillowCreekFarm"}));
    EXPECT_EQ(outcome.status, 1);
}

// The shipped farm is walked completely and has nothing to report. Its characters count their
// visits without end, which is only noted.
TEST(ShippedContent, PassesWithNoFinding) {
    const Outcome outcome = runChecker({"--all", "--data", sourceRoot.string()});
    for (const std::string& line : outcome.lines)
        EXPECT_NE(line.find(": its memory still changed on visit 3"), std::string::npos) << line;
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.summary.rfind("fennow-check: 2 maps, ", 0), 0u) << outcome.summary;
    EXPECT_NE(outcome.summary.find(", 0 findings, "), std::string::npos) << outcome.summary;
}

TEST(ShippedContent, JsonHoldsTheSameCounts) {
    std::ostringstream out;
    std::ostringstream err;
    CheckOptions options;
    options.dataRoot = sourceRoot.string();
    options.json = true;
    EXPECT_EQ(ContentChecker(options).run(out, err), 0);
    const std::string text = out.str();
    for (const char* field : {"\"maps\": 1", "\"findings\": []", "\"states\": ", "\"seconds\": "})
        EXPECT_NE(text.find(field), std::string::npos) << field << " in " << text;
}

TEST(Json, FindingsCarryTheirPartsAndPath) {
    testsupport::ScratchDir scratch;
    makeFixtureData("same_value");
    std::ostringstream out;
    std::ostringstream err;
    CheckOptions options;
    options.json = true;
    EXPECT_EQ(ContentChecker(options).run(out, err), 1);
    const std::string text = out.str();
    for (const char* field : {"\"kind\": \"value\"", "\"file\": \"Data\\\\Scripts\\\\Mira.lua\"",
                              "\"line\": 9", "\"path\": \"Mira: click\"", "\"characters\": 1"})
        EXPECT_NE(text.find(field), std::string::npos) << field << " in " << text;
}

// A bound that cuts the walk is said, and is not a finding.
TEST(Bounds, CutWalksAreNoted) {
    testsupport::ScratchDir scratch;
    makeFixtureData("two_maps");
    const Outcome byDepth = runChecker({"--map", "Farm", "--depth", "1"});
    EXPECT_EQ(byDepth.lines,
              std::vector<std::string>{"note: Mira: paths were cut after 1 step (--depth)"});
    EXPECT_EQ(byDepth.status, 0);
    const Outcome byStates = runChecker({"--map", "Farm", "--states", "2"});
    EXPECT_EQ(byStates.lines,
              std::vector<std::string>{"note: Mira: the walk stopped at 2 states (--states), 2 "
                                       "responses walked; the rest was not walked"});
    EXPECT_EQ(byStates.status, 0);
    // Only the character asked for is walked; the other's missing script goes unseen.
    const Outcome one = runChecker({"--map", "Meadow", "--character", "Mira"});
    EXPECT_EQ(one.lines, std::vector<std::string>{});
    EXPECT_NE(one.summary.find(" 1 character, "), std::string::npos) << one.summary;
}

// A walk that cannot end by itself stops at its time budget and says how far it got; with
// --progress it reports on the way.
TEST(Bounds, EndlessWalkStopsAtItsBudget) {
    testsupport::ScratchDir scratch;
    makeFixtureData("endless_counter");
    CheckOptions options;
    std::string error;
    ASSERT_TRUE(parseCheckOptions({"--time-limit", "3", "--progress"}, options, error));
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(ContentChecker(options).run(out, err), 0);
    const std::string note =
        "note: Mira: the walk stopped after 3 s of processor time (--time-limit), ";
    EXPECT_NE(out.str().find(note), std::string::npos) << out.str();
    EXPECT_EQ(err.str().rfind("fennow-check: Mira: ", 0), 0u) << err.str();
    EXPECT_NE(err.str().find(" responses walked, "), std::string::npos) << err.str();
}

// The memory that still changes on the last visit is noted, not a finding.
TEST(Bounds, LaterVisitsAreNoted) {
    testsupport::ScratchDir scratch;
    makeFixtureData("fourth_visit");
    const Outcome outcome = runChecker({});
    EXPECT_EQ(outcome.lines,
              std::vector<std::string>{"note: Mira: its memory still changed on visit 3, the last "
                                       "walked; a later visit may differ (try --visits 4)"});
    EXPECT_EQ(outcome.status, 0);
}

struct UsageCase {
    const char* name;
    std::vector<std::string> words;
    const char* message;
};

void PrintTo(const UsageCase& c, std::ostream* out) {
    *out << c.name;
}

class BadUsage : public testing::TestWithParam<UsageCase> {};

// Bad usage and a missing Data/ exit with 2 and say what is wrong.
TEST_P(BadUsage, ExitsWithTwoAndAReason) {
    testsupport::ScratchDir scratch;
    fs::create_directories("empty");
    fs::create_directories("farm/Data/Scripts/Maps");
    std::ofstream("farm/Data/Scripts/Maps/Farm.lua") << "-- nobody here\n";
    const Outcome outcome = runChecker(GetParam().words);
    EXPECT_EQ(outcome.status, 2);
    EXPECT_NE(outcome.errors.find(GetParam().message), std::string::npos) << outcome.errors;
    EXPECT_TRUE(outcome.lines.empty() && outcome.summary.empty());
}

const UsageCase usageCases[] = {
    {"UnknownOption", {"--fast"}, "unknown option --fast"},
    {"StrayWord", {"farm"}, "unexpected argument \"farm\""},
    {"MissingValue", {"--visits"}, "option --visits needs a value"},
    {"ZeroVisits", {"--visits", "0"}, "--visits needs a whole number from 1 to 100, not \"0\""},
    {"WordForDepth", {"--depth", "deep"}, "--depth needs a whole number from 1 to 10000"},
    {"NegativeTime", {"--time-limit", "-1"}, "--time-limit needs a number of seconds above 0"},
    {"ZeroScriptTime", {"--script-limit", "0"}, "--script-limit needs a number of seconds above 0"},
    {"NoSuchCharacter",
     {"--data", "farm", "--map", "Farm", "--character", "Nobody"},
     "no character named Nobody is spawned by map Farm"},
    {"MapWithFolder", {"--map", "Maps/Farm"}, "--map takes a map name without folder"},
    {"AllAndMap", {"--all", "--map", "Farm"}, "--all and --map cannot be combined"},
    {"NoData", {"--data", "empty"}, "no Data folder in empty"},
    {"NoSuchData", {"--data", "nowhere"}, "no Data folder in nowhere"},
    {"MapWithoutScript",
     {"--data", "farm", "--map", "Meadow"},
     "map Meadow has no script Data\\Scripts\\Maps\\Meadow.lua"},
    {"AllFindsNoMap",
     {"--data", "farm", "--all"},
     "--all found no map in Data\\Maps with a script in Data\\Scripts\\Maps"},
};

INSTANTIATE_TEST_SUITE_P(Usage, BadUsage, testing::ValuesIn(usageCases),
                         [](const testing::TestParamInfo<UsageCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
