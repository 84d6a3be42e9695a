#include "core/BrowserLoop.h"

#include "core/DisplayManager.h"
#include "core/GameContext.h"
#include "core/MainLoop.h"

#include <emscripten.h>

namespace {

// Tells the page that the game has ended and is cleaned up; the runtime's own exit report does
// not reach the page once main has been unwound.
void announceEnd() {
    EM_ASM({
        if (Module['onGameEnded'])
            Module['onGameEnded']();
    });
}

} // namespace

#ifdef FENNOW_BROWSER_LOOP_CALLBACK

namespace {

double windowStart = 0.0;
int eventCount = 0;
bool redraw = false;
bool ended = false;

// One browser frame: every waiting event in order, then a drawing when a tick asked for one,
// as the blocking loop draws once the queue is drained.
void browserFrame() {
    if (ended)
        return;
    while (!game.quit && al_get_next_event(game.eventQueue, &game.event)) {
        if (dispatchEvent(game.event)) {
            redraw = true;
        }
        countEvent(al_get_time(), windowStart, eventCount);
    }
    if (game.quit) {
        endMainLoop();
        cleanupGame();
        ended = true;
        // The browser's loop is left running, idle: Chromium drops the whole tab when this
        // loop is cancelled from inside its own frame, and the page must stay to say the game
        // has ended.
        announceEnd();
        return;
    }
    if (redraw)
        drawAskedFrame();
    redraw = false;
}

} // namespace

void runBrowserGame() {
    windowStart = beginMainLoop();
    // Never returns: the browser calls browserFrame once per display frame.
    emscripten_set_main_loop(browserFrame, 0, 1);
}

#else

void runBrowserGame() {
    runMainLoop();
    cleanupGame();
    announceEnd();
    // main has long returned to the browser by now (ASYNCIFY unwound it at the first wait), so
    // its return would reach nobody: the exit is made here, and the page hears of it.
    emscripten_force_exit(0);
}

#endif
