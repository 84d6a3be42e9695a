#include "world/NpcManager.h"
#include "gfx/BitmapLibrary.h"
#include "gui/GuiTestSupport.h"
#include "world/Npc.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

class NpcManagerTest : public testing::Test {
  protected:
    void SetUp() override {
        creation = capturedStderr([this] { npcs = std::make_unique<NpcManager>(); });
    }

    // Adds a character as SpawnNPC does: numbered by the count before the addition.
    Npc* spawn(int x, int y, const char* name, const char* sprite = "") {
        return npcs->addNpc(x, y, name, npcs->getNpcCount(), "Data\\Scripts\\Test.lua", sprite);
    }

    ScopedGame scope;
    std::unique_ptr<NpcManager> npcs;
    std::string creation;
};

} // namespace

TEST_F(NpcManagerTest, StartsEmptyWithNoActiveCharacter) {
    EXPECT_EQ(creation, "Creating NPC Manager - done\n");
    EXPECT_EQ(npcs->getNpcCount(), 0);
    EXPECT_EQ(npcs->getActiveNpc(), nullptr);
    EXPECT_EQ(npcs->npcAt(0, 0), nullptr);
    EXPECT_EQ(npcs->npc(0), nullptr);
}

TEST_F(NpcManagerTest, NumbersNamesAndTheActiveCharacter) {
    Npc* quilla = spawn(10, 20, "Quilla");
    Npc* bramble = spawn(30, 40, "Bramble");
    Npc* twin = spawn(50, 60, "Quilla");
    ASSERT_NE(quilla, nullptr);
    EXPECT_EQ(npcs->getNpcCount(), 3);
    EXPECT_EQ(quilla->number(), 0);
    EXPECT_EQ(bramble->number(), 1);
    EXPECT_EQ(twin->number(), 2);
    EXPECT_EQ(npcs->npc(1), bramble);
    EXPECT_STREQ(bramble->getName(), "Bramble");
    EXPECT_STREQ(bramble->getScriptPath(), "Data\\Scripts\\Test.lua");
    EXPECT_EQ(bramble->x(), 30);
    EXPECT_EQ(bramble->y(), 40);

    EXPECT_EQ(npcs->findNpcByName("Quilla"), quilla); // the first of two with that name
    EXPECT_EQ(npcs->findNpcByName("quilla"), nullptr);
    EXPECT_EQ(npcs->findNpcByName("Quilla "), nullptr);
    EXPECT_EQ(npcs->findNpcByNumber(2), twin);
    EXPECT_EQ(npcs->findNpcByNumber(3), nullptr);

    npcs->setActiveNpcByNumber(1);
    EXPECT_EQ(npcs->getActiveNpc(), bramble);
    npcs->setActiveNpcByName("Quilla");
    EXPECT_EQ(npcs->getActiveNpc(), quilla);
    npcs->setActiveNpcByName("Nobody"); // drops the earlier one
    EXPECT_EQ(npcs->getActiveNpc(), nullptr);
    npcs->setActiveNpcByNumber(1);
    npcs->setActiveNpcByNumber(-5);
    EXPECT_EQ(npcs->getActiveNpc(), nullptr);
}

TEST_F(NpcManagerTest, HitBoxIncludesEveryEdge) {
    Npc* npc = spawn(100, 50, "Edge");
    EXPECT_EQ(npc->left(), 132);
    EXPECT_EQ(npc->top(), 68);
    EXPECT_EQ(npc->right(), 164);
    EXPECT_EQ(npc->bottom(), 136);
    EXPECT_TRUE(npc->hitBoxContains(132, 68));
    EXPECT_TRUE(npc->hitBoxContains(164, 136));
    EXPECT_FALSE(npc->hitBoxContains(131, 68));
    EXPECT_FALSE(npc->hitBoxContains(164, 137));
    EXPECT_FALSE(npc->hitBoxContains(165, 100));
    EXPECT_FALSE(npc->hitBoxContains(140, 67));
    EXPECT_EQ(npcs->npcAt(132, 68), npc);
    EXPECT_EQ(npcs->npcAt(131, 68), nullptr);
}

TEST_F(NpcManagerTest, HitBoxAtTheEndOfTheIntRangeDoesNotWrap) {
    Npc* npc = spawn(2147483647 - 40, 2147483647, "Far");
    EXPECT_EQ(npc->right(), 2147483647);
    EXPECT_EQ(npc->bottom(), 2147483647);
    EXPECT_TRUE(npc->hitBoxContains(2147483647, 2147483647));
    EXPECT_FALSE(npc->hitBoxContains(0, 0));
}

TEST_F(NpcManagerTest, OverlappingCharactersResolveToTheFirstSpawned) {
    Npc* first = spawn(100, 100, "First");
    Npc* second = spawn(110, 110, "Second");
    EXPECT_EQ(npcs->npcAt(150, 130), first);
    EXPECT_EQ(npcs->npcAt(170, 190), second);
}

TEST_F(NpcManagerTest, SpriteNameChoosesOneOfTwoSlots) {
    EXPECT_EQ(NpcManager::spriteSlotFor("QuillaTemp"), BitmapLibrary::npcQuillaSprite);
    EXPECT_EQ(NpcManager::spriteSlotFor("QuillaTemp "), BitmapLibrary::npcDefaultSprite);
    EXPECT_EQ(NpcManager::spriteSlotFor("quillatemp"), BitmapLibrary::npcDefaultSprite);
    EXPECT_EQ(NpcManager::spriteSlotFor("Quilla"), BitmapLibrary::npcDefaultSprite);
    EXPECT_EQ(NpcManager::spriteSlotFor(""), BitmapLibrary::npcDefaultSprite);
    EXPECT_EQ(NpcManager::spriteSlotFor(nullptr), BitmapLibrary::npcDefaultSprite);
    EXPECT_EQ(NpcManager::spriteSlotFor("BrambleTemp"), BitmapLibrary::npcDefaultSprite);
}

TEST_F(NpcManagerTest, OverlongScriptPathRefusesTheCharacter) {
    const std::string longest(255, 's');
    Npc* fits = npcs->addNpc(0, 0, "Fits", 0, longest.c_str(), "");
    ASSERT_NE(fits, nullptr);
    EXPECT_EQ(std::string(fits->getScriptPath()), longest);

    const std::string tooLong(256, 's');
    Npc* refused = nullptr;
    const std::string out = capturedStderr(
        [&] { refused = npcs->addNpc(0, 0, "Long", 1, tooLong.c_str(), "QuillaTemp"); });
    EXPECT_EQ(refused, nullptr);
    EXPECT_EQ(out, "Script path of NPC Long is longer than 255 bytes; the NPC was not created.\n");
    EXPECT_EQ(npcs->getNpcCount(), 1);
    EXPECT_EQ(npcs->findNpcByName("Long"), nullptr);
}

TEST_F(NpcManagerTest, DrawAllPaintsLaterCharactersOverEarlierOnes) {
    BitmapHolder frame(solidBitmap(300, 300, al_map_rgb(0, 0, 0)));
    BitmapHolder elsewhere(solidBitmap(4, 4, al_map_rgb(0, 0, 0)));
    al_set_target_bitmap(elsewhere);
    npcs->drawAll(frame); // nothing to draw, but the target is set
    EXPECT_EQ(al_get_target_bitmap(), frame.bitmap);

    BitmapHolder red(solidBitmap(96, 96, al_map_rgb(255, 0, 0)));
    BitmapHolder blue(solidBitmap(96, 96, al_map_rgb(0, 0, 255)));
    spawn(10, 10, "Under")->setBitmap(red);
    spawn(50, 50, "Over")->setBitmap(blue);
    spawn(200, 200, "Invisible"); // no bitmap without the library: draws nothing
    npcs->drawAll(frame);
    EXPECT_EQ(pixelAt(frame, 10, 10), rgb(255, 0, 0));
    EXPECT_EQ(pixelAt(frame, 60, 60), rgb(0, 0, 255));
    EXPECT_EQ(pixelAt(frame, 105, 20), rgb(255, 0, 0));
    EXPECT_EQ(pixelAt(frame, 145, 145), rgb(0, 0, 255));
    EXPECT_EQ(pixelAt(frame, 146, 146), rgb(0, 0, 0));
    EXPECT_EQ(pixelAt(frame, 250, 250), rgb(0, 0, 0));
}
