#include "input/ConfigReader.h"

#include "core/Console.h"
#include "core/GameContext.h"
#include "core/HostPath.h"
#include "input/KeyBindings.h"

#include <allegro5/allegro.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Copies a name into a fixed buffer, cut to fit and always terminated.
void copyName(char* destination, std::size_t size, const char* name) {
    std::size_t i = 0;
    for (; name[i] != '\0' && i + 1 < size; ++i) {
        destination[i] = name[i];
    }
    destination[i] = '\0';
}

// The default key-binding file, written when none exists. There is no blank line: the
// parser stops at one, so a comment stands in for it.
const char* const defaultLines[] = {
    "//PRIMARY KEYS:\n",        "Quit ESCAPE NONE\n",     "Up ARROW_UP NONE\n",
    "Right ARROW_RIGHT NONE\n", "Down ARROW_DOWN NONE\n", "Left ARROW_LEFT NONE\n",
    "Sprint LSHIFT RSHIFT\n",
};

// Named keys in table order, with their Allegro key codes.
struct NamedKey {
    const char* name;
    int code;
};

const NamedKey namedKeys[] = {
    {"NONE", -1},
    {"ARROW_UP", ALLEGRO_KEY_UP},
    {"ARROW_RIGHT", ALLEGRO_KEY_RIGHT},
    {"ARROW_DOWN", ALLEGRO_KEY_DOWN},
    {"ARROW_LEFT", ALLEGRO_KEY_LEFT},
    {"LSHIFT", ALLEGRO_KEY_LSHIFT},
    {"RSHIFT", ALLEGRO_KEY_RSHIFT},
    {"TILDE", ALLEGRO_KEY_TILDE},
    {"MINUS", ALLEGRO_KEY_MINUS},
    {"EQUALS", ALLEGRO_KEY_EQUALS},
    {"BACKSPACE", ALLEGRO_KEY_BACKSPACE},
    {"TAB", ALLEGRO_KEY_TAB},
    {"OPENBRACE", ALLEGRO_KEY_OPENBRACE},
    {"CLOSEBRACE", ALLEGRO_KEY_CLOSEBRACE},
    {"ENTER", ALLEGRO_KEY_ENTER},
    {"SEMICOLON", ALLEGRO_KEY_SEMICOLON},
    {"QUOTE", ALLEGRO_KEY_QUOTE},
    {"BACKSLASH", ALLEGRO_KEY_BACKSLASH},
    {"BACKSLASH2", ALLEGRO_KEY_BACKSLASH2},
    {"COMMA", ALLEGRO_KEY_COMMA},
    {"FULLSTOP", ALLEGRO_KEY_FULLSTOP},
    {"SLASH", ALLEGRO_KEY_SLASH},
    {"SPACE", ALLEGRO_KEY_SPACE},
    {"INSERT", ALLEGRO_KEY_INSERT},
    {"DELETE", ALLEGRO_KEY_DELETE},
    {"HOME", ALLEGRO_KEY_HOME},
    {"END", ALLEGRO_KEY_END},
    {"PAGEUP", ALLEGRO_KEY_PGUP},
    {"PAGEDOWN", ALLEGRO_KEY_PGDN},
    {"PADSLASH", ALLEGRO_KEY_PAD_SLASH},
    {"PADASTERISK", ALLEGRO_KEY_PAD_ASTERISK},
    {"PADMINUS", ALLEGRO_KEY_PAD_MINUS},
    {"PADPLUS", ALLEGRO_KEY_PAD_PLUS},
    {"PADDELETE", ALLEGRO_KEY_PAD_DELETE},
    {"PADENTER", ALLEGRO_KEY_PAD_ENTER},
    {"PRINTSCREEN", ALLEGRO_KEY_PRINTSCREEN},
    {"PAUSE", ALLEGRO_KEY_PAUSE},
    {"ABNT_C1", ALLEGRO_KEY_ABNT_C1},
    {"YEN", ALLEGRO_KEY_YEN},
    {"KANA", ALLEGRO_KEY_KANA},
    {"CONVERT", ALLEGRO_KEY_CONVERT},
    {"NOCONVERT", ALLEGRO_KEY_NOCONVERT},
    {"AT", ALLEGRO_KEY_AT},
    {"CIRCUMFLEX", ALLEGRO_KEY_CIRCUMFLEX},
    {"COLON2", ALLEGRO_KEY_COLON2},
    {"KANJI", ALLEGRO_KEY_KANJI},
    {"LCONTROL", ALLEGRO_KEY_LCTRL},
    {"RCONTROL", ALLEGRO_KEY_RCTRL},
    {"ALT", ALLEGRO_KEY_ALT},
    {"ALTGR", ALLEGRO_KEY_ALTGR},
    {"LWINDOWS", ALLEGRO_KEY_LWIN},
    {"RWINDOWS", ALLEGRO_KEY_RWIN},
    {"MENU", ALLEGRO_KEY_MENU},
    {"SCROLLLOCK", ALLEGRO_KEY_SCROLLLOCK},
    {"NUMLOCK", ALLEGRO_KEY_NUMLOCK},
    {"CAPSLOCK", ALLEGRO_KEY_CAPSLOCK},
    {"PADEQUALS", ALLEGRO_KEY_PAD_EQUALS},
    {"BACKQUOTE", ALLEGRO_KEY_BACKQUOTE},
    {"SEMICOLON2", ALLEGRO_KEY_SEMICOLON2},
    {"COMMAND", ALLEGRO_KEY_COMMAND},
    {"ESCAPE", ALLEGRO_KEY_ESCAPE},
};

KeyNameEntry* makeEntry(const char* name, int code) {
    auto* entry = new KeyNameEntry{};
    entry->code = code;
    copyName(entry->name, sizeof entry->name, name);
    return entry;
}

void printBadFile() {
    consoleWrite("Something is wrong with your CFG file.\n");
    consoleWrite("The program will use the defaults.  Please delete your CFG.\n");
    consoleWrite("Please note the parser does not tolerate blank lines.  Use // to denote them.\n");
}

} // namespace

ConfigReader::ConfigReader() : ConfigReader(defaultPath) {}

ConfigReader::ConfigReader(const char* path) {
    buildKeyNameTable();
    readOrCreate(path != nullptr ? path : defaultPath);
}

ConfigReader::ConfigReader(TableOnly) {
    buildKeyNameTable();
}

ConfigReader::~ConfigReader() {
    for (int i = 0; i < keyNameCount_; ++i) {
        delete keyNames_[i];
    }
    std::free(keyNames_);
}

void ConfigReader::buildKeyNameTable() {
    for (const NamedKey& key : namedKeys) {
        addKeyName(makeEntry(key.name, key.code));
    }
    char name[wordLength];
    for (int letter = 0; letter < 26; ++letter) {
        name[0] = static_cast<char>('A' + letter);
        name[1] = '\0';
        addKeyName(makeEntry(name, ALLEGRO_KEY_A + letter));
    }
    for (int digit = 0; digit < 10; ++digit) {
        std::snprintf(name, sizeof name, "%d", digit);
        addKeyName(makeEntry(name, ALLEGRO_KEY_0 + digit));
        std::snprintf(name, sizeof name, "PAD%d", digit);
        addKeyName(makeEntry(name, ALLEGRO_KEY_PAD_0 + digit));
    }
    for (int function = 1; function <= 12; ++function) {
        std::snprintf(name, sizeof name, "F%d", function);
        addKeyName(makeEntry(name, ALLEGRO_KEY_F1 + function - 1));
    }
}

void ConfigReader::addKeyName(KeyNameEntry* entry) {
    if (entry == nullptr) {
        return;
    }
    auto** grown = static_cast<KeyNameEntry**>(
        std::realloc(keyNames_, sizeof(KeyNameEntry*) * (keyNameCount_ + 1)));
    if (grown == nullptr) {
        delete entry;
        return;
    }
    keyNames_ = grown;
    keyNames_[keyNameCount_++] = entry;
}

int ConfigReader::findKeyCode(const char* name) const {
    if (name == nullptr) {
        return notFound;
    }
    for (int i = 0; i < keyNameCount_; ++i) {
        if (std::strcmp(keyNames_[i]->name, name) == 0) {
            return keyNames_[i]->code;
        }
    }
    return notFound;
}

const KeyNameEntry* ConfigReader::keyName(int index) const {
    return index >= 0 && index < keyNameCount_ ? keyNames_[index] : nullptr;
}

bool ConfigReader::nextToken(char* word, char* line, int length) {
    if (word == nullptr || line == nullptr || length <= 0) {
        return false;
    }
    for (int i = 0; i < length; ++i) {
        if (line[i] == '\r' || line[i] == '\n') {
            line[i] = '\0';
        }
    }
    const int limit = length < wordLength ? length : wordLength;
    int n = -1;
    for (int i = 0; i < limit; ++i) {
        if (line[i] == ' ' || line[i] == '\0') {
            n = i;
            break;
        }
    }
    if (n < 0) {
        if (limit == wordLength) {
            return false;
        }
        n = limit; // a buffer shorter than a word ends the word
    }
    std::memcpy(word, line, n);
    word[n] = '\0';

    if (n == 0) {
        // An empty first word empties the whole line, so every later word is empty too.
        std::memset(line, 0, length);
    } else {
        std::memmove(line, line + n, length - n);
        std::memset(line + length - n, 0, n);
    }
    while (line[0] == ' ') {
        std::memmove(line, line + 1, length - 1);
        line[length - 1] = '\0';
    }
    return true;
}

void ConfigReader::readOrCreate(const char* path) {
    std::FILE* file = std::fopen(hostPath(path).c_str(), "r");
    if (file == nullptr) {
        std::fprintf(stderr, "CFG File: %s not found.  Creating a new one - ", path);
        writeDefaults(path);
        return;
    }
    readStream(file);
    // A directory of that name opens but cannot be read; the bindings keep their defaults.
    if (std::ferror(file)) {
        std::fprintf(stderr, "CFG File: %s could not be read.  Using the defaults.\n", path);
    }
    std::fclose(file);
}

void ConfigReader::writeDefaults(const char* path) {
    std::FILE* file = std::fopen(hostPath(path).c_str(), "w");
    bool written = file != nullptr;
    if (file != nullptr) {
        for (const char* line : defaultLines) {
            written = std::fputs(line, file) >= 0 && written;
        }
        written = std::fclose(file) == 0 && written;
    }
    if (written) {
        consoleWrite("done\n");
    } else {
        consoleWrite("failed\n");
        std::fprintf(stderr, "CFG File: %s could not be created.  Using the defaults.\n", path);
    }
}

void ConfigReader::readStream(std::FILE* file) {
    if (file == nullptr) {
        return;
    }
    char line[lineLength];
    for (;;) {
        std::memset(line, 0, sizeof line);
        if (std::fgets(line, sizeof line, file) == nullptr) {
            return;
        }
        if (line[0] == '/' && line[1] == '/') {
            continue;
        }
        if (!applyLine(line) || std::feof(file)) {
            return;
        }
    }
}

void ConfigReader::readText(const char* text, std::size_t length) {
    if (text == nullptr || length == 0) {
        return;
    }
    // fmemopen may write into its buffer, so it gets a copy.
    std::string copy(text, length);
    std::FILE* file = fmemopen(copy.data(), copy.size(), "r");
    if (file == nullptr) {
        return;
    }
    readStream(file);
    std::fclose(file);
}

bool ConfigReader::applyLine(char* line) {
    char action[wordLength] = {};
    char primary[wordLength] = {};
    char secondary[wordLength] = {};
    if (!nextToken(action, line, lineLength) || !nextToken(primary, line, lineLength) ||
        !nextToken(secondary, line, lineLength)) {
        printBadFile();
        return false;
    }
    std::fprintf(stderr, "Read %s: %s %s\n", action, primary, secondary);
    const int primaryCode = findKeyCode(primary);
    if (primaryCode == notFound) {
        std::fprintf(stderr, "There is no scancode named %s\n", primary);
        return false;
    }
    const int secondaryCode = findKeyCode(secondary);
    if (secondaryCode == notFound) {
        std::fprintf(stderr, "There is no scancode named %s\n", secondary);
        return false;
    }
    if (game.keyBindings != nullptr) {
        game.keyBindings->setKeys(action, primaryCode, secondaryCode);
    }
    return true;
}
