#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A map as Tiled saves it (TMX or TMJ, with its TSX or TSJ tilesets), reduced to what an
// import needs. TiledLoader fills it through Tiled's library; TiledImport turns it into our
// map format. Everything is plain data: images are already decoded, paths already resolved,
// groups already flattened.
namespace TiledModel {

struct Rgba {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    std::uint8_t a = 255;
};

// A decoded image, row by row, with the tileset's transparent colour (`trans`) already keyed
// out to alpha 0.
struct Image {
    std::string path; // as the file named it, resolved against that file's folder
    int width = 0;
    int height = 0;
    std::vector<Rgba> pixels;
};

// A custom property; the value is kept as written ("true"/"false" for booleans, decimal text
// for numbers). Class-typed properties are left out.
struct Property {
    std::string name;
    std::string type; // string, int, float, bool, color, file, object
    std::string value;
};

struct Frame {
    int tileId = 0; // local to the tileset
    int durationMs = 0;
};

// One <tile> entry of a tileset: only tiles with something of their own are listed.
struct Tile {
    int id = 0;
    std::string type; // "type" or "class"
    std::vector<Property> properties;
    std::optional<Image> image; // image-collection tilesets
    // The used part of the tile's own image (collections); width 0 means the whole image.
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    std::vector<Frame> animation;
};

struct Tileset {
    std::uint32_t firstGid = 1;
    std::string name;
    std::string file; // the file that holds it (the map, or the TSX/TSJ), for messages
    int tileWidth = 0;
    int tileHeight = 0;
    int margin = 0;
    int spacing = 0;
    int tileCount = 0;
    int columns = 0; // worked out from the image's real width for single-image tilesets
    int offsetX = 0;
    int offsetY = 0;
    // Which point of a tile object's box its x,y is: "unspecified" (the bottom-left on the
    // maps we import), "topleft", "top", "topright", "left", "center", "right",
    // "bottomleft", "bottom" or "bottomright".
    std::string objectAlignment = "unspecified";
    std::optional<Image> image; // single-image tilesets; none for a collection
    std::vector<Tile> tiles;
};

struct Object {
    int id = 0;
    std::string name;
    std::string type; // "type" or "class"
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    std::uint32_t gid = 0; // tile objects; flip bits included
    bool visible = true;
    std::vector<Property> properties;
};

enum class LayerKind { Tiles, Objects, Image };

// The most cells one tile layer may span, so that no map takes memory without end.
constexpr long long mostCells = 1LL << 24;

// One non-empty cell as Tiled's renderer draws it: the map cell, and the point its tiles are
// anchored at (the bottom-left of the cell's box, before the tileset's offset).
struct DrawnCell {
    int x = 0;
    int y = 0;
    double anchorX = 0;
    double anchorY = 0;
};

// One layer after groups are flattened: the values are the effective ones, with every
// enclosing group's visibility, opacity, tint, offset and parallax applied.
struct Layer {
    LayerKind kind = LayerKind::Tiles;
    std::string name; // groups included: "Group/Inner/Name"
    bool visible = true;
    double opacity = 1.0;
    std::string tint; // "" when none (white)
    double offsetX = 0;
    double offsetY = 0;
    double parallaxX = 1.0;
    double parallaxY = 1.0;
    // Tile layers: width x height GIDs, row by row, flip bits included, whose top-left cell is
    // map cell (left, top). Infinite maps give the bounding box of the layer's chunks.
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> gids;
    // The non-empty cells in the order Tiled draws them; empty for models made by hand, which
    // are drawn row by row.
    std::vector<DrawnCell> drawing;
    std::vector<Object> objects; // object layers
    std::string imagePath;       // image layers
    std::vector<Property> properties;
};

struct Map {
    std::string file;
    std::string orientation; // orthogonal, isometric, staggered, hexagonal, as written
    std::string renderOrder;
    std::string staggerAxis;  // "x" or "y"; staggered and hexagonal maps only
    std::string staggerIndex; // "odd" or "even"
    int width = 0;
    int height = 0;
    int tileWidth = 0;
    int tileHeight = 0;
    bool infinite = false;
    std::vector<Property> properties;
    std::vector<Tileset> tilesets; // increasing firstGid
    std::vector<Layer> layers;     // bottom to top, groups flattened depth first
};

// The bits of a GID: the top four are flags, the rest the tile number.
constexpr std::uint32_t flippedHorizontally = 0x80000000u;
constexpr std::uint32_t flippedVertically = 0x40000000u;
constexpr std::uint32_t flippedDiagonally = 0x20000000u;
constexpr std::uint32_t gidFlags = 0xF0000000u;

} // namespace TiledModel
