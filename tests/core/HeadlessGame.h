#pragma once

#include "core/DisplayManager.h"
#include "core/GameContext.h"
#include "core/TestSupport.h"
#include "gfx/BitmapLibrary.h"
#include "gui/Gui.h"
#include "gui/PortraitStore.h"
#include "input/KeyBindings.h"
#include "map/MapManager.h"
#include "player/Player.h"
#include "script/ScriptHost.h"
#include "world/Environment.h"
#include "world/NpcManager.h"

#include <gtest/gtest.h>

// Every manager of the game context, created in start-up order but without a window (frames
// are composed into memory bitmaps) and with the console of their constructors captured.
// Build it inside a ScratchDir that holds whatever Data/ the test needs.
class HeadlessGame {
  public:
    HeadlessGame() {
        game = GameContext{};
        testing::internal::CaptureStderr();
        game.scriptHost = new ScriptHost();
        game.displayManager = new DisplayManager(800, 600, DisplayManager::NoWindow::Tag);
        game.bitmapLibrary = new BitmapLibrary();
        game.portraits = new PortraitStore();
        game.displayManager->initText();
        game.player = new Player(0.0f, 0.0f);
        game.keyBindings = new KeyBindings();
        game.npcManager = new NpcManager();
        game.gui = new Gui();
        game.mapManager = new MapManager();
        game.environment = new Environment(50, 50);
        testing::internal::GetCapturedStderr();
    }
    ~HeadlessGame() {
        delete game.environment;
        delete game.mapManager;
        delete game.gui;
        delete game.npcManager;
        delete game.keyBindings;
        delete game.player;
        delete game.portraits;
        delete game.bitmapLibrary;
        delete game.displayManager;
        delete game.scriptHost;
        game = GameContext{};
    }
    HeadlessGame(const HeadlessGame&) = delete;
    HeadlessGame& operator=(const HeadlessGame&) = delete;
};
