#include "world/Environment.h"
Environment::Environment(int width, int height) : width_(width), height_(height) {}
Environment::~Environment() {}
int Environment::getCell(int, int) const { return 0; }
void Environment::draw(ALLEGRO_BITMAP*) {}
bool Environment::handleMouse(int, int, int) { return false; }
void Environment::fill(int, int) {}
