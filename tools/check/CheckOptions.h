#pragma once

#include <string>
#include <vector>

// What one run of fennow-check walks and how it reports, as read from its command line.
struct CheckOptions {
    std::string dataRoot = ".";    // the folder that holds Data/
    std::vector<std::string> maps; // empty: the start map, unless allMaps
    bool allMaps = false;
    std::string character;   // empty: every character of the maps
    double timeLimit = 10.0; // seconds of processor time each character's walk may take
    int visits = 3;
    int depth = 60;
    int states = 20000;
    double scriptLimit = 5.0; // seconds a script may run, as in the game
    bool json = false;
    bool progress = false; // progress lines even when standard error is not a terminal
    bool verbose = false;
    bool help = false;
};

// Reads the command line (without the program name). False with a one-line reason for bad
// usage; --help sets help and succeeds.
bool parseCheckOptions(const std::vector<std::string>& words, CheckOptions& options,
                       std::string& error);

// The usage text, ending in a newline.
const char* checkUsage();
