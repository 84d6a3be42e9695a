#include "core/TestSupport.h"
#include "input/ConfigReader.h"
#include "input/KeyBindings.h"

#include <allegro5/allegro.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace {

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

const char* const corpusDir = "fuzz/corpus/config_reader";

// Reads the config fuzzer's seed files as whole files, as the fuzzer does, into fresh
// bindings. The tests run from the repository root, where the corpus lives.
class ConfigCorpusTest : public testing::Test {
  protected:
    void SetUp() override { game.keyBindings = &bindings; }

    std::string read(const std::string& name) {
        const std::string text = testsupport::readFile(std::string(corpusDir) + "/" + name);
        EXPECT_FALSE(text.empty()) << name;
        ConfigReader reader(ConfigReader::TableOnly::Tag);
        CaptureStderr();
        reader.readText(text.data(), text.size());
        return GetCapturedStderr();
    }

    std::pair<int, int> keysOf(const char* name) const {
        for (int i = 0; i < bindings.count(); ++i)
            if (std::strcmp(bindings.binding(i)->name, name) == 0)
                return {bindings.binding(i)->primaryKey, bindings.binding(i)->secondaryKey};
        ADD_FAILURE() << "no binding " << name;
        return {0, 0};
    }

    testsupport::ContextGuard context;
    KeyBindings bindings;
};

TEST_F(ConfigCorpusTest, EverySeedIsReadAndLeavesKnownKeys) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(corpusDir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    ASSERT_GE(names.size(), 10u);
    const ConfigReader table(ConfigReader::TableOnly::Tag);
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        KeyBindings fresh;
        game.keyBindings = &fresh;
        read(name);
        ASSERT_EQ(fresh.count(), 6);
        for (int i = 0; i < fresh.count(); ++i) {
            const KeyBinding* binding = fresh.binding(i);
            for (const int code : {binding->primaryKey, binding->secondaryKey}) {
                bool known = code == -1;
                for (int k = 0; k < table.keyNameTableSize() && !known; ++k)
                    known = table.keyName(k)->code == code;
                EXPECT_TRUE(known) << binding->name << " got key code " << code;
            }
        }
    }
}

TEST_F(ConfigCorpusTest, CrLfFileReadsLikeTheDefaultFile) {
    const std::string console = read("crlf.cfg");
    EXPECT_EQ(console.find("Something is wrong"), std::string::npos) << console;
    EXPECT_EQ(keysOf("Sprint"), std::make_pair(int(ALLEGRO_KEY_LSHIFT), int(ALLEGRO_KEY_RSHIFT)));
    EXPECT_EQ(keysOf("Quit"), std::make_pair(int(ALLEGRO_KEY_ESCAPE), -1));
}

TEST_F(ConfigCorpusTest, LastLineWithoutLineFeedIsApplied) {
    read("rebind_no_final_newline.cfg");
    EXPECT_EQ(keysOf("Up"), std::make_pair(int(ALLEGRO_KEY_W), -1));
    EXPECT_EQ(keysOf("Sprint"), std::make_pair(int(ALLEGRO_KEY_SPACE), int(ALLEGRO_KEY_TAB)));
}

TEST_F(ConfigCorpusTest, OverlongWordStopsReadingWithTheBadFileMessage) {
    const std::string console = read("overlong_word.cfg");
    EXPECT_NE(console.find("Something is wrong with your CFG file.\n"), std::string::npos);
    EXPECT_EQ(keysOf("Up"), std::make_pair(int(ALLEGRO_KEY_UP), -1));
}

} // namespace
