#pragma once

#include "MapWriter.h"
#include "NpcScript.h"
#include "TiledMap.h"

#include <string>
#include <vector>

// The file choices that a Tiled map cannot express.
struct ImportOptions {
    int mapType = 2;
    int depth = 32;
    MapWriter::ByteOrder byteOrder = MapWriter::ByteOrder::Little;
};

// Turns a map read from Tiled into our map content. Every used tile (with each of its flip
// combinations) becomes a block with a graphic of its own, placed in the graphic so that the
// game draws it where Tiled does: anchored at the bottom-left of its cell and moved by its
// tileset's offset. Tile animations become forward loops, tile layers fill the slots in order,
// and objects of type npc become the characters of the map's script. What the format cannot
// hold is left out with a warning; what cannot be imported at all is one error line.
class TiledImport {
  public:
    bool convert(const TiledModel::Map& map, const ImportOptions& options);

    const MapWriter::MapContent& content() const { return content_; }
    const std::vector<NpcSpawn>& spawns() const { return spawns_; }
    // Things that the map holds and the import left out or changed.
    const std::vector<std::string>& warnings() const { return warnings_; }
    // Things worth knowing that change nothing Tiled shows.
    const std::vector<std::string>& notes() const { return notes_; }
    const std::string& error() const { return error_; }
    // How far right and down the game draws the picture from where Tiled draws it; 0,0 unless
    // tiles reach above or left of their cells.
    int pictureOffsetX() const { return offsetX_; }
    int pictureOffsetY() const { return offsetY_; }

  private:
    MapWriter::MapContent content_;
    std::vector<NpcSpawn> spawns_;
    std::vector<std::string> warnings_;
    std::vector<std::string> notes_;
    std::string error_;
    int offsetX_ = 0;
    int offsetY_ = 0;
};
