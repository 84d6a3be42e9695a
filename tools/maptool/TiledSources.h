#pragma once

#include "TiledMap.h"

#include <functional>
#include <string>
#include <utility>

// The files a Tiled map reaches besides itself: external tilesets (TSX or TSJ, told apart by
// their first byte) and images. Paths are resolved against the folder of the file that names
// them. Every fault throws a TiledError naming the file and the element.
class TiledSources {
  public:
    // Parses the text of an external tileset; the reader of the map supplies it, so that the
    // XML and JSON readers never need each other.
    using TilesetParser = std::function<void(TiledSources& sources, const std::string& text,
                                             const std::string& path, Tiled::Tileset& tileset)>;

    explicit TiledSources(TilesetParser parseTileset) : parseTileset_(std::move(parseTileset)) {}

    // The largest Tiled file read, against a path that names something endless.
    static constexpr long long maxFileBytes = 64LL << 20;

    // `relative` as named inside `from`; absolute paths stay as they are.
    static std::string resolve(const std::string& from, const std::string& relative);
    // The whole file as text; `where` names what asked for it ("FILE: ELEMENT").
    static std::string readText(const std::string& path, const std::string& where);
    // '<' for XML, '{' for JSON, 0 for neither: the first byte after blanks (and a BOM).
    static char formatOf(const std::string& text);

    // Reads the external tileset `path` (already resolved) into `tileset`, keeping its firstGid.
    void readTileset(const std::string& path, const std::string& where, Tiled::Tileset& tileset);
    // Decodes the image `path` (already resolved), keying out `trans`.
    Tiled::Image readImage(const std::string& path, const std::string& trans,
                           const std::string& where);
    // Checks the tile size and works out the columns from the real image width.
    static void finishTileset(Tiled::Tileset& tileset, const std::string& where);

  private:
    TilesetParser parseTileset_;
};
