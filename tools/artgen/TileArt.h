#pragma once

#include <string>

// The six mud tiles the game draws as its ground when no map is loaded.
bool writeMudTiles(const std::string& root);
// The farm tile sheet the map tool builds the start map from, with its index list.
bool writeFarmTiles(const std::string& root);
