#include "core/DisplayManager.h"
DisplayManager::DisplayManager(int width, int height) : width_(width), height_(height) {}
void DisplayManager::initText() {}
void DisplayManager::drawFrame() {}
void DisplayManager::composeFrame(ALLEGRO_BITMAP*) {}
