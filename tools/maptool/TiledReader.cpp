#include "TiledReader.h"

#include "TiledError.h"
#include "TiledJson.h"
#include "TiledSources.h"
#include "TiledXml.h"

#include <new>

namespace {

// An external tileset may be written in either format, whatever the map's own.
void parseTileset(TiledSources& sources, const std::string& text, const std::string& path,
                  Tiled::Tileset& tileset) {
    if (TiledSources::formatOf(text) == '<')
        TiledXml(sources).readTileset(text, path, tileset);
    else
        TiledJson(sources).readTileset(text, path, tileset);
}

} // namespace

bool TiledReader::read(const std::string& path, Tiled::Map& map) {
    try {
        return readText(TiledSources::readText(path, path), path, map);
    } catch (const TiledError& e) {
        error_ = e.what();
        return false;
    }
}

bool TiledReader::readText(const std::string& text, const std::string& path, Tiled::Map& map) {
    error_.clear();
    try {
        TiledSources sources(parseTileset);
        switch (TiledSources::formatOf(text)) {
        case '<':
            TiledXml(sources).readMap(text, path, map);
            break;
        case '{':
            TiledJson(sources).readMap(text, path, map);
            break;
        default:
            throw TiledError(path + ": neither XML nor JSON (the first character is not '<' or "
                                    "'{')");
        }
        return true;
    } catch (const TiledError& e) {
        error_ = e.what();
    } catch (const std::bad_alloc&) {
        error_ = path + ": out of memory";
    }
    map = Tiled::Map();
    return false;
}
