#pragma once

#include <string>

// The game's small bitmap font, rendered from a TrueType font that Debian ships.
bool writeFontArt(const std::string& root);
