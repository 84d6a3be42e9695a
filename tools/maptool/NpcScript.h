#pragma once

#include <string>
#include <vector>

// A character placed on a Tiled map: one SpawnNPC call of the map's script.
struct NpcSpawn {
    int x = 0; // top-left of the character's picture, in map pixels
    int y = 0;
    std::string name;
    std::string script;
    std::string sprite;
};

// The block of SpawnNPC calls that an import keeps in a map's script, between two marker
// comments, so that a later import replaces exactly the lines it wrote before and nothing the
// author wrote around them.
namespace NpcScript {

// The first and last lines of the block.
extern const char* const beginMarker;
extern const char* const endMarker;

// The whole block, markers included, each line ending in a line feed.
std::string block(const std::vector<NpcSpawn>& spawns, const std::string& source);

// The script text with its block replaced by newBlock, or newBlock added at the end when the
// text has none. False with a reason when the markers are out of order or only one is there.
bool merge(const std::string& script, const std::string& newBlock, std::string& out,
           std::string& error);

} // namespace NpcScript
