#pragma once

#include "ScriptTestSupport.h"

#include "gui/Gui.h"
#include "gui/PortraitStore.h"
#include "world/NpcManager.h"

// A script host with the managers the script functions act on: the NPC manager, the GUI with
// its chat box and the portrait store, all real and all fresh for each test. Their
// construction output is dropped; every manager is destroyed and cleared afterwards.
class ScriptWorldTest : public ScriptTest {
  protected:
    void SetUp() override {
        ScriptTest::SetUp();
        testing::internal::CaptureStderr();
        game.npcManager = new NpcManager();
        game.gui = new Gui();
        game.portraits = new PortraitStore();
        testing::internal::GetCapturedStderr();
    }

    void TearDown() override {
        delete game.gui;
        delete game.portraits;
        delete game.npcManager;
        game.gui = nullptr;
        game.portraits = nullptr;
        game.npcManager = nullptr;
        ScriptTest::TearDown();
    }

    NpcManager& npcs() { return *game.npcManager; }
};
