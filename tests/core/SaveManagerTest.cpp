#include "core/SaveManager.h"

#include "core/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

using testsupport::readFile;
using testsupport::ScratchDir;
using testsupport::writeFile;

namespace fs = std::filesystem;

// Content that never calls EnableSaving reads and writes nothing, and the call is taken only
// while the start-up scripts run (again after a reload).
TEST(SaveManager, SavesOnlyWhenTheStartUpScriptsEnabledIt) {
    ScratchDir scratch;
    writeFile(SaveManager::path, "not a save");
    SaveManager saving(false);
    saving.beginStartup();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(saving.loadAtStart());
    EXPECT_TRUE(saving.save());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(readFile(SaveManager::path), "not a save");
    EXPECT_FALSE(fs::exists(SaveManager::brokenPath));
    EXPECT_FALSE(saving.enable());
    saving.beginStartup();
    EXPECT_TRUE(saving.enable());
    EXPECT_TRUE(saving.isEnabled());
    saving.beginStartup();
    EXPECT_FALSE(saving.isEnabled());
}

// --new-game leaves the save alone until the first save of the run replaces it.
TEST(SaveManager, ANewGameDoesNotReadTheSave) {
    ScratchDir scratch;
    writeFile(SaveManager::path, "not a save");
    SaveManager saving(true);
    saving.beginStartup();
    ASSERT_TRUE(saving.enable());
    EXPECT_FALSE(saving.loadAtStart());
    EXPECT_EQ(readFile(SaveManager::path), "not a save");
    EXPECT_FALSE(fs::exists(SaveManager::brokenPath));
    EXPECT_TRUE(saving.save());
    EXPECT_NE(readFile(SaveManager::path).find("\"format\": \"Fennow-Online save\""),
              std::string::npos);
}

// A bad save is moved aside, replacing an older one; when it cannot be moved, saving stops for
// the run so that it is not written over.
TEST(SaveManager, ABadSaveIsKeptAsideOrNotWrittenOver) {
    ScratchDir scratch;
    auto start = [] {
        SaveManager saving(false);
        saving.beginStartup();
        saving.enable();
        testing::internal::CaptureStderr();
        EXPECT_FALSE(saving.loadAtStart());
        saving.save();
        return testing::internal::GetCapturedStderr();
    };
    writeFile(SaveManager::brokenPath, "older");
    writeFile(SaveManager::path, "{\"format\": \"Fennow-Online save\", \"version\": 2}");
    EXPECT_EQ(start(), "The save FennowOnline.sav cannot be loaded: its format version 2 is not "
                       "one this game reads (1). It is kept as FennowOnline.sav.broken and the "
                       "game starts afresh.\n");
    EXPECT_EQ(readFile(SaveManager::brokenPath),
              "{\"format\": \"Fennow-Online save\", \"version\": 2}");
    SaveFile outside;
    outside.currentMap = "../Gone";
    outside.maps.push_back({"../Gone", {}, {}, {}, -1});
    writeFile(SaveManager::path, writeSaveText(outside));
    EXPECT_EQ(start(), "The save FennowOnline.sav cannot be loaded: \"../Gone\" is not the name "
                       "of a map. It is kept as FennowOnline.sav.broken and the game starts "
                       "afresh.\n");
    fs::remove(SaveManager::brokenPath);
    fs::create_directories(std::string(SaveManager::brokenPath) + "/full");
    writeFile(SaveManager::path, "{");
    EXPECT_EQ(start(), "The save FennowOnline.sav cannot be loaded: it is cut short. It could not "
                       "be moved to FennowOnline.sav.broken (Is a directory), so saving is "
                       "off for this run.\n");
    EXPECT_EQ(readFile(SaveManager::path), "{");
}
