#pragma once

#include <string>

// The game's desktop icon, the player's mare on a round farm badge, in the sizes a desktop's
// icon theme asks for, written under ROOT/packaging/icons/hicolor.
bool writeIconArt(const std::string& root);
