#pragma once

#include "ArtCanvas.h"

// The things that stand on the farm: each is drawn on magenta (transparent in a map), with a
// soft outline, as one tile of 32 x 32 or as a block of several tiles.

// Sides a fence or a path leaves its tile through.
enum Side { North = 1, East = 2, South = 4, West = 8 };

Canvas fenceTile(int sides);
Canvas gateTile();
Canvas rockTile(bool big);
Canvas bushTile();
Canvas flowerTile(Rgba petal, Rgba petal2);
Canvas stumpTile();
Canvas hayTile();
Canvas signTile();
Canvas mushroomTile();
Canvas crateTile();
Canvas barrelTile();
Canvas troughTile();
Canvas pumpkinTile();
Canvas logPileTile();
Canvas sunflowerTile();
Canvas wateringCanTile();
Canvas scarecrowObject();
Canvas cottageObject();
Canvas tallGrassTile();
Canvas appleTree();
Canvas pineTree();
Canvas wellObject();
Canvas barnObject();
Canvas windmillObject();
