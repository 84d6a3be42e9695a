#include "core/MainLoop.h"

#include "core/AuthorMode.h"
#include "core/Console.h"
#include "core/DisplayManager.h"
#include "core/GameContext.h"
#include "gui/Gui.h"
#include "input/ButtonState.h"
#include "input/KeyBindings.h"
#include "player/Player.h"
#include "world/Environment.h"

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

} // namespace

bool dispatchEvent(const ALLEGRO_EVENT& event) {
    switch (event.type) {
    case ALLEGRO_EVENT_TIMER:
        if (game.player != nullptr) {
            game.player->update();
        }
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
            game.keyBindings->setKeyState(event.keyboard.keycode,
                                          event.type == ALLEGRO_EVENT_KEY_DOWN);
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

void runMainLoop() {
    game.quit = false;
    al_start_timer(game.timer);
    double windowStart = al_get_time();
    consoleWrite("Begin primary game loop\n");
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
            if (game.displayManager != nullptr) {
                game.displayManager->drawFrame();
            }
            if (game.author != nullptr)
                game.author->frameDrawn();
            redraw = false;
        }
    }
}
