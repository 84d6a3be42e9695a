#include "map/MapManager.h"
MapManager::MapManager() {}
bool MapManager::load(const char*) { return false; }
void MapManager::draw(ALLEGRO_BITMAP*) {}
void MapManager::unload() {}
