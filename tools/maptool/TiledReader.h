#pragma once

#include "TiledMap.h"

#include <string>

// Reads a Tiled map, TMX (XML) or TMJ (JSON) told apart by its first byte, with every tileset
// it names (embedded, TSX or TSJ) and every image those name, into a Tiled::Map. Bad input of
// any kind gives false and one line in error() naming the file and the element; sizes are
// capped, so that no input makes the reader crash, hang or take memory without bound.
class TiledReader {
  public:
    bool read(const std::string& path, Tiled::Map& map);
    // The same from text in memory; the files it names are resolved against the folder of
    // `path`.
    bool readText(const std::string& text, const std::string& path, Tiled::Map& map);
    const std::string& error() const { return error_; }

  private:
    std::string error_;
};
