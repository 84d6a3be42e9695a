#include "TiledTiles.h"

#include <algorithm>

namespace {

// Rows of tiles in a single-image tileset, from the image's real height.
int rowsOf(const TiledModel::Tileset& ts) {
    const int pitch = ts.tileHeight + ts.spacing;
    if (!ts.image || pitch <= 0)
        return 0;
    return std::max(0, (ts.image->height - ts.margin + ts.spacing) / pitch);
}

} // namespace

TiledTiles::TiledTiles(const TiledModel::Map& map) : map_(map) {
    for (std::size_t t = 0; t < map_.tilesets.size(); ++t)
        for (const TiledModel::Tile& tile : map_.tilesets[t].tiles)
            info_[{static_cast<int>(t), tile.id}] = &tile;
}

const TiledModel::Tile* TiledTiles::info(int tileset, int local) const {
    const auto found = info_.find({tileset, local});
    return found == info_.end() ? nullptr : found->second;
}

bool TiledTiles::exists(int tileset, int local) const {
    if (tileset < 0 || static_cast<std::size_t>(tileset) >= map_.tilesets.size() || local < 0)
        return false;
    const TiledModel::Tileset& ts = map_.tilesets[static_cast<std::size_t>(tileset)];
    if (ts.image)
        return ts.columns > 0 &&
               static_cast<long long>(local) < static_cast<long long>(ts.columns) * rowsOf(ts);
    const TiledModel::Tile* tile = info(tileset, local);
    return tile != nullptr && tile->image.has_value();
}

TileKey TiledTiles::resolve(std::uint32_t gid) const {
    const std::uint32_t id = gid & ~TiledModel::gidFlags;
    TileKey key{-1, 0,
                gid & (TiledModel::flippedHorizontally | TiledModel::flippedVertically |
                       TiledModel::flippedDiagonally)};
    // The tileset with the largest first number at or below the tile's.
    for (std::size_t t = 0; t < map_.tilesets.size(); ++t)
        if (map_.tilesets[t].firstGid <= id)
            key.tileset = static_cast<int>(t);
    if (key.tileset < 0)
        return key;
    key.local =
        static_cast<int>(id - map_.tilesets[static_cast<std::size_t>(key.tileset)].firstGid);
    if (!exists(key.tileset, key.local))
        key.tileset = -1;
    return key;
}

const std::vector<TiledModel::Frame>* TiledTiles::animation(const TileKey& key) const {
    const TiledModel::Tile* tile = info(key.tileset, key.local);
    return tile != nullptr && !tile->animation.empty() ? &tile->animation : nullptr;
}

std::string TiledTiles::name(const TileKey& key) const {
    return "tileset \"" + map_.tilesets[static_cast<std::size_t>(key.tileset)].name + "\" tile " +
           std::to_string(key.local);
}

bool TiledTiles::cut(const TileKey& key, TilePicture::Pixels& out) const {
    const TiledModel::Tileset& ts = map_.tilesets[static_cast<std::size_t>(key.tileset)];
    if (ts.image) {
        const int column = key.local % ts.columns;
        const int row = key.local / ts.columns;
        return TilePicture::cut(*ts.image, ts.margin + column * (ts.tileWidth + ts.spacing),
                                ts.margin + row * (ts.tileHeight + ts.spacing), ts.tileWidth,
                                ts.tileHeight, out);
    }
    const TiledModel::Tile& tile = *info(key.tileset, key.local);
    const TiledModel::Image& image = *tile.image;
    return TilePicture::cut(image, tile.x, tile.y,
                            tile.width > 0 ? tile.width : image.width - tile.x,
                            tile.height > 0 ? tile.height : image.height - tile.y, out);
}
