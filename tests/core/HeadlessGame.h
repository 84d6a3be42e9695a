#pragma once

#include "core/DisplayManager.h"
#include "core/GameContext.h"
#include "core/HeadlessWorld.h"
#include "core/TestSupport.h"
#include "gfx/BitmapLibrary.h"
#include "gui/Gui.h"
#include "gui/PortraitStore.h"
#include "input/KeyBindings.h"
#include "map/MapManager.h"
#include "player/Player.h"
#include "script/ScriptHost.h"
#include "world/Conversation.h"
#include "world/Environment.h"
#include "world/NpcManager.h"

#include <gtest/gtest.h>

#include <memory>

// The whole game without a window in an empty context, with the console of its constructors
// captured. Build it inside a ScratchDir that holds whatever Data/ the test needs.
class HeadlessGame {
  public:
    HeadlessGame() {
        game = GameContext{};
        testing::internal::CaptureStderr();
        world_ = std::make_unique<HeadlessWorld>();
        testing::internal::GetCapturedStderr();
    }
    ~HeadlessGame() {
        world_.reset();
        game = GameContext{};
    }
    HeadlessGame(const HeadlessGame&) = delete;
    HeadlessGame& operator=(const HeadlessGame&) = delete;

  private:
    std::unique_ptr<HeadlessWorld> world_;
};
