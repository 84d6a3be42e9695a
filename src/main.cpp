#include "core/GameContext.h"
#include "core/MainLoop.h"

// The game: start-up, the event loop until quit, shutdown. Arguments are not used.
int main(int, char**) {
    if (initGame() == -1) {
        return -1;
    }
    runMainLoop();
    cleanupGame();
    return 0;
}
