#include "world/NpcManager.h"
#include "gfx/BitmapLibrary.h"
#include "gui/GuiTestSupport.h"
#include "world/Npc.h"

#include <climits>
#include <memory>

namespace {

class NpcManagerTest : public testing::Test {
  protected:
    // Adds a character as SpawnNPC does: numbered by the count before the addition.
    Npc* spawn(int x, int y, const char* name, const std::string& script = "Test.lua") {
        return npcs->addNpc(x, y, name, npcs->getNpcCount(), script.c_str(), "");
    }

    ScopedGame scope;
    std::unique_ptr<NpcManager> npcs;
    const std::string creation = capturedStderr([this] { npcs = std::make_unique<NpcManager>(); });
};

} // namespace

TEST_F(NpcManagerTest, NumbersNamesAndTheActiveCharacter) {
    EXPECT_EQ(creation, "Creating NPC Manager - done\n");
    Npc* quilla = spawn(10, 20, "Quilla");
    Npc* bramble = spawn(30, 40, "Bramble");
    Npc* twin = spawn(50, 60, "Quilla");
    EXPECT_EQ(npcs->npc(1), bramble);
    EXPECT_EQ(npcs->findNpcByName("Quilla"), quilla); // the first of two with that name
    EXPECT_EQ(npcs->findNpcByName("quilla"), nullptr);
    EXPECT_EQ(npcs->findNpcByNumber(2), twin);
    EXPECT_EQ(npcs->getActiveNpc(), nullptr);
    npcs->setActiveNpcByName("Quilla");
    EXPECT_EQ(npcs->getActiveNpc(), quilla);
    npcs->setActiveNpcByName("Nobody"); // drops the earlier one
    EXPECT_EQ(npcs->getActiveNpc(), nullptr);
    npcs->setActiveNpcByNumber(1);
    EXPECT_EQ(npcs->getActiveNpc(), bramble);
    npcs->setActiveNpcByNumber(-5);
    EXPECT_EQ(npcs->getActiveNpc(), nullptr);
}

// The hit box of a character at (100, 50) is 132..164 by 68..136, every edge included;
// where two overlap, the first spawned is found.
TEST_F(NpcManagerTest, HitBoxEdgesAndOverlap) {
    EXPECT_EQ(npcs->npcAt(0, 0), nullptr);
    Npc* first = spawn(100, 50, "Edge");
    Npc* second = spawn(110, 60, "Second");
    const std::pair<std::pair<int, int>, Npc*> cases[] = {
        {{132, 68}, first},   {{164, 136}, first},   {{131, 68}, nullptr},
        {{140, 67}, nullptr}, {{150, 100}, first},   {{165, 100}, second},
        {{174, 146}, second}, {{175, 146}, nullptr}, {{174, 147}, nullptr}};
    for (const auto& [at, npc] : cases)
        EXPECT_EQ(npcs->npcAt(at.first, at.second), npc) << at.first << "," << at.second;
    // At the end of the int range the box does not wrap.
    Npc* far = spawn(INT_MAX - 40, INT_MAX, "Far");
    EXPECT_TRUE(far->hitBoxContains(INT_MAX, INT_MAX));
    EXPECT_FALSE(far->hitBoxContains(0, 0));
}

TEST_F(NpcManagerTest, SpriteNameChoosesOneOfTwoSlots) {
    EXPECT_EQ(NpcManager::spriteSlotFor("QuillaTemp"), BitmapLibrary::npcQuillaSprite);
    for (const char* name : {"QuillaTemp ", "quillatemp", "Quilla", ""})
        EXPECT_EQ(NpcManager::spriteSlotFor(name), BitmapLibrary::npcDefaultSprite) << name;
}

TEST_F(NpcManagerTest, OverlongScriptPathRefusesTheCharacter) {
    ASSERT_NE(spawn(0, 0, "Fits", std::string(255, 's')), nullptr);
    EXPECT_EQ(
        capturedStderr([this] { EXPECT_EQ(spawn(0, 0, "Long", std::string(256, 's')), nullptr); }),
        "Script path of NPC Long is longer than 255 bytes; the NPC was not created.\n");
    EXPECT_EQ(npcs->getNpcCount(), 1);
    EXPECT_EQ(std::string(npcs->npc(0)->getScriptPath()), std::string(255, 's'));
}

TEST_F(NpcManagerTest, DrawAllSetsTheTargetAndPaintsLaterCharactersOverEarlierOnes) {
    BitmapHolder frame(solidBitmap(300, 300, al_map_rgb(0, 0, 0)));
    BitmapHolder red(solidBitmap(96, 96, al_map_rgb(255, 0, 0)));
    BitmapHolder blue(solidBitmap(96, 96, al_map_rgb(0, 0, 255)));
    al_set_target_bitmap(red);
    npcs->drawAll(frame); // with nobody to draw
    EXPECT_EQ(al_get_target_bitmap(), frame.bitmap);
    spawn(10, 10, "Under")->setBitmap(red);
    spawn(50, 50, "Over")->setBitmap(blue);
    spawn(200, 200, "Invisible"); // no bitmap without the library: draws nothing
    npcs->drawAll(frame);
    const std::pair<std::pair<int, int>, Rgba> pixels[] = {
        {{10, 10}, rgb(255, 0, 0)},   {{60, 60}, rgb(0, 0, 255)}, {{105, 20}, rgb(255, 0, 0)},
        {{145, 145}, rgb(0, 0, 255)}, {{146, 146}, rgb(0, 0, 0)}, {{250, 250}, rgb(0, 0, 0)}};
    for (const auto& [at, colour] : pixels)
        EXPECT_EQ(pixelAt(frame, at.first, at.second), colour) << at.first << "," << at.second;
}
