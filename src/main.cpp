#include "core/GameContext.h"
#include "core/MainLoop.h"

int main(int, char**) {
    if (initGame() == -1) {
        return -1;
    }
    runMainLoop();
    cleanupGame();
    return 0;
}
