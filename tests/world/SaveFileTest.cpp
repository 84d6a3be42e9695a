#include "world/SaveFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

using namespace std::string_literals;

namespace {

ScriptVariable integer(std::string name, float value) {
    ScriptVariable variable;
    variable.name = std::move(name);
    variable.value = value;
    return variable;
}

ScriptVariable text(std::string name, std::string value) {
    ScriptVariable variable;
    variable.name = std::move(name);
    variable.text = std::move(value);
    variable.isInteger = false;
    return variable;
}

// Two maps; zero bytes and bytes that are not UTF-8 in names and texts; an empty slot; the
// floats a variable can hold that JSON has no number for.
SaveFile sample() {
    SaveFile save;
    save.currentMap = "Rookery";
    save.player = {412.25f, -3.5f, 5, 2.2f, 5.0f};
    MapRecord farm;
    farm.name = "WillowCreekFarm";
    farm.settings.collision = true;
    farm.settings.friendlyControls = true;
    farm.activeCharacter = 1;
    farm.exits.push_back({780, 0, 20, 600, "Rookery", 24, 300});
    KeptCharacter fern{0, "Fern", 300, 200, "Data\\Scripts\\Fern.lua", "FernTemp", {}};
    fern.variables.push_back(text("hen", "Pep\0per"s));
    fern.variables.push_back(text("raw", "\xff\xfe"s));
    fern.variables.push_back(std::nullopt);
    fern.variables.push_back(integer("visits", 2.9f));
    fern.variables.push_back(integer("big", 16777216.0f));
    fern.variables.push_back(integer("nan", std::numeric_limits<float>::quiet_NaN()));
    fern.variables.push_back(integer("-inf", -std::numeric_limits<float>::infinity()));
    fern.variables.push_back(text("\0"s, ""));
    farm.characters.push_back(fern);
    farm.characters.push_back({1, "Brä\0mble"s, -4, 9, "Data\\Scripts\\Bramble.lua", "", {}});
    MapRecord rookery;
    rookery.name = "Rookery";
    rookery.settings.mapAnimation = true;
    save.maps = {farm, rookery};
    return save;
}

void expectSame(const std::optional<ScriptVariable>& a, const std::optional<ScriptVariable>& b) {
    ASSERT_EQ(a.has_value(), b.has_value());
    if (!a)
        return;
    EXPECT_EQ(a->name, b->name);
    EXPECT_EQ(a->isInteger, b->isInteger);
    EXPECT_EQ(a->text, b->text);
    if (std::isnan(a->value))
        EXPECT_TRUE(std::isnan(b->value));
    else
        EXPECT_EQ(a->value, b->value);
}

} // namespace

TEST(SaveFile, RoundTripKeepsEveryByteSlotAndFloat) {
    const SaveFile saved = sample();
    const std::string written = writeSaveText(saved);
    EXPECT_NE(written.find("\"Pep\\u0000per"), std::string::npos) << "a zero byte is escaped";
    EXPECT_NE(written.find("\"hex\""), std::string::npos) << "bytes that are not UTF-8";
    EXPECT_NE(written.find("\"walkSpeed\": 2.2,"), std::string::npos) << "the shortest decimal";
    const SaveReadResult read = readSaveText(written);
    ASSERT_TRUE(read.save) << read.problem;
    const SaveFile& back = *read.save;
    EXPECT_EQ(back.currentMap, "Rookery");
    EXPECT_EQ(back.player.x, 412.25f);
    EXPECT_EQ(back.player.y, -3.5f);
    EXPECT_EQ(back.player.direction, 5);
    EXPECT_EQ(back.player.walkSpeed, 2.2f);
    EXPECT_EQ(back.player.sprintSpeed, 5.0f);
    ASSERT_EQ(back.maps.size(), 2u);
    for (std::size_t m = 0; m < 2; ++m) {
        const MapRecord& a = saved.maps[m];
        const MapRecord& b = back.maps[m];
        EXPECT_EQ(b.name, a.name);
        EXPECT_EQ(std::tie(b.settings.collision, b.settings.friendlyControls,
                           b.settings.mapAnimation, b.activeCharacter),
                  std::tie(a.settings.collision, a.settings.friendlyControls,
                           a.settings.mapAnimation, a.activeCharacter));
        ASSERT_EQ(b.exits.size(), a.exits.size());
        for (std::size_t e = 0; e < a.exits.size(); ++e) {
            EXPECT_EQ(b.exits[e].map, a.exits[e].map);
            EXPECT_EQ(std::tie(b.exits[e].x, b.exits[e].y, b.exits[e].width, b.exits[e].height,
                               b.exits[e].toX, b.exits[e].toY),
                      std::tie(a.exits[e].x, a.exits[e].y, a.exits[e].width, a.exits[e].height,
                               a.exits[e].toX, a.exits[e].toY));
        }
        ASSERT_EQ(b.characters.size(), a.characters.size());
        for (std::size_t c = 0; c < a.characters.size(); ++c) {
            const KeptCharacter& x = a.characters[c];
            const KeptCharacter& y = b.characters[c];
            EXPECT_EQ(std::tie(y.number, y.name, y.x, y.y, y.scriptPath, y.spriteName),
                      std::tie(x.number, x.name, x.x, x.y, x.scriptPath, x.spriteName));
            ASSERT_EQ(y.variables.size(), x.variables.size());
            for (std::size_t v = 0; v < x.variables.size(); ++v)
                expectSame(x.variables[v], y.variables[v]);
        }
    }
    EXPECT_EQ(writeSaveText(back), written) << "a loaded save writes the same text again";
}

// Each bad save is refused with what is wrong, and never half-read.
TEST(SaveFile, RefusesEveryKindOfBadSave) {
    const std::string good = writeSaveText(sample());
    auto edited = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        const auto at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? text : text.replace(at, from.size(), to);
    };
    const std::pair<std::string, std::string> cases[] = {
        {"", "it is cut short"},
        {good.substr(0, good.size() / 2), "it is cut short"},
        {"FennowOnline save\n", "it is not JSON (at byte 1)"},
        {"1e999", "it is not JSON (a number out of range)"},
        {"[1, 2]", "it is not a Fennow-Online save"},
        {"{\"format\": \"Tiled\"}", "it is not a Fennow-Online save"},
        {edited("\"version\": 1", "\"version\": 7"),
         "its format version 7 is not one this game reads (1)"},
        {edited("\"version\": 1", "\"version\": \"1\""),
         "its format version \"1\" is not one this game reads (1)"},
        {edited("\"map\": \"Rookery\"", "\"map\": \"Nowhere\""),
         "the current map Nowhere is not among the saved maps"},
        {edited("\"direction\": 5", "\"direction\": 8"), "player.direction is not 0 to 7"},
        {edited("\"walkSpeed\": 2.2", "\"walkSpeed\": 1e300, \"w\": 2.2"),
         "player.walkSpeed is not a finite number"},
        {edited("\"x\": 300", "\"x\": 3000000000"),
         "maps[0].characters[0].x is not an integer of the game's range"},
        {edited("\"x\": 300", "\"x\": 1.5"),
         "maps[0].characters[0].x is not an integer of the game's range"},
        {edited("\"kind\": \"integer\"", "\"kind\": \"float\""),
         "maps[0].characters[0].variables[3].kind is neither \"integer\" nor \"string\""},
        {edited("\"value\": \"nan\"", "\"value\": \"nun\""),
         "maps[0].characters[0].variables[5].value is not a number a variable can hold"},
        {edited("\"hex\": \"", "\"hex\": \"q"),
         "maps[0].characters[0].variables[1].text has an odd number of hex digits"},
        {edited("\"hex\": \"", "\"hex\": \"qq"),
         "maps[0].characters[0].variables[1].text has a character that is no hex digit"},
        {edited("\"script\": \"Data", "\"script\": \"\\u0000Data"),
         "maps[0].characters[0].script holds a zero byte"},
        {edited("\"script\": \"Data", "\"script\": \"" + std::string(250, 'x')),
         "maps[0].characters[0].script is longer than 255 bytes"},
        {edited("\"collision\": true", "\"collision\": 1"),
         "maps[0].collision is not true or false"},
        {edited("\"toX\": 24,", ""), "maps[0].exits[0].toX is missing"},
        {edited("\"name\": \"Rookery\"", "\"name\": \"WillowCreekFarm\""),
         "the map WillowCreekFarm is saved twice"},
        {edited("\"characters\": []", "\"characters\": {}"), "maps[1].characters is not a list"},
        {edited("\"activeCharacter\": 1", "\"activeCharacter\": 2"),
         "maps[0].activeCharacter is not -1 or one of the map's characters"},
        {edited("\"variables\": [", "\"variables\": [7, "),
         "maps[0].characters[0].variables[0] is not an object"},
    };
    for (const auto& [text, problem] : cases) {
        const SaveReadResult read = readSaveText(text);
        EXPECT_FALSE(read.save) << problem;
        EXPECT_EQ(read.problem, problem);
    }
    EXPECT_EQ(readSaveText(std::string(SaveFile::maxBytes + 1, ' ')).problem,
              "it is larger than 64 MiB");
}
