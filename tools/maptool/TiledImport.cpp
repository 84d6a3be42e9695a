#include "TiledImport.h"

#include "BlockFields.h"
#include "TilePicture.h"
#include "TiledTiles.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>

namespace {

// The format's limits are checked as early as the import knows what they bound, so that its
// refusals speak of tiles and cells; the finished content is checked as the writer checks it.
using MapFormat::mostAnimations;
using MapFormat::mostBlocks;
using MapFormat::mostBlockSide;
using MapFormat::mostMapSide;
// Bounds of the import's own, so that no map takes memory without end: cells per layer (bounded
// by the model) and pixels of all block graphics together.
using TiledModel::mostCells;
constexpr long long mostGraphicPixels = 1LL << 26;

struct Failure {
    std::string message;
};

[[noreturn]] void fail(const std::string& message) {
    throw Failure{message};
}

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// "1 pixel", "2 pixels".
std::string counted(long long n, const std::string& one, const std::string& many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
}

// Where a graphic's picture sits inside its block, and its pixels.
struct Placed {
    TileKey key;
    TilePicture::Pixels pixels;
    int left = 0; // where Tiled draws it, from the top-left of the game's cell
    int top = 0;
};

class Converter {
  public:
    Converter(const TiledModel::Map& map, const ImportOptions& options, MapWriter::MapContent& out,
              std::vector<NpcSpawn>& spawns, std::vector<std::string>& warnings,
              std::vector<std::string>& notes)
        : map_(map), options_(options), out_(out), spawns_(spawns), warnings_(warnings),
          notes_(notes) {}

    void run(int& offsetX, int& offsetY) {
        checkOrientation();
        chooseLayers();
        findBounds();
        readCells();
        checkTileSizes();
        placeGraphics();
        makeBlocks();
        makeAnimations();
        fillLayers();
        compareWithTiled();
        placeCharacters();
        offsetX = -shiftX_;
        offsetY = -shiftY_;
    }

  private:
    const TiledModel::Map& map_;
    const ImportOptions& options_;
    MapWriter::MapContent& out_;
    std::vector<NpcSpawn>& spawns_;
    std::vector<std::string>& warnings_;
    std::vector<std::string>& notes_;

    bool staggered_ = false;
    bool evenStagger_ = false;
    int cellWidth_ = 0; // Tiled's cell box
    int cellHeight_ = 0;
    int rowHeight_ = 0; // pixels from one Tiled row to the next
    int gameDx_ = 0;    // the game's cell top-left minus Tiled's, before any shift
    int gameDy_ = 0;
    int shiftX_ = 0; // <= 0: how far the whole picture moves left/up inside the graphics
    int shiftY_ = 0;

    std::vector<const TiledModel::Layer*> tileLayers_;
    int left_ = 0; // the map cells taken: left_.. left_ + width_ - 1
    int top_ = 0;
    int width_ = 0;
    int height_ = 0;

    const TiledTiles tiles_{map_};
    // What cells show: index + 1 into kinds_ (0 is an empty cell), per layer, row by row.
    std::vector<TileKey> kinds_;
    std::map<TileKey, int> kindIndex_;
    std::vector<std::vector<int>> cells_;
    // Tiles that become blocks (animated tiles give their frames), in order of first use.
    std::vector<Placed> graphics_;
    std::map<TileKey, int> graphicIndex_;
    std::map<TileKey, int> animationIndex_;

    void checkOrientation() {
        const std::string& o = map_.orientation;
        if (o == "staggered") {
            if (map_.staggerAxis == "x")
                fail("staggered maps with stagger axis x cannot be imported, only axis y");
            staggered_ = true;
            evenStagger_ = map_.staggerIndex == "even";
        } else if (o != "orthogonal" && !o.empty()) {
            fail("orientation " + quoted(o) +
                 " cannot be imported: only orthogonal and staggered (axis y) maps");
        }
        if (map_.tileWidth < 1 || map_.tileHeight < 1 || map_.tileWidth > mostMapSide ||
            map_.tileHeight > mostMapSide)
            fail("the map's tile size " + std::to_string(map_.tileWidth) + " x " +
                 std::to_string(map_.tileHeight) + " is outside 1.." + std::to_string(mostMapSide));
        if (staggered_) {
            const int hw = map_.tileWidth / 2;
            const int hh = map_.tileHeight / 2;
            if (hw < 1 || hh < 1)
                fail("a staggered map needs tiles at least 2 x 2 pixels");
            cellWidth_ = 2 * hw;
            cellHeight_ = 2 * hh;
            rowHeight_ = hh;
            // The game draws the first row of each pair half a cell up and left of the second;
            // an even stagger index gets an empty row on top, so its shifted rows pair up too.
            gameDx_ = -hw;
            gameDy_ = evenStagger_ ? 0 : -hh;
        } else {
            cellWidth_ = map_.tileWidth;
            cellHeight_ = map_.tileHeight;
            rowHeight_ = map_.tileHeight;
        }
    }

    void warnAboutLayer(const TiledModel::Layer& layer) {
        const std::string name = "layer " + quoted(layer.name) + ": ";
        if (layer.opacity < 1.0)
            warnings_.push_back(name + "opacity " + number(layer.opacity) + " is ignored");
        if (!layer.tint.empty() && layer.tint != "#ffffff" && layer.tint != "#ffffffff")
            warnings_.push_back(name + "tint " + layer.tint + " is ignored");
        if (layer.offsetX != 0 || layer.offsetY != 0)
            warnings_.push_back(name + "offset " + number(layer.offsetX) + "," +
                                number(layer.offsetY) + " is ignored");
        if (layer.parallaxX != 1.0 || layer.parallaxY != 1.0)
            warnings_.push_back(name + "parallax " + number(layer.parallaxX) + "," +
                                number(layer.parallaxY) + " is ignored");
    }

    void chooseLayers() {
        for (const TiledModel::Layer& layer : map_.layers) {
            if (layer.kind == TiledModel::LayerKind::Objects)
                continue;
            if (!layer.visible) {
                notes_.push_back("layer " + quoted(layer.name) + " is hidden and left out");
                continue;
            }
            if (layer.kind == TiledModel::LayerKind::Image) {
                warnings_.push_back("image layer " + quoted(layer.name) +
                                    " cannot be stored in the map and is left out");
                continue;
            }
            warnAboutLayer(layer);
            tileLayers_.push_back(&layer);
        }
        if (tileLayers_.empty())
            fail("the map has no visible tile layer");
        if (tileLayers_.size() > static_cast<std::size_t>(MapFormat::LayerSlots))
            fail(std::to_string(tileLayers_.size()) + " visible tile layers; a map holds at most " +
                 std::to_string(MapFormat::LayerSlots));
    }

    // Finite maps keep their size; infinite ones are cut to the cells their tiles use.
    void findBounds() {
        if (!map_.infinite) {
            left_ = 0;
            top_ = 0;
            width_ = map_.width;
            height_ = map_.height;
        } else {
            long long x0 = LLONG_MAX, y0 = LLONG_MAX, x1 = LLONG_MIN, y1 = LLONG_MIN;
            for (const TiledModel::Layer* layer : tileLayers_)
                for (int j = 0; j < layer->height; ++j)
                    for (int i = 0; i < layer->width; ++i)
                        if ((layer->gids[static_cast<std::size_t>(j) * layer->width + i] &
                             ~TiledModel::gidFlags) != 0) {
                            x0 = std::min<long long>(x0, layer->left + i);
                            y0 = std::min<long long>(y0, layer->top + j);
                            x1 = std::max<long long>(x1, layer->left + i);
                            y1 = std::max<long long>(y1, layer->top + j);
                        }
            if (x0 == LLONG_MAX)
                fail("the infinite map has no tiles");
            // Staggered rows alternate by their number, so a cut keeps that number's parity.
            if (staggered_ && (y0 % 2) != 0)
                --y0;
            if (x1 - x0 + 1 > mostMapSide || y1 - y0 + 1 > mostMapSide)
                fail("the tiles span " + std::to_string(x1 - x0 + 1) + " x " +
                     std::to_string(y1 - y0 + 1) + " cells; a map holds at most " +
                     std::to_string(mostMapSide) + " each way");
            left_ = static_cast<int>(x0);
            top_ = static_cast<int>(y0);
            width_ = static_cast<int>(x1 - x0 + 1);
            height_ = static_cast<int>(y1 - y0 + 1);
            notes_.push_back("the infinite map is cut to its tiles: cells " +
                             std::to_string(left_) + "," + std::to_string(top_) + " to " +
                             std::to_string(x1) + "," + std::to_string(y1));
        }
        if (width_ < 1 || height_ < 1)
            fail("the map is " + std::to_string(width_) + " x " + std::to_string(height_) +
                 " cells");
        if (width_ > mostMapSide || height_ > mostMapSide)
            fail("the map is " + std::to_string(width_) + " x " + std::to_string(height_) +
                 " cells; a map holds at most " + std::to_string(mostMapSide) + " each way");
        if (static_cast<long long>(width_) * height_ > mostCells)
            fail("the map is " + std::to_string(width_) + " x " + std::to_string(height_) +
                 " cells, more than the " + std::to_string(mostCells) +
                 " cells a map may have here");
    }

    void addGraphic(const TileKey& key) {
        if (graphicIndex_.count(key) == 0) {
            graphicIndex_[key] = static_cast<int>(graphics_.size());
            graphics_.push_back(Placed{key, {}, 0, 0});
        }
    }

    void addKind(const TileKey& key) {
        kindIndex_[key] = static_cast<int>(kinds_.size());
        kinds_.push_back(key);
        const auto* frames = tiles_.animation(key);
        if (frames == nullptr) {
            addGraphic(key);
            return;
        }
        for (const TiledModel::Frame& frame : *frames) {
            if (!tiles_.exists(key.tileset, frame.tileId))
                fail(tiles_.name(key) + ": its animation shows tile " +
                     std::to_string(frame.tileId) + ", which the tileset does not have");
            addGraphic(TileKey{key.tileset, frame.tileId, key.flags});
        }
    }

    void readCells() {
        for (const TiledModel::Layer* layer : tileLayers_) {
            if (layer->width < 0 || layer->height < 0 ||
                layer->gids.size() != static_cast<std::size_t>(layer->width) * layer->height)
                fail("layer " + quoted(layer->name) + ": its cells do not match its size");
            std::vector<int> cells(static_cast<std::size_t>(width_) * height_, 0);
            for (int j = 0; j < layer->height; ++j) {
                for (int i = 0; i < layer->width; ++i) {
                    const std::uint32_t gid =
                        layer->gids[static_cast<std::size_t>(j) * layer->width + i];
                    const long long x = static_cast<long long>(layer->left) + i - left_;
                    const long long y = static_cast<long long>(layer->top) + j - top_;
                    if ((gid & ~TiledModel::gidFlags) == 0 || x < 0 || y < 0 || x >= width_ ||
                        y >= height_)
                        continue;
                    const TileKey key = tiles_.resolve(gid);
                    if (key.tileset < 0)
                        fail("layer " + quoted(layer->name) + ", cell " +
                             std::to_string(layer->left + i) + "," +
                             std::to_string(layer->top + j) + ": tile number " +
                             std::to_string(gid & ~TiledModel::gidFlags) +
                             " is beyond every tileset");
                    if (kindIndex_.count(key) == 0)
                        addKind(key);
                    cells[static_cast<std::size_t>(y) * width_ + x] = kindIndex_.at(key) + 1;
                }
            }
            cells_.push_back(std::move(cells));
        }
    }

    // Tiled's tile sizes must agree, so that every block can hold any of them.
    void checkTileSizes() {
        if (graphics_.size() + 1 > static_cast<std::size_t>(mostBlocks))
            fail(std::to_string(graphics_.size()) +
                 " different tiles (flips counted apart); a map holds at most " +
                 std::to_string(mostBlocks - 1));
        const Placed* first = nullptr;
        for (Placed& g : graphics_) {
            if (!tiles_.cut(g.key, g.pixels))
                fail(tiles_.name(g.key) + ": its rectangle lies outside its image");
            if (first == nullptr) {
                first = &g;
            } else if (g.pixels.width != first->pixels.width ||
                       g.pixels.height != first->pixels.height) {
                fail("mixed tile sizes: " + tiles_.name(first->key) + " is " +
                     std::to_string(first->pixels.width) + " x " +
                     std::to_string(first->pixels.height) + " pixels, " + tiles_.name(g.key) +
                     " is " + std::to_string(g.pixels.width) + " x " +
                     std::to_string(g.pixels.height));
            }
        }
    }

    // Tiled draws a tile with its bottom-left on its cell's bottom-left, moved by its
    // tileset's offset. The game draws a block's top-left on its cell's top-left, so each
    // picture goes into its graphic at Tiled's place relative to the game's cell; where that
    // lies above or left of the cell, the whole picture moves right or down instead.
    void placeGraphics() {
        for (Placed& g : graphics_) {
            g.pixels = TilePicture::flip(g.pixels, g.key.flags);
            const TiledModel::Tileset& ts = map_.tilesets[static_cast<std::size_t>(g.key.tileset)];
            g.left = ts.offsetX - gameDx_;
            g.top = cellHeight_ - g.pixels.height + ts.offsetY - gameDy_;
            shiftX_ = std::min(shiftX_, g.left);
            shiftY_ = std::min(shiftY_, g.top);
        }
        int width = graphics_.empty() ? cellWidth_ : 1;
        int height = graphics_.empty() ? cellHeight_ : 1;
        for (Placed& g : graphics_) {
            g.left -= shiftX_;
            g.top -= shiftY_;
            width = std::max(width, g.left + g.pixels.width);
            height = std::max(height, g.top + g.pixels.height);
        }
        if (shiftX_ != 0 || shiftY_ != 0)
            notes_.push_back("tiles reach above or left of their cells: the game draws the "
                             "whole picture " +
                             std::to_string(-shiftX_) + "," + std::to_string(-shiftY_) +
                             " pixels right and down of where Tiled draws it");
        if (width > mostBlockSide || height > mostBlockSide)
            fail("the tiles, their offsets and the stagger need blocks of " +
                 std::to_string(width) + " x " + std::to_string(height) +
                 " pixels; a block has at most " + std::to_string(mostBlockSide) + " each way");
        if (static_cast<long long>(width) * height * static_cast<long long>(graphics_.size() + 1) >
            mostGraphicPixels)
            fail(std::to_string(graphics_.size()) + " graphics of " + std::to_string(width) +
                 " x " + std::to_string(height) + " pixels are more than a map may have here (" +
                 std::to_string(mostGraphicPixels) + " pixels in all)");
        out_.blockWidth = width;
        out_.blockHeight = height;
        const std::string& order = map_.renderOrder;
        if (!order.empty() && order != "right-down" && !staggered_ &&
            (width > cellWidth_ || height > rowHeight_))
            warnings_.push_back("render order " + quoted(order) +
                                " is ignored: overlapping tiles are drawn right-down");
    }

    std::vector<MapWriter::Pixel> graphicPixels(const Placed& g, TilePicture::Counts& counts) {
        const int width = out_.blockWidth;
        std::vector<MapWriter::Pixel> pixels(static_cast<std::size_t>(width) * out_.blockHeight,
                                             MapWriter::Pixel{0, 0, 0, 0});
        for (int y = 0; y < g.pixels.height; ++y)
            for (int x = 0; x < g.pixels.width; ++x)
                pixels[static_cast<std::size_t>(g.top + y) * width + g.left + x] =
                    TilePicture::toBlockPixel(
                        g.pixels.pixels[static_cast<std::size_t>(y) * g.pixels.width + x],
                        options_.depth, counts);
        return pixels;
    }

    // Block 0 and graphic 0 are the empty cell; each used tile follows with its own.
    void makeBlocks() {
        out_.graphics.assign(1, std::vector<MapWriter::Pixel>(
                                    static_cast<std::size_t>(out_.blockWidth) * out_.blockHeight,
                                    MapWriter::Pixel{0, 0, 0, 0}));
        out_.blocks.assign(1, MapWriter::Block{});
        TilePicture::Counts counts;
        for (const Placed& g : graphics_) {
            out_.graphics.push_back(graphicPixels(g, counts));
            MapWriter::Block block;
            block.background = static_cast<std::int32_t>(out_.graphics.size() - 1);
            if (const TiledModel::Tile* tile = tiles_.info(g.key.tileset, g.key.local))
                BlockFields::read(*tile, tiles_.name(g.key), block, warnings_);
            out_.blocks.push_back(block);
        }
        if (counts.halfTransparent > 0)
            notes_.push_back(counted(counts.halfTransparent, "half-transparent pixel",
                                     "half-transparent pixels") +
                             ": below one half of alpha transparent, otherwise opaque");
        if (counts.keyColoured > 0)
            notes_.push_back(counted(counts.keyColoured, "opaque pixel", "opaque pixels") +
                             " in a colour the game makes transparent moved to the nearest "
                             "visible colour");
    }

    // Frames last ms / (1000 / 60) ticks; a record shows each frame delay + 1 ticks.
    int delayFor(const TileKey& key, const std::vector<TiledModel::Frame>& frames) {
        double total = 0;
        bool same = true;
        for (const TiledModel::Frame& f : frames) {
            total += f.durationMs;
            same = same && f.durationMs == frames.front().durationMs;
        }
        const double ticks = total / static_cast<double>(frames.size()) * 60.0 / 1000.0;
        const long long rounded = std::llround(ticks);
        const int delay = static_cast<int>(std::clamp<long long>(rounded - 1, 0, 127));
        if (!same)
            warnings_.push_back(tiles_.name(key) +
                                ": its frames last different times; every frame lasts their "
                                "mean, " +
                                std::to_string(delay + 1) + " ticks");
        if (rounded - 1 > 127)
            warnings_.push_back(tiles_.name(key) +
                                ": frames longer than 128 ticks (2133 ms) are shortened to that");
        return delay;
    }

    void makeAnimations() {
        for (const TileKey& key : kinds_) {
            const auto* frames = tiles_.animation(key);
            if (frames == nullptr)
                continue;
            MapWriter::Animation animation;
            animation.type = 1; // forward loop
            animation.delay = static_cast<std::int8_t>(delayFor(key, *frames));
            animation.counter = animation.delay;
            animation.start = static_cast<std::int32_t>(out_.sequence.size());
            for (const TiledModel::Frame& f : *frames)
                out_.sequence.push_back(
                    1 + graphicIndex_.at(TileKey{key.tileset, f.tileId, key.flags}));
            animation.end = static_cast<std::int32_t>(out_.sequence.size());
            animation.current = animation.start;
            animationIndex_[key] = static_cast<int>(out_.animations.size());
            out_.animations.push_back(animation);
        }
        if (out_.animations.size() > static_cast<std::size_t>(mostAnimations))
            fail(std::to_string(out_.animations.size()) +
                 " animated tiles (flips counted apart); a map holds at most " +
                 std::to_string(mostAnimations));
    }

    std::int16_t cellValue(int kind) const {
        if (kind == 0)
            return 0;
        const TileKey& key = kinds_[static_cast<std::size_t>(kind - 1)];
        const auto animation = animationIndex_.find(key);
        if (animation != animationIndex_.end())
            // The file counts animations back from the last record: -1 is the last one.
            return static_cast<std::int16_t>(animation->second -
                                             static_cast<int>(out_.animations.size()));
        return static_cast<std::int16_t>(1 + graphicIndex_.at(key));
    }

    void fillLayers() {
        // Staggered maps are drawn two rows at a time: an even number of rows, the first of
        // each pair unshifted.
        const int firstRow = evenStagger_ ? 1 : 0;
        int rows = height_ + firstRow;
        if (staggered_ && rows % 2 != 0)
            ++rows;
        if (rows > mostMapSide)
            fail("the map is " + std::to_string(rows) + " rows high once staggered; a map " +
                 "holds at most " + std::to_string(mostMapSide));
        out_.mapType = options_.mapType;
        out_.blockDepth = options_.depth;
        out_.byteOrder = options_.byteOrder;
        // A map property "note" is kept as the file's note.
        for (const TiledModel::Property& p : map_.properties)
            if (p.name == "note")
                out_.note = p.value;
        out_.mapWidth = width_;
        out_.mapHeight = rows;
        out_.columnStep = cellWidth_;
        out_.rowStep = cellHeight_;
        out_.staggerX = staggered_ ? cellWidth_ / 2 : 0;
        out_.staggerY = staggered_ ? cellHeight_ / 2 : 0;
        for (std::size_t slot = 0; slot < cells_.size(); ++slot) {
            std::vector<std::int16_t> layer(static_cast<std::size_t>(width_) * rows, 0);
            for (int y = 0; y < height_; ++y)
                for (int x = 0; x < width_; ++x)
                    layer[static_cast<std::size_t>(y + firstRow) * width_ + x] =
                        cellValue(cells_[slot][static_cast<std::size_t>(y) * width_ + x]);
            out_.layers[slot] = std::move(layer);
        }
    }

    // Where the game draws a cell's tile, from the top-left of the picture, and its place in
    // the game's drawing order: staggered maps draw two map rows per screen row.
    struct GamePlace {
        long long x = 0;
        long long y = 0;
        long long order = 0;
    };

    GamePlace gamePlace(int cellX, int cellY) const {
        const long long gx = static_cast<long long>(cellX) - left_;
        const long long gy = static_cast<long long>(cellY) - top_ + (evenStagger_ ? 1 : 0);
        GamePlace place;
        if (staggered_) {
            const long long second = gy % 2;
            place.x = gx * out_.columnStep + second * out_.staggerX;
            place.y = gy / 2 * out_.rowStep + second * out_.staggerY;
        } else {
            place.x = gx * out_.columnStep;
            place.y = gy * out_.rowStep;
        }
        place.order = gy * out_.mapWidth + gx;
        // The anchor Tiled uses: the bottom-left of the cell's box.
        place.x += gameDx_;
        place.y += cellHeight_ + gameDy_;
        return place;
    }

    static std::string cellList(const std::vector<std::pair<int, int>>& cells) {
        std::string list;
        for (std::size_t i = 0; i < cells.size() && i < 5; ++i)
            list += (i == 0 ? "" : ", ") + std::to_string(cells[i].first) + "," +
                    std::to_string(cells[i].second);
        if (cells.size() > 5)
            list += " and " + std::to_string(cells.size() - 5) + " more";
        return list;
    }

    // Tiled's renderer tells where and in which order it draws each cell; the game's grid and
    // order are checked against it, and cells the game cannot draw as Tiled does are named.
    void compareWithTiled() {
        const bool overlapping = out_.blockWidth > out_.columnStep ||
                                 out_.blockHeight > (staggered_ ? out_.staggerY : out_.rowStep);
        for (const TiledModel::Layer* layer : tileLayers_) {
            if (layer->drawing.empty())
                continue;
            std::vector<std::pair<int, int>> misplaced;
            std::vector<std::pair<int, int>> reordered;
            const TiledModel::DrawnCell& first = layer->drawing.front();
            const GamePlace origin = gamePlace(first.x, first.y);
            const double dx = first.anchorX - static_cast<double>(origin.x);
            const double dy = first.anchorY - static_cast<double>(origin.y);
            long long latest = -1;
            for (const TiledModel::DrawnCell& cell : layer->drawing) {
                const GamePlace place = gamePlace(cell.x, cell.y);
                if (std::abs(cell.anchorX - static_cast<double>(place.x) - dx) > 0.5 ||
                    std::abs(cell.anchorY - static_cast<double>(place.y) - dy) > 0.5)
                    misplaced.emplace_back(cell.x, cell.y);
                if (place.order < latest && overlapping)
                    reordered.emplace_back(cell.x, cell.y);
                latest = std::max(latest, place.order);
            }
            const std::string name = "layer " + quoted(layer->name) + ": ";
            if (!misplaced.empty())
                warnings_.push_back(name + "cells " + cellList(misplaced) +
                                    " lie elsewhere than Tiled draws them: the game's grid "
                                    "cannot place them");
            if (!reordered.empty())
                warnings_.push_back(name + "cells " + cellList(reordered) +
                                    " are drawn before tiles that Tiled draws first; where "
                                    "they overlap, the game shows the other tile on top");
        }
    }

    static const TiledModel::Property* property(const TiledModel::Object& object,
                                                const char* name) {
        for (const TiledModel::Property& p : object.properties)
            if (p.name == name)
                return &p;
        return nullptr;
    }

    // A tile object's x,y is the point of its box that its tileset's object alignment names,
    // the bottom-left when the tileset names none.
    void tileObjectTopLeft(const TiledModel::Object& object, double& left, double& top) const {
        const std::uint32_t id = object.gid & ~TiledModel::gidFlags;
        std::string alignment = "unspecified";
        for (const TiledModel::Tileset& tileset : map_.tilesets) {
            if (tileset.firstGid <= id)
                alignment = tileset.objectAlignment;
        }
        struct Anchor {
            const char* name;
            double across; // share of the width from the left edge to x
            double down;   // share of the height from the top edge to y
        };
        static const Anchor anchors[] = {
            {"topleft", 0, 0},    {"top", 0.5, 0},   {"topright", 1, 0}, {"left", 0, 0.5},
            {"center", 0.5, 0.5}, {"right", 1, 0.5}, {"bottom", 0.5, 1}, {"bottomright", 1, 1},
        };
        double across = 0;
        double down = 1;
        for (const Anchor& anchor : anchors) {
            if (alignment == anchor.name) {
                across = anchor.across;
                down = anchor.down;
            }
        }
        left = object.x - across * object.width;
        top = object.y - down * object.height;
    }

    // An npc object's box has its top-left where the character's picture goes: Tiled shows a
    // rectangle from its x,y down and right, a tile object from its x,y up and right.
    void placeCharacters() {
        const double originX = static_cast<double>(left_) * cellWidth_ + shiftX_;
        const double originY = static_cast<double>(top_) * rowHeight_ + shiftY_;
        int others = 0;
        for (const TiledModel::Layer& layer : map_.layers) {
            if (layer.kind != TiledModel::LayerKind::Objects)
                continue;
            for (const TiledModel::Object& object : layer.objects) {
                if (object.type != "npc") {
                    ++others;
                    continue;
                }
                const std::string name = "object " + quoted(object.name) + " (id " +
                                         std::to_string(object.id) + ") of layer " +
                                         quoted(layer.name);
                if (!layer.visible || !object.visible) {
                    notes_.push_back(name + " is hidden: the character is left out");
                    continue;
                }
                const TiledModel::Property* script = property(object, "script");
                const TiledModel::Property* sprite = property(object, "sprite");
                if (object.name.empty() || script == nullptr || sprite == nullptr) {
                    warnings_.push_back(name + ": a character needs a name and the properties "
                                               "\"script\" and \"sprite\"; it is left out");
                    continue;
                }
                // Tiled writes file properties relative to the map; the game reads the path
                // from its own folder.
                if (script->type == "file")
                    warnings_.push_back(name + ": \"script\" is a file property, kept as " +
                                        quoted(script->value) +
                                        "; the game looks for it from its own folder");
                double left = object.x;
                double top = object.y;
                if (object.gid != 0)
                    tileObjectTopLeft(object, left, top);
                const double x = left + layer.offsetX - originX;
                const double y = top + layer.offsetY - originY;
                if (std::abs(x) > INT_MAX / 2 || std::abs(y) > INT_MAX / 2) {
                    warnings_.push_back(name + ": its position is out of reach; it is left out");
                    continue;
                }
                spawns_.push_back(NpcSpawn{static_cast<int>(std::lround(x)),
                                           static_cast<int>(std::lround(y)), object.name,
                                           script->value, sprite->value});
            }
        }
        if (others > 0)
            notes_.push_back(counted(others, "object", "objects") + " not of type npc left out");
    }
};

} // namespace

bool TiledImport::convert(const TiledModel::Map& map, const ImportOptions& options) {
    content_ = MapWriter::MapContent{};
    spawns_.clear();
    warnings_.clear();
    notes_.clear();
    error_.clear();
    offsetX_ = 0;
    offsetY_ = 0;
    try {
        Converter(map, options, content_, spawns_, warnings_, notes_).run(offsetX_, offsetY_);
        std::string error;
        if (!MapWriter::checkContent(content_, error))
            fail(error);
    } catch (const Failure& failure) {
        error_ = failure.message;
        content_ = MapWriter::MapContent{};
        spawns_.clear();
        return false;
    }
    return true;
}
