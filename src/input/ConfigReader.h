#pragma once

#include <cstddef>
#include <cstdio>

// One key name of the configuration file and the Allegro key code it stands for (-1: no key).
struct KeyNameEntry {
    int code;
    char name[32];
};

// Reads the key-binding file once at start-up and applies each line to the game's
// KeyBindings, or writes the file with the default bindings when it is missing. Reading stops
// at the first faulty line; what was applied before it stays. The reader owns its key name
// table, which lives as long as the reader.
class ConfigReader {
  public:
    static constexpr const char* defaultPath = "FennowOnline.cfg";
    static constexpr int lineLength = 256;
    static constexpr int wordLength = 32;
    static constexpr int keyNameEntries = 119;
    // findKeyCode's result for a name that is not in the table.
    static constexpr int notFound = -2;

    // Marks the constructor that builds the key name table and reads nothing.
    enum class TableOnly { Tag };

    ConfigReader();
    explicit ConfigReader(const char* path);
    explicit ConfigReader(TableOnly);
    ~ConfigReader();
    ConfigReader(const ConfigReader&) = delete;
    ConfigReader& operator=(const ConfigReader&) = delete;

    // Cuts the first word (up to wordLength - 1 characters) off the line buffer into word.
    // False, with the line untouched, when the word is too long.
    static bool nextToken(char* word, char* line, int length);

    void buildKeyNameTable();
    // Takes ownership of the entry.
    void addKeyName(KeyNameEntry* entry);
    int findKeyCode(const char* name) const;
    int keyNameTableSize() const { return keyNameCount_; }
    const KeyNameEntry* keyName(int index) const;

    // Applies every line of an open file, as the constructor does with the key-binding file.
    void readStream(std::FILE* file);
    // The same on text in memory (tests, fuzzing).
    void readText(const char* text, std::size_t length);

  private:
    void readOrCreate(const char* path);
    static void writeDefaults(const char* path);
    // False when reading must stop after this line.
    bool applyLine(char* line);

    KeyNameEntry** keyNames_ = nullptr;
    int keyNameCount_ = 0;
};
