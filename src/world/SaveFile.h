#pragma once

#include "script/ScriptVariableStore.h"
#include "world/VisitedMaps.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What a save holds, as plain data, and its text form: JSON a person can read, with a format
// name and version. Names and texts are byte strings: a text that is valid UTF-8 is written as
// a JSON string (a zero byte as \u0000), any other as {"hex": "..."}, so every byte comes back.
// A character's variables are saved slot by slot, empty slots as null, because the slot order
// decides which variable of a name a script finds first.

struct SavedPlayer {
    float x = 0.0f;
    float y = 0.0f;
    int direction = 0;
    float walkSpeed = 0.0f;
    float sprintSpeed = 0.0f;
};

struct SaveFile {
    static constexpr const char* formatName = "Fennow-Online save";
    static constexpr int formatVersion = 1;
    // Larger files are refused before they are parsed.
    static constexpr std::size_t maxBytes = 64u << 20;

    std::string currentMap;
    SavedPlayer player;
    // Every map visited, the current one among them.
    std::vector<MapRecord> maps;

    const MapRecord* findMap(std::string_view name) const;
};

// The save as JSON text, ending in a line feed.
std::string writeSaveText(const SaveFile& save);

// A save read back, or what is wrong with the text in a few words ("it is cut short", "its
// format version 7 is not one this game reads", "maps[1].characters[0].x is not an integer").
struct SaveReadResult {
    std::optional<SaveFile> save;
    std::string problem;
};
SaveReadResult readSaveText(std::string_view text);
