#include "core/CommandLine.h"
#include "core/GameContext.h"
#include "core/MainLoop.h"

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
    runMainLoop();
    cleanupGame();
    return 0;
}
