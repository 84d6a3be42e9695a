#include "world/SaveFile.h"

#include "world/Npc.h"

#include <nlohmann/json.hpp>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

using nlohmann::json;
using nlohmann::ordered_json;

const MapRecord* SaveFile::findMap(std::string_view name) const {
    for (const MapRecord& map : maps)
        if (map.name == name)
            return &map;
    return nullptr;
}

namespace {

// ---- Writing ----

ordered_json bytesJson(const std::string& bytes) {
    ordered_json text = bytes;
    try {
        (void)text.dump(); // strict: throws on bytes that are not UTF-8
        return text;
    } catch (const json::type_error&) {
        static const char digits[] = "0123456789abcdef";
        std::string hex;
        for (const unsigned char byte : bytes) {
            hex += digits[byte >> 4];
            hex += digits[byte & 15];
        }
        return ordered_json{{"hex", hex}};
    }
}

// The shortest decimal that reads back as the same float, so a person reads 2.2 where the
// float's exact value is 2.2000000476837158.
double shortestDecimal(float value) {
    char text[32];
    for (int digits = 6; digits < 9; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(value));
        const double decimal = std::strtod(text, nullptr);
        if (static_cast<float>(decimal) == value)
            return decimal;
    }
    return static_cast<double>(value);
}

// JSON has no NaN or infinity, and a variable can hold them.
ordered_json floatJson(float value) {
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value > 0 ? "inf" : "-inf";
    return shortestDecimal(value);
}

ordered_json variableJson(const std::optional<ScriptVariable>& slot) {
    if (!slot)
        return nullptr;
    ordered_json out = {{"name", bytesJson(slot->name)},
                        {"kind", slot->isInteger ? "integer" : "string"}};
    if (slot->isInteger)
        out["value"] = floatJson(slot->value);
    else
        out["text"] = bytesJson(slot->text);
    return out;
}

ordered_json characterJson(const KeptCharacter& character) {
    ordered_json variables = ordered_json::array();
    for (const auto& slot : character.variables)
        variables.push_back(variableJson(slot));
    return {{"number", character.number},
            {"name", bytesJson(character.name)},
            {"x", character.x},
            {"y", character.y},
            {"script", bytesJson(character.scriptPath)},
            {"sprite", bytesJson(character.spriteName)},
            {"variables", variables}};
}

ordered_json mapJson(const MapRecord& map) {
    ordered_json characters = ordered_json::array();
    for (const KeptCharacter& character : map.characters)
        characters.push_back(characterJson(character));
    ordered_json exits = ordered_json::array();
    for (const MapExit& exit : map.exits)
        exits.push_back({{"x", exit.x},
                         {"y", exit.y},
                         {"width", exit.width},
                         {"height", exit.height},
                         {"map", bytesJson(exit.map)},
                         {"toX", exit.toX},
                         {"toY", exit.toY}});
    return {{"name", bytesJson(map.name)},
            {"collision", map.settings.collision},
            {"friendlyControls", map.settings.friendlyControls},
            {"mapAnimation", map.settings.mapAnimation},
            {"exits", exits},
            {"characters", characters},
            {"activeCharacter", map.activeCharacter}};
}

// ---- Reading ----

// Thrown inside the reader only, with what is wrong; readSaveText turns it into its result.
struct Refusal {
    std::string problem;
};

[[noreturn]] void refuse(const std::string& problem) {
    throw Refusal{problem};
}

const json& member(const json& object, const char* key, const std::string& at) {
    const auto found = object.find(key);
    if (found == object.end())
        refuse(at + key + " is missing");
    return *found;
}

const json& objectAt(const json& value, const std::string& at) {
    if (!value.is_object())
        refuse(at + " is not an object");
    return value;
}

const json& arrayAt(const json& object, const char* key, const std::string& at) {
    const json& value = member(object, key, at);
    if (!value.is_array())
        refuse(at + key + " is not a list");
    return value;
}

int intAt(const json& object, const char* key, const std::string& at) {
    const json& value = member(object, key, at);
    if (value.is_number_unsigned() && value.get<std::uint64_t>() <= INT_MAX)
        return static_cast<int>(value.get<std::uint64_t>());
    if (value.is_number_integer() && !value.is_number_unsigned() &&
        value.get<std::int64_t>() >= INT_MIN && value.get<std::int64_t>() <= INT_MAX)
        return static_cast<int>(value.get<std::int64_t>());
    refuse(at + key + " is not an integer of the game's range");
}

bool boolAt(const json& object, const char* key, const std::string& at) {
    const json& value = member(object, key, at);
    if (!value.is_boolean())
        refuse(at + key + " is not true or false");
    return value.get<bool>();
}

// A finite number that fits a float: positions and speeds.
float finiteAt(const json& object, const char* key, const std::string& at) {
    const json& value = member(object, key, at);
    const double number = value.is_number() ? value.get<double>() : NAN;
    if (!std::isfinite(number) || std::fabs(number) > std::numeric_limits<float>::max())
        refuse(at + key + " is not a finite number");
    return static_cast<float>(number);
}

// Any float a variable may hold, NaN and the infinities included.
float variableValueAt(const json& object, const std::string& at) {
    const json& value = member(object, "value", at);
    if (value.is_string()) {
        const auto& text = value.get_ref<const std::string&>();
        if (text == "nan")
            return std::numeric_limits<float>::quiet_NaN();
        if (text == "inf")
            return std::numeric_limits<float>::infinity();
        if (text == "-inf")
            return -std::numeric_limits<float>::infinity();
    } else if (value.is_number()) {
        const double number = value.get<double>();
        if (std::fabs(number) <= std::numeric_limits<float>::max())
            return static_cast<float>(number);
    }
    refuse(at + "value is not a number a variable can hold");
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::string bytesAt(const json& object, const char* key, const std::string& at) {
    const json& value = member(object, key, at);
    if (value.is_string())
        return value.get<std::string>();
    const std::string where = at + key;
    if (!value.is_object() || value.size() != 1 || !value.contains("hex") ||
        !value["hex"].is_string())
        refuse(where + " is not a text");
    const auto& hex = value["hex"].get_ref<const std::string&>();
    if (hex.size() % 2 != 0)
        refuse(where + " has an odd number of hex digits");
    std::string bytes;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int high = hexDigit(hex[i]);
        const int low = hexDigit(hex[i + 1]);
        if (high < 0 || low < 0)
            refuse(where + " has a character that is no hex digit");
        bytes += static_cast<char>(high * 16 + low);
    }
    return bytes;
}

// A name that becomes part of a file path: not empty, and no zero byte to cut the path short.
std::string pathNameAt(const json& object, const char* key, const std::string& at) {
    std::string name = bytesAt(object, key, at);
    if (name.empty())
        refuse(at + key + " is empty");
    if (name.find('\0') != std::string::npos)
        refuse(at + key + " holds a zero byte");
    return name;
}

std::string indexed(const std::string& at, const char* key, std::size_t index) {
    return at + key + "[" + std::to_string(index) + "].";
}

std::optional<ScriptVariable> readVariable(const json& value, const std::string& at) {
    if (value.is_null())
        return std::nullopt;
    objectAt(value, at.substr(0, at.size() - 1));
    ScriptVariable variable;
    variable.name = bytesAt(value, "name", at);
    const json& kind = member(value, "kind", at);
    if (kind == "integer") {
        variable.isInteger = true;
        variable.value = variableValueAt(value, at);
    } else if (kind == "string") {
        variable.isInteger = false;
        variable.text = bytesAt(value, "text", at);
    } else {
        refuse(at + "kind is neither \"integer\" nor \"string\"");
    }
    return variable;
}

KeptCharacter readCharacter(const json& value, const std::string& at) {
    objectAt(value, at.substr(0, at.size() - 1));
    KeptCharacter character;
    character.number = intAt(value, "number", at);
    character.name = bytesAt(value, "name", at);
    character.x = intAt(value, "x", at);
    character.y = intAt(value, "y", at);
    character.scriptPath = pathNameAt(value, "script", at);
    if (character.scriptPath.size() > static_cast<std::size_t>(Npc::maxScriptPath))
        refuse(at + "script is longer than " + std::to_string(Npc::maxScriptPath) + " bytes");
    character.spriteName = bytesAt(value, "sprite", at);
    const json& variables = arrayAt(value, "variables", at);
    for (std::size_t i = 0; i < variables.size(); ++i)
        character.variables.push_back(readVariable(variables[i], indexed(at, "variables", i)));
    return character;
}

MapExit readExit(const json& value, const std::string& at) {
    objectAt(value, at.substr(0, at.size() - 1));
    MapExit exit;
    exit.x = intAt(value, "x", at);
    exit.y = intAt(value, "y", at);
    exit.width = intAt(value, "width", at);
    exit.height = intAt(value, "height", at);
    exit.map = pathNameAt(value, "map", at);
    exit.toX = intAt(value, "toX", at);
    exit.toY = intAt(value, "toY", at);
    return exit;
}

MapRecord readMap(const json& value, const std::string& at) {
    objectAt(value, at.substr(0, at.size() - 1));
    MapRecord map;
    map.name = pathNameAt(value, "name", at);
    map.settings.collision = boolAt(value, "collision", at);
    map.settings.friendlyControls = boolAt(value, "friendlyControls", at);
    map.settings.mapAnimation = boolAt(value, "mapAnimation", at);
    const json& exits = arrayAt(value, "exits", at);
    for (std::size_t i = 0; i < exits.size(); ++i)
        map.exits.push_back(readExit(exits[i], indexed(at, "exits", i)));
    const json& characters = arrayAt(value, "characters", at);
    for (std::size_t i = 0; i < characters.size(); ++i)
        map.characters.push_back(readCharacter(characters[i], indexed(at, "characters", i)));
    map.activeCharacter = intAt(value, "activeCharacter", at);
    if (map.activeCharacter < -1 || map.activeCharacter >= static_cast<int>(map.characters.size()))
        refuse(at + "activeCharacter is not -1 or one of the map's characters");
    return map;
}

SaveFile readSave(const json& root) {
    if (!root.is_object() || root.value("format", json()) != SaveFile::formatName)
        refuse("it is not a Fennow-Online save");
    const json& version = member(root, "version", "");
    if (!version.is_number_integer() || version != SaveFile::formatVersion)
        refuse("its format version " + version.dump() + " is not one this game reads (" +
               std::to_string(SaveFile::formatVersion) + ")");
    SaveFile save;
    save.currentMap = pathNameAt(root, "map", "");
    const json& player = objectAt(member(root, "player", ""), "player");
    save.player.x = finiteAt(player, "x", "player.");
    save.player.y = finiteAt(player, "y", "player.");
    save.player.direction = intAt(player, "direction", "player.");
    if (save.player.direction < 0 || save.player.direction > 7)
        refuse("player.direction is not 0 to 7");
    save.player.walkSpeed = finiteAt(player, "walkSpeed", "player.");
    save.player.sprintSpeed = finiteAt(player, "sprintSpeed", "player.");
    const json& maps = arrayAt(root, "maps", "");
    for (std::size_t i = 0; i < maps.size(); ++i) {
        MapRecord map = readMap(maps[i], indexed("", "maps", i));
        if (save.findMap(map.name))
            refuse("the map " + map.name + " is saved twice");
        save.maps.push_back(std::move(map));
    }
    if (!save.findMap(save.currentMap))
        refuse("the current map " + save.currentMap + " is not among the saved maps");
    return save;
}

} // namespace

std::string writeSaveText(const SaveFile& save) {
    ordered_json maps = ordered_json::array();
    for (const MapRecord& map : save.maps)
        maps.push_back(mapJson(map));
    const ordered_json root = {{"format", SaveFile::formatName},
                               {"version", SaveFile::formatVersion},
                               {"map", bytesJson(save.currentMap)},
                               {"player",
                                {{"x", shortestDecimal(save.player.x)},
                                 {"y", shortestDecimal(save.player.y)},
                                 {"direction", save.player.direction},
                                 {"walkSpeed", shortestDecimal(save.player.walkSpeed)},
                                 {"sprintSpeed", shortestDecimal(save.player.sprintSpeed)}}},
                               {"maps", maps}};
    return root.dump(1, '\t') + "\n";
}

SaveReadResult readSaveText(std::string_view text) {
    SaveReadResult result;
    if (text.size() > SaveFile::maxBytes) {
        result.problem = "it is larger than " + std::to_string(SaveFile::maxBytes >> 20) + " MiB";
        return result;
    }
    json root;
    try {
        root = json::parse(text.begin(), text.end());
    } catch (const json::parse_error& error) {
        // A parse stopped by the end of the text is a file cut short.
        result.problem = error.byte >= text.size()
                             ? std::string("it is cut short")
                             : "it is not JSON (at byte " + std::to_string(error.byte) + ")";
        return result;
    } catch (const json::exception&) {
        // A number beyond a double's range.
        result.problem = "it is not JSON (a number out of range)";
        return result;
    }
    try {
        result.save = readSave(root);
    } catch (const Refusal& refusal) {
        result.problem = refusal.problem;
    }
    return result;
}
