#include "TiledJson.h"

#include "TiledData.h"
#include "TiledError.h"
#include "TiledGroup.h"
#include "TiledSources.h"

#include <algorithm>
#include <cmath>

using json = nlohmann::json;

namespace {

std::string describe(const json& value) {
    std::string text = value.dump(-1, ' ', false, json::error_handler_t::replace);
    if (text.size() > 30)
        text = text.substr(0, 27) + "...";
    return text;
}

const json* member(const json& object, const char* key) {
    if (!object.is_object())
        return nullptr;
    const auto found = object.find(key);
    return found == object.end() || found->is_null() ? nullptr : &*found;
}

long long integerOf(const json& object, const char* key, long long fallback, long long lowest,
                    long long highest, const std::string& at) {
    const json* value = member(object, key);
    if (value == nullptr)
        return fallback;
    double number = 0;
    bool whole = false;
    if (value->is_number_unsigned()) {
        const auto u = value->get<unsigned long long>();
        number = u > 1ULL << 62 ? 1e19 : static_cast<double>(u);
        whole = true;
    } else if (value->is_number_integer()) {
        number = static_cast<double>(value->get<long long>());
        whole = true;
    } else if (value->is_number_float()) {
        number = value->get<double>();
        whole = std::isfinite(number) && std::floor(number) == number;
    }
    if (!whole || number < static_cast<double>(lowest) || number > static_cast<double>(highest))
        throw TiledError(at + ": \"" + key + "\" " + describe(*value) +
                         " is not a whole number in " + std::to_string(lowest) + ".." +
                         std::to_string(highest));
    return static_cast<long long>(number);
}

int intOf(const json& object, const char* key, int fallback, int lowest, int highest,
          const std::string& at) {
    return static_cast<int>(integerOf(object, key, fallback, lowest, highest, at));
}

double realOf(const json& object, const char* key, double fallback, const std::string& at) {
    const json* value = member(object, key);
    if (value == nullptr)
        return fallback;
    if (!value->is_number() || !std::isfinite(value->get<double>()))
        throw TiledError(at + ": \"" + key + "\" " + describe(*value) + " is not a number");
    return value->get<double>();
}

bool boolOf(const json& object, const char* key, bool fallback, const std::string& at) {
    const json* value = member(object, key);
    if (value == nullptr)
        return fallback;
    if (value->is_boolean())
        return value->get<bool>();
    if (value->is_number_integer() &&
        (value->get<long long>() == 0 || value->get<long long>() == 1))
        return value->get<long long>() == 1;
    throw TiledError(at + ": \"" + key + "\" " + describe(*value) + " is not true or false");
}

std::string stringOf(const json& object, const char* key, const std::string& fallback,
                     const std::string& at) {
    const json* value = member(object, key);
    if (value == nullptr)
        return fallback;
    if (!value->is_string())
        throw TiledError(at + ": \"" + key + "\" " + describe(*value) + " is not a text");
    return value->get<std::string>();
}

std::uint32_t gidOf(const json& value, const std::string& at) {
    // JSON parsers keep every non-negative whole number as unsigned.
    if (!value.is_number_unsigned() || value.get<unsigned long long>() > 0xFFFFFFFFull)
        throw TiledError(at + ": " + describe(value) + " is not a tile number");
    return static_cast<std::uint32_t>(value.get<unsigned long long>());
}

const json& arrayOf(const json& object, const char* key, const std::string& at) {
    static const json empty = json::array();
    const json* value = member(object, key);
    if (value == nullptr)
        return empty;
    if (!value->is_array())
        throw TiledError(at + ": \"" + key + "\" is not an array");
    return *value;
}

const json& objectAt(const json& array, std::size_t i, const std::string& at) {
    if (!array[i].is_object())
        throw TiledError(at + ": " + describe(array[i]) + " is not an object");
    return array[i];
}

// "type" up to Tiled 1.8 and again from 1.10, "class" in 1.9.
std::string classOf(const json& object, const std::string& at) {
    const std::string type = stringOf(object, "type", "", at);
    return type.empty() ? stringOf(object, "class", "", at) : type;
}

std::string nameOf(const json& object) {
    const json* name = member(object, "name");
    return name != nullptr && name->is_string() ? " \"" + name->get<std::string>() + "\"" : "";
}

std::vector<Tiled::Property> propertiesOf(const json& object, const std::string& at) {
    std::vector<Tiled::Property> properties;
    const json& list = arrayOf(object, "properties", at);
    for (std::size_t i = 0; i < list.size(); ++i) {
        const std::string pAt = at + " properties[" + std::to_string(i) + "]";
        const json& entry = objectAt(list, i, pAt);
        Tiled::Property p;
        p.name = stringOf(entry, "name", "", pAt);
        p.type = stringOf(entry, "type", "string", pAt);
        if (p.type == "class")
            continue;
        const json* value = member(entry, "value");
        if (value == nullptr)
            p.value = "";
        else if (value->is_string())
            p.value = value->get<std::string>();
        else if (value->is_boolean())
            p.value = value->get<bool>() ? "true" : "false";
        else if (value->is_number())
            p.value = value->dump();
        else
            throw TiledError(pAt + ": the value " + describe(*value) + " is not a plain value");
        properties.push_back(std::move(p));
    }
    return properties;
}

} // namespace

json TiledJson::parse(const std::string& text, const char* type) {
    json root;
    try {
        root = json::parse(text);
    } catch (const json::exception& e) {
        std::string reason = e.what();
        const auto bracket = reason.find("] ");
        throw TiledError(file_ + ": malformed JSON: " +
                         (bracket == std::string::npos ? reason : reason.substr(bracket + 2)));
    }
    if (!root.is_object())
        throw TiledError(file_ + ": the top level is not an object");
    const std::string kind = stringOf(root, "type", type, file_);
    if (kind != type)
        throw TiledError(file_ + ": the file is a " + kind + ", not a " + type);
    return root;
}

void TiledJson::readMap(const std::string& text, const std::string& path, Tiled::Map& map) {
    file_ = path;
    const json root = parse(text, "map");
    const std::string at = file_ + ": map";
    map = Tiled::Map();
    map.file = path;
    map.orientation = stringOf(root, "orientation", "orthogonal", at);
    map.renderOrder = stringOf(root, "renderorder", "right-down", at);
    if (map.orientation == "staggered" || map.orientation == "hexagonal") {
        map.staggerAxis = stringOf(root, "staggeraxis", "y", at);
        map.staggerIndex = stringOf(root, "staggerindex", "odd", at);
    }
    map.width = intOf(root, "width", 0, 0, 1 << 24, at);
    map.height = intOf(root, "height", 0, 0, 1 << 24, at);
    map.tileWidth = intOf(root, "tilewidth", 0, 0, 1 << 16, at);
    map.tileHeight = intOf(root, "tileheight", 0, 0, 1 << 16, at);
    map.infinite = boolOf(root, "infinite", false, at);
    map.properties = propertiesOf(root, at);
    cellsRead_ = 0;
    const json& tilesets = arrayOf(root, "tilesets", at);
    for (std::size_t i = 0; i < tilesets.size(); ++i) {
        const std::string tAt = file_ + ": tilesets[" + std::to_string(i) + "]";
        readMapTileset(objectAt(tilesets, i, tAt), tAt, map);
    }
    readLayers(root, file_ + ": ", TiledGroup(), map);
    std::stable_sort(
        map.tilesets.begin(), map.tilesets.end(),
        [](const Tiled::Tileset& a, const Tiled::Tileset& b) { return a.firstGid < b.firstGid; });
}

void TiledJson::readTileset(const std::string& text, const std::string& path,
                            Tiled::Tileset& tileset) {
    file_ = path;
    readTilesetObject(parse(text, "tileset"), file_ + ": tileset", tileset);
}

void TiledJson::readMapTileset(const json& value, const std::string& at, Tiled::Map& map) {
    Tiled::Tileset tileset;
    const long long firstGid = integerOf(value, "firstgid", 1, 1, 0x0FFFFFFF, at);
    tileset.firstGid = static_cast<std::uint32_t>(firstGid);
    if (member(value, "source") != nullptr)
        sources_.readTileset(TiledSources::resolve(file_, stringOf(value, "source", "", at)), at,
                             tileset);
    else
        readTilesetObject(value, at + nameOf(value), tileset);
    map.tilesets.push_back(std::move(tileset));
}

void TiledJson::readTilesetObject(const json& value, const std::string& at,
                                  Tiled::Tileset& tileset) {
    tileset.file = file_;
    tileset.name = stringOf(value, "name", "", at);
    tileset.tileWidth = intOf(value, "tilewidth", 0, 0, 1 << 16, at);
    tileset.tileHeight = intOf(value, "tileheight", 0, 0, 1 << 16, at);
    tileset.margin = intOf(value, "margin", 0, 0, 1 << 16, at);
    tileset.spacing = intOf(value, "spacing", 0, 0, 1 << 16, at);
    tileset.tileCount = intOf(value, "tilecount", 0, 0, 1 << 28, at);
    tileset.columns = intOf(value, "columns", 0, 0, 1 << 28, at);
    tileset.objectAlignment = stringOf(value, "objectalignment", "unspecified", at);
    if (const json* offset = member(value, "tileoffset")) {
        tileset.offsetX = intOf(*offset, "x", 0, -(1 << 16), 1 << 16, at + " tileoffset");
        tileset.offsetY = intOf(*offset, "y", 0, -(1 << 16), 1 << 16, at + " tileoffset");
    }
    const std::string image = stringOf(value, "image", "", at);
    if (!image.empty())
        tileset.image = sources_.readImage(TiledSources::resolve(file_, image),
                                           stringOf(value, "transparentcolor", "", at), at);
    const json& tiles = arrayOf(value, "tiles", at);
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        const std::string tAt = at + " tiles[" + std::to_string(i) + "]";
        tileset.tiles.push_back(readTile(objectAt(tiles, i, tAt), tAt));
    }
    TiledSources::finishTileset(tileset, at);
}

Tiled::Tile TiledJson::readTile(const json& value, const std::string& at) {
    Tiled::Tile tile;
    tile.id = intOf(value, "id", 0, 0, (1 << 28) - 1, at);
    tile.type = classOf(value, at);
    tile.properties = propertiesOf(value, at);
    const std::string image = stringOf(value, "image", "", at);
    if (!image.empty())
        tile.image = sources_.readImage(TiledSources::resolve(file_, image),
                                        stringOf(value, "transparentcolor", "", at), at);
    tile.x = intOf(value, "x", 0, 0, 1 << 16, at);
    tile.y = intOf(value, "y", 0, 0, 1 << 16, at);
    tile.width = intOf(value, "width", 0, 0, 1 << 16, at);
    tile.height = intOf(value, "height", 0, 0, 1 << 16, at);
    const json& frames = arrayOf(value, "animation", at);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const std::string fAt = at + " animation[" + std::to_string(i) + "]";
        const json& frame = objectAt(frames, i, fAt);
        tile.animation.push_back({intOf(frame, "tileid", 0, 0, (1 << 28) - 1, fAt),
                                  intOf(frame, "duration", 0, 0, 1 << 30, fAt)});
    }
    return tile;
}

void TiledJson::readLayers(const json& parent, const std::string& at, const TiledGroup& group,
                           Tiled::Map& map) {
    if (group.depth() >= TiledGroup::maxDepth)
        throw TiledError(at + ": groups nested deeper than " +
                         std::to_string(TiledGroup::maxDepth));
    const json& layers = arrayOf(parent, "layers", at);
    for (std::size_t i = 0; i < layers.size(); ++i) {
        std::string lAt = at + (at.back() == ' ' ? "" : " ") + "layers[" + std::to_string(i) + "]";
        const json& layer = objectAt(layers, i, lAt);
        readLayer(layer, lAt + nameOf(layer), group, map);
    }
}

void TiledJson::readLayer(const json& value, const std::string& at, const TiledGroup& group,
                          Tiled::Map& map) {
    Tiled::Layer layer;
    layer.name = stringOf(value, "name", "", at);
    layer.visible = boolOf(value, "visible", true, at);
    layer.opacity = realOf(value, "opacity", 1.0, at);
    layer.tint = stringOf(value, "tintcolor", "", at);
    layer.offsetX = realOf(value, "offsetx", 0, at);
    layer.offsetY = realOf(value, "offsety", 0, at);
    layer.parallaxX = realOf(value, "parallaxx", 1.0, at);
    layer.parallaxY = realOf(value, "parallaxy", 1.0, at);
    layer.properties = propertiesOf(value, at);

    const std::string kind = stringOf(value, "type", "", at);
    if (kind == "group") {
        readLayers(value, at, group.inner(layer), map);
        return;
    }
    if (kind == "tilelayer") {
        layer.kind = Tiled::LayerKind::Tiles;
        readTileData(value, at, map, layer);
    } else if (kind == "objectgroup") {
        layer.kind = Tiled::LayerKind::Objects;
        const json& objects = arrayOf(value, "objects", at);
        for (std::size_t i = 0; i < objects.size(); ++i) {
            const std::string oAt = at + " objects[" + std::to_string(i) + "]";
            layer.objects.push_back(readObject(objectAt(objects, i, oAt), oAt));
        }
    } else if (kind == "imagelayer") {
        layer.kind = Tiled::LayerKind::Image;
        const std::string image = stringOf(value, "image", "", at);
        if (!image.empty())
            layer.imagePath = TiledSources::resolve(file_, image);
    } else {
        throw TiledError(at + ": unknown layer type \"" + kind + "\"");
    }
    group.apply(layer);
    map.layers.push_back(std::move(layer));
}

void TiledJson::readTileData(const json& value, const std::string& at, const Tiled::Map& map,
                             Tiled::Layer& layer) {
    if (map.infinite && member(value, "chunks") != nullptr) {
        const json& list = arrayOf(value, "chunks", at);
        std::vector<TiledData::Chunk> chunks;
        std::size_t cells = 0;
        for (std::size_t i = 0; i < list.size(); ++i) {
            const std::string cAt = at + " chunks[" + std::to_string(i) + "]";
            const json& entry = objectAt(list, i, cAt);
            TiledData::Chunk chunk;
            chunk.x = integerOf(entry, "x", 0, -(1 << 30), 1 << 30, cAt);
            chunk.y = integerOf(entry, "y", 0, -(1 << 30), 1 << 30, cAt);
            chunk.width = integerOf(entry, "width", 0, 0, 1 << 24, cAt);
            chunk.height = integerOf(entry, "height", 0, 0, 1 << 24, cAt);
            cells += static_cast<std::size_t>(chunk.width * chunk.height);
            if (cells > TiledData::maxCells)
                throw TiledError(cAt + ": the chunks hold more than " +
                                 std::to_string(TiledData::maxCells) + " cells");
            const json* data = member(entry, "data");
            if (data == nullptr)
                throw TiledError(cAt + ": no \"data\"");
            chunk.gids =
                readData(*data, value, cAt, static_cast<std::size_t>(chunk.width * chunk.height));
            chunks.push_back(std::move(chunk));
        }
        TiledData decoder;
        if (!decoder.assemble(chunks, layer.left, layer.top, layer.width, layer.height, layer.gids))
            throw TiledError(at + ": " + decoder.error());
    } else {
        layer.width = intOf(value, "width", map.width, 0, 1 << 24, at);
        layer.height = intOf(value, "height", map.height, 0, 1 << 24, at);
        const std::size_t cells =
            static_cast<std::size_t>(layer.width) * static_cast<std::size_t>(layer.height);
        if (cells > TiledData::maxCells)
            throw TiledError(at + ": " + std::to_string(layer.width) + " x " +
                             std::to_string(layer.height) + " cells are more than the " +
                             std::to_string(TiledData::maxCells) + " a layer may hold");
        const json* data = member(value, "data");
        if (data == nullptr)
            throw TiledError(at + ": no \"data\"");
        layer.gids = readData(*data, value, at, cells);
    }
    cellsRead_ += layer.gids.size();
    if (cellsRead_ > TiledData::maxMapCells)
        throw TiledError(at + ": the layers hold more than " +
                         std::to_string(TiledData::maxMapCells) + " cells in all");
}

std::vector<std::uint32_t> TiledJson::readData(const json& data, const json& layer,
                                               const std::string& at, std::size_t cells) {
    std::vector<std::uint32_t> gids;
    if (data.is_array()) {
        if (data.size() != cells)
            throw TiledError(at + ": \"data\" holds " + std::to_string(data.size()) +
                             " tiles, expected " + std::to_string(cells));
        gids.reserve(cells);
        for (std::size_t i = 0; i < data.size(); ++i)
            gids.push_back(gidOf(data[i], at + " data[" + std::to_string(i) + "]"));
        return gids;
    }
    if (!data.is_string())
        throw TiledError(at + ": \"data\" is neither an array nor a text");
    TiledData decoder;
    if (!decoder.decode(data.get<std::string>(), stringOf(layer, "encoding", "csv", at),
                        stringOf(layer, "compression", "", at), cells, gids))
        throw TiledError(at + ": " + decoder.error());
    return gids;
}

Tiled::Object TiledJson::readObject(const json& value, const std::string& at) {
    Tiled::Object object;
    object.id = intOf(value, "id", 0, 0, 1 << 30, at);
    object.name = stringOf(value, "name", "", at);
    object.type = classOf(value, at);
    object.x = realOf(value, "x", 0, at);
    object.y = realOf(value, "y", 0, at);
    object.width = realOf(value, "width", 0, at);
    object.height = realOf(value, "height", 0, at);
    if (const json* gid = member(value, "gid"))
        object.gid = gidOf(*gid, at + " gid");
    object.visible = boolOf(value, "visible", true, at);
    object.properties = propertiesOf(value, at);
    return object;
}
