#pragma once

#include "MapWriter.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

// The pieces every command of the map tool shares: Allegro without a window, argument
// parsing, and the one-line failure report.

// Starts Allegro and its image add-on with memory bitmaps (no display is ever opened).
bool startAllegro();

// Prints "fennow-maptool: <message>" on the standard error stream and returns 1.
int failWith(const std::string& message);

// A command's arguments split into positional words and --options. Options listed in
// withValue take the next word as their value; the others are flags with an empty value.
struct ParsedArguments {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options;
};

// False with a reason when an option is unknown or misses its value.
bool parseArguments(const std::vector<std::string>& words,
                    const std::vector<std::string>& withValue,
                    const std::vector<std::string>& flags, ParsedArguments& out,
                    std::string& error);

// Whole-text integer parsing: false for "", "12x", out-of-range values.
bool parseInteger(const std::string& text, long long lowest, long long highest, long long& out);

// "X,Y" as two integers in -32768..32767.
bool parsePair(const std::string& text, int& first, int& second);

// The map-format options that make and import share; what is not given stays unset.
struct FormatChoice {
    std::optional<int> mapType;                    // --type 0..3
    std::optional<int> depth;                      // --depth 8|15|16|24|32
    std::optional<MapWriter::ByteOrder> byteOrder; // --byte-order le|be
};

// Reads --type, --depth and --byte-order; false with a reason when a value is wrong.
bool readFormatChoice(const ParsedArguments& args, FormatChoice& choice, std::string& error);

// Writes a whole file, or removes what it began (a plain file only, never a device), so no
// half-written file stays; false when it could not.
bool writeWholeFile(const std::string& path, const std::string& bytes);

// Reads a whole file; false with a reason when it cannot.
bool readWholeFile(const std::string& path, std::vector<unsigned char>& bytes, std::string& error);

// The commands; each returns the process exit status.
int makeCommand(const std::vector<std::string>& words);
int infoCommand(const std::vector<std::string>& words);
int checkCommand(const std::vector<std::string>& words);
int renderCommand(const std::vector<std::string>& words);
int importCommand(const std::vector<std::string>& words);
