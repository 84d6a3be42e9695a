#pragma once

#include "ArtCanvas.h"

// Ground textures of one 32 x 32 tile. Each repeats seamlessly: its right column continues
// into its left one and its bottom row into its top one, so any two tiles that share a
// texture along an edge meet without a seam.
constexpr int kTile = 32;

Canvas grassTexture();
Canvas mudTexture();
Canvas dirtTexture();
Canvas soilTexture(bool watered);
Canvas waterTexture(int frame);

// Shore tiles: `shape` gives, for a pixel centre, how far into the water it lies (negative on
// land); grass, a sandy bank, shallows and open water (of animation frame `frame`) follow.
Canvas shoreTile(float (*shape)(float x, float y), int frame);
