#include "core/HeadlessWorld.h"

#include "core/DisplayManager.h"
#include "gfx/BitmapLibrary.h"
#include "script/ScriptFunctionTable.h"

namespace {

// Calls visit with a pointer to each slot of the context that holds a manager.
template <typename Visit> void forEachSlot(Visit visit) {
    visit(&GameContext::scriptHost);
    visit(&GameContext::displayManager);
    visit(&GameContext::bitmapLibrary);
    visit(&GameContext::portraits);
    visit(&GameContext::player);
    visit(&GameContext::keyBindings);
    visit(&GameContext::npcManager);
    visit(&GameContext::conversation);
    visit(&GameContext::gui);
    visit(&GameContext::mapManager);
    visit(&GameContext::environment);
}

} // namespace

HeadlessWorld::HeadlessWorld(HeadlessScope scope)
    : HeadlessWorld(scope, scope == HeadlessScope::Art ? std::vector<ScriptFunction>{}
                                                       : scriptFunctionTable()) {}

HeadlessWorld::HeadlessWorld(HeadlessScope scope, const std::vector<ScriptFunction>& functions) {
    const GameContext before = game;
    if (scope == HeadlessScope::Art) {
        game.bitmapLibrary = new BitmapLibrary();
    } else {
        game.scriptHost = new ScriptHost(functions);
        if (scope == HeadlessScope::Game)
            game.displayManager =
                new DisplayManager(DisplayManager::windowWidth, DisplayManager::windowHeight,
                                   DisplayManager::NoWindow::Tag);
        createManagers(scope == HeadlessScope::Game);
    }
    forEachSlot([&](auto slot) {
        if (game.*slot != before.*slot)
            made_.*slot = game.*slot;
    });
}

HeadlessWorld::~HeadlessWorld() {
    GameContext made = made_;
    const bool active = made_.displayManager && game.displayManager == made_.displayManager;
    deleteManagers(made);
    forEachSlot([&](auto slot) {
        if (game.*slot == made_.*slot)
            game.*slot = nullptr;
    });
    if (active) {
        game.viewWidth = 0;
        game.viewHeight = 0;
    }
}

void HeadlessWorld::activate() {
    forEachSlot([&](auto slot) {
        if (made_.*slot)
            game.*slot = made_.*slot;
    });
}
