#include "TiledReader.h"

#include <gtest/gtest.h>

#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using Tiled::flippedDiagonally;
using Tiled::flippedHorizontally;
using Tiled::flippedVertically;

const std::string fixtures = "tests/data/tiled/";

Tiled::Map readFixture(const std::string& name) {
    TiledReader reader;
    Tiled::Map map;
    EXPECT_TRUE(reader.read(fixtures + name, map)) << reader.error();
    return map;
}

void writeFile(const std::string& path, const std::string& text) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::string properties(const std::vector<Tiled::Property>& list) {
    std::ostringstream out;
    for (const Tiled::Property& p : list)
        out << p.name << ":" << p.type << "=" << p.value << ";";
    return out.str();
}

std::string imageText(const std::optional<Tiled::Image>& image) {
    if (!image)
        return "none";
    unsigned long sum = adler32(0, nullptr, 0);
    sum = adler32(sum, reinterpret_cast<const Bytef*>(image->pixels.data()),
                  static_cast<uInt>(image->pixels.size() * sizeof(Tiled::Rgba)));
    return fs::path(image->path).filename().string() + " " + std::to_string(image->width) + "x" +
           std::to_string(image->height) + " #" + std::to_string(sum);
}

// Everything the model holds, as text, except the name of the file each part came from; two
// files saying the same thing in two formats give the same text.
std::string summary(const Tiled::Map& map) {
    std::ostringstream out;
    out << map.orientation << " " << map.renderOrder << " " << map.staggerAxis << " "
        << map.staggerIndex << " " << map.width << "x" << map.height << " " << map.tileWidth << "x"
        << map.tileHeight << " infinite " << map.infinite << " " << properties(map.properties)
        << "\n";
    for (const Tiled::Tileset& t : map.tilesets) {
        out << "tileset " << t.firstGid << " " << t.name << " " << t.tileWidth << "x"
            << t.tileHeight << " m" << t.margin << " s" << t.spacing << " n" << t.tileCount << " c"
            << t.columns << " o" << t.offsetX << "," << t.offsetY << " " << imageText(t.image)
            << "\n";
        for (const Tiled::Tile& tile : t.tiles) {
            out << " tile " << tile.id << " " << tile.type << " " << properties(tile.properties)
                << " " << imageText(tile.image) << " " << tile.x << "," << tile.y << ","
                << tile.width << "," << tile.height << " anim";
            for (const Tiled::Frame& f : tile.animation)
                out << " " << f.tileId << "/" << f.durationMs;
            out << "\n";
        }
    }
    for (const Tiled::Layer& l : map.layers) {
        out << "layer " << static_cast<int>(l.kind) << " " << l.name << " v" << l.visible << " o"
            << l.opacity << " t" << l.tint << " " << l.offsetX << "," << l.offsetY << " p"
            << l.parallaxX << "," << l.parallaxY << " " << l.left << "," << l.top << " " << l.width
            << "x" << l.height << " " << fs::path(l.imagePath).filename().string() << " "
            << properties(l.properties) << "\n ";
        for (const std::uint32_t gid : l.gids)
            out << gid << ",";
        out << "\n";
        for (const Tiled::Object& o : l.objects)
            out << " object " << o.id << " " << o.name << " " << o.type << " " << o.x << "," << o.y
                << " " << o.width << "x" << o.height << " g" << o.gid << " v" << o.visible << " "
                << properties(o.properties) << "\n";
    }
    return out.str();
}

const std::uint32_t H = flippedHorizontally, V = flippedVertically, D = flippedDiagonally;

TEST(TiledReader, EveryEncodingGivesTheSameTileNumbers) {
    const std::vector<std::uint32_t> expected = {1, 2 | H, 0, 9 | V, 16 | D | H | V, 0, 3, 4 | D};
    for (const char* form : {"csv", "base64", "zlib", "gzip", "zstd", "xml"}) {
        for (const char* extension : {".tmx", ".tmj"}) {
            const std::string name = std::string("enc-") + form + extension;
            SCOPED_TRACE(name);
            const Tiled::Map map = readFixture(name);
            ASSERT_EQ(map.layers.size(), 1u);
            EXPECT_EQ(map.layers[0].width, 4);
            EXPECT_EQ(map.layers[0].height, 2);
            EXPECT_EQ(map.layers[0].gids, expected);
        }
    }
}

TEST(TiledReader, XmlAndJsonOfOneMapGiveTheSameModel) {
    for (const char* name :
         {"ortho", "external", "flips", "collection", "infinite", "staggered-odd", "enc-zstd"}) {
        SCOPED_TRACE(name);
        const std::string xml = summary(readFixture(std::string(name) + ".tmx"));
        EXPECT_EQ(xml, summary(readFixture(std::string(name) + ".tmj")));
        EXPECT_NE(xml.find("layer"), std::string::npos);
    }
}

TEST(TiledReader, FlipBitsAreKept) {
    const Tiled::Map map = readFixture("flips.tmx");
    const std::vector<std::uint32_t> expected = {1,     1 | H,     1 | V,     1 | H | V,
                                                 1 | D, 1 | D | H, 1 | D | V, 1 | D | H | V};
    ASSERT_EQ(map.layers.size(), 1u);
    EXPECT_EQ(map.layers[0].gids, expected);
}

TEST(TiledReader, ChunksAreCutToTheirBoundingBox) {
    for (const char* name : {"infinite.tmx", "infinite.tmj"}) {
        SCOPED_TRACE(name);
        const Tiled::Map map = readFixture(name);
        ASSERT_EQ(map.layers.size(), 1u);
        const Tiled::Layer& layer = map.layers[0];
        EXPECT_TRUE(map.infinite);
        EXPECT_EQ(layer.left, -4);
        EXPECT_EQ(layer.top, -8);
        EXPECT_EQ(layer.width, 12);
        EXPECT_EQ(layer.height, 12);
        ASSERT_EQ(layer.gids.size(), 144u);
        const auto at = [&](int x, int y) {
            return layer.gids[(y - layer.top) * layer.width + (x - layer.left)];
        };
        EXPECT_EQ(at(-4, -8), 1u);
        EXPECT_EQ(at(-1, -5), 1u);
        EXPECT_EQ(at(0, 0), 0u); // between the chunks
        EXPECT_EQ(at(4, 0), 2u);
        EXPECT_EQ(at(7, 3), 5u | H);
    }
}

TEST(TiledReader, LayersGroupsAndCharacters) {
    const Tiled::Map map = readFixture("ortho.tmx");
    ASSERT_EQ(map.layers.size(), 5u);
    EXPECT_EQ(map.layers[0].name, "Ground");
    EXPECT_EQ(map.layers[1].name, "Upper/Decor");
    EXPECT_EQ(map.layers[2].name, "Upper/Hidden");
    EXPECT_FALSE(map.layers[2].visible);
    EXPECT_DOUBLE_EQ(map.layers[3].opacity, 0.5);
    const Tiled::Layer& people = map.layers[4];
    EXPECT_EQ(people.kind, Tiled::LayerKind::Objects);
    ASSERT_EQ(people.objects.size(), 3u);
    EXPECT_EQ(people.objects[0].name, "Ben");
    EXPECT_EQ(people.objects[0].type, "npc");
    EXPECT_EQ(properties(people.objects[0].properties),
              "script:string=Data\\Scripts\\NPCs\\Ben.lua;sprite:string=Ben;");
    EXPECT_DOUBLE_EQ(people.objects[1].x, 40.5);
    EXPECT_DOUBLE_EQ(people.objects[1].width, 0);
    EXPECT_EQ(people.objects[2].type, "");
}

TEST(TiledReader, GroupsPassTheirValuesDown) {
    const std::string xml =
        R"(<map orientation="orthogonal" width="1" height="1" tilewidth="8" tileheight="8">
 <group name="A" opacity="0.5" offsetx="3" offsety="-2" parallaxx="0.5" tintcolor="#ff808080">
  <group name="B" visible="0" opacity="0.5" offsetx="1" parallaxy="2" tintcolor="#80ffffff">
   <layer name="C" width="1" height="1" opacity="0.5" offsety="4"><data encoding="csv">0</data></layer>
  </group>
  <imagelayer name="D" offsetx="1"><image source="sky.png"/></imagelayer>
 </group>
 <objectgroup name="E" visible="0"/>
</map>)";
    const std::string json = R"({"type":"map","orientation":"orthogonal","width":1,"height":1,
 "tilewidth":8,"tileheight":8,"layers":[
 {"type":"group","name":"A","opacity":0.5,"offsetx":3,"offsety":-2,"parallaxx":0.5,
  "tintcolor":"#ff808080","layers":[
  {"type":"group","name":"B","visible":false,"opacity":0.5,"offsetx":1,"parallaxy":2,
   "tintcolor":"#80ffffff","layers":[
   {"type":"tilelayer","name":"C","width":1,"height":1,"opacity":0.5,"offsety":4,"data":[0]}]},
  {"type":"imagelayer","name":"D","offsetx":1,"image":"sky.png"}]},
 {"type":"objectgroup","name":"E","visible":false}]})";
    for (const std::string& text : {xml, json}) {
        TiledReader reader;
        Tiled::Map map;
        ASSERT_TRUE(reader.readText(text, testing::TempDir() + "m", map)) << reader.error();
        ASSERT_EQ(map.layers.size(), 3u);
        const Tiled::Layer& c = map.layers[0];
        EXPECT_EQ(c.name, "A/B/C");
        EXPECT_FALSE(c.visible);
        EXPECT_DOUBLE_EQ(c.opacity, 0.125);
        EXPECT_DOUBLE_EQ(c.offsetX, 4);
        EXPECT_DOUBLE_EQ(c.offsetY, 2);
        EXPECT_DOUBLE_EQ(c.parallaxX, 0.5);
        EXPECT_DOUBLE_EQ(c.parallaxY, 2);
        EXPECT_EQ(c.tint, "#80808080");
        const Tiled::Layer& d = map.layers[1];
        EXPECT_EQ(d.name, "A/D");
        EXPECT_TRUE(d.visible);
        EXPECT_EQ(d.kind, Tiled::LayerKind::Image);
        EXPECT_EQ(d.imagePath, testing::TempDir() + "sky.png");
        EXPECT_DOUBLE_EQ(d.offsetX, 4);
        EXPECT_EQ(d.tint, "#ff808080");
        EXPECT_EQ(map.layers[2].name, "E");
        EXPECT_FALSE(map.layers[2].visible);
    }
}

TEST(TiledReader, ObjectAlignmentOfATileset) {
    const std::string xml =
        R"(<map orientation="orthogonal" width="1" height="1" tilewidth="8" tileheight="8">
 <tileset firstgid="1" name="a" tilewidth="8" tileheight="8" tilecount="0" columns="0"
  objectalignment="center"/>
 <tileset firstgid="5" name="b" tilewidth="8" tileheight="8" tilecount="0" columns="0"/>
</map>)";
    const std::string json = R"({"type":"map","orientation":"orthogonal","width":1,"height":1,
 "tilewidth":8,"tileheight":8,"layers":[],"tilesets":[
 {"firstgid":1,"name":"a","tilewidth":8,"tileheight":8,"tilecount":0,"columns":0,
  "objectalignment":"center"},
 {"firstgid":5,"name":"b","tilewidth":8,"tileheight":8,"tilecount":0,"columns":0}]})";
    for (const std::string& text : {xml, json}) {
        TiledReader reader;
        Tiled::Map map;
        ASSERT_TRUE(reader.readText(text, testing::TempDir() + "m", map)) << reader.error();
        ASSERT_EQ(map.tilesets.size(), 2u);
        EXPECT_EQ(map.tilesets[0].objectAlignment, "center");
        EXPECT_EQ(map.tilesets[1].objectAlignment, "unspecified");
    }
}

// map -> tileset -> image, each path relative to the file that names it.
TEST(TiledReader, ExternalPathsAreRelativeToTheFileNamingThem) {
    const std::string root = testing::TempDir();
    fs::create_directories(root + "img");
    fs::copy_file(fixtures + "tiles16.png", root + "img/x.png");
    writeFile(root + "ts/set.tsx", R"(<tileset name="set" tilewidth="16" tileheight="16">
 <image source="../img/x.png"/></tileset>)");
    writeFile(root + "ts/set.tsj", R"({"type":"tileset","name":"json","tilewidth":16,
 "tileheight":16,"image":"../img/x.png"})");
    writeFile(root + "a/map.tmx", R"(<map width="1" height="1" tilewidth="16" tileheight="16">
 <tileset firstgid="1" source="../ts/set.tsx"/><tileset firstgid="9" source="../ts/set.tsj"/>
 <tileset firstgid="17" source="..\ts\set.tsx"/>
 <layer width="1" height="1"><data encoding="csv">9</data></layer></map>)");
    TiledReader reader;
    Tiled::Map map;
    ASSERT_TRUE(reader.read(root + "a/map.tmx", map)) << reader.error();
    ASSERT_EQ(map.tilesets.size(), 3u);
    for (const Tiled::Tileset& tileset : map.tilesets) {
        ASSERT_TRUE(tileset.image);
        EXPECT_EQ(tileset.image->path, root + "img/x.png");
        EXPECT_EQ(tileset.image->width, 64);
        EXPECT_EQ(tileset.columns, 4);
        EXPECT_EQ(tileset.tileCount, 8);
    }
    EXPECT_EQ(map.tilesets[0].file, root + "ts/set.tsx");
    EXPECT_EQ(map.tilesets[1].name, "json");
    EXPECT_EQ(map.tilesets[1].firstGid, 9u);
    EXPECT_EQ(map.tilesets[2].file, root + "ts/set.tsx"); // backslashes, as Windows writes
}

TEST(TiledReader, TilesetsOfEveryKind) {
    const Tiled::Map spaced = readFixture("external-tsj.tmx");
    ASSERT_EQ(spaced.tilesets.size(), 1u);
    EXPECT_EQ(spaced.tilesets[0].margin, 2);
    EXPECT_EQ(spaced.tilesets[0].spacing, 1);
    EXPECT_EQ(spaced.tilesets[0].columns, 3); // the leftover pixels hold no column
    EXPECT_EQ(spaced.tilesets[0].tileCount, 6);

    const Tiled::Map trans = readFixture("trans.tmx");
    ASSERT_EQ(trans.tilesets.size(), 2u);
    const Tiled::Image& keyed = *trans.tilesets[1].image;
    EXPECT_EQ(keyed.pixels[0].a, 0);                     // the key colour
    EXPECT_EQ(keyed.pixels[5 * keyed.width + 5].a, 255); // the drawing on it
    EXPECT_EQ(trans.tilesets[0].image->pixels[0].a, 255);

    const Tiled::Map collection = readFixture("collection.tmx");
    const Tiled::Tileset& images = collection.tilesets.at(0);
    EXPECT_FALSE(images.image);
    ASSERT_EQ(images.tiles.size(), 3u);
    EXPECT_EQ(images.tiles[0].id, 5);
    EXPECT_EQ(images.tiles[1].id, 0);
    for (const Tiled::Tile& tile : images.tiles) {
        ASSERT_TRUE(tile.image);
        EXPECT_EQ(tile.image->width, 16);
    }
    EXPECT_EQ(fs::path(images.tiles[2].image->path).filename(), "col-b.png");

    const Tiled::Map tall = readFixture("tall.tmx");
    EXPECT_EQ(tall.tilesets.at(0).tileHeight, 32);
    EXPECT_EQ(tall.tilesets.at(0).offsetX, 2);
    EXPECT_EQ(tall.tilesets.at(0).offsetY, -3);

    const Tiled::Map animated = readFixture("animated.tmx");
    const Tiled::Tile& tile = animated.tilesets.at(0).tiles.at(0);
    EXPECT_EQ(tile.id, 3);
    ASSERT_EQ(tile.animation.size(), 3u);
    EXPECT_EQ(tile.animation[1].tileId, 4);
    EXPECT_EQ(tile.animation[1].durationMs, 200);

    const Tiled::Map fields = readFixture("blockfields.tmx");
    const auto& tiles = fields.tilesets.at(0).tiles;
    ASSERT_EQ(tiles.size(), 2u);
    EXPECT_EQ(properties(tiles[0].properties), "flags:int=3;userLong1:int=-70000;"
                                               "userByte3:int=200;note:string=not a field;");
    EXPECT_EQ(tiles[1].type, "water");
    EXPECT_EQ(properties(tiles[1].properties), "userShort2:int=-5;story:string=two\nlines;");
}

TEST(TiledReader, OrientationsAsWritten) {
    const struct {
        const char* file;
        const char* orientation;
        const char* index;
    } rows[] = {{"staggered-odd.tmx", "staggered", "odd"},
                {"staggered-even.tmx", "staggered", "even"},
                {"isometric.tmx", "isometric", ""},
                {"hexagonal.tmx", "hexagonal", "odd"},
                {"size24.tmx", "orthogonal", ""}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file);
        const Tiled::Map map = readFixture(row.file);
        EXPECT_EQ(map.orientation, row.orientation);
        EXPECT_EQ(map.staggerIndex, row.index);
    }
}

std::string pngHeader(unsigned width, unsigned height) {
    std::string bytes = "\x89PNG\r\n\x1a\n";
    bytes += std::string("\0\0\0\x0dIHDR", 8);
    for (const unsigned v : {width, height})
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes += static_cast<char>(v >> shift & 0xFF);
    return bytes + std::string("\x08\x06\0\0\0", 5);
}

std::string tmx(const std::string& inside, const std::string& mapAttributes = "") {
    return R"(<map width="2" height="1" tilewidth="16" tileheight="16")" + mapAttributes + ">" +
           inside + "</map>";
}

std::string tmxData(const std::string& attributes, const std::string& text) {
    return tmx(R"(<layer name="L" width="2" height="1"><data )" + attributes + ">" + text +
               "</data></layer>");
}

TEST(TiledReader, BadInputGetsOneLineNamingFileAndElement) {
    const std::string tileset16 =
        R"(<tileset firstgid="1" name="t" tilewidth="16" tileheight="16">)";
    std::string deepGroups;
    for (int i = 0; i < 70; ++i)
        deepGroups = "<group>" + deepGroups + "</group>";
    const struct {
        const char* name;
        std::string text;
        std::string expected;
    } rows[] = {
        {"malformed XML", "<map><layer></map>", "bad.tmx: malformed XML at byte"},
        {"malformed JSON", R"({"type":"map", "layers":[)", "bad.tmx: malformed JSON"},
        {"neither", "map", "neither XML nor JSON"},
        {"not a map", "<tileset/>", "the root element is <tileset>, not <map>"},
        {"JSON tileset as map", R"({"type":"tileset"})", "the file is a tileset, not a map"},
        {"missing tileset", tmx(R"(<tileset firstgid="1" source="gone.tsx"/>)"),
         R"(<tileset>: the file ")" + testing::TempDir() + R"(gone.tsx" does not exist)"},
        {"missing image", tmx(tileset16 + R"(<image source="gone.png"/></tileset>)"),
         R"(<tileset name="t"> <image>: the image ")" + testing::TempDir() +
             R"(gone.png" does not exist)"},
        {"undecodable image", tmx(tileset16 + R"(<image source="junk.png"/></tileset>)"),
         R"(junk.png" cannot be decoded)"},
        {"huge image", tmx(tileset16 + R"(<image source="huge.png"/></tileset>)"),
         "is 100000 x 100000 pixels, more than the 16777216 allowed"},
        {"bad trans", tmx(tileset16 + R"(<image source="x.png" trans="red"/></tileset>)"),
         R"(the transparent colour "red" is not RRGGBB hex)"},
        {"collection tile outside its image",
         tmx(tileset16 +
             R"(<tile id="3" x="60" width="16" height="8"><image source="x.png"/></tile></tileset>)"),
         R"(<tileset name="t">: tile 3: the rectangle 16 x 8 at 60,0 lies outside its 64 x 32 image)"},
        {"zero tile size", tmx(R"(<tileset firstgid="1" tilewidth="0" tileheight="16"/>)"),
         "the tile size 0 x 16 is not positive"},
        {"short CSV", tmxData(R"(encoding="csv")", "1"),
         R"(<layer name="L"> <data>: CSV data holds 1 tile, expected 2)"},
        {"long CSV", tmxData(R"(encoding="csv")", "1,2,3"), "CSV data holds more than 2 tiles"},
        {"bad CSV", tmxData(R"(encoding="csv")", "1,x"), "CSV value 2 \"x\" is not a tile number"},
        {"GID past 32 bits", tmxData(R"(encoding="csv")", "1,4294967296"), "is not a tile number"},
        {"short base64", tmxData(R"(encoding="base64")", "AQAAAA=="),
         "data holds 4 bytes, expected 8 (2 tiles)"},
        {"bad base64", tmxData(R"(encoding="base64")", "AQAA*AAA"), "bad base64 text"},
        {"corrupt zlib", tmxData(R"(encoding="base64" compression="zlib")", "eJz/////"),
         "corrupt zlib data"},
        {"corrupt gzip", tmxData(R"(encoding="base64" compression="gzip")", "H4sIAAAAAAAAA8tI"),
         "corrupt gzip data"},
        {"corrupt zstd", tmxData(R"(encoding="base64" compression="zstd")", "KLUv/SAIQQAA"),
         "corrupt zstd data"},
        {"unknown encoding", tmxData(R"(encoding="hex")", "00"), R"(unknown encoding "hex")"},
        {"unknown compression", tmxData(R"(encoding="base64" compression="lz4")", "AAAA"),
         R"(unknown compression "lz4")"},
        {"too few XML tiles", tmxData("", "<tile/>"), "1 <tile> elements, expected 2"},
        {"absurd layer", tmx(R"(<layer name="L" width="100000" height="100000"><data/></layer>)"),
         "100000 x 100000 cells are more than the 16777216 a layer may hold"},
        {"absurd chunk span",
         tmx(R"(<layer name="L"><data encoding="csv"><chunk x="-100000" y="0" width="1" height="1">0</chunk><chunk x="100000" y="100000" width="1" height="1">0</chunk></data></layer>)",
             R"( infinite="1")"),
         "the chunks span 200001 x 100001 cells"},
        {"bad number", R"(<map tilewidth="wide"/>)",
         R"(bad.tmx: <map>: tilewidth="wide" is not a whole number)"},
        {"JSON data count",
         R"({"type":"map","width":2,"height":1,"layers":[{"type":"tilelayer","name":"G","data":[1]}]})",
         R"(bad.tmx: layers[0] "G": "data" holds 1 tiles, expected 2)"},
        {"JSON negative GID",
         R"({"width":1,"height":1,"layers":[{"type":"tilelayer","data":[-1]}]})",
         "data[0]: -1 is not a tile number"},
        {"JSON wrong type", R"({"layers":[{"type":"group","layers":{}}]})",
         R"("layers" is not an array)"},
        {"JSON unknown layer", R"({"layers":[{"type":"cloud"}]})", R"(unknown layer type "cloud")"},
        {"JSON base64 compressed wrongly",
         R"({"width":1,"height":1,"layers":[{"type":"tilelayer","encoding":"base64","compression":"gzip","data":"AAAA"}]})",
         "corrupt gzip data"},
        {"deep groups", tmx(deepGroups), "groups nested deeper than 64"},
    };
    const std::string root = testing::TempDir();
    writeFile(root + "junk.png", "not a picture at all");
    writeFile(root + "huge.png", pngHeader(100000, 100000));
    fs::copy_file(fixtures + "tiles16.png", root + "x.png");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TiledReader reader;
        Tiled::Map map;
        EXPECT_FALSE(reader.readText(row.text, root + "bad.tmx", map));
        EXPECT_NE(reader.error().find(row.expected), std::string::npos) << reader.error();
        EXPECT_EQ(reader.error().rfind(root + "bad.tmx: ", 0), 0u) << reader.error();
        EXPECT_EQ(reader.error().find('\n'), std::string::npos) << reader.error();
    }
}

TEST(TiledReader, MissingMapFileIsNamed) {
    TiledReader reader;
    Tiled::Map map;
    EXPECT_FALSE(reader.read(testing::TempDir() + "none.tmx", map));
    EXPECT_EQ(reader.error(), testing::TempDir() + "none.tmx: the file \"" + testing::TempDir() +
                                  "none.tmx\" does not exist");
}

} // namespace
