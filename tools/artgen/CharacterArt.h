#pragma once

#include "ArtCanvas.h"
#include "BlobScene.h"

#include <string>

// What makes one Vornel (a small pony) look like itself.
struct PonyLook {
    Rgba coat;
    Rgba mane;
    Rgba muzzle;
    Rgba hoof;
    Rgba eye;
    Rgba scarf;
    bool scarfOn = false;
    bool strawHat = false;
    bool flower = false;
    Rgba flowerColour;
    bool whiteSocks = false;
    bool blaze = false;
    bool appleBasket = false;
};

PonyLook mareLook();
PonyLook brambleLook();
PonyLook quillaLook();
PonyLook fernLook();
PonyLook thistleLook();

enum class Gait { Stand, Walk, Sprint };

// Puts the parts of a pony into the scene; `phase` (0 to 1) is the point of the stride.
// `closeUp` adds details that only show at portrait size (a smile).
void buildPony(BlobScene& scene, const PonyLook& look, Gait gait, float phase,
               bool closeUp = false);

// The player sheet and the character sprites, written under root.
bool writeCharacterArt(const std::string& root);
