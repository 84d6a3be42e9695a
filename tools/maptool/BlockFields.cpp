#include "BlockFields.h"

#include "map/MapLibrary.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>

namespace BlockFields {

namespace {

struct Field {
    const char* name;
    long long lowest;
    long long highest;
};

const Field fields[] = {{"userLong1", INT32_MIN, INT32_MAX},
                        {"userLong2", INT32_MIN, INT32_MAX},
                        {"userShort1", -32768, 32767},
                        {"userShort2", -32768, 32767},
                        {"userByte1", 0, 255},
                        {"userByte2", 0, 255},
                        {"userByte3", 0, 255},
                        {"flags", 0, 255}};

void store(MapWriter::Block& b, const std::string& name, long long v) {
    if (name == "userLong1")
        b.userLong1 = static_cast<std::int32_t>(v);
    else if (name == "userLong2")
        b.userLong2 = static_cast<std::int32_t>(v);
    else if (name == "userShort1")
        b.userShort1 = static_cast<std::int16_t>(v);
    else if (name == "userShort2")
        b.userShort2 = static_cast<std::int16_t>(v);
    else if (name == "userByte1")
        b.userByte1 = static_cast<std::uint8_t>(v);
    else if (name == "userByte2")
        b.userByte2 = static_cast<std::uint8_t>(v);
    else if (name == "userByte3")
        b.userByte3 = static_cast<std::uint8_t>(v);
    else
        b.flags = static_cast<std::uint8_t>(v);
}

} // namespace

void read(const TiledModel::Tile& tile, const std::string& where, MapWriter::Block& block,
          std::vector<std::string>& warnings) {
    bool solid = false;
    for (const TiledModel::Property& p : tile.properties) {
        if (p.name == "solid") {
            if (p.type == "bool")
                solid = p.value == "true";
            else
                warnings.push_back(where + ": property \"solid\" is not a bool property and is "
                                           "ignored");
            continue;
        }
        const Field* field = nullptr;
        for (const Field& f : fields)
            if (p.name == f.name)
                field = &f;
        if (field == nullptr)
            continue;
        const std::string named = where + ": property \"" + p.name + "\"";
        long long v = 0;
        char* end = nullptr;
        errno = 0;
        if (p.type == "int")
            v = std::strtoll(p.value.c_str(), &end, 10);
        if (p.type != "int" || end == p.value.c_str() || *end != '\0' || errno != 0) {
            warnings.push_back(named + " is not an int property and is ignored");
            continue;
        }
        if (v < field->lowest || v > field->highest) {
            warnings.push_back(named + ": " + p.value + " is outside " +
                               std::to_string(field->lowest) + ".." +
                               std::to_string(field->highest) + " and is ignored");
            continue;
        }
        store(block, p.name, v);
    }
    // After "flags", whatever the order the properties come in.
    if (solid)
        block.flags = static_cast<std::uint8_t>(block.flags | MapFormat::SolidFlag);
}

} // namespace BlockFields
