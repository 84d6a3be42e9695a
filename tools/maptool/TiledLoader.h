#pragma once

#include "TiledMap.h"

#include <string>

// Reads a Tiled map through Tiled's own library (libtiled): TMX with its map reader, TMJ as a
// JSON document through its variant converter, told apart by the first byte that is not
// blank. Tilesets (embedded, TSX or TSJ), object templates (TX or TJ) and images come with
// it. The result is our plain model: decoded pixels, groups flattened, and for every tile
// layer the cells in the order Tiled's renderer draws them, with the place it draws each.
// Bad input of any kind gives false and one line in error() naming the file and the part.
class TiledLoader {
  public:
    bool read(const std::string& path, TiledModel::Map& map);
    // The same from text in memory; the files it names are resolved against the folder of
    // `path`.
    bool readText(const std::string& text, const std::string& path, TiledModel::Map& map);
    const std::string& error() const { return error_; }

  private:
    std::string error_;
};
