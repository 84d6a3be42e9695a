#include "TiledXml.h"

#include "TiledData.h"
#include "TiledError.h"
#include "TiledGroup.h"
#include "TiledSources.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// `<layer name="Ground">`, or `<tag>` for an element without a name or id.
std::string label(pugi::xml_node node) {
    std::string text = std::string("<") + node.name();
    if (const pugi::xml_attribute name = node.attribute("name"))
        text += std::string(" name=\"") + name.value() + "\"";
    else if (const pugi::xml_attribute id = node.attribute("id"))
        text += std::string(" id=\"") + id.value() + "\"";
    return text + ">";
}

long long integerOf(pugi::xml_node node, const char* name, long long fallback, long long lowest,
                    long long highest, const std::string& where) {
    const pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute)
        return fallback;
    const char* text = attribute.value();
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text, &end, 10);
    if (*text == '\0' || *end != '\0' || errno != 0 || value < lowest || value > highest)
        throw TiledError(where + ": " + name + "=\"" + text + "\" is not a whole number in " +
                         std::to_string(lowest) + ".." + std::to_string(highest));
    return value;
}

int intOf(pugi::xml_node node, const char* name, int fallback, int lowest, int highest,
          const std::string& where) {
    return static_cast<int>(integerOf(node, name, fallback, lowest, highest, where));
}

double realOf(pugi::xml_node node, const char* name, double fallback, const std::string& where) {
    const pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute)
        return fallback;
    const char* text = attribute.value();
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (*text == '\0' || *end != '\0' || !std::isfinite(value))
        throw TiledError(where + ": " + name + "=\"" + text + "\" is not a number");
    return value;
}

bool boolOf(pugi::xml_node node, const char* name, bool fallback, const std::string& where) {
    const pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute)
        return fallback;
    const std::string text = attribute.value();
    if (text == "1" || text == "true")
        return true;
    if (text == "0" || text == "false")
        return false;
    throw TiledError(where + ": " + name + "=\"" + text + "\" is not 0 or 1");
}

std::uint32_t gidOf(pugi::xml_node node, const char* name, const std::string& where) {
    const pugi::xml_attribute attribute = node.attribute(name);
    std::uint32_t gid = 0;
    if (attribute && !TiledData::parseGid(attribute.value(), gid))
        throw TiledError(where + ": " + name + "=\"" + attribute.value() +
                         "\" is not a tile number");
    return gid;
}

// "type" up to Tiled 1.8 and again from 1.10, "class" in 1.9.
std::string classOf(pugi::xml_node node) {
    const std::string type = node.attribute("type").value();
    return type.empty() ? node.attribute("class").value() : type;
}

std::vector<Tiled::Property> propertiesOf(pugi::xml_node node) {
    std::vector<Tiled::Property> properties;
    for (const pugi::xml_node property : node.child("properties").children("property")) {
        Tiled::Property p;
        p.name = property.attribute("name").value();
        p.type = property.attribute("type") ? property.attribute("type").value() : "string";
        if (p.type == "class")
            continue;
        // A multi-line text is written as the element's content instead of a value.
        p.value = property.attribute("value") ? property.attribute("value").value()
                                              : property.child_value();
        properties.push_back(std::move(p));
    }
    return properties;
}

} // namespace

std::string TiledXml::where(pugi::xml_node node) const {
    // The element and up to two of its ancestors below <map>: enough to find it.
    std::string chain;
    int shown = 0;
    for (pugi::xml_node n = node; n && n.type() == pugi::node_element && n.parent().parent();
         n = n.parent()) {
        if (shown++ == 3) {
            chain = "... " + chain;
            break;
        }
        chain = label(n) + (chain.empty() ? "" : " ") + chain;
    }
    if (chain.empty())
        chain = label(node);
    return file_ + ": " + chain;
}

pugi::xml_node TiledXml::parse(const std::string& text, const char* rootName) {
    const pugi::xml_parse_result result = document_.load_buffer(text.data(), text.size());
    if (!result)
        throw TiledError(file_ + ": malformed XML at byte " + std::to_string(result.offset) + ": " +
                         result.description());
    const pugi::xml_node root = document_.document_element();
    if (std::strcmp(root.name(), rootName) != 0)
        throw TiledError(file_ + ": the root element is <" + root.name() + ">, not <" + rootName +
                         ">");
    return root;
}

void TiledXml::readMap(const std::string& text, const std::string& path, Tiled::Map& map) {
    file_ = path;
    const pugi::xml_node root = parse(text, "map");
    const std::string at = file_ + ": <map>";
    map = Tiled::Map();
    map.file = path;
    map.orientation = root.attribute("orientation").as_string("orthogonal");
    map.renderOrder = root.attribute("renderorder").as_string("right-down");
    if (map.orientation == "staggered" || map.orientation == "hexagonal") {
        map.staggerAxis = root.attribute("staggeraxis").as_string("y");
        map.staggerIndex = root.attribute("staggerindex").as_string("odd");
    }
    map.width = intOf(root, "width", 0, 0, 1 << 24, at);
    map.height = intOf(root, "height", 0, 0, 1 << 24, at);
    map.tileWidth = intOf(root, "tilewidth", 0, 0, 1 << 16, at);
    map.tileHeight = intOf(root, "tileheight", 0, 0, 1 << 16, at);
    map.infinite = boolOf(root, "infinite", false, at);
    map.properties = propertiesOf(root);
    cellsRead_ = 0;
    for (const pugi::xml_node child : root.children()) {
        const std::string name = child.name();
        if (name == "tileset")
            readMapTileset(child, map);
        else if (name == "layer" || name == "objectgroup" || name == "imagelayer" ||
                 name == "group")
            readLayer(child, TiledGroup(), map);
    }
    std::stable_sort(
        map.tilesets.begin(), map.tilesets.end(),
        [](const Tiled::Tileset& a, const Tiled::Tileset& b) { return a.firstGid < b.firstGid; });
}

void TiledXml::readTileset(const std::string& text, const std::string& path,
                           Tiled::Tileset& tileset) {
    file_ = path;
    readTilesetElement(parse(text, "tileset"), tileset);
}

void TiledXml::readMapTileset(pugi::xml_node node, Tiled::Map& map) {
    Tiled::Tileset tileset;
    tileset.firstGid = gidOf(node, "firstgid", where(node));
    if (tileset.firstGid == 0)
        throw TiledError(where(node) + ": firstgid must be 1 or more");
    if (const pugi::xml_attribute source = node.attribute("source"))
        sources_.readTileset(TiledSources::resolve(file_, source.value()), where(node), tileset);
    else
        readTilesetElement(node, tileset);
    map.tilesets.push_back(std::move(tileset));
}

void TiledXml::readTilesetElement(pugi::xml_node node, Tiled::Tileset& tileset) {
    const std::string at = where(node);
    tileset.file = file_;
    tileset.name = node.attribute("name").value();
    tileset.tileWidth = intOf(node, "tilewidth", 0, 0, 1 << 16, at);
    tileset.tileHeight = intOf(node, "tileheight", 0, 0, 1 << 16, at);
    tileset.margin = intOf(node, "margin", 0, 0, 1 << 16, at);
    tileset.spacing = intOf(node, "spacing", 0, 0, 1 << 16, at);
    tileset.tileCount = intOf(node, "tilecount", 0, 0, 1 << 28, at);
    tileset.columns = intOf(node, "columns", 0, 0, 1 << 28, at);
    tileset.objectAlignment = node.attribute("objectalignment").as_string("unspecified");
    if (const pugi::xml_node offset = node.child("tileoffset")) {
        tileset.offsetX = intOf(offset, "x", 0, -(1 << 16), 1 << 16, where(offset));
        tileset.offsetY = intOf(offset, "y", 0, -(1 << 16), 1 << 16, where(offset));
    }
    if (const pugi::xml_node image = node.child("image")) {
        if (!image.attribute("source"))
            throw TiledError(where(image) + ": images held inside the file are not supported");
        tileset.image =
            sources_.readImage(TiledSources::resolve(file_, image.attribute("source").value()),
                               image.attribute("trans").value(), where(image));
    }
    for (const pugi::xml_node tile : node.children("tile"))
        tileset.tiles.push_back(readTile(tile));
    TiledSources::finishTileset(tileset, at);
}

Tiled::Tile TiledXml::readTile(pugi::xml_node node) {
    const std::string at = where(node);
    Tiled::Tile tile;
    tile.id = intOf(node, "id", 0, 0, (1 << 28) - 1, at);
    tile.type = classOf(node);
    tile.properties = propertiesOf(node);
    if (const pugi::xml_node image = node.child("image")) {
        if (!image.attribute("source"))
            throw TiledError(where(image) + ": images held inside the file are not supported");
        tile.image =
            sources_.readImage(TiledSources::resolve(file_, image.attribute("source").value()),
                               image.attribute("trans").value(), where(image));
    }
    tile.x = intOf(node, "x", 0, 0, 1 << 16, at);
    tile.y = intOf(node, "y", 0, 0, 1 << 16, at);
    tile.width = intOf(node, "width", 0, 0, 1 << 16, at);
    tile.height = intOf(node, "height", 0, 0, 1 << 16, at);
    for (const pugi::xml_node frame : node.child("animation").children("frame"))
        tile.animation.push_back({intOf(frame, "tileid", 0, 0, (1 << 28) - 1, where(frame)),
                                  intOf(frame, "duration", 0, 0, 1 << 30, where(frame))});
    return tile;
}

void TiledXml::readLayer(pugi::xml_node node, const TiledGroup& group, Tiled::Map& map) {
    const std::string at = where(node);
    if (group.depth() >= TiledGroup::maxDepth)
        throw TiledError(at + ": groups nested deeper than " +
                         std::to_string(TiledGroup::maxDepth));
    Tiled::Layer layer;
    layer.name = node.attribute("name").value();
    layer.visible = boolOf(node, "visible", true, at);
    layer.opacity = realOf(node, "opacity", 1.0, at);
    layer.tint = node.attribute("tintcolor").value();
    layer.offsetX = realOf(node, "offsetx", 0, at);
    layer.offsetY = realOf(node, "offsety", 0, at);
    layer.parallaxX = realOf(node, "parallaxx", 1.0, at);
    layer.parallaxY = realOf(node, "parallaxy", 1.0, at);
    layer.properties = propertiesOf(node);

    const std::string kind = node.name();
    if (kind == "group") {
        const TiledGroup inner = group.inner(layer);
        for (const pugi::xml_node child : node.children()) {
            const std::string name = child.name();
            if (name == "layer" || name == "objectgroup" || name == "imagelayer" || name == "group")
                readLayer(child, inner, map);
        }
        return;
    }
    if (kind == "layer") {
        layer.kind = Tiled::LayerKind::Tiles;
        readTileData(node, map, layer);
    } else if (kind == "objectgroup") {
        layer.kind = Tiled::LayerKind::Objects;
        for (const pugi::xml_node object : node.children("object"))
            layer.objects.push_back(readObject(object));
    } else {
        layer.kind = Tiled::LayerKind::Image;
        const pugi::xml_node image = node.child("image");
        if (image && image.attribute("source"))
            layer.imagePath = TiledSources::resolve(file_, image.attribute("source").value());
    }
    group.apply(layer);
    map.layers.push_back(std::move(layer));
}

void TiledXml::readTileData(pugi::xml_node node, const Tiled::Map& map, Tiled::Layer& layer) {
    const std::string at = where(node);
    const pugi::xml_node data = node.child("data");
    if (!data)
        throw TiledError(at + ": no <data>");
    if (map.infinite && data.child("chunk")) {
        std::vector<TiledData::Chunk> chunks;
        std::size_t cells = 0;
        for (const pugi::xml_node chunkNode : data.children("chunk")) {
            const std::string chunkAt = where(chunkNode);
            TiledData::Chunk chunk;
            chunk.x = integerOf(chunkNode, "x", 0, -(1 << 30), 1 << 30, chunkAt);
            chunk.y = integerOf(chunkNode, "y", 0, -(1 << 30), 1 << 30, chunkAt);
            chunk.width = integerOf(chunkNode, "width", 0, 0, 1 << 24, chunkAt);
            chunk.height = integerOf(chunkNode, "height", 0, 0, 1 << 24, chunkAt);
            cells += static_cast<std::size_t>(chunk.width * chunk.height);
            if (cells > TiledData::maxCells)
                throw TiledError(chunkAt + ": the chunks hold more than " +
                                 std::to_string(TiledData::maxCells) + " cells");
            // A chunk's content is encoded as its <data> is.
            chunk.gids =
                readData(chunkNode, data, static_cast<std::size_t>(chunk.width * chunk.height));
            chunks.push_back(std::move(chunk));
        }
        TiledData decoder;
        if (!decoder.assemble(chunks, layer.left, layer.top, layer.width, layer.height, layer.gids))
            throw TiledError(where(data) + ": " + decoder.error());
    } else {
        layer.width = intOf(node, "width", map.width, 0, 1 << 24, at);
        layer.height = intOf(node, "height", map.height, 0, 1 << 24, at);
        const std::size_t cells =
            static_cast<std::size_t>(layer.width) * static_cast<std::size_t>(layer.height);
        if (cells > TiledData::maxCells)
            throw TiledError(at + ": " + std::to_string(layer.width) + " x " +
                             std::to_string(layer.height) + " cells are more than the " +
                             std::to_string(TiledData::maxCells) + " a layer may hold");
        layer.gids = readData(data, data, cells);
    }
    cellsRead_ += layer.gids.size();
    if (cellsRead_ > TiledData::maxMapCells)
        throw TiledError(at + ": the layers hold more than " +
                         std::to_string(TiledData::maxMapCells) + " cells in all");
}

std::vector<std::uint32_t> TiledXml::readData(pugi::xml_node dataNode, pugi::xml_node format,
                                              std::size_t cells) {
    const std::string at = where(dataNode);
    const std::string encoding = format.attribute("encoding").value();
    std::vector<std::uint32_t> gids;
    if (encoding.empty()) {
        // The old form: one <tile gid="..."/> per cell.
        for (const pugi::xml_node tile : dataNode.children("tile")) {
            if (gids.size() == cells)
                throw TiledError(at + ": more than " + std::to_string(cells) + " <tile> elements");
            gids.push_back(gidOf(tile, "gid", where(tile)));
        }
        if (gids.size() != cells)
            throw TiledError(at + ": " + std::to_string(gids.size()) +
                             " <tile> elements, expected " + std::to_string(cells));
        return gids;
    }
    TiledData decoder;
    if (!decoder.decode(dataNode.child_value(), encoding, format.attribute("compression").value(),
                        cells, gids))
        throw TiledError(at + ": " + decoder.error());
    return gids;
}

Tiled::Object TiledXml::readObject(pugi::xml_node node) {
    const std::string at = where(node);
    Tiled::Object object;
    object.id = intOf(node, "id", 0, 0, 1 << 30, at);
    object.name = node.attribute("name").value();
    object.type = classOf(node);
    object.x = realOf(node, "x", 0, at);
    object.y = realOf(node, "y", 0, at);
    object.width = realOf(node, "width", 0, at);
    object.height = realOf(node, "height", 0, at);
    object.gid = gidOf(node, "gid", at);
    object.visible = boolOf(node, "visible", true, at);
    object.properties = propertiesOf(node);
    return object;
}
