#pragma once

#include "core/MapSettings.h"
#include "player/Collision.h"
#include "script/ScriptVariableStore.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class NpcManager;

// A rectangle of a map that takes the player to (toX, toY) on another map when the player's
// feet walk into it. It covers x to x + width and y to y + height, its right and bottom edges
// excluded; width and height are above 0.
struct MapExit {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    std::string map;
    int toX = 0;
    int toY = 0;

    Box area() const;
    bool reachedBy(const Box& feet) const;
};

// A character as its map keeps it while the player is elsewhere: everything SpawnNPC gave
// it and every script variable slot, an empty slot as none.
struct KeptCharacter {
    int number = 0;
    std::string name;
    int x = 0;
    int y = 0;
    std::string scriptPath;
    std::string spriteName;
    std::vector<std::optional<ScriptVariable>> variables;
};

// All that one visited map keeps for the rest of the run. For the map on show the settings
// and exits are the live ones, while its characters live in the NpcManager until the player
// leaves (keepCharacters copies them here).
struct MapRecord {
    std::string name;
    MapSettings settings;
    std::vector<MapExit> exits;
    std::vector<KeptCharacter> characters;
    // The index in `characters` of the active character; -1 for none.
    int activeCharacter = -1;
};

// Every map visited in this run, by name, and which one is on show. The map on show always
// has a record; a record exists only for a map that has been on show.
class VisitedMaps {
  public:
    explicit VisitedMaps(std::string currentName);

    const std::string& currentName() const { return currentName_; }
    MapRecord& current() { return records_.at(currentName_); }
    const MapRecord& current() const { return records_.at(currentName_); }
    // Null for a map not visited.
    const MapRecord* find(std::string_view name) const;
    const std::map<std::string, MapRecord, std::less<>>& records() const { return records_; }

    // Leaves the map on show for `name`: its characters move from `npcs` into its record,
    // and the characters `name` kept (none on a first visit) move into `npcs`. True on the
    // first visit of `name`.
    bool switchTo(const std::string& name, NpcManager& npcs);
    // Forgets every map; `name` is on show with a fresh record (a reload of the world).
    void startOver(std::string name);

    // The characters of `npcs` into the current record, replacing what it held.
    void keepCharacters(const NpcManager& npcs);
    // The current record as it would be kept now, with the characters of `npcs`.
    MapRecord currentWithCharacters(const NpcManager& npcs) const;
    // Every record from a save, `name` on show with its characters put into `npcs`. `name`
    // must be among the records.
    void restore(std::string name, std::vector<MapRecord> records, NpcManager& npcs);
    // The current record's characters into `npcs`, which is emptied first.
    void bringBackCharacters(NpcManager& npcs) const;

  private:
    std::string currentName_;
    std::map<std::string, MapRecord, std::less<>> records_;
};
