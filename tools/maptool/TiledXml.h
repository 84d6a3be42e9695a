#pragma once

#include "TiledMap.h"

#include <pugixml.hpp>

#include <string>

class TiledGroup;
class TiledSources;

// Reads Tiled's XML files: TMX maps and TSX tilesets. Attributes Tiled leaves out get Tiled's
// defaults; unknown elements and attributes are passed over. Faults throw a TiledError that
// names the file and the element.
class TiledXml {
  public:
    explicit TiledXml(TiledSources& sources) : sources_(sources) {}

    void readMap(const std::string& text, const std::string& path, Tiled::Map& map);
    void readTileset(const std::string& text, const std::string& path, Tiled::Tileset& tileset);

  private:
    pugi::xml_node parse(const std::string& text, const char* rootName);
    void readMapTileset(pugi::xml_node node, Tiled::Map& map);
    void readTilesetElement(pugi::xml_node node, Tiled::Tileset& tileset);
    Tiled::Tile readTile(pugi::xml_node node);
    void readLayer(pugi::xml_node node, const TiledGroup& group, Tiled::Map& map);
    void readTileData(pugi::xml_node layerNode, const Tiled::Map& map, Tiled::Layer& layer);
    // The cells of a <data> or <chunk>, encoded as `format` (the <data>) says.
    std::vector<std::uint32_t> readData(pugi::xml_node dataNode, pugi::xml_node format,
                                        std::size_t cells);
    Tiled::Object readObject(pugi::xml_node node);
    std::string where(pugi::xml_node node) const;

    TiledSources& sources_;
    pugi::xml_document document_;
    std::string file_;
    std::size_t cellsRead_ = 0;
};
