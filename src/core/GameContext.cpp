#include "core/GameContext.h"
GameContext game;
int initGame() { return 0; }
void registerEventSources(ALLEGRO_EVENT_QUEUE*) {}
void cleanupGame() {}
