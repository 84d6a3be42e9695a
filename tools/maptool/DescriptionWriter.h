#pragma once

#include "MapWriter.h"

#include <string>

// Writes a map's content as the JSON description `make` reads, with its tile sheet PNG beside
// it (named after the JSON: Farm.json -> Farm.png), so that an imported map can go on being
// edited by hand. `make` of the written description gives back the same content, provided the
// graphics are numbered in order of first use by the blocks (background, then foregrounds),
// as `make` numbers them; graphics no block uses are left out. Pixels are written opaque or
// fully transparent, the two kinds `make` reads back. Text rows with a one-character legend
// are used when the cells take few enough values, lists of numbers otherwise.
// False with a one-line reason, and nothing written, when the content cannot be described.
bool writeDescription(const MapWriter::MapContent& map, const std::string& jsonPath,
                      std::string& error);
