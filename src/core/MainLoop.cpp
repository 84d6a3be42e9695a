#include "core/MainLoop.h"

#include "core/AuthorMode.h"
#include "core/Console.h"
#include "core/DisplayManager.h"
#include "core/GameContext.h"
#include "core/SaveManager.h"
#include "gui/Gui.h"
#include "input/ButtonState.h"
#include "input/KeyBindings.h"
#include "map/MapManager.h"
#include "player/Player.h"
#include "world/Environment.h"
#include "world/FriendlyControls.h"
#include "world/MapTravel.h"

namespace {

// A button press or release: the Gui first, then the Environment at the pointer position the
// Gui last stored (not the event's own point).
void dispatchButton(ButtonState state) {
    const bool taken = game.gui != nullptr && game.gui->click(state);
    if (taken) {
        consoleWrite(state == ButtonState::Press ? "Gui handled mouse down event\n"
                                                 : "Gui handled mouse up event\n");
        return;
    }
    if (game.environment != nullptr) {
        const int x = game.gui != nullptr ? static_cast<int>(game.gui->mouseX()) : 0;
        const int y = game.gui != nullptr ? static_cast<int>(game.gui->mouseY()) : 0;
        game.environment->handleMouse(state, x, y);
    }
    consoleWrite(state == ButtonState::Press ? "Mouse down event thrown to Environment\n"
                                             : "Mouse up event thrown to Environment\n");
}

// One tick of the player: moved as the map's collision allows, then through any exit it
// walked into.
void tickPlayer() {
    if (game.player == nullptr)
        return;
    if (game.mapTravel == nullptr) {
        game.player->update();
        return;
    }
    game.player->update(game.mapTravel->collisionForTick());
    game.mapTravel->afterPlayerMoved();
}

bool handleEvent(const ALLEGRO_EVENT& event) {
    switch (event.type) {
    case ALLEGRO_EVENT_TIMER:
        tickPlayer();
        if (game.friendlyControls != nullptr)
            game.friendlyControls->tick();
        if (game.mapManager != nullptr)
            game.mapManager->animate();
        return true;
    case ALLEGRO_EVENT_DISPLAY_CLOSE:
        game.quit = true;
        break;
    case ALLEGRO_EVENT_DISPLAY_SWITCH_OUT:
        if (game.player != nullptr)
            game.player->releaseKeys();
        break;
    case ALLEGRO_EVENT_KEY_DOWN:
    case ALLEGRO_EVENT_KEY_UP:
        if (game.keyBindings != nullptr) {
            const int key = event.keyboard.keycode;
            const bool pressed = event.type == ALLEGRO_EVENT_KEY_DOWN;
            // With friendly controls a Quit key closes an open conversation before it quits.
            const bool quitTaken = game.friendlyControls != nullptr &&
                                   game.keyBindings->isQuitKey(key) &&
                                   game.friendlyControls->takeQuitKey(key, pressed);
            game.keyBindings->setKeyState(key, pressed, !quitTaken);
        }
        if (game.author != nullptr && event.type == ALLEGRO_EVENT_KEY_DOWN &&
            event.keyboard.keycode == ALLEGRO_KEY_F5) {
            reloadWorld();
        }
        if (game.author != nullptr && event.type == ALLEGRO_EVENT_KEY_DOWN &&
            event.keyboard.keycode == ALLEGRO_KEY_F2) {
            game.author->togglePointerInfo();
        }
        break;
    case ALLEGRO_EVENT_MOUSE_AXES:
    case ALLEGRO_EVENT_MOUSE_ENTER_DISPLAY:
        if (game.gui != nullptr) {
            game.gui->setMouse(static_cast<float>(event.mouse.x),
                               static_cast<float>(event.mouse.y));
        }
        break;
    case ALLEGRO_EVENT_MOUSE_BUTTON_DOWN:
        dispatchButton(ButtonState::Press);
        break;
    case ALLEGRO_EVENT_MOUSE_BUTTON_UP:
        dispatchButton(ButtonState::Release);
        break;
    default:
        break;
    }
    return false;
}

} // namespace

bool dispatchEvent(const ALLEGRO_EVENT& event) {
    const bool redraw = handleEvent(event);
    // Between events no script is running: a move to another map asked for during this one
    // is made now.
    if (game.mapTravel != nullptr && game.mapTravel->travelPending()) {
        if (game.saving != nullptr)
            game.saving->save();
        return true;
    }
    return redraw;
}

void countEvent(double now, double& windowStart, int& eventCount) {
    const double elapsed = now - windowStart;
    if (elapsed >= 1.0) {
        game.measuredFps = static_cast<double>(eventCount) / elapsed;
        windowStart = now;
        eventCount = 1;
    } else {
        ++eventCount;
    }
}

double beginMainLoop() {
    game.quit = false;
    al_start_timer(game.timer);
    const double windowStart = al_get_time();
    consoleWrite("Begin primary game loop\n");
    return windowStart;
}

void runMainLoop() {
    double windowStart = beginMainLoop();
    int eventCount = 0;
    bool redraw = false;
    while (!game.quit) {
        al_wait_for_event(game.eventQueue, &game.event);
        if (dispatchEvent(game.event)) {
            redraw = true;
        }
        countEvent(al_get_time(), windowStart, eventCount);
        // Drawing waits until the queue is drained, so ticks never pile up behind a slow frame.
        if (redraw && al_is_event_queue_empty(game.eventQueue)) {
            drawAskedFrame();
            redraw = false;
        }
    }
    endMainLoop();
}

void drawAskedFrame() {
    if (game.displayManager != nullptr) {
        game.displayManager->drawFrame();
    }
    if (game.author != nullptr)
        game.author->frameDrawn();
}

void endMainLoop() {
    // The Quit key or the window closed: the progress of the run is kept.
    if (game.saving)
        game.saving->save();
}
