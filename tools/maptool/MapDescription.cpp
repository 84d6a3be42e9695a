#include "MapDescription.h"

#include "map/MapLibrary.h"

#include <allegro5/allegro.h>
#include <nlohmann/json.hpp>

#include <cstdint>
#include <fstream>
#include <initializer_list>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>

using json = nlohmann::json;
using MapWriter::Block;
using MapWriter::MapContent;
using MapWriter::Pixel;

namespace {

// Carries the one-line reason out of the nested readers to MapDescription::read.
class DescriptionError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

[[noreturn]] void fail(const std::string& where, const std::string& what) {
    throw DescriptionError(where + ": " + what);
}

std::string describe(const json& value) {
    std::string text = value.dump();
    if (text.size() > 40)
        text = text.substr(0, 37) + "...";
    return text;
}

void checkObject(const json& value, const std::string& where,
                 std::initializer_list<const char*> allowed) {
    if (!value.is_object())
        fail(where, "expected an object, not " + describe(value));
    for (const auto& item : value.items()) {
        bool known = item.key() == "comment";
        for (const char* name : allowed)
            known = known || item.key() == name;
        if (!known)
            fail(where, "unknown field \"" + item.key() + "\"");
    }
}

long long readInteger(const json& value, const std::string& where, long long lowest,
                      long long highest) {
    if (!value.is_number_integer())
        fail(where, "expected a whole number, not " + describe(value));
    const bool tooLarge =
        value.is_number_unsigned() &&
        value.get<unsigned long long>() > static_cast<unsigned long long>(highest);
    const long long v = tooLarge ? highest : value.get<long long>();
    if (tooLarge || v < lowest || v > highest)
        fail(where, "must lie in " + std::to_string(lowest) + ".." + std::to_string(highest) +
                        ", not " + describe(value));
    return v;
}

long long optionalInteger(const json& object, const char* key, const std::string& where,
                          long long lowest, long long highest, long long fallback) {
    if (!object.contains(key))
        return fallback;
    return readInteger(object.at(key), where + "." + key, lowest, highest);
}

std::string readString(const json& value, const std::string& where) {
    if (!value.is_string())
        fail(where, "expected a text, not " + describe(value));
    return value.get<std::string>();
}

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The tile sheet: tiles of one block each, left to right, then top to bottom. Magenta and
// clear pixels are transparent.
class TileSheet {
  public:
    void load(const std::string& path, int blockWidth, int blockHeight) {
        path_ = path;
        bitmap_.reset(al_load_bitmap(path.c_str()));
        if (!bitmap_)
            fail("tileSheet", "cannot read the image \"" + path + "\"");
        columns_ = al_get_bitmap_width(bitmap_.get()) / blockWidth;
        rows_ = al_get_bitmap_height(bitmap_.get()) / blockHeight;
        blockWidth_ = blockWidth;
        blockHeight_ = blockHeight;
        if (columns_ == 0 || rows_ == 0)
            fail("tileSheet", "\"" + path + "\" is smaller than one block");
    }
    bool loaded() const { return bitmap_ != nullptr; }
    int tileCount() const { return columns_ * rows_; }

    std::vector<Pixel> tile(int index) const {
        std::vector<Pixel> pixels;
        const int left = (index % columns_) * blockWidth_;
        const int top = (index / columns_) * blockHeight_;
        for (int y = 0; y < blockHeight_; ++y) {
            for (int x = 0; x < blockWidth_; ++x) {
                unsigned char r, g, b, a;
                al_unmap_rgba(al_get_pixel(bitmap_.get(), left + x, top + y), &r, &g, &b, &a);
                const bool magenta = r == 255 && g == 0 && b == 255;
                pixels.push_back(magenta || a < 128 ? Pixel{0, 0, 0, 0} : Pixel{r, g, b, 255});
            }
        }
        return pixels;
    }

  private:
    struct BitmapDeleter {
        void operator()(ALLEGRO_BITMAP* b) const { al_destroy_bitmap(b); }
    };
    std::unique_ptr<ALLEGRO_BITMAP, BitmapDeleter> bitmap_;
    std::string path_;
    int columns_ = 0;
    int rows_ = 0;
    int blockWidth_ = 0;
    int blockHeight_ = 0;
};

// Watches the parser's events for a key written twice in one object; nlohmann keeps the last
// one silently, which hides a typing slip. The place is named as the other messages name it:
// "description", "legend", "layers[1]".
class DuplicateKeyWatch {
  public:
    bool onEvent(json::parse_event_t event, const json& parsed) {
        switch (event) {
        case json::parse_event_t::object_start:
        case json::parse_event_t::array_start:
            countElement();
            frames_.push_back({event == json::parse_event_t::object_start, {}, {}, 0});
            break;
        case json::parse_event_t::key: {
            Frame& frame = frames_.back();
            frame.key = parsed.get<std::string>();
            if (!frame.keys.insert(frame.key).second)
                fail(place(), "the key \"" + frame.key + "\" is used twice");
            break;
        }
        case json::parse_event_t::value:
            countElement();
            break;
        case json::parse_event_t::object_end:
        case json::parse_event_t::array_end:
            frames_.pop_back();
            break;
        }
        return true;
    }

  private:
    struct Frame {
        bool object = false;
        std::set<std::string> keys;
        std::string key;       // objects: the key being read
        std::size_t count = 0; // arrays: elements begun
    };

    void countElement() {
        if (!frames_.empty() && !frames_.back().object)
            ++frames_.back().count;
    }

    // The path of the innermost object, the one being read.
    std::string place() const {
        std::string path;
        for (std::size_t i = 0; i + 1 < frames_.size(); ++i) {
            const Frame& frame = frames_[i];
            if (frame.object)
                path += (path.empty() ? "" : ".") + frame.key;
            else
                path += "[" + std::to_string(frame.count - 1) + "]";
        }
        return path.empty() ? "description" : path;
    }

    std::vector<Frame> frames_;
};

// Resolves the description step by step into the writer's content.
class Builder {
  public:
    Builder(const json& root, const std::string& folder, MapContent& out)
        : root_(root), folder_(folder), out_(out) {}

    void build() {
        checkObject(root_, "description",
                    {"name", "tileSheet", "blockWidth", "blockHeight", "mapType", "depth",
                     "byteOrder", "columnStep", "rowStep", "staggerX", "staggerY", "shortHeader",
                     "note", "width", "height", "blocks", "animations", "legend", "layers"});
        readHeader();
        readBlocks();
        readAnimations();
        if (root_.contains("legend"))
            readLegend(root_.at("legend"), "legend", legend_);
        readLayers();
    }

    int greyKeyPixels() const { return greyKeyPixels_; }

  private:
    void readHeader() {
        const std::string where = "description";
        out_.blockWidth =
            static_cast<int>(optionalInteger(root_, "blockWidth", where, 1, 1024, 32));
        out_.blockHeight =
            static_cast<int>(optionalInteger(root_, "blockHeight", where, 1, 1024, 32));
        out_.mapType = static_cast<int>(optionalInteger(root_, "mapType", where, 0, 3, 2));
        out_.blockDepth = static_cast<int>(optionalInteger(root_, "depth", where, 8, 32, 32));
        if (out_.blockDepth != 8 && out_.blockDepth != 15 && out_.blockDepth != 16 &&
            out_.blockDepth != 24 && out_.blockDepth != 32)
            fail("description.depth",
                 "must be 8, 15, 16, 24 or 32, not " + std::to_string(out_.blockDepth));
        if (root_.contains("byteOrder")) {
            const std::string order = readString(root_.at("byteOrder"), "description.byteOrder");
            if (order != "le" && order != "be")
                fail("description.byteOrder", "must be \"le\" or \"be\", not \"" + order + "\"");
            out_.byteOrder =
                order == "le" ? MapWriter::ByteOrder::Little : MapWriter::ByteOrder::Big;
        }
        out_.columnStep =
            static_cast<int>(optionalInteger(root_, "columnStep", where, 0, 32767, 0));
        out_.rowStep = static_cast<int>(optionalInteger(root_, "rowStep", where, 0, 32767, 0));
        out_.staggerX =
            static_cast<int>(optionalInteger(root_, "staggerX", where, -32768, 32767, 0));
        out_.staggerY =
            static_cast<int>(optionalInteger(root_, "staggerY", where, -32768, 32767, 0));
        if (root_.contains("shortHeader")) {
            if (!root_.at("shortHeader").is_boolean())
                fail("description.shortHeader", "expected true or false");
            out_.shortHeader = root_.at("shortHeader").get<bool>();
        }
        if (root_.contains("note"))
            out_.note = readString(root_.at("note"), "description.note");
        if (root_.contains("tileSheet")) {
            const std::string sheet = readString(root_.at("tileSheet"), "description.tileSheet");
            sheet_.load(!sheet.empty() && sheet[0] == '/' ? sheet : folder_ + sheet,
                        out_.blockWidth, out_.blockHeight);
        }
        out_.graphics.clear();
        out_.graphics.push_back(std::vector<Pixel>(
            static_cast<std::size_t>(out_.blockWidth) * out_.blockHeight, Pixel{0, 0, 0, 0}));
    }

    // Sheet tile -> graphic number; graphics are numbered in order of first use from 1.
    std::int32_t graphicFor(const json& value, const std::string& where) {
        if (value.is_null())
            return 0;
        if (!sheet_.loaded())
            fail(where, "a tile needs \"tileSheet\" in the description");
        const int tile = static_cast<int>(readInteger(value, where, 0, sheet_.tileCount() - 1));
        const auto found = graphicOfTile_.find(tile);
        if (found != graphicOfTile_.end())
            return found->second;
        const auto graphic = static_cast<std::int32_t>(out_.graphics.size());
        out_.graphics.push_back(sheet_.tile(tile));
        for (const Pixel& p : out_.graphics.back())
            if (p.a == 255 && p.r == 64 && p.g == 64 && p.b == 64)
                ++greyKeyPixels_;
        graphicOfTile_.emplace(tile, graphic);
        return graphic;
    }

    void addName(const std::string& name, const std::string& where) {
        if (name.empty())
            fail(where, "a name must not be empty");
        if (!names_.insert(name).second)
            fail(where, "the name \"" + name + "\" is used twice");
    }

    void readBlocks() {
        if (!root_.contains("blocks"))
            fail("description", "missing \"blocks\" (the list of blocks)");
        const json& blocks = root_.at("blocks");
        if (!blocks.is_array() || blocks.empty())
            fail("blocks", "expected a non-empty list of blocks");
        for (std::size_t i = 0; i < blocks.size(); ++i) {
            const std::string where = "blocks[" + std::to_string(i) + "]";
            const json& item = blocks[i];
            Block block;
            if (item.is_number_integer()) {
                block.background = graphicFor(item, where);
                out_.blocks.push_back(block);
                continue;
            }
            checkObject(item, where,
                        {"name", "background", "foreground", "userLong1", "userLong2", "userShort1",
                         "userShort2", "userByte1", "userByte2", "userByte3", "flags", "solid"});
            if (item.contains("name")) {
                const std::string name = readString(item.at("name"), where + ".name");
                addName(name, where + ".name");
                blockNames_[name] = static_cast<int>(i);
            }
            block.background = item.contains("background")
                                   ? graphicFor(item.at("background"), where + ".background")
                                   : 0;
            if (item.contains("foreground")) {
                const json& fg = item.at("foreground");
                if (!fg.is_array() || fg.size() > 3)
                    fail(where + ".foreground", "expected a list of at most three tiles");
                std::int32_t* slots[3] = {&block.foreground1, &block.foreground2,
                                          &block.foreground3};
                for (std::size_t k = 0; k < fg.size(); ++k) {
                    const std::string at = where + ".foreground[" + std::to_string(k) + "]";
                    if (fg[k].is_null())
                        continue;
                    *slots[k] = graphicFor(fg[k], at);
                }
            }
            block.userLong1 = static_cast<std::int32_t>(
                optionalInteger(item, "userLong1", where, INT32_MIN, INT32_MAX, 0));
            block.userLong2 = static_cast<std::int32_t>(
                optionalInteger(item, "userLong2", where, INT32_MIN, INT32_MAX, 0));
            block.userShort1 = static_cast<std::int16_t>(
                optionalInteger(item, "userShort1", where, -32768, 32767, 0));
            block.userShort2 = static_cast<std::int16_t>(
                optionalInteger(item, "userShort2", where, -32768, 32767, 0));
            block.userByte1 =
                static_cast<std::uint8_t>(optionalInteger(item, "userByte1", where, 0, 255, 0));
            block.userByte2 =
                static_cast<std::uint8_t>(optionalInteger(item, "userByte2", where, 0, 255, 0));
            block.userByte3 =
                static_cast<std::uint8_t>(optionalInteger(item, "userByte3", where, 0, 255, 0));
            block.flags =
                static_cast<std::uint8_t>(optionalInteger(item, "flags", where, 0, 255, 0));
            // "solid": true or false sets or clears the bit that makes the block's cells solid.
            if (item.contains("solid")) {
                if (!item.at("solid").is_boolean())
                    fail(where + ".solid", "expected true or false");
                const std::uint8_t solid = MapLibrary::SolidFlag;
                block.flags = static_cast<std::uint8_t>(
                    item.at("solid").get<bool>() ? block.flags | solid : block.flags & ~solid);
            }
            out_.blocks.push_back(block);
        }
    }

    int blockFor(const json& value, const std::string& where) {
        if (value.is_string()) {
            const auto found = blockNames_.find(value.get<std::string>());
            if (found == blockNames_.end())
                fail(where, "no block is named " + describe(value));
            return found->second;
        }
        return static_cast<int>(
            readInteger(value, where, 0, static_cast<long long>(out_.blocks.size()) - 1));
    }

    void readAnimations() {
        if (!root_.contains("animations"))
            return;
        const json& animations = root_.at("animations");
        if (!animations.is_array())
            fail("animations", "expected a list of animations");
        for (std::size_t i = 0; i < animations.size(); ++i) {
            const std::string where = "animations[" + std::to_string(i) + "]";
            const json& item = animations[i];
            checkObject(item, where, {"name", "type", "delay", "userByte", "frames"});
            if (item.contains("name")) {
                const std::string name = readString(item.at("name"), where + ".name");
                addName(name, where + ".name");
                animationNames_[name] = static_cast<int>(i) + 1;
            }
            MapWriter::Animation animation;
            animation.type =
                static_cast<std::int8_t>(optionalInteger(item, "type", where, 0, 9, 1));
            animation.delay =
                static_cast<std::int8_t>(optionalInteger(item, "delay", where, 0, 127, 0));
            animation.counter = animation.delay;
            animation.userByte =
                static_cast<std::int8_t>(optionalInteger(item, "userByte", where, -128, 255, 0));
            if (!item.contains("frames") || !item.at("frames").is_array() ||
                item.at("frames").empty())
                fail(where + ".frames", "expected a non-empty list of blocks");
            animation.start = static_cast<std::int32_t>(out_.sequence.size());
            const json& frames = item.at("frames");
            for (std::size_t k = 0; k < frames.size(); ++k)
                out_.sequence.push_back(
                    blockFor(frames[k], where + ".frames[" + std::to_string(k) + "]"));
            animation.end = static_cast<std::int32_t>(out_.sequence.size());
            animation.current = animation.start;
            out_.animations.push_back(animation);
        }
        if (out_.animations.size() > 2047)
            fail("animations", "at most 2047 animations");
    }

    // Cell values as authors write them: a block index, -n for the n-th animation, or a name.
    std::int16_t cellFor(const json& value, const std::string& where) {
        const auto animationCount = static_cast<int>(out_.animations.size());
        auto animationCell = [&](int n) {
            // The file counts animations back from the last record: -1 is the last one.
            return static_cast<std::int16_t>(n - 1 - animationCount);
        };
        if (value.is_string()) {
            const std::string name = value.get<std::string>();
            const auto block = blockNames_.find(name);
            if (block != blockNames_.end())
                return static_cast<std::int16_t>(block->second);
            const auto animation = animationNames_.find(name);
            if (animation != animationNames_.end())
                return animationCell(animation->second);
            fail(where, "no block or animation is named \"" + name + "\"");
        }
        const long long v = readInteger(value, where, -static_cast<long long>(animationCount),
                                        static_cast<long long>(out_.blocks.size()) - 1);
        return v >= 0 ? static_cast<std::int16_t>(v) : animationCell(static_cast<int>(-v));
    }

    // Legend entries: one character each, valued as a cell.
    void readLegend(const json& legend, const std::string& where,
                    std::map<char, std::int16_t>& into) {
        if (!legend.is_object())
            fail(where, "expected an object of one-character keys");
        for (const auto& item : legend.items()) {
            const std::string at = where + "[\"" + item.key() + "\"]";
            if (item.key().size() != 1)
                fail(at, "a legend key must be exactly one character");
            into[item.key()[0]] = cellFor(item.value(), at);
        }
    }

    void readRow(const json& row, const std::string& where,
                 const std::map<char, std::int16_t>& legend, std::vector<std::int16_t>& cells,
                 int& width) {
        std::vector<std::int16_t> values;
        if (row.is_string()) {
            const std::string text = row.get<std::string>();
            for (std::size_t x = 0; x < text.size(); ++x) {
                const auto found = legend.find(text[x]);
                if (found == legend.end())
                    fail(where, "column " + std::to_string(x) + ": '" + std::string(1, text[x]) +
                                    "' is not in the legend");
                values.push_back(found->second);
            }
        } else if (row.is_array()) {
            for (std::size_t x = 0; x < row.size(); ++x)
                values.push_back(cellFor(row[x], where + "[" + std::to_string(x) + "]"));
        } else {
            fail(where, "expected a row: a text of legend characters or a list of cells");
        }
        if (width < 0)
            width = static_cast<int>(values.size());
        if (static_cast<int>(values.size()) != width || width == 0)
            fail(where, "has " + std::to_string(values.size()) + " cells, the map is " +
                            std::to_string(width) + " wide");
        cells.insert(cells.end(), values.begin(), values.end());
    }

    void readLayers() {
        if (!root_.contains("layers"))
            fail("description", "missing \"layers\" (the list of layers)");
        const json& layers = root_.at("layers");
        if (!layers.is_array() || layers.empty() || layers.size() > 8)
            fail("layers", "expected a list of one to eight layers");
        int width = static_cast<int>(optionalInteger(root_, "width", "description", 1, 32767, -1));
        int height =
            static_cast<int>(optionalInteger(root_, "height", "description", 1, 32767, -1));
        int slot = 0;
        for (std::size_t i = 0; i < layers.size(); ++i) {
            const std::string where = "layers[" + std::to_string(i) + "]";
            const json* rows = &layers[i];
            std::map<char, std::int16_t> legend = legend_;
            if (layers[i].is_object()) {
                checkObject(layers[i], where, {"name", "slot", "legend", "rows"});
                if (layers[i].contains("legend"))
                    readLegend(layers[i].at("legend"), where + ".legend", legend);
                slot = static_cast<int>(optionalInteger(layers[i], "slot", where, 0, 7, slot));
                if (!layers[i].contains("rows"))
                    fail(where, "missing \"rows\"");
                rows = &layers[i].at("rows");
            }
            if (slot > 7)
                fail(where, "a map has at most eight layer slots (0..7)");
            if (!out_.layers[slot].empty())
                fail(where, "layer slot " + std::to_string(slot) + " is used twice");
            if (!rows->is_array() || rows->empty())
                fail(where, "expected a non-empty list of rows");
            if (height < 0)
                height = static_cast<int>(rows->size());
            if (static_cast<int>(rows->size()) != height)
                fail(where, "has " + std::to_string(rows->size()) + " rows, the map is " +
                                std::to_string(height) + " high");
            std::vector<std::int16_t> cells;
            for (std::size_t y = 0; y < rows->size(); ++y)
                readRow((*rows)[y], where + ".rows[" + std::to_string(y) + "]", legend, cells,
                        width);
            out_.layers[slot] = std::move(cells);
            ++slot;
        }
        out_.mapWidth = width;
        out_.mapHeight = height;
    }

    const json& root_;
    std::string folder_;
    MapContent& out_;
    TileSheet sheet_;
    std::map<int, std::int32_t> graphicOfTile_;
    std::set<std::string> names_;
    std::map<std::string, int> blockNames_;
    std::map<std::string, int> animationNames_; // 1-based, as authors count them
    std::map<char, std::int16_t> legend_;
    int greyKeyPixels_ = 0;
};

void applyOptions(const MakeOptions& options, MapContent& content) {
    if (options.mapType)
        content.mapType = *options.mapType;
    if (options.depth)
        content.blockDepth = *options.depth;
    if (options.byteOrder)
        content.byteOrder = *options.byteOrder;
    if (options.stagger) {
        content.staggerX = options.stagger->first;
        content.staggerY = options.stagger->second;
    }
    if (options.steps) {
        content.columnStep = options.steps->first;
        content.rowStep = options.steps->second;
    }
    if (options.note)
        content.note = *options.note;
    if (options.shortHeader)
        content.shortHeader = true;
}

} // namespace

bool MapDescription::read(const std::string& path, const MakeOptions& options) {
    content_ = MapContent{};
    error_.clear();
    greyKeyPixels_ = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error_ = "cannot open the description \"" + path + "\"";
        return false;
    }
    json root;
    try {
        DuplicateKeyWatch watch;
        root = json::parse(
            in,
            [&watch](int, json::parse_event_t event, json& parsed) {
                return watch.onEvent(event, parsed);
            },
            true, true);
    } catch (const json::exception& e) {
        error_ = "\"" + path + "\" is not valid JSON: " + e.what();
        return false;
    } catch (const DescriptionError& e) {
        error_ = path + ": " + e.what();
        return false;
    }
    try {
        Builder builder(root, folderOf(path), content_);
        builder.build();
        greyKeyPixels_ = builder.greyKeyPixels();
    } catch (const DescriptionError& e) {
        error_ = path + ": " + e.what();
        return false;
    } catch (const json::exception& e) {
        error_ = path + ": " + e.what();
        return false;
    }
    applyOptions(options, content_);
    return true;
}
