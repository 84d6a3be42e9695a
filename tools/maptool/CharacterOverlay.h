#pragma once

#include <allegro5/allegro.h>

#include <string>

// render --characters: runs the start-up scripts and the map's own script as the game does,
// without a window, and draws every character it spawns over the map picture: its sprite,
// its hit box (the rectangle a click must land in) outlined in yellow, and its feet (where it
// stands on the ground) outlined in red. Each character is also listed on standard output.
// Paths are the game's: it runs in the folder that holds Data/.
namespace CharacterOverlay {

constexpr unsigned char hitBoxColour[3] = {255, 255, 0};
constexpr unsigned char feetColour[3] = {255, 0, 0};

// The characters of the map named by `mapPath` (its file name without .fmp) drawn into
// `image`. False with a reason when the map has no script to run.
bool draw(ALLEGRO_BITMAP* image, const std::string& mapPath, std::string& error);

} // namespace CharacterOverlay
