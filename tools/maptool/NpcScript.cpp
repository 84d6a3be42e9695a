#include "NpcScript.h"

namespace NpcScript {

const char* const beginMarker = "-- fennow-maptool import: characters (replaced on every import)";
const char* const endMarker = "-- fennow-maptool import: end of characters";

namespace {

// A Lua string literal that reads back as text, whatever bytes it holds.
std::string luaString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\' || c == '"')
            out += std::string("\\") + c;
        else if (byte < 32 || byte == 127)
            out += "\\" + std::to_string(byte);
        else
            out += c;
    }
    return out + "\"";
}

// Where a line that is exactly marker starts, searching from `from`; npos when none.
std::size_t findLine(const std::string& text, const std::string& marker, std::size_t from) {
    for (std::size_t at = text.find(marker, from); at != std::string::npos;
         at = text.find(marker, at + 1)) {
        const bool startsLine = at == 0 || text[at - 1] == '\n';
        const std::size_t end = at + marker.size();
        const bool endsLine = end == text.size() || text[end] == '\n' || text[end] == '\r';
        if (startsLine && endsLine)
            return at;
    }
    return std::string::npos;
}

} // namespace

std::string block(const std::vector<NpcSpawn>& spawns, const std::string& source) {
    std::string out = std::string(beginMarker) + "\n";
    out += "-- From " + source + ". SpawnNPC(x, y, name, script, sprite)\n";
    for (const NpcSpawn& s : spawns)
        out += "SpawnNPC(" + std::to_string(s.x) + ", " + std::to_string(s.y) + ", " +
               luaString(s.name) + ", " + luaString(s.script) + ", " + luaString(s.sprite) + ")\n";
    return out + endMarker + "\n";
}

bool merge(const std::string& script, const std::string& newBlock, std::string& out,
           std::string& error) {
    const std::size_t begin = findLine(script, beginMarker, 0);
    const std::size_t end = findLine(script, endMarker, 0);
    if (begin == std::string::npos && end == std::string::npos) {
        out = script;
        if (!out.empty() && out.back() != '\n')
            out += '\n';
        out += newBlock;
        return true;
    }
    if (begin == std::string::npos || end == std::string::npos || end < begin) {
        error = "the marker lines of the characters' block are missing or out of order "
                "(expected \"" +
                std::string(beginMarker) + "\" and then \"" + endMarker + "\")";
        return false;
    }
    if (findLine(script, beginMarker, begin + 1) != std::string::npos ||
        findLine(script, endMarker, end + 1) != std::string::npos) {
        error = "the characters' block appears more than once";
        return false;
    }
    // The old block runs through the end marker's line feed, if it has one.
    std::size_t after = end + std::string(endMarker).size();
    if (after < script.size() && script[after] == '\r')
        ++after;
    if (after < script.size() && script[after] == '\n')
        ++after;
    out = script.substr(0, begin) + newBlock + script.substr(after);
    return true;
}

} // namespace NpcScript
