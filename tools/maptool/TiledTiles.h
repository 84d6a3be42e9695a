#pragma once

#include "TilePicture.h"
#include "TiledMap.h"

#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

// One tile of one of a map's tilesets as a cell shows it: with its flip bits.
struct TileKey {
    int tileset = -1; // index into the map's tilesets; -1 for none
    int local = 0;
    std::uint32_t flags = 0; // horizontal, vertical and diagonal flip bits only
    bool operator<(const TileKey& o) const {
        return std::tie(tileset, local, flags) < std::tie(o.tileset, o.local, o.flags);
    }
};

// The tiles of a map's tilesets: which tile a tile number names, whether a tileset has a
// tile, its own data (properties, animation) and its pixels. The map must outlive it.
class TiledTiles {
  public:
    explicit TiledTiles(const TiledModel::Map& map);

    // The tile that a tile number (flip bits included) names; tileset -1 when no tileset
    // holds it.
    TileKey resolve(std::uint32_t gid) const;
    bool exists(int tileset, int local) const;
    // The tile's own entry in its tileset, or null when it has none.
    const TiledModel::Tile* info(int tileset, int local) const;
    // The tile's animation frames, or null when it is not animated.
    const std::vector<TiledModel::Frame>* animation(const TileKey& key) const;
    // "tileset "NAME" tile N", for messages.
    std::string name(const TileKey& key) const;
    // The unflipped pixels of an existing tile; false when its rectangle leaves its image.
    bool cut(const TileKey& key, TilePicture::Pixels& out) const;

  private:
    const TiledModel::Map& map_;
    std::map<std::pair<int, int>, const TiledModel::Tile*> info_;
};
