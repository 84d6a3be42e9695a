#include "input/ConfigReader.h"

#include "core/TestSupport.h"
#include "input/KeyBindings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace {

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;
using Keys = std::pair<int, int>;

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

// Up, Right, Down, Left, Sprint, Quit.
const std::vector<Keys> defaults{{84, -1}, {83, -1}, {85, -1}, {82, -1}, {215, 216}, {59, -1}};
enum { Up, Right, Down, Left, Sprint, Quit };

// Each test runs in its own empty directory with fresh default bindings in the context.
class ConfigReaderTest : public testing::Test {
  protected:
    void SetUp() override { game.keyBindings = &bindings; }

    // Writes the file (unless null), reads it with a new reader and returns the console text.
    std::string read(const std::string* content, const char* path = nullptr) {
        if (content)
            testsupport::writeFile("FennowOnline.cfg", *content);
        CaptureStderr();
        if (path) {
            ConfigReader reader(path);
        } else {
            ConfigReader reader;
        }
        return GetCapturedStderr();
    }

    std::vector<Keys> keys() const {
        std::vector<Keys> all;
        for (int i = 0; i < 6; ++i)
            all.emplace_back(bindings.binding(i)->primaryKey, bindings.binding(i)->secondaryKey);
        return all;
    }

    testsupport::ScratchDir dir;
    testsupport::ContextGuard context;
    KeyBindings bindings;
};

TEST_F(ConfigReaderTest, FirstRunWritesTheDefaultsThenReadsThemBack) {
    EXPECT_EQ(read(nullptr), "CFG File: FennowOnline.cfg not found.  Creating a new one - done\n");
    EXPECT_EQ(testsupport::readFile("FennowOnline.cfg"), defaultFile);
    EXPECT_EQ(keys(), defaults);
    EXPECT_EQ(read(nullptr), "Read Quit: ESCAPE NONE\nRead Up: ARROW_UP NONE\n"
                             "Read Right: ARROW_RIGHT NONE\nRead Down: ARROW_DOWN NONE\n"
                             "Read Left: ARROW_LEFT NONE\nRead Sprint: LSHIFT RSHIFT\n");
    EXPECT_EQ(keys(), defaults);
    EXPECT_EQ(testsupport::readFile("FennowOnline.cfg"), defaultFile);
}

// A directory where the file should be, and a file that cannot be created: the defaults stay.
TEST_F(ConfigReaderTest, UnreadableOrUncreatableFileKeepsTheDefaults) {
    std::filesystem::create_directory("FennowOnline.cfg");
    EXPECT_EQ(read(nullptr),
              "CFG File: FennowOnline.cfg could not be read.  Using the defaults.\n");
    EXPECT_EQ(keys(), defaults);
    EXPECT_EQ(
        read(nullptr, "missing-dir/FennowOnline.cfg"),
        "CFG File: missing-dir/FennowOnline.cfg not found.  Creating a new one - failed\n"
        "CFG File: missing-dir/FennowOnline.cfg could not be created.  Using the defaults.\n");
    EXPECT_EQ(keys(), defaults);
}

// One row per file: its text, the console text it gives, the keys of Up and Down after.
TEST_F(ConfigReaderTest, ReadsAppliesAndReportsEachLine) {
    const Keys up = defaults[Up], down = defaults[Down], ws{23, 19};
    const std::string k31(31, 'K'), k32(32, 'K');
    const std::string noScancode = "There is no scancode named ";
    struct Case {
        std::string content, console;
        Keys up, down;
    };
    const Case cases[] = {
        {"", "", up, down},
        {"Up W S\nDown X NONE", "Read Up: W S\nRead Down: X NONE\n", ws, {24, -1}},
        {"Up W NONE\r\nDown S Q\r\n", "Read Up: W NONE\nRead Down: S Q\n", {23, -1}, {19, 17}},
        {"Up    W     S   \n", "Read Up: W S\n", ws, down},
        {"Up W S T U //note\n", "Read Up: W S\n", ws, down},
        {"Up W S\nUp NONE NONE\n", "Read Up: W S\nRead Up: NONE NONE\n", {-1, -1}, down},
        {"//Up W S\nDown S NONE\n", "Read Down: S NONE\n", up, {19, -1}},
        {"/Up W S\nDown S NONE\n", "Read /Up: W S\nRead Down: S NONE\n", up, {19, -1}},
        {"Up W\nDown S NONE\n", "Read Up: W \n" + noScancode + "\n", up, down},
        {"up W S\nJump W S\nDown S NONE\n",
         "Read up: W S\nRead Jump: W S\nRead Down: S NONE\n",
         up,
         {19, -1}},
        {"Up\tW S\nDown S NONE\n", "Read Up\tW: S \n" + noScancode + "\n", up, down},
        {"Up W S\n\nDown S NONE\n", "Read Up: W S\nRead :  \n" + noScancode + "\n", ws, down},
        {" Up W S\nDown S NONE\n", "Read :  \n" + noScancode + "\n", up, down},
        {"Up JUMPKEY OTHERKEY\n", "Read Up: JUMPKEY OTHERKEY\n" + noScancode + "JUMPKEY\n", up,
         down},
        {"Up W w\n", "Read Up: W w\n" + noScancode + "w\n", up, down},
        {"Up " + k31 + " NONE\n", "Read Up: " + k31 + " NONE\n" + noScancode + k31 + "\n", up,
         down},
        {"Up W S\nDown " + k32 + " NONE\nUp I K\n", "Read Up: W S\n" + std::string(badFileText), ws,
         down},
        {k32 + " W S\n", badFileText, up, down},
        // 255 characters are read at once; the rest of a longer line is the next line.
        {"Up W S " + std::string(248, 'y') + "Down X NONE\n",
         "Read Up: W S\nRead Down: X NONE\n",
         ws,
         {24, -1}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content);
        bindings.setKeys("Up", 84, -1);
        bindings.setKeys("Down", 85, -1);
        EXPECT_EQ(read(&c.content), c.console);
        EXPECT_EQ(keys()[Up], c.up);
        EXPECT_EQ(keys()[Down], c.down);
        EXPECT_EQ(keys()[Quit], defaults[Quit]);
    }
}

// nextToken on its own: words and spaces cut off in turn, and buffers shorter than a word.
TEST(NextToken, CutsWordsWithinTheBuffer) {
    char word[32];
    char line[256] = "Up   W S\r\n";
    for (const char* expected : {"Up", "W", "S", ""}) {
        ASSERT_TRUE(ConfigReader::nextToken(word, line, 256));
        EXPECT_STREQ(word, expected);
    }
    EXPECT_EQ(std::string(line, 256), std::string(256, '\0'));
    char tiny[4] = {'a', 'b', 'c', 'd'};
    EXPECT_TRUE(ConfigReader::nextToken(word, tiny, 4));
    EXPECT_STREQ(word, "abcd");
    EXPECT_FALSE(ConfigReader::nextToken(nullptr, tiny, 4));
    EXPECT_FALSE(ConfigReader::nextToken(word, nullptr, 4));
    EXPECT_FALSE(ConfigReader::nextToken(word, tiny, 0));
}

} // namespace
