#pragma once

#include "MapWriter.h"
#include "TiledMap.h"

#include <string>
#include <vector>

// A tile's integer properties named like a block's fields (userLong1, userLong2, userShort1,
// userShort2, userByte1..3, flags) fill those fields of its blocks, and its bool property
// "solid" sets bit 0 (value 1) of the flags.
namespace BlockFields {

// Stores the tile's fields in block; a property of such a name that is not an int, or lies
// outside its field's range, is left out with a warning that begins with `where`.
void read(const TiledModel::Tile& tile, const std::string& where, MapWriter::Block& block,
          std::vector<std::string>& warnings);

} // namespace BlockFields
