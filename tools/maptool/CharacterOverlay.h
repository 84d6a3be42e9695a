#pragma once

#include <allegro5/allegro.h>

#include <string>

// render --characters: runs the start-up scripts and the map's own script as the game does,
// without a window, and draws every character it spawns over the map picture: its sprite,
// its hit box (the rectangle a click must land in) outlined in yellow, and its feet (where it
// stands on the ground) outlined in red. The map's solid cells are outlined in blue, and the
// exits its script adds in green. Each character and exit is also listed on standard output.
// Paths are the game's: it runs in the folder that holds Data/.
namespace CharacterOverlay {

constexpr unsigned char hitBoxColour[3] = {255, 255, 0};
constexpr unsigned char feetColour[3] = {255, 0, 0};
constexpr unsigned char solidColour[3] = {0, 120, 255};
constexpr unsigned char exitColour[3] = {0, 230, 0};

// The characters of the map named by `mapPath` (its file name without .fmp) drawn into
// `image`, over the solid cells of the map the library holds (its first `layerCount` layers).
// False with a reason when the map has no script to run.
bool draw(ALLEGRO_BITMAP* image, const std::string& mapPath, int layerCount, std::string& error);

} // namespace CharacterOverlay
