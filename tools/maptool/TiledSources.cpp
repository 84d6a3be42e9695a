#include "TiledSources.h"

#include "TiledError.h"
#include "TiledImageLoader.h"
#include "core/HostPath.h"

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

std::string TiledSources::resolve(const std::string& from, const std::string& relative) {
    // Tiled writes slashes; a path with backslashes came from elsewhere: take the host's form.
    std::string joined = relative.find('\\') == std::string::npos ? relative : hostPath(relative);
    const auto slash = from.find_last_of('/');
    if (slash != std::string::npos && !joined.empty() && joined[0] != '/')
        joined = from.substr(0, slash + 1) + joined;
    // "a/../b" becomes "b", as Tiled cleans its paths, so that messages stay short.
    const std::string clean = std::filesystem::path(joined).lexically_normal().string();
    return clean.empty() ? joined : clean;
}

std::string TiledSources::readText(const std::string& path, const std::string& where) {
    // Tiled writes slashes; a backslash path came from elsewhere and needs the host's form.
    const std::string file = path.find('\\') == std::string::npos ? path : hostPath(path);
    struct stat info {};
    if (stat(file.c_str(), &info) != 0)
        throw TiledError(where + ": the file \"" + path + "\" does not exist");
    if (!S_ISREG(info.st_mode))
        throw TiledError(where + ": \"" + path + "\" is not a file");
    if (info.st_size > maxFileBytes)
        throw TiledError(where + ": \"" + path + "\" is larger than " +
                         std::to_string(maxFileBytes >> 20) + " MiB");
    // Only the bytes the file says it holds: a device or a /proc file never holds the reader.
    std::string text(static_cast<std::size_t>(info.st_size), '\0');
    std::ifstream in(file, std::ios::binary);
    if (!in || !in.read(text.data(), static_cast<std::streamsize>(text.size())))
        throw TiledError(where + ": cannot read \"" + path + "\"");
    return text;
}

char TiledSources::formatOf(const std::string& text) {
    std::size_t i = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (i < text.size() &&
           (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n'))
        ++i;
    if (i < text.size() && (text[i] == '<' || text[i] == '{'))
        return text[i];
    return 0;
}

void TiledSources::readTileset(const std::string& path, const std::string& where,
                               Tiled::Tileset& tileset) {
    const std::string text = readText(path, where);
    const std::uint32_t firstGid = tileset.firstGid;
    if (formatOf(text) == 0)
        throw TiledError(path + ": neither XML nor JSON (the tileset named by " + where + ")");
    parseTileset_(*this, text, path, tileset);
    tileset.firstGid = firstGid;
}

Tiled::Image TiledSources::readImage(const std::string& path, const std::string& trans,
                                     const std::string& where) {
    TiledImageLoader loader;
    Tiled::Image image;
    if (!loader.load(path, trans, image))
        throw TiledError(where + ": " + loader.error());
    return image;
}

void TiledSources::finishTileset(Tiled::Tileset& tileset, const std::string& where) {
    if (tileset.tileWidth <= 0 || tileset.tileHeight <= 0)
        throw TiledError(where + ": the tile size " + std::to_string(tileset.tileWidth) + " x " +
                         std::to_string(tileset.tileHeight) + " is not positive");
    if (tileset.margin < 0 || tileset.spacing < 0)
        throw TiledError(where + ": margin and spacing cannot be negative");
    for (const Tiled::Tile& tile : tileset.tiles) {
        const bool outside = tile.image && (tile.x + tile.width > tile.image->width ||
                                            tile.y + tile.height > tile.image->height);
        if (outside)
            throw TiledError(where + ": tile " + std::to_string(tile.id) + ": the rectangle " +
                             std::to_string(tile.width) + " x " + std::to_string(tile.height) +
                             " at " + std::to_string(tile.x) + "," + std::to_string(tile.y) +
                             " lies outside its " + std::to_string(tile.image->width) + " x " +
                             std::to_string(tile.image->height) + " image");
    }
    if (!tileset.image)
        return;
    const long long stepX = static_cast<long long>(tileset.tileWidth) + tileset.spacing;
    const long long stepY = static_cast<long long>(tileset.tileHeight) + tileset.spacing;
    const long long across = tileset.image->width - tileset.margin + tileset.spacing;
    const long long down = tileset.image->height - tileset.margin + tileset.spacing;
    tileset.columns = across > 0 ? static_cast<int>(across / stepX) : 0;
    const long long rows = down > 0 ? down / stepY : 0;
    tileset.tileCount = static_cast<int>(tileset.columns * rows);
}
