#include "DescriptionWriter.h"

#include <allegro5/allegro.h>
#include <allegro5/allegro_image.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>

using json = nlohmann::json;
using MapWriter::MapContent;

namespace {

// Legend characters: printable, and none that JSON text would have to escape.
const std::string legendAlphabet = ".#~+*o=-:,;!?%&$@|/<>()[]{}^_0123456789"
                                   "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr int sheetColumns = 16;

struct BitmapDeleter {
    void operator()(ALLEGRO_BITMAP* bitmap) const { al_destroy_bitmap(bitmap); }
};

std::string sheetPathFor(const std::string& jsonPath) {
    const auto slash = jsonPath.find_last_of('/');
    const auto dot = jsonPath.find_last_of('.');
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? jsonPath.substr(0, dot) : jsonPath) + ".png";
}

std::string baseName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// What a map file may hold but a description cannot express, checked beside what the format
// itself refuses, so that nothing is written for content `make` cannot take back.
bool describable(const MapContent& map, std::string& error) {
    const auto fail = [&](const std::string& reason) {
        error = reason;
        return false;
    };
    if (map.blocks.empty())
        return fail("a map without blocks cannot be described");
    if (map.graphics.empty())
        return fail("a map without graphics cannot be described (graphic 0 is the empty one)");
    if (std::all_of(map.layers.begin(), map.layers.end(),
                    [](const auto& cells) { return cells.empty(); }))
        return fail("a map without layers cannot be described");
    if (!MapWriter::checkContent(map, error))
        return false;
    for (std::size_t a = 0; a < map.animations.size(); ++a) {
        const MapWriter::Animation& animation = map.animations[a];
        const std::string which = "animation " + std::to_string(a + 1);
        if (animation.type < 0 || animation.type > 9 || animation.delay < 0)
            return fail(which + " has a type or delay that cannot be described");
        if (animation.end <= animation.start)
            return fail(which + " has no frames in the sequence");
    }
    return true;
}

// Sheet tiles in order of first use by the blocks, as `make` numbers graphics.
std::vector<std::int32_t> graphicsInUseOrder(const MapContent& map) {
    std::vector<std::int32_t> order;
    std::vector<bool> seen(map.graphics.size(), false);
    seen[0] = true; // graphic 0 is the empty one, written as no tile at all
    for (const MapWriter::Block& block : map.blocks)
        for (const std::int32_t g :
             {block.background, block.foreground1, block.foreground2, block.foreground3})
            if (!seen[g]) {
                seen[g] = true;
                order.push_back(g);
            }
    return order;
}

bool writeSheet(const MapContent& map, const std::vector<std::int32_t>& order,
                const std::string& path, std::string& error) {
    if (!al_is_system_installed() && !al_init()) {
        error = "cannot start Allegro to write \"" + path + "\"";
        return false;
    }
    if (!al_is_image_addon_initialized() && !al_init_image_addon()) {
        error = "cannot start Allegro's image writer for \"" + path + "\"";
        return false;
    }
    const int count = std::max<int>(1, static_cast<int>(order.size()));
    const int columns = std::min(count, sheetColumns);
    const int rows = (count + columns - 1) / columns;
    const int flags = al_get_new_bitmap_flags();
    al_set_new_bitmap_flags(ALLEGRO_MEMORY_BITMAP);
    std::unique_ptr<ALLEGRO_BITMAP, BitmapDeleter> sheet(
        al_create_bitmap(columns * map.blockWidth, rows * map.blockHeight));
    al_set_new_bitmap_flags(flags);
    if (!sheet) {
        error = "cannot make the tile sheet for \"" + path + "\"";
        return false;
    }
    ALLEGRO_LOCKED_REGION* region =
        al_lock_bitmap(sheet.get(), ALLEGRO_PIXEL_FORMAT_ABGR_8888_LE, ALLEGRO_LOCK_WRITEONLY);
    if (region == nullptr) {
        error = "cannot draw the tile sheet for \"" + path + "\"";
        return false;
    }
    for (int y = 0; y < rows * map.blockHeight; ++y) {
        auto* row = static_cast<unsigned char*>(region->data) +
                    static_cast<std::ptrdiff_t>(y) * region->pitch;
        std::fill(row, row + 4 * columns * map.blockWidth, 0);
    }
    for (std::size_t tile = 0; tile < order.size(); ++tile) {
        const auto& pixels = map.graphics[order[tile]];
        const int left = static_cast<int>(tile % columns) * map.blockWidth;
        const int top = static_cast<int>(tile / columns) * map.blockHeight;
        for (int y = 0; y < map.blockHeight; ++y) {
            auto* row = static_cast<unsigned char*>(region->data) +
                        static_cast<std::ptrdiff_t>(top + y) * region->pitch;
            for (int x = 0; x < map.blockWidth; ++x) {
                const MapWriter::Pixel& p =
                    pixels[static_cast<std::size_t>(y) * map.blockWidth + x];
                unsigned char* out = row + 4 * (left + x);
                // make reads alpha below one half as transparent and the rest as opaque.
                if (p.a >= 128) {
                    out[0] = p.r;
                    out[1] = p.g;
                    out[2] = p.b;
                    out[3] = 255;
                }
            }
        }
    }
    al_unlock_bitmap(sheet.get());
    if (!al_save_bitmap(path.c_str(), sheet.get())) {
        error = "cannot write the tile sheet \"" + path + "\"";
        return false;
    }
    return true;
}

// The description's value for a cell: a block index, or -n for the n-th animation. The file
// counts animations back from the last one (-1 is the last), the description from the first.
long long cellValue(const MapContent& map, std::int16_t cell) {
    return cell >= 0 ? cell : -(cell + 1 + static_cast<long long>(map.animations.size()));
}

std::string headerText(const MapContent& map, const std::string& sheetName) {
    std::ostringstream out;
    out << "  \"tileSheet\": " << json(sheetName).dump() << ",\n"
        << "  \"blockWidth\": " << map.blockWidth << ",\n"
        << "  \"blockHeight\": " << map.blockHeight << ",\n"
        << "  \"mapType\": " << map.mapType << ",\n"
        << "  \"depth\": " << map.blockDepth << ",\n"
        << "  \"byteOrder\": \"" << (map.byteOrder == MapWriter::ByteOrder::Little ? "le" : "be")
        << "\",\n";
    if (map.columnStep != 0)
        out << "  \"columnStep\": " << map.columnStep << ",\n";
    if (map.rowStep != 0)
        out << "  \"rowStep\": " << map.rowStep << ",\n";
    if (map.staggerX != 0)
        out << "  \"staggerX\": " << map.staggerX << ",\n";
    if (map.staggerY != 0)
        out << "  \"staggerY\": " << map.staggerY << ",\n";
    if (map.shortHeader)
        out << "  \"shortHeader\": true,\n";
    if (!map.note.empty())
        out << "  \"note\": " << json(map.note).dump(-1, ' ', false, json::error_handler_t::replace)
            << ",\n";
    out << "  \"width\": " << map.mapWidth << ",\n"
        << "  \"height\": " << map.mapHeight << ",\n";
    return out.str();
}

std::string blocksText(const MapContent& map, const std::vector<std::int32_t>& order) {
    std::map<std::int32_t, int> tileOf;
    for (std::size_t i = 0; i < order.size(); ++i)
        tileOf[order[i]] = static_cast<int>(i);
    std::ostringstream out;
    out << "  \"blocks\": [\n";
    for (std::size_t b = 0; b < map.blocks.size(); ++b) {
        const MapWriter::Block& block = map.blocks[b];
        nlohmann::ordered_json item = nlohmann::ordered_json::object();
        if (block.background != 0)
            item["background"] = tileOf[block.background];
        json foreground = json::array();
        for (const std::int32_t g : {block.foreground1, block.foreground2, block.foreground3})
            foreground.push_back(g == 0 ? json(nullptr) : json(tileOf[g]));
        while (!foreground.empty() && foreground.back().is_null())
            foreground.erase(foreground.size() - 1);
        if (!foreground.empty())
            item["foreground"] = foreground;
        const std::pair<const char*, long long> fields[] = {
            {"userLong1", block.userLong1},   {"userLong2", block.userLong2},
            {"userShort1", block.userShort1}, {"userShort2", block.userShort2},
            {"userByte1", block.userByte1},   {"userByte2", block.userByte2},
            {"userByte3", block.userByte3},   {"flags", block.flags}};
        for (const auto& field : fields)
            if (field.second != 0)
                item[field.first] = field.second;
        out << "    " << item.dump() << (b + 1 < map.blocks.size() ? ",\n" : "\n");
    }
    out << "  ],\n";
    return out.str();
}

std::string animationsText(const MapContent& map) {
    if (map.animations.empty())
        return "";
    std::ostringstream out;
    out << "  \"animations\": [\n";
    for (std::size_t a = 0; a < map.animations.size(); ++a) {
        const MapWriter::Animation& animation = map.animations[a];
        json frames = json::array();
        for (std::int32_t i = animation.start; i < animation.end; ++i)
            frames.push_back(map.sequence[i]);
        nlohmann::ordered_json item = {{"type", animation.type}, {"delay", animation.delay}};
        if (animation.userByte != 0)
            item["userByte"] = animation.userByte;
        item["frames"] = frames;
        out << "    " << item.dump() << (a + 1 < map.animations.size() ? ",\n" : "\n");
    }
    out << "  ],\n";
    return out.str();
}

std::string layersText(const MapContent& map) {
    // One legend character per cell value, while the alphabet lasts; '.' for block 0, which
    // is most often the empty one.
    std::set<long long> values;
    for (const auto& cells : map.layers)
        for (const std::int16_t cell : cells)
            values.insert(cellValue(map, cell));
    const bool textRows = values.size() <= legendAlphabet.size();
    std::map<long long, char> legend;
    if (textRows) {
        std::size_t next = values.count(0) != 0 ? 1 : 0;
        for (const long long value : values)
            legend.emplace(value, value == 0 ? legendAlphabet[0] : legendAlphabet[next++]);
    }
    std::ostringstream out;
    if (textRows) {
        out << "  \"legend\": {";
        bool first = true;
        for (const auto& entry : legend) {
            out << (first ? "" : ", ") << json(std::string(1, entry.second)).dump() << ": "
                << entry.first;
            first = false;
        }
        out << "},\n";
    }
    out << "  \"layers\": [\n";
    std::vector<std::size_t> slots;
    for (std::size_t slot = 0; slot < map.layers.size(); ++slot)
        if (!map.layers[slot].empty())
            slots.push_back(slot);
    for (std::size_t n = 0; n < slots.size(); ++n) {
        const auto& cells = map.layers[slots[n]];
        out << "    {\"slot\": " << slots[n] << ", \"rows\": [\n";
        for (int y = 0; y < map.mapHeight; ++y) {
            out << "      ";
            if (textRows) {
                std::string row;
                for (int x = 0; x < map.mapWidth; ++x)
                    row += legend.at(
                        cellValue(map, cells[static_cast<std::size_t>(y) * map.mapWidth + x]));
                out << json(row).dump();
            } else {
                json row = json::array();
                for (int x = 0; x < map.mapWidth; ++x)
                    row.push_back(
                        cellValue(map, cells[static_cast<std::size_t>(y) * map.mapWidth + x]));
                out << row.dump();
            }
            out << (y + 1 < map.mapHeight ? ",\n" : "\n");
        }
        out << "    ]}" << (n + 1 < slots.size() ? ",\n" : "\n");
    }
    out << "  ]\n";
    return out.str();
}

} // namespace

bool writeDescription(const MapContent& map, const std::string& jsonPath, std::string& error) {
    if (!describable(map, error)) {
        error = jsonPath + ": " + error;
        return false;
    }
    const std::vector<std::int32_t> order = graphicsInUseOrder(map);
    const std::string sheetPath = sheetPathFor(jsonPath);
    const std::string text = "{\n" + headerText(map, baseName(sheetPath)) + blocksText(map, order) +
                             animationsText(map) + layersText(map) + "}\n";
    if (!writeSheet(map, order, sheetPath, error))
        return false;
    std::ofstream out(jsonPath, std::ios::binary);
    if (!out || !(out << text) || !out.flush()) {
        error = "cannot write the description \"" + jsonPath + "\"";
        std::remove(sheetPath.c_str());
        return false;
    }
    return true;
}
