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
    visit(&GameContext::mapTravel);
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
    // While it is in the context, the world owns what its slots hold now: a reload replaces
    // the script host.
    bool active = false;
    forEachSlot([&](auto slot) { active = active || (made_.*slot && game.*slot == made_.*slot); });
    if (active) {
        forEachSlot([&](auto slot) {
            if (made_.*slot) {
                made_.*slot = game.*slot;
                game.*slot = nullptr;
            }
        });
        if (made_.displayManager) {
            game.viewWidth = 0;
            game.viewHeight = 0;
        }
    }
    deleteManagers(made_);
}

void HeadlessWorld::activate() {
    forEachSlot([&](auto slot) {
        if (made_.*slot)
            game.*slot = made_.*slot;
    });
}
