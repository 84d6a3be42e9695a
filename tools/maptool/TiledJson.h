#pragma once

#include "TiledMap.h"

#include <nlohmann/json.hpp>

#include <string>

class TiledGroup;
class TiledSources;

// Reads Tiled's JSON files: TMJ maps and TSJ tilesets. Keys Tiled leaves out get Tiled's
// defaults; unknown keys are passed over. Faults throw a TiledError that names the file and
// the element by its place in the file ("layers[1] \"Ground\"").
class TiledJson {
  public:
    explicit TiledJson(TiledSources& sources) : sources_(sources) {}

    void readMap(const std::string& text, const std::string& path, Tiled::Map& map);
    void readTileset(const std::string& text, const std::string& path, Tiled::Tileset& tileset);

  private:
    nlohmann::json parse(const std::string& text, const char* type);
    void readMapTileset(const nlohmann::json& value, const std::string& at, Tiled::Map& map);
    void readTilesetObject(const nlohmann::json& value, const std::string& at,
                           Tiled::Tileset& tileset);
    Tiled::Tile readTile(const nlohmann::json& value, const std::string& at);
    void readLayers(const nlohmann::json& parent, const std::string& at, const TiledGroup& group,
                    Tiled::Map& map);
    void readLayer(const nlohmann::json& value, const std::string& at, const TiledGroup& group,
                   Tiled::Map& map);
    void readTileData(const nlohmann::json& value, const std::string& at, const Tiled::Map& map,
                      Tiled::Layer& layer);
    std::vector<std::uint32_t> readData(const nlohmann::json& data, const nlohmann::json& layer,
                                        const std::string& at, std::size_t cells);
    Tiled::Object readObject(const nlohmann::json& value, const std::string& at);

    TiledSources& sources_;
    std::string file_;
    std::size_t cellsRead_ = 0;
};
