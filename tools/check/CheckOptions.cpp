#include "CheckOptions.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace {

const char* const usageText =
    "usage: fennow-check [--data DIR] [--map NAME ... | --all] [--character NAME]\n"
    "                    [--visits N] [--depth N] [--states N] [--time-limit SECONDS]\n"
    "                    [--script-limit SECONDS] [--json] [--progress] [--verbose]\n"
    "  Walks every conversation of the characters a map spawns, as a player would, and\n"
    "  reports what would go wrong. Run it from the folder that holds Data/, or name that\n"
    "  folder with --data.\n"
    "  --map NAME        check Data\\Maps\\NAME (may be given more than once; default: the\n"
    "                    start map, WillowCreekFarm)\n"
    "  --all             check every map in Data/Maps that has a script\n"
    "  --character NAME  walk only the character of that name\n"
    "  --visits N        click each character again after a close, up to N visits (3)\n"
    "  --depth N         walk paths of at most N steps (60)\n"
    "  --states N        walk at most N states per character (20000)\n"
    "  --time-limit S    stop each character's walk after S seconds of processor time (10)\n"
    "  --script-limit S  stop a script that runs longer than S seconds (5, as the game)\n"
    "  --json            print the result as one JSON object\n"
    "  --progress        show a long walk's progress on standard error even when it is not\n"
    "                    a terminal\n"
    "  --verbose         show the game's own console lines while scripts run\n"
    "Exit status: 0 nothing found, 1 findings, 2 bad usage or no Data/.\n"
    "See docs/scripting.md.\n";

bool readCount(const std::string& text, int lowest, int highest, int& out) {
    if (text.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < lowest || value > highest)
        return false;
    out = static_cast<int>(value);
    return true;
}

bool readSeconds(const std::string& text, double& out) {
    if (text.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(value) || value <= 0.0 || value > 3600.0)
        return false;
    out = value;
    return true;
}

struct CountOption {
    const char* name;
    int CheckOptions::*field;
    int lowest;
    int highest;
};

const CountOption countOptions[] = {
    {"--visits", &CheckOptions::visits, 1, 100},
    {"--depth", &CheckOptions::depth, 1, 10000},
    {"--states", &CheckOptions::states, 1, 10000000},
};

} // namespace

const char* checkUsage() {
    return usageText;
}

bool parseCheckOptions(const std::vector<std::string>& words, CheckOptions& options,
                       std::string& error) {
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word == "--help" || word == "-h") {
            options.help = true;
            return true;
        }
        if (word == "--all") {
            options.allMaps = true;
            continue;
        }
        if (word == "--json") {
            options.json = true;
            continue;
        }
        if (word == "--verbose") {
            options.verbose = true;
            continue;
        }
        if (word == "--progress") {
            options.progress = true;
            continue;
        }
        const bool takesValue = word == "--data" || word == "--map" || word == "--visits" ||
                                word == "--depth" || word == "--states" || word == "--time-limit" ||
                                word == "--script-limit" || word == "--character";
        if (!takesValue) {
            error = word.compare(0, 1, "-") == 0 ? "unknown option " + word
                                                 : "unexpected argument \"" + word + "\"";
            return false;
        }
        if (i + 1 >= words.size()) {
            error = "option " + word + " needs a value";
            return false;
        }
        const std::string& value = words[++i];
        if (word == "--data") {
            options.dataRoot = value;
        } else if (word == "--map") {
            if (value.empty() || value.find_first_of("/\\") != std::string::npos) {
                error = "--map takes a map name without folder or extension, not \"" + value + "\"";
                return false;
            }
            options.maps.push_back(value);
        } else if (word == "--character") {
            if (value.empty()) {
                error = "--character needs a character's name";
                return false;
            }
            options.character = value;
        } else if (word == "--time-limit" || word == "--script-limit") {
            if (!readSeconds(value,
                             word == "--time-limit" ? options.timeLimit : options.scriptLimit)) {
                error = word + " needs a number of seconds above 0, not \"" + value + "\"";
                return false;
            }
        } else {
            for (const CountOption& option : countOptions) {
                if (word != option.name)
                    continue;
                if (!readCount(value, option.lowest, option.highest, options.*option.field)) {
                    error = word + " needs a whole number from " + std::to_string(option.lowest) +
                            " to " + std::to_string(option.highest) + ", not \"" + value + "\"";
                    return false;
                }
            }
        }
    }
    if (options.allMaps && !options.maps.empty()) {
        error = "--all and --map cannot be combined";
        return false;
    }
    return true;
}
