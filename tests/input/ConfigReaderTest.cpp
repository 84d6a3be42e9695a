#include "input/ConfigReader.h"

#include "core/TestSupport.h"
#include "input/KeyBindings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <utility>

namespace {

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

const char* const defaultFile = "//PRIMARY KEYS:\n"
                                "Quit ESCAPE NONE\n"
                                "Up ARROW_UP NONE\n"
                                "Right ARROW_RIGHT NONE\n"
                                "Down ARROW_DOWN NONE\n"
                                "Left ARROW_LEFT NONE\n"
                                "Sprint LSHIFT RSHIFT\n";

const char* const badFileText =
    "Something is wrong with your CFG file.\n"
    "The program will use the defaults.  Please delete your CFG.\n"
    "Please note the parser does not tolerate blank lines.  Use // to denote them.\n";

// Each test runs in its own empty directory with fresh default bindings in the context.
class ConfigReaderTest : public testing::Test {
  protected:
    void SetUp() override { game.keyBindings = &bindings; }

    // Writes the file, reads it with a new reader and returns the console text.
    std::string read(const std::string& content) {
        testsupport::writeFile("FennowOnline.cfg", content);
        CaptureStderr();
        { ConfigReader reader; }
        return GetCapturedStderr();
    }

    std::pair<int, int> keysOf(int index) const {
        const KeyBinding* binding = bindings.binding(index);
        return {binding->primaryKey, binding->secondaryKey};
    }

    void expectDefaults() const {
        EXPECT_EQ(keysOf(0), std::make_pair(84, -1));
        EXPECT_EQ(keysOf(1), std::make_pair(83, -1));
        EXPECT_EQ(keysOf(2), std::make_pair(85, -1));
        EXPECT_EQ(keysOf(3), std::make_pair(82, -1));
        EXPECT_EQ(keysOf(4), std::make_pair(215, 216));
        EXPECT_EQ(keysOf(5), std::make_pair(59, -1));
    }

    testsupport::ScratchDir dir;
    testsupport::ContextGuard context;
    KeyBindings bindings;
};

enum { Up, Right, Down, Left, Sprint, Quit };

TEST_F(ConfigReaderTest, FirstRunWritesTheDefaultFile) {
    CaptureStderr();
    { ConfigReader reader; }
    EXPECT_EQ(GetCapturedStderr(),
              "CFG File: FennowOnline.cfg not found.  Creating a new one - done\n");
    EXPECT_EQ(testsupport::readFile("FennowOnline.cfg"), defaultFile);
    expectDefaults();
}

TEST_F(ConfigReaderTest, ReadingTheDefaultFileReportsSixLines) {
    EXPECT_EQ(read(defaultFile), "Read Quit: ESCAPE NONE\n"
                                 "Read Up: ARROW_UP NONE\n"
                                 "Read Right: ARROW_RIGHT NONE\n"
                                 "Read Down: ARROW_DOWN NONE\n"
                                 "Read Left: ARROW_LEFT NONE\n"
                                 "Read Sprint: LSHIFT RSHIFT\n");
    expectDefaults();
    EXPECT_EQ(testsupport::readFile("FennowOnline.cfg"), defaultFile);
}

TEST_F(ConfigReaderTest, FileThatCannotBeCreatedKeepsTheDefaults) {
    CaptureStderr();
    { ConfigReader reader("missing-dir/FennowOnline.cfg"); }
    EXPECT_EQ(
        GetCapturedStderr(),
        "CFG File: missing-dir/FennowOnline.cfg not found.  Creating a new one - failed\n"
        "CFG File: missing-dir/FennowOnline.cfg could not be created.  Using the defaults.\n");
    expectDefaults();
}

TEST_F(ConfigReaderTest, DirectoryInPlaceOfTheFileKeepsTheDefaults) {
    std::filesystem::create_directory("FennowOnline.cfg");
    CaptureStderr();
    { ConfigReader reader; }
    EXPECT_EQ(GetCapturedStderr(),
              "CFG File: FennowOnline.cfg could not be read.  Using the defaults.\n");
    expectDefaults();
}

// One row per file: its text, the console text it gives, and the keys of Up and Down after.
struct Case {
    const char* name;
    std::string content;
    std::string console;
    std::pair<int, int> up;
    std::pair<int, int> down;
};

class ConfigReaderCases : public ConfigReaderTest, public testing::WithParamInterface<Case> {};

TEST_P(ConfigReaderCases, ReadsAppliesAndReports) {
    EXPECT_EQ(read(GetParam().content), GetParam().console);
    EXPECT_EQ(keysOf(Up), GetParam().up);
    EXPECT_EQ(keysOf(Down), GetParam().down);
    EXPECT_EQ(keysOf(Quit), std::make_pair(59, -1));
}

const std::pair<int, int> upDefault{84, -1};
const std::pair<int, int> downDefault{85, -1};
const std::string longWord31(31, 'K');
const std::string longWord32(32, 'K');

INSTANTIATE_TEST_SUITE_P(
    Lines, ConfigReaderCases,
    testing::Values(
        Case{"EmptyFile", "", "", upDefault, downDefault},
        Case{"BothKeys", "Up W S\n", "Read Up: W S\n", {23, 19}, downDefault},
        Case{"LastLineWithoutLineEnd",
             "Up W S\nDown X NONE",
             "Read Up: W S\nRead Down: X NONE\n",
             {23, 19},
             {24, -1}},
        Case{"CrLfLineEnds",
             "Up W NONE\r\nDown S NONE\r\n",
             "Read Up: W NONE\nRead Down: S NONE\n",
             {23, -1},
             {19, -1}},
        Case{"SeveralSpaces", "Up    W     S   \n", "Read Up: W S\n", {23, 19}, downDefault},
        Case{"ExtraWordsIgnored", "Up W S T U //note\n", "Read Up: W S\n", {23, 19}, downDefault},
        Case{"LaterLineOverrides",
             "Up W S\nUp I K\n",
             "Read Up: W S\nRead Up: I K\n",
             {9, 11},
             downDefault},
        Case{"CommentsOnlyAtColumnZero",
             "//Up W S\nDown S NONE\n",
             "Read Down: S NONE\n",
             upDefault,
             {19, -1}},
        Case{"MissingSecondKey", "Up W\nDown S NONE\n",
             "Read Up: W \nThere is no scancode named \n", upDefault, downDefault},
        Case{"LowerCaseActionChangesNothing",
             "up W S\nDown S NONE\n",
             "Read up: W S\nRead Down: S NONE\n",
             upDefault,
             {19, -1}},
        Case{"UnknownActionChangesNothing", "Jump W S\n", "Read Jump: W S\n", upDefault,
             downDefault},
        Case{"TabIsNoSeparator", "Up\tW S\nDown S NONE\n",
             "Read Up\tW: S \nThere is no scancode named \n", upDefault, downDefault},
        Case{"BlankLineStopsReading",
             "Up W S\n\nDown S NONE\n",
             "Read Up: W S\nRead :  \nThere is no scancode named \n",
             {23, 19},
             downDefault},
        Case{"LeadingSpaceStopsReading", " Up W S\nDown S NONE\n",
             "Read :  \nThere is no scancode named \n", upDefault, downDefault},
        Case{"UnknownPrimaryReportedFirst", "Up JUMPKEY OTHERKEY\nDown S NONE\n",
             "Read Up: JUMPKEY OTHERKEY\nThere is no scancode named JUMPKEY\n", upDefault,
             downDefault},
        Case{"UnknownSecondary", "Up W w\nDown S NONE\n",
             "Read Up: W w\nThere is no scancode named w\n", upDefault, downDefault},
        Case{"WordOf31CharactersIsLookedUp", "Up " + longWord31 + " NONE\n",
             "Read Up: " + longWord31 + " NONE\nThere is no scancode named " + longWord31 + "\n",
             upDefault, downDefault},
        Case{"WordOf32CharactersIsAFault",
             "Up W S\nDown " + longWord32 + " NONE\nUp I K\n",
             "Read Up: W S\n" + std::string(badFileText),
             {23, 19},
             downDefault},
        Case{"ActionOf32CharactersIsAFault", longWord32 + " W S\n", badFileText, upDefault,
             downDefault},
        // 255 characters are read at once; the rest of a longer line is the next line.
        Case{"LongLineIsSplit",
             "Up W S " + std::string(248, 'y') + "Down X NONE\n",
             "Read Up: W S\nRead Down: X NONE\n",
             {23, 19},
             {24, -1}}),
    [](const testing::TestParamInfo<Case>& info) { return info.param.name; });

TEST_F(ConfigReaderTest, StopsAtTheFirstFaultAndKeepsWhatWasApplied) {
    read("Left A NONE\nRight D NONE\nUp W\nDown S NONE\n");
    EXPECT_EQ(keysOf(Left), std::make_pair(1, -1));
    EXPECT_EQ(keysOf(Right), std::make_pair(4, -1));
    EXPECT_EQ(keysOf(Up), upDefault);
    EXPECT_EQ(keysOf(Down), downDefault);
    EXPECT_EQ(keysOf(Sprint), std::make_pair(215, 216));
}

TEST_F(ConfigReaderTest, NoneEmptiesASlot) {
    read("Sprint NONE NONE\nQuit ESCAPE Q\n");
    EXPECT_EQ(keysOf(Sprint), std::make_pair(-1, -1));
    EXPECT_EQ(keysOf(Quit), std::make_pair(59, 17));
}

TEST_F(ConfigReaderTest, ReadTextAppliesLinesFromMemory) {
    ConfigReader reader{ConfigReader::TableOnly::Tag};
    const std::string text = "Up W S\n";
    CaptureStderr();
    reader.readText(text.data(), text.size());
    EXPECT_EQ(GetCapturedStderr(), "Read Up: W S\n");
    EXPECT_EQ(keysOf(Up), std::make_pair(23, 19));
}

TEST_F(ConfigReaderTest, ArbitraryBytesNeverBreakTheReader) {
    ConfigReader reader{ConfigReader::TableOnly::Tag};
    std::mt19937 random(7);
    const std::string alphabet = std::string("UpDownLeftSprintQuit WSAD/\r\n\t\0", 31) + "NONE";
    for (int round = 0; round < 300; ++round) {
        std::string text(random() % 700, ' ');
        for (char& c : text) {
            c = round % 2 ? alphabet[random() % alphabet.size()] : static_cast<char>(random());
        }
        CaptureStderr();
        reader.readText(text.data(), text.size());
        GetCapturedStderr();
    }
    SUCCEED();
}

// nextToken on one 256-byte line buffer.
TEST(NextToken, CutsWordsAndSkipsSpaces) {
    char line[256] = "Up   W S\r\n";
    char word[32];
    ASSERT_TRUE(ConfigReader::nextToken(word, line, 256));
    EXPECT_STREQ(word, "Up");
    EXPECT_STREQ(line, "W S");
    ASSERT_TRUE(ConfigReader::nextToken(word, line, 256));
    EXPECT_STREQ(word, "W");
    ASSERT_TRUE(ConfigReader::nextToken(word, line, 256));
    EXPECT_STREQ(word, "S");
    ASSERT_TRUE(ConfigReader::nextToken(word, line, 256));
    EXPECT_STREQ(word, "");
    for (char c : line)
        EXPECT_EQ(c, '\0');
}

TEST(NextToken, EmptyFirstWordClearsTheWholeLine) {
    char line[256] = " Up W S";
    char word[32];
    ASSERT_TRUE(ConfigReader::nextToken(word, line, 256));
    EXPECT_STREQ(word, "");
    for (char c : line)
        EXPECT_EQ(c, '\0');
}

TEST(NextToken, WordOf32CharactersFailsAndLeavesTheLine) {
    char line[256] = {};
    const std::string text = std::string(32, 'x') + " rest";
    text.copy(line, text.size());
    char word[32] = "unchanged";
    EXPECT_FALSE(ConfigReader::nextToken(word, line, 256));
    EXPECT_EQ(std::string(line), text);
}

TEST(NextToken, WordOf31CharactersFits) {
    char line[256] = {};
    const std::string text = std::string(31, 'x');
    text.copy(line, text.size());
    char word[32];
    EXPECT_TRUE(ConfigReader::nextToken(word, line, 256));
    EXPECT_EQ(std::string(word), text);
}

TEST(NextToken, FullBufferOfSpacesEnds) {
    char line[256];
    std::memset(line, ' ', sizeof line);
    line[0] = 'A';
    char word[32];
    EXPECT_TRUE(ConfigReader::nextToken(word, line, 256));
    EXPECT_STREQ(word, "A");
    EXPECT_EQ(line[0], '\0');
}

TEST(NextToken, ShortOrMissingBuffersAreSafe) {
    char word[32];
    char tiny[4] = {'a', 'b', 'c', 'd'};
    EXPECT_TRUE(ConfigReader::nextToken(word, tiny, 4));
    EXPECT_STREQ(word, "abcd");
    EXPECT_FALSE(ConfigReader::nextToken(nullptr, tiny, 4));
    EXPECT_FALSE(ConfigReader::nextToken(word, nullptr, 4));
    EXPECT_FALSE(ConfigReader::nextToken(word, tiny, 0));
}

} // namespace
