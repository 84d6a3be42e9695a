#include "core/CommandLine.h"
#include "core/GameContext.h"
#include "core/MainLoop.h"
#ifdef __EMSCRIPTEN__
#include "core/BrowserLoop.h"
#endif

#include <cstdio>

// The game: the command line, start-up, the event loop until quit, shutdown.
int main(int argc, char** argv) {
    CommandLine options;
    if (!options.parse(argc, argv, stdout, stderr)) {
        return options.exitStatus();
    }
    if (initGame(options) == -1) {
        return -1;
    }
#ifdef __EMSCRIPTEN__
    runBrowserGame();
#else
    runMainLoop();
    cleanupGame();
#endif
    return 0;
}
