#include "TiledLoader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;
const std::string fixtures = "tests/data/tiled/";

TiledModel::Map readFixture(const std::string& name) {
    TiledLoader loader;
    TiledModel::Map map;
    EXPECT_TRUE(loader.read(fixtures + name, map)) << loader.error();
    return map;
}

std::string properties(const std::vector<TiledModel::Property>& list) {
    std::ostringstream out;
    for (const TiledModel::Property& p : list)
        out << p.name << ":" << p.type << "=" << p.value << ";";
    return out.str();
}

// The model as text, without the files things came from: a TMX and its TMJ twin match.
std::string summary(const TiledModel::Map& map) {
    std::ostringstream out;
    out << map.orientation << " " << map.staggerAxis << map.staggerIndex << " " << map.width << "x"
        << map.height << " " << map.tileWidth << "x" << map.tileHeight << " " << map.infinite << " "
        << properties(map.properties) << "\n";
    for (const TiledModel::Tileset& t : map.tilesets) {
        out << "tileset " << t.firstGid << " " << t.name << " o" << t.offsetX << "," << t.offsetY
            << " " << t.objectAlignment << "\n";
        for (const TiledModel::Tile& tile : t.tiles) {
            out << " tile " << tile.id << " " << tile.type << " " << properties(tile.properties)
                << (tile.image ? tile.image->width : -1) << "x"
                << (tile.image ? tile.image->height : -1);
            for (const TiledModel::Frame& f : tile.animation)
                out << " " << f.tileId << "/" << f.durationMs;
            out << "\n";
        }
    }
    for (const TiledModel::Layer& l : map.layers) {
        out << "layer " << static_cast<int>(l.kind) << " " << l.name << " v" << l.visible << " o"
            << l.opacity << " " << l.left << "," << l.top << " " << l.width << "x" << l.height
            << " " << properties(l.properties) << "\n ";
        for (const std::uint32_t gid : l.gids)
            out << gid << ",";
        for (const TiledModel::DrawnCell& c : l.drawing)
            out << " " << c.x << "," << c.y << "@" << c.anchorX << "," << c.anchorY;
        for (const TiledModel::Object& o : l.objects)
            out << "\n object " << o.id << " " << o.name << " " << o.type << " " << o.x << ","
                << o.y << " " << o.width << "x" << o.height << " g" << o.gid << " "
                << properties(o.properties);
        out << "\n";
    }
    return out.str();
}

// Writes a file into the test's scratch folder, beside copies of the fixtures' images.
std::string writeFile(const std::string& name, const std::string& text) {
    const fs::path folder = fs::path(testing::TempDir()) / "tiled";
    fs::create_directories(folder);
    for (const char* image : {"tiles16.png", "stagger64.png"})
        fs::copy_file(fixtures + image, folder / image, fs::copy_options::skip_existing);
    std::ofstream(folder / name, std::ios::binary) << text;
    return (folder / name).string();
}

const char* const tiles16 =
    R"(<tileset firstgid="1" name="t" tilewidth="16" tileheight="16" tilecount="8" columns="4"><image source="tiles16.png" width="64" height="32"/></tileset>)";

std::string mapWith(const std::string& inside) {
    return std::string(
               R"(<?xml version="1.0"?><map version="1.8" orientation="orthogonal" width="2" height="1" tilewidth="16" tileheight="16">)") +
           inside + "</map>";
}

TEST(TiledLoader, XmlAndJsonOfOneMapGiveTheSameModel) {
    for (const char* name : {"ortho", "external", "flips", "collection", "infinite",
                             "staggered-odd", "staggered-tall", "enc-zstd", "enc-xml"}) {
        SCOPED_TRACE(name);
        const std::string xml = summary(readFixture(std::string(name) + ".tmx"));
        EXPECT_EQ(xml, summary(readFixture(std::string(name) + ".tmj")));
        EXPECT_NE(xml.find("layer"), std::string::npos);
    }
    const std::uint32_t H = TiledModel::flippedHorizontally, V = TiledModel::flippedVertically,
                        D = TiledModel::flippedDiagonally;
    const std::vector<std::uint32_t> encoded = {1, 2 | H, 0, 9 | V, 16 | D | H | V, 0, 3, 4 | D};
    for (const char* form : {"csv", "base64", "zlib", "gzip", "zstd", "xml"})
        EXPECT_EQ(readFixture(std::string("enc-") + form + ".tmx").layers.at(0).gids, encoded)
            << form;
}

// The places and order come from Tiled's renderer: rows top to bottom, odd rows half a cell
// right, each anchored at the bottom-left of its 64 x 32 box, whatever the chunks' place.
TEST(TiledLoader, TiledsRendererGivesEachCellItsPlaceAndTurn) {
    const TiledModel::Map map = readFixture("staggered-tall.tmx");
    const TiledModel::Layer& layer = map.layers.at(0);
    EXPECT_EQ(layer.left, -16);
    EXPECT_EQ(layer.top, -16);
    ASSERT_EQ(layer.width * layer.height, 16 * 48);
    std::size_t filled = 0;
    for (const std::uint32_t gid : layer.gids)
        filled += gid != 0;
    ASSERT_EQ(layer.drawing.size(), filled);
    const TiledModel::DrawnCell& first = layer.drawing.front();
    EXPECT_EQ(first.x, -16);
    EXPECT_EQ(first.y, -16);
    for (std::size_t i = 1; i < layer.drawing.size(); ++i) {
        const TiledModel::DrawnCell& a = layer.drawing[i - 1];
        const TiledModel::DrawnCell& b = layer.drawing[i];
        ASSERT_TRUE(b.y > a.y || (b.y == a.y && b.x > a.x)) << i;
        const int shifted = (b.y % 2 != 0) ? 32 : 0;
        ASSERT_EQ(b.anchorX - first.anchorX, (b.x - first.x) * 64 + shifted) << i;
        ASSERT_EQ(b.anchorY - first.anchorY, (b.y - first.y) * 16) << i;
    }
    // Half-transparent edges keep their own colour, not one darkened by their alpha.
    const TiledModel::Tile& tile = map.tilesets.at(0).tiles.at(0);
    const TiledModel::Rgba edge = tile.image->pixels.at(33 * 64 + 29);
    EXPECT_EQ(edge.a, 192);
    EXPECT_NEAR(edge.r, 200, 1);
    EXPECT_NEAR(edge.g, 170, 1);
}

// Templates and their properties arrive with the object; a tile's bool properties are read.
TEST(TiledLoader, ObjectTemplatesComeWithTheirObjects) {
    writeFile(
        "heron.tx",
        R"(<?xml version="1.0"?><template><object type="npc" width="32" height="48"><properties><property name="script" value="Data\Scripts\Heron.lua"/><property name="sprite" value="Heron"/></properties></object></template>)");
    writeFile(
        "heron.tj",
        R"({"type":"template","object":{"type":"npc","width":32,"height":48,"properties":[{"name":"script","type":"string","value":"Data\\Scripts\\Heron.lua"},{"name":"sprite","type":"string","value":"Heron"}]}})");
    for (const char* used : {"heron.tx", "heron.tj"}) {
        SCOPED_TRACE(used);
        const std::string path = writeFile(
            "templated.tmx",
            mapWith(std::string(tiles16) +
                    R"(<objectgroup id="2" name="People"><object id="1" name="Heron" template=")" +
                    used + R"(" x="40" y="20"/></objectgroup>)"));
        TiledLoader loader;
        TiledModel::Map map;
        ASSERT_TRUE(loader.read(path, map)) << loader.error();
        const TiledModel::Object& heron = map.layers.at(0).objects.at(0);
        EXPECT_EQ(heron.type, "npc");
        EXPECT_EQ(heron.width, 32);
        EXPECT_EQ(properties(heron.properties),
                  "script:string=Data\\Scripts\\Heron.lua;sprite:string=Heron;");
    }
}

// A layer in a group takes on the group's visibility, opacity and offset, named by its path.
TEST(TiledLoader, GroupsPassOnWhatTheyHold) {
    const std::string path = writeFile(
        "groups.tmx",
        mapWith(
            std::string(tiles16) +
            R"(<group id="1" name="Trees" visible="0" opacity="0.5" offsetx="4"><layer id="2" name="Oaks" width="2" height="1" opacity="0.5" offsetx="2"><data encoding="csv">1,2</data></layer></group>)"));
    TiledLoader loader;
    TiledModel::Map map;
    ASSERT_TRUE(loader.read(path, map)) << loader.error();
    const TiledModel::Layer& oaks = map.layers.at(0);
    EXPECT_EQ(oaks.name, "Trees/Oaks");
    EXPECT_FALSE(oaks.visible);
    EXPECT_EQ(oaks.opacity, 0.25);
    EXPECT_EQ(oaks.offsetX, 6);
}

// Whatever is wrong, one line that names the map file and the part at fault.
TEST(TiledLoader, RefusalsAreOneLineNamingTheFileAndThePart) {
    const std::string layer =
        R"(<layer id="1" name="Ground" width="2" height="1"><data encoding="csv">1,2</data></layer>)";
    const struct {
        const char* name;
        std::string text;
        const char* part;
    } cases[] = {
        {"broken.tmx", "<map orientation=\"orthogonal\"", ""},
        {"broken.tmj", "{\"type\":\"map\",", "not JSON"},
        {"noimage.tmx",
         mapWith(
             R"(<tileset firstgid="1" name="t" tilewidth="16" tileheight="16" tilecount="8" columns="4"><image source="missing.png" width="64" height="32"/></tileset>)" +
             layer),
         "tileset \"t\": image"},
        {"nosource.tmx", mapWith(R"(<tileset firstgid="1" source="missing.tsx"/>)" + layer),
         "missing.tsx"},
        {"notemplate.tmx",
         mapWith(
             std::string(tiles16) +
             R"(<objectgroup id="2" name="People"><object id="7" template="gone.tx" x="1" y="1"/></objectgroup>)"),
         "object 7: template"},
        {"huge.tmx",
         R"(<map orientation="orthogonal" width="100000" height="100000" tilewidth="16" tileheight="16"/>)",
         "map: 100000 x 100000 cells"},
        {"huge.tmj",
         R"({"type":"map","width":2,"height":1,"tilewidth":16,"tileheight":16,"layers":[{"type":"tilelayer","name":"Sea","width":9000,"height":9000,"data":[]}]})",
         "layer \"Sea\": 9000 x 9000 cells"},
        {"nocells.tmj",
         R"({"type":"map","width":2,"height":1,"tilewidth":16,"tileheight":16,"layers":[{"type":"tilelayer","name":"Sea","width":4,"compression":"gzip","encoding":"base64","data":"H4sIAAAAAAAAA2NkYGBgYmBoAFIMnAwMDgIMDA9AbGYgZmFgUAAAJWJWkSAAAAA="}]})",
         "layer \"Sea\": 4 x 0 cells, none at all"},
        {"badlayer.tmx",
         mapWith(
             std::string(tiles16) +
             R"(<layer id="1" name="Ground" width="2" height="1"><data encoding="base64">AAAA</data></layer>)"),
         "Ground"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = writeFile(c.name, c.text);
        TiledLoader loader;
        TiledModel::Map map;
        ASSERT_FALSE(loader.read(path, map));
        EXPECT_EQ(loader.error().rfind(path + ": ", 0), 0u) << loader.error();
        EXPECT_NE(loader.error().find(c.part), std::string::npos) << loader.error();
        EXPECT_EQ(loader.error().find('\n'), std::string::npos) << loader.error();
        EXPECT_TRUE(map.layers.empty());
    }
    TiledLoader loader;
    TiledModel::Map map;
    EXPECT_FALSE(loader.read(fixtures + "no-such-map.tmx", map));
    EXPECT_EQ(loader.error().rfind(fixtures + "no-such-map.tmx: cannot be read", 0), 0u);
}

} // namespace
