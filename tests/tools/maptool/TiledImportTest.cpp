#include "TiledImport.h"
#include "NpcScript.h"
#include "TilePicture.h"

#include "map/MapLibrary.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

using MapWriter::Pixel;

namespace {

const TiledModel::Rgba red{255, 0, 0, 255};
const TiledModel::Rgba green{0, 255, 0, 255};
const TiledModel::Rgba blue{0, 0, 255, 255};
const TiledModel::Rgba yellow{255, 255, 0, 255};
const TiledModel::Rgba white{255, 255, 255, 255};

// An image of `count` tiles side by side, each w x h, filled with `fill` and with its four
// corners red (top-left), green (top-right), blue (bottom-left) and yellow (bottom-right).
TiledModel::Image cornerImage(int w, int h, int count, TiledModel::Rgba fill = white) {
    TiledModel::Image image;
    image.width = w * count;
    image.height = h;
    image.pixels.assign(static_cast<std::size_t>(image.width) * h, fill);
    for (int t = 0; t < count; ++t) {
        auto at = [&](int x, int y) -> TiledModel::Rgba& {
            return image.pixels[static_cast<std::size_t>(y) * image.width + t * w + x];
        };
        at(0, 0) = red;
        at(w - 1, 0) = green;
        at(0, h - 1) = blue;
        at(w - 1, h - 1) = yellow;
    }
    return image;
}

TiledModel::Tileset imageTileset(const std::string& name, std::uint32_t firstGid, int w, int h,
                                 int count) {
    TiledModel::Tileset ts;
    ts.name = name;
    ts.firstGid = firstGid;
    ts.tileWidth = w;
    ts.tileHeight = h;
    ts.tileCount = count;
    ts.columns = count;
    ts.image = cornerImage(w, h, count);
    return ts;
}

TiledModel::Layer tileLayer(const std::string& name, int w, int h,
                            std::vector<std::uint32_t> gids) {
    TiledModel::Layer layer;
    layer.name = name;
    layer.width = w;
    layer.height = h;
    layer.gids = std::move(gids);
    return layer;
}

// An orthogonal map of w x h cells of 4 x 4 pixels, one 4 x 4 tileset of four tiles and one
// layer.
TiledModel::Map smallMap(int w, int h, std::vector<std::uint32_t> gids) {
    TiledModel::Map map;
    map.orientation = "orthogonal";
    map.renderOrder = "right-down";
    map.width = w;
    map.height = h;
    map.tileWidth = 4;
    map.tileHeight = 4;
    map.tilesets.push_back(imageTileset("corners", 1, 4, 4, 4));
    map.layers.push_back(tileLayer("Ground", w, h, std::move(gids)));
    return map;
}

TiledImport converted(const TiledModel::Map& map, ImportOptions options = {}) {
    TiledImport import;
    EXPECT_TRUE(import.convert(map, options)) << import.error();
    return import;
}

Pixel pixelAt(const MapWriter::MapContent& content, int graphic, int x, int y) {
    return content.graphics.at(static_cast<std::size_t>(graphic))
        .at(static_cast<std::size_t>(y) * content.blockWidth + x);
}

Pixel opaque(const TiledModel::Rgba& c) {
    return Pixel{c.r, c.g, c.b, 255};
}

bool contains(const std::vector<std::string>& lines, const std::string& part) {
    for (const std::string& line : lines)
        if (line.find(part) != std::string::npos)
            return true;
    return false;
}

// Each flip combination moves the tile's corners as Tiled draws them.
TEST(TiledImportTest, FlipsMoveTheCornersAsTiledDoes) {
    struct Case {
        const char* name;
        std::uint32_t flags;
        TiledModel::Rgba topLeft, topRight, bottomLeft, bottomRight;
    };
    const std::uint32_t h = TiledModel::flippedHorizontally;
    const std::uint32_t v = TiledModel::flippedVertically;
    const std::uint32_t d = TiledModel::flippedDiagonally;
    const Case cases[] = {
        {"none", 0, red, green, blue, yellow},
        {"horizontal", h, green, red, yellow, blue},
        {"vertical", v, blue, yellow, red, green},
        {"both: half turn", h | v, yellow, blue, green, red},
        {"diagonal: transpose", d, red, blue, green, yellow},
        {"diagonal+horizontal: quarter turn clockwise", d | h, blue, red, yellow, green},
        {"diagonal+vertical: quarter turn back", d | v, green, yellow, red, blue},
        {"all three: other diagonal", d | h | v, yellow, green, blue, red},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // The unused fourth flag bit never changes the tile.
        const TiledImport import = converted(smallMap(1, 1, {1u | c.flags | 0x10000000u}));
        const auto& content = import.content();
        ASSERT_EQ(content.graphics.size(), 2u);
        EXPECT_EQ(pixelAt(content, 1, 0, 0), opaque(c.topLeft));
        EXPECT_EQ(pixelAt(content, 1, 3, 0), opaque(c.topRight));
        EXPECT_EQ(pixelAt(content, 1, 0, 3), opaque(c.bottomLeft));
        EXPECT_EQ(pixelAt(content, 1, 3, 3), opaque(c.bottomRight));
    }
}

TEST(TiledImportTest, EachFlipOfATileIsAGraphicOfItsOwn) {
    const TiledImport import =
        converted(smallMap(4, 1, {1, 1 | TiledModel::flippedHorizontally, 1, 2}));
    const auto& content = import.content();
    EXPECT_EQ(content.graphics.size(), 4u); // empty, tile 1, tile 1 mirrored, tile 2
    EXPECT_EQ(content.layers[0], (std::vector<std::int16_t>{1, 2, 1, 3}));
    // A diagonal flip of a tall tile makes it wide, still on the cell's bottom-left.
    TiledModel::Map map = smallMap(1, 1, {1 | TiledModel::flippedDiagonally});
    map.tilesets[0] = imageTileset("tall", 1, 4, 8, 1);
    const TiledImport turned = converted(map);
    const auto& wide = turned.content();
    EXPECT_EQ(wide.blockWidth, 8);
    EXPECT_EQ(wide.blockHeight, 4);
}

// Tiles larger or smaller than the grid, and tile offsets, land where Tiled draws them: the
// picture's bottom-left on the cell's bottom-left, moved by the offset.
TEST(TiledImportTest, TilesAreAnchoredBottomLeftAndMovedByTheirOffset) {
    struct Case {
        const char* name;
        int tileWidth, tileHeight, offsetX, offsetY;
        int blockWidth, blockHeight, left, top, pictureX, pictureY;
    };
    const Case cases[] = {
        {"grid-sized", 4, 4, 0, 0, 4, 4, 0, 0, 0, 0},
        {"tall, moved right and up", 4, 8, 1, -2, 5, 8, 1, 0, 0, 6},
        {"small, sits at the bottom", 2, 2, 0, 0, 2, 4, 0, 2, 0, 0},
        {"moved down and right", 4, 4, 1, 1, 5, 5, 1, 1, 0, 0},
        {"moved left", 4, 4, -3, 0, 4, 4, 0, 0, 3, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TiledModel::Map map = smallMap(2, 2, {0, 1, 1, 0});
        map.tilesets[0] = imageTileset("set", 1, c.tileWidth, c.tileHeight, 1);
        map.tilesets[0].offsetX = c.offsetX;
        map.tilesets[0].offsetY = c.offsetY;
        const TiledImport import = converted(map);
        const auto& content = import.content();
        EXPECT_EQ(content.blockWidth, c.blockWidth);
        EXPECT_EQ(content.blockHeight, c.blockHeight);
        EXPECT_EQ(content.columnStep, 4);
        EXPECT_EQ(content.rowStep, 4);
        EXPECT_EQ(pixelAt(content, 1, c.left, c.top), opaque(red));
        EXPECT_EQ(pixelAt(content, 1, c.left + c.tileWidth - 1, c.top + c.tileHeight - 1),
                  opaque(yellow));
        EXPECT_EQ(import.pictureOffsetX(), c.pictureX);
        EXPECT_EQ(import.pictureOffsetY(), c.pictureY);
        // Another render order only matters where tiles overlap their neighbours.
        map.renderOrder = "left-up";
        const bool overlaps = c.blockWidth > 4 || c.blockHeight > 4;
        EXPECT_EQ(contains(converted(map).warnings(), "render order \"left-up\" is ignored"),
                  overlaps);
    }
}

// Tiled's renderer tells each cell's place and turn; cells the game's grid puts elsewhere, or
// draws in another order where tall tiles overlap, are named in a warning.
TEST(TiledImportTest, CellsTheGameCannotDrawAsTiledDoesAreNamed) {
    TiledModel::Map map = smallMap(3, 1, {1, 1, 1});
    map.tilesets[0] = imageTileset("tall", 1, 4, 8, 1);
    auto& drawing = map.layers[0].drawing;
    drawing = {{0, 0, 0, 4}, {1, 0, 4, 4}, {2, 0, 8, 4}};
    EXPECT_TRUE(converted(map).warnings().empty());
    drawing = {{0, 0, 0, 4}, {2, 0, 8, 4}, {1, 0, 4, 4}};
    EXPECT_EQ(converted(map).warnings(),
              std::vector<std::string>{"layer \"Ground\": cells 1,0 are drawn before tiles that "
                                       "Tiled draws first; where they overlap, the game shows "
                                       "the other tile on top"});
    drawing = {{0, 0, 0, 4}, {1, 0, 5, 4}, {2, 0, 8, 3}};
    EXPECT_EQ(converted(map).warnings(),
              std::vector<std::string>{"layer \"Ground\": cells 1,0, 2,0 lie elsewhere than "
                                       "Tiled draws them: the game's grid cannot place them"});
    // Tiles within their cells never overlap, so their order does not matter.
    map.tilesets[0] = imageTileset("flat", 1, 4, 4, 1);
    drawing = {{2, 0, 8, 4}, {1, 0, 4, 4}, {0, 0, 0, 4}};
    EXPECT_TRUE(converted(map).warnings().empty());
}

// Staggered rows: the game draws a pair of rows per step, the second moved by the stagger,
// and the first half a cell up and left of where Tiled has it, which the graphics make up for.
TEST(TiledImportTest, StaggeredMapsGetTheirStepsAndStagger) {
    struct Case {
        const char* index;
        int tileWidth, tileHeight, mapHeight;
        int columnStep, rowStep, staggerX, staggerY, rows, blockWidth, blockHeight, firstRow;
    };
    const Case cases[] = {
        {"odd", 16, 8, 4, 16, 8, 8, 4, 4, 24, 12, 0},
        {"even", 16, 8, 4, 16, 8, 8, 4, 6, 24, 8, 1},
        {"odd", 16, 8, 3, 16, 8, 8, 4, 4, 24, 12, 0},
        {"odd, odd sizes", 15, 9, 2, 14, 8, 7, 4, 2, 22, 12, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.index) + " " + std::to_string(c.tileWidth));
        TiledModel::Map map =
            smallMap(2, c.mapHeight, std::vector<std::uint32_t>(2 * c.mapHeight, 1));
        map.orientation = "staggered";
        map.staggerAxis = "y";
        map.staggerIndex = c.index[0] == 'o' ? "odd" : "even";
        map.tileWidth = c.tileWidth;
        map.tileHeight = c.tileHeight;
        map.tilesets[0] = imageTileset("diamond", 1, c.tileWidth, c.tileHeight, 1);
        const TiledImport import = converted(map);
        const auto& content = import.content();
        EXPECT_EQ(content.columnStep, c.columnStep);
        EXPECT_EQ(content.rowStep, c.rowStep);
        EXPECT_EQ(content.staggerX, c.staggerX);
        EXPECT_EQ(content.staggerY, c.staggerY);
        EXPECT_EQ(content.mapHeight, c.rows);
        EXPECT_EQ(content.blockWidth, c.blockWidth);
        EXPECT_EQ(content.blockHeight, c.blockHeight);
        EXPECT_EQ(import.pictureOffsetX(), 0);
        EXPECT_EQ(import.pictureOffsetY(), 0);
        const auto& cells = content.layers[0];
        for (int row = 0; row < c.rows; ++row) {
            const bool tiled = row >= c.firstRow && row < c.firstRow + c.mapHeight;
            EXPECT_EQ(cells[static_cast<std::size_t>(row) * 2], tiled ? 1 : 0) << "row " << row;
        }
    }
}

// Frame durations in milliseconds become the delay of a forward loop in 1/60 s ticks: a frame
// shows delay + 1 ticks.
TEST(TiledImportTest, AnimationDelaysComeFromFrameDurations) {
    struct Case {
        const char* name;
        std::vector<int> durations;
        int delay;
        const char* warning; // "" for none
    };
    const Case cases[] = {
        {"100 ms is 6 ticks", {100, 100}, 5, ""},
        {"one tick", {16, 17}, 0, "different"},
        {"shorter than a tick", {1}, 0, ""},
        {"one second", {1000, 1000, 1000}, 59, ""},
        {"mean of 100 and 200 ms", {100, 200}, 8, "different"},
        {"too long", {5000}, 127, "shortened"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TiledModel::Map map = smallMap(2, 1, {1, 2 | TiledModel::flippedHorizontally});
        TiledModel::Tile tile;
        tile.id = 1;
        for (std::size_t i = 0; i < c.durations.size(); ++i)
            tile.animation.push_back({static_cast<int>(i % 4), c.durations[i]});
        map.tilesets[0].tiles.push_back(tile);
        const TiledImport import = converted(map);
        const auto& content = import.content();
        ASSERT_EQ(content.animations.size(), 1u);
        const auto& a = content.animations[0];
        EXPECT_EQ(a.type, 1);
        EXPECT_EQ(a.delay, c.delay);
        EXPECT_EQ(a.current, a.start);
        EXPECT_EQ(a.end - a.start, static_cast<int>(c.durations.size()));
        EXPECT_EQ(content.layers[0][1], -1); // the last (only) record
        // The frames keep the cell's flip: the first frame is tile 0 mirrored.
        const int firstFrame = content.sequence.at(static_cast<std::size_t>(a.start));
        EXPECT_EQ(pixelAt(content, content.blocks[firstFrame].background, 0, 0), opaque(green));
        if (*c.warning != '\0') {
            EXPECT_TRUE(contains(import.warnings(), c.warning));
        } else {
            EXPECT_TRUE(import.warnings().empty());
        }
    }
}

TEST(TiledImportTest, TileLayersFillTheSlotsInOrderAndWhatCannotBeStoredIsNamed) {
    struct Case {
        const char* name;
        int visibleLayers;
        int hiddenLayers;
        const char* error; // "" when the import succeeds
    };
    const Case cases[] = {
        {"one", 1, 0, ""},
        {"eight", 8, 3, ""},
        {"nine", 9, 0, "9 visible tile layers; a map holds at most 8"},
        {"none visible", 0, 2, "the map has no visible tile layer"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TiledModel::Map map = smallMap(1, 1, {1});
        map.layers.clear();
        for (int i = 0; i < c.visibleLayers + c.hiddenLayers; ++i) {
            map.layers.push_back(tileLayer("L" + std::to_string(i), 1, 1, {1u + i % 4}));
            map.layers.back().visible = i < c.visibleLayers;
        }
        TiledImport import;
        ASSERT_EQ(import.convert(map, {}), *c.error == '\0') << import.error();
        EXPECT_EQ(import.error(), c.error);
        if (*c.error != '\0')
            continue;
        int slots = 0;
        for (const auto& layer : import.content().layers)
            slots += layer.empty() ? 0 : 1;
        EXPECT_EQ(slots, c.visibleLayers);
        EXPECT_EQ(import.notes().size(), static_cast<std::size_t>(c.hiddenLayers));
    }

    TiledModel::Map map = smallMap(1, 1, {1});
    map.properties.push_back({"note", "string", "Pond"});
    TiledModel::Layer& ground = map.layers[0];
    ground.opacity = 0.5;
    ground.tint = "#ff0000";
    ground.offsetX = 3;
    ground.parallaxY = 0.5;
    TiledModel::Layer picture;
    picture.kind = TiledModel::LayerKind::Image;
    picture.name = "Sky";
    map.layers.push_back(picture);
    const TiledImport import = converted(map);
    const std::vector<std::string> expected = {
        "layer \"Ground\": opacity 0.5 is ignored",
        "layer \"Ground\": tint #ff0000 is ignored",
        "layer \"Ground\": offset 3,0 is ignored",
        "layer \"Ground\": parallax 1,0.5 is ignored",
        "image layer \"Sky\" cannot be stored in the map and is left out",
    };
    EXPECT_EQ(import.warnings(), expected);
    EXPECT_EQ(import.content().note, "Pond");
}

TEST(TiledImportTest, TransparencyRules) {
    struct Case {
        const char* name;
        TiledModel::Rgba in;
        int depth;
        Pixel out;
        int halfTransparent;
        int keyColoured;
    };
    const Case cases[] = {
        {"clear", {9, 9, 9, 0}, 32, {0, 0, 0, 0}, 0, 0},
        {"alpha just below a half", {9, 9, 9, 127}, 32, {0, 0, 0, 0}, 1, 0},
        {"alpha a half", {9, 9, 9, 128}, 32, {9, 9, 9, 255}, 1, 0},
        {"plain colour", {9, 9, 9, 255}, 32, {9, 9, 9, 255}, 0, 0},
        {"magenta", {255, 0, 255, 255}, 32, {254, 0, 255, 255}, 0, 1},
        {"grey", {64, 64, 64, 255}, 24, {65, 64, 64, 255}, 0, 1},
        {"black", {0, 0, 0, 255}, 32, {1, 0, 0, 255}, 0, 1},
        {"black in a palette", {0, 0, 0, 255}, 8, {0, 0, 0, 255}, 0, 0},
        {"grey rounded at 16 bits is visible", {64, 64, 64, 255}, 16, {64, 64, 64, 255}, 0, 0},
        {"near-magenta that 15 bits round to magenta",
         {250, 2, 251, 255},
         15,
         {247, 2, 251, 255},
         0,
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TilePicture::Counts counts;
        const Pixel out = TilePicture::toBlockPixel(c.in, c.depth, counts);
        EXPECT_EQ(out, c.out);
        EXPECT_EQ(counts.halfTransparent, c.halfTransparent);
        EXPECT_EQ(counts.keyColoured, c.keyColoured);
        EXPECT_TRUE(out.a == 0 || !TilePicture::isKeyColour(out, c.depth));
    }
    // The import reports the counts.
    TiledModel::Map map = smallMap(1, 1, {1});
    map.tilesets[0].image->pixels[1] = {255, 0, 255, 255};
    map.tilesets[0].image->pixels[2] = {9, 9, 9, 100};
    const TiledImport import = converted(map);
    EXPECT_TRUE(contains(import.notes(), "1 half-transparent pixel:"));
    EXPECT_TRUE(contains(import.notes(), "1 opaque pixel in a colour the game makes"));
}

// ... and a bool "solid" sets bit 0 of the flags, whichever comes first.
TEST(TiledImportTest, IntegerTilePropertiesFillTheBlockFields) {
    TiledModel::Map map = smallMap(2, 1, {1, 2});
    TiledModel::Tile tile;
    tile.id = 0;
    tile.properties = {{"solid", "bool", "true"},
                       {"userLong1", "int", "-70000"},
                       {"userLong2", "int", "2147483647"},
                       {"userShort1", "int", "-32768"},
                       {"userShort2", "int", "32767"},
                       {"userByte1", "int", "1"},
                       {"userByte2", "int", "2"},
                       {"userByte3", "int", "255"},
                       {"flags", "int", "16"},
                       {"walkable", "bool", "true"}};
    map.tilesets[0].tiles.push_back(tile);
    tile.id = 1;
    tile.properties = {
        {"flags", "string", "16"}, {"userByte1", "int", "256"}, {"solid", "int", "1"}};
    map.tilesets[0].tiles.push_back(tile);
    const TiledImport import = converted(map);
    const auto& b = import.content().blocks.at(1);
    EXPECT_EQ(b.userLong1, -70000);
    EXPECT_EQ(b.userLong2, 2147483647);
    EXPECT_EQ(b.userShort1, -32768);
    EXPECT_EQ(b.userShort2, 32767);
    EXPECT_EQ(b.userByte1, 1);
    EXPECT_EQ(b.userByte2, 2);
    EXPECT_EQ(b.userByte3, 255);
    EXPECT_EQ(b.flags, 17);
    const auto& other = import.content().blocks.at(2);
    EXPECT_EQ(other.flags, 0);
    EXPECT_EQ(other.userByte1, 0);
    const std::vector<std::string> expected = {
        "tileset \"corners\" tile 1: property \"flags\" is not an int property and is ignored",
        "tileset \"corners\" tile 1: property \"userByte1\": 256 is outside 0..255 and is "
        "ignored",
        "tileset \"corners\" tile 1: property \"solid\" is not a bool property and is ignored"};
    EXPECT_EQ(import.warnings(), expected);
}

TEST(TiledImportTest, NpcObjectsBecomeCharactersAtTheTopLeftOfTheirBox) {
    TiledModel::Map map = smallMap(2, 2, {1, 1, 1, 1});
    TiledModel::Layer people;
    people.kind = TiledModel::LayerKind::Objects;
    people.name = "People";
    auto npc = [](const char* name, double x, double y, double h, std::uint32_t gid) {
        TiledModel::Object o;
        o.name = name;
        o.type = "npc";
        o.x = x;
        o.y = y;
        o.height = h;
        o.gid = gid;
        o.properties = {{"script", "string", "Data\\Scripts\\A.lua"}, {"sprite", "string", "A"}};
        return o;
    };
    people.objects = {npc("Rect", 10.4, 20.6, 96, 0), npc("Tile", 10, 120, 96, 1),
                      npc("Nameless", 0, 0, 0, 0)};
    people.objects[2].name.clear();
    people.objects[1].properties[0].type = "file";
    TiledModel::Object sign;
    sign.name = "Sign";
    people.objects.push_back(sign);
    map.layers.push_back(people);
    const TiledImport import = converted(map);
    ASSERT_EQ(import.spawns().size(), 2u);
    EXPECT_EQ(import.spawns()[0].x, 10);
    EXPECT_EQ(import.spawns()[0].y, 21);
    EXPECT_EQ(import.spawns()[0].script, "Data\\Scripts\\A.lua");
    EXPECT_EQ(import.spawns()[1].x, 10);
    EXPECT_EQ(import.spawns()[1].y, 24);
    EXPECT_TRUE(contains(import.warnings(), "object \"\" (id 0) of layer \"People\""));
    EXPECT_TRUE(contains(import.warnings(), "\"script\" is a file property, kept as "
                                            "\"Data\\Scripts\\A.lua\""));
    EXPECT_TRUE(contains(import.notes(), "1 object not of type npc left out"));
}

TEST(TiledImportTest, TileObjectsAreAnchoredWhereTheirTilesetSays) {
    const std::pair<const char*, std::pair<int, int>> rows[] = {
        {"unspecified", {100, 104}}, {"bottomleft", {100, 104}}, {"topleft", {100, 200}},
        {"top", {52, 200}},          {"center", {52, 152}},      {"bottomright", {4, 104}},
        {"right", {4, 152}},
    };
    for (const auto& [alignment, topLeft] : rows) {
        TiledModel::Map map = smallMap(2, 2, {1, 1, 1, 1});
        map.tilesets[0].objectAlignment = alignment;
        TiledModel::Layer people;
        people.kind = TiledModel::LayerKind::Objects;
        TiledModel::Object o;
        o.name = "Tile";
        o.type = "npc";
        o.x = 100;
        o.y = 200;
        o.width = 96;
        o.height = 96;
        o.gid = 1 | TiledModel::flippedHorizontally;
        o.properties = {{"script", "string", "a.lua"}, {"sprite", "string", "A"}};
        people.objects = {o};
        map.layers.push_back(people);
        const TiledImport import = converted(map);
        ASSERT_EQ(import.spawns().size(), 1u) << alignment;
        EXPECT_EQ(std::make_pair(import.spawns()[0].x, import.spawns()[0].y), topLeft) << alignment;
    }
}

TEST(TiledImportTest, InfiniteMapsAreCutToTheCellsTheirTilesUse) {
    TiledModel::Map map = smallMap(1, 1, {});
    map.infinite = true;
    map.layers[0] = tileLayer("Ground", 4, 3, {0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 2, 0});
    map.layers[0].left = -16;
    map.layers[0].top = -16;
    TiledModel::Layer people;
    people.kind = TiledModel::LayerKind::Objects;
    TiledModel::Object o;
    o.name = "Ann";
    o.type = "npc";
    o.x = -60; // cell -15 starts at pixel -60
    o.y = -60;
    o.properties = {{"script", "string", "s"}, {"sprite", "string", "S"}};
    people.objects.push_back(o);
    map.layers.push_back(people);
    const TiledImport import = converted(map);
    const auto& content = import.content();
    EXPECT_EQ(content.mapWidth, 2);
    EXPECT_EQ(content.mapHeight, 2);
    EXPECT_EQ(content.layers[0], (std::vector<std::int16_t>{1, 0, 0, 2}));
    ASSERT_EQ(import.spawns().size(), 1u);
    EXPECT_EQ(import.spawns()[0].x, 0);
    EXPECT_EQ(import.spawns()[0].y, 0);
}

TEST(TiledImportTest, MapsThatCannotBeImportedGetOneLine) {
    struct Case {
        const char* name;
        void (*change)(TiledModel::Map&);
        const char* error;
    };
    const Case cases[] = {
        {"isometric", [](TiledModel::Map& m) { m.orientation = "isometric"; },
         "orientation \"isometric\" cannot be imported: only orthogonal and staggered (axis y) "
         "maps"},
        {"hexagonal", [](TiledModel::Map& m) { m.orientation = "hexagonal"; },
         "orientation \"hexagonal\" cannot be imported: only orthogonal and staggered (axis y) "
         "maps"},
        {"stagger axis x",
         [](TiledModel::Map& m) {
             m.orientation = "staggered";
             m.staggerAxis = "x";
         },
         "staggered maps with stagger axis x cannot be imported, only axis y"},
        {"tile beyond every tileset", [](TiledModel::Map& m) { m.layers[0].gids[1] = 5; },
         "layer \"Ground\", cell 1,0: tile number 5 is beyond every tileset"},
        {"below the first tileset", [](TiledModel::Map& m) { m.tilesets[0].firstGid = 3; },
         "layer \"Ground\", cell 0,0: tile number 1 is beyond every tileset"},
        {"mixed tile sizes",
         [](TiledModel::Map& m) {
             m.tilesets.push_back(imageTileset("big", 5, 8, 8, 1));
             m.layers[0].gids[1] = 5;
         },
         "mixed tile sizes: tileset \"corners\" tile 0 is 4 x 4 pixels, tileset \"big\" tile 0 "
         "is 8 x 8"},
        {"too wide",
         [](TiledModel::Map& m) {
             m.width = 40000;
             m.layers[0] = tileLayer("Ground", 40000, 1, std::vector<std::uint32_t>(40000, 1));
         },
         "the map is 40000 x 1 cells; a map holds at most 32767 each way"},
        {"blocks too large",
         [](TiledModel::Map& m) {
             m.tilesets.push_back(imageTileset("far", 5, 4, 4, 1));
             m.tilesets[1].offsetY = 2000;
             m.tilesets[0].offsetY = -2000;
             m.layers[0].gids[1] = 5;
         },
         "the tiles, their offsets and the stagger need blocks of 4 x 4004 pixels; a block has "
         "at most 1024 each way"},
        {"too many cells",
         [](TiledModel::Map& m) {
             m.infinite = true;
             m.layers[0] = tileLayer("Ground", 1, 1, {1});
             m.layers.push_back(tileLayer("Far", 1, 1, {1}));
             m.layers[1].left = 20000;
             m.layers[1].top = 20000;
         },
         "the map is 20001 x 20001 cells, more than the 16777216 cells a map may have here"},
        {"animation frame of a missing tile",
         [](TiledModel::Map& m) {
             TiledModel::Tile t;
             t.id = 0;
             t.animation = {{0, 100}, {9, 100}};
             m.tilesets[0].tiles.push_back(t);
         },
         "tileset \"corners\" tile 0: its animation shows tile 9, which the tileset does not "
         "have"},
        {"collection tile outside its image",
         [](TiledModel::Map& m) {
             TiledModel::Tileset c;
             c.name = "pictures";
             c.firstGid = 5;
             TiledModel::Tile t;
             t.id = 0;
             t.image = cornerImage(4, 4, 1);
             t.x = 2;
             t.width = 4;
             c.tiles.push_back(t);
             m.tilesets.push_back(c);
             m.layers[0].gids[1] = 5;
         },
         "tileset \"pictures\" tile 0: its rectangle lies outside its image"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TiledModel::Map map = smallMap(2, 1, {1, 2});
        c.change(map);
        TiledImport import;
        EXPECT_FALSE(import.convert(map, {}));
        EXPECT_EQ(import.error(), c.error);
        EXPECT_TRUE(import.content().graphics.empty());
    }
}

// Content past what the early checks see is refused as the map writer refuses it: type 0
// stores a cell as a byte offset, which reaches block 1023 at most.
TEST(TiledImportTest, ContentTheFileCannotHoldIsRefusedAsTheWriterRefusesIt) {
    std::vector<std::uint32_t> gids(1100);
    std::iota(gids.begin(), gids.end(), 1u);
    TiledModel::Map map = smallMap(1100, 1, gids);
    map.tileWidth = map.tileHeight = 1;
    map.tilesets[0] = imageTileset("many", 1, 1, 1, 1100);
    TiledImport import;
    EXPECT_FALSE(import.convert(map, ImportOptions{0}));
    EXPECT_EQ(import.error(),
              "layer BODY cell 1023,0: block 1024 is too far for map type 0 (use type 1, 2 or 3)");
    EXPECT_TRUE(converted(map, ImportOptions{1}).error().empty());
}

// Models no Tiled file should give, but a damaged one might: each is refused by name or
// imported, never read out of bounds.
TEST(TiledImportTest, OddModelsAreRefusedOrImportedSafely) {
    struct Case {
        const char* name;
        void (*change)(TiledModel::Map&);
        const char* error; // "" when the import succeeds
    };
    const Case cases[] = {
        {"only flag bits: an empty cell",
         [](TiledModel::Map& m) { m.layers[0].gids[1] = TiledModel::flippedHorizontally; }, ""},
        {"no tile size", [](TiledModel::Map& m) { m.tileWidth = 0; },
         "the map's tile size 0 x 4 is outside 1..32767"},
        {"staggered with one-pixel tiles",
         [](TiledModel::Map& m) {
             m.orientation = "staggered";
             m.tileWidth = 1;
         },
         "a staggered map needs tiles at least 2 x 2 pixels"},
        {"cells that do not match the layer's size",
         [](TiledModel::Map& m) { m.layers[0].width = 3; },
         "layer \"Ground\": its cells do not match its size"},
        {"a tileset without columns", [](TiledModel::Map& m) { m.tilesets[0].columns = 0; },
         "layer \"Ground\", cell 0,0: tile number 1 is beyond every tileset"},
        {"a tileset with more columns than its image",
         [](TiledModel::Map& m) {
             m.tilesets[0].columns = 9;
             m.layers[0].gids[1] = 6;
         },
         "tileset \"corners\" tile 5: its rectangle lies outside its image"},
        {"a collection tile without an image",
         [](TiledModel::Map& m) {
             TiledModel::Tileset c;
             c.name = "empty";
             c.firstGid = 5;
             c.tiles.push_back(TiledModel::Tile{});
             m.tilesets.push_back(c);
             m.layers[0].gids[1] = 5;
         },
         "layer \"Ground\", cell 1,0: tile number 5 is beyond every tileset"},
        {"an animation frame of a negative tile",
         [](TiledModel::Map& m) {
             TiledModel::Tile t;
             t.animation = {{-1, 100}};
             m.tilesets[0].tiles.push_back(t);
         },
         "tileset \"corners\" tile 0: its animation shows tile -1, which the tileset does not "
         "have"},
        {"a negative frame duration",
         [](TiledModel::Map& m) {
             TiledModel::Tile t;
             t.animation = {{1, -500}};
             m.tilesets[0].tiles.push_back(t);
         },
         ""},
        {"the largest tile number", [](TiledModel::Map& m) { m.layers[0].gids[0] = 0x0FFFFFFFu; },
         "layer \"Ground\", cell 0,0: tile number 268435455 is beyond every tileset"},
        {"an empty infinite map",
         [](TiledModel::Map& m) {
             m.infinite = true;
             m.layers[0].gids = {0, 0};
         },
         "the infinite map has no tiles"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TiledModel::Map map = smallMap(2, 1, {1, 2});
        c.change(map);
        TiledImport import;
        EXPECT_EQ(import.convert(map, {}), *c.error == '\0');
        EXPECT_EQ(import.error(), c.error);
    }
}

TEST(TiledImportTest, ACollectionTilesetGivesEachTileItsOwnImage) {
    TiledModel::Map map = smallMap(2, 1, {5, 7 | TiledModel::flippedVertically});
    TiledModel::Tileset c;
    c.name = "pictures";
    c.firstGid = 5;
    for (int id : {0, 2}) {
        TiledModel::Tile t;
        t.id = id;
        t.image = cornerImage(4, 4, 1, id == 0 ? white : TiledModel::Rgba{0, 0, 200, 255});
        c.tiles.push_back(t);
    }
    map.tilesets.push_back(c);
    const TiledImport import = converted(map);
    const auto& content = import.content();
    EXPECT_EQ(pixelAt(content, 1, 1, 1), opaque(white));
    EXPECT_EQ(pixelAt(content, 2, 0, 0), opaque(blue));
    EXPECT_EQ(pixelAt(content, 2, 1, 1), (Pixel{0, 0, 200, 255}));
}

// The characters' block is the only part of the map's script that an import writes.
TEST(TiledImportTest, ReimportReplacesOnlyTheCharactersBlock) {
    const std::string block1 =
        NpcScript::block({{1, 2, "Ann", "Data\\Scripts\\Ann.lua", "A"}}, "farm.tmx");
    const std::string block2 = NpcScript::block({{3, 4, "Bo \"B\"", "b.lua", "B"}}, "farm.tmx");
    EXPECT_NE(block1.find("SpawnNPC(1, 2, \"Ann\", \"Data\\\\Scripts\\\\Ann.lua\", \"A\")\n"),
              std::string::npos);
    EXPECT_NE(block2.find("\"Bo \\\"B\\\"\""), std::string::npos);
    const std::string mine = "-- mine\nprint(1)\n";
    const std::string after = "if x then\n  y()\nend";
    struct Case {
        const char* name;
        std::string script;
        std::string expected; // "" when refused
    };
    const std::string begin = std::string(NpcScript::beginMarker) + "\n";
    const std::string end = std::string(NpcScript::endMarker) + "\n";
    const Case cases[] = {
        {"empty file", "", block2},
        {"no block yet", mine, mine + block2},
        {"no block, no final line feed", "print(1)", "print(1)\n" + block2},
        {"block between the author's lines", mine + block1 + after, mine + block2 + after},
        {"block at the end", mine + block1, mine + block2},
        {"block without its final line feed", mine + block1.substr(0, block1.size() - 1),
         mine + block2},
        {"only the first marker", mine + begin, ""},
        {"only the last marker", mine + end, ""},
        {"markers reversed", end + mine + begin, ""},
        {"two blocks", block1 + mine + block1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string out;
        std::string error;
        EXPECT_EQ(NpcScript::merge(c.script, block2, out, error), !c.expected.empty());
        if (!c.expected.empty()) {
            EXPECT_EQ(out, c.expected);
        } else {
            EXPECT_FALSE(error.empty());
        }
    }
    // A marker quoted inside a line is the author's text, not a marker.
    std::string out;
    std::string error;
    const std::string quotedMarker = "print(\"" + begin.substr(0, begin.size() - 1) + "\")\n";
    ASSERT_TRUE(NpcScript::merge(quotedMarker, block1, out, error)) << error;
    EXPECT_EQ(out, quotedMarker + block1);
}

} // namespace
