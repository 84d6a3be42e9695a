#include "core/CommandLine.h"

#include <cstring>

const char* CommandLine::usage() {
    return "usage: fennow-online [--map NAME] [--author] [--new-game] [--help]\n"
           "  --map NAME  start on the map Data\\Maps\\NAME.fmp, with its script\n"
           "              Data\\Scripts\\Maps\\NAME.lua (default: WillowCreekFarm)\n"
           "  --author    author mode: script problems shown in the window, a close line\n"
           "              in every chat box that has no way out, F5 reloads the world\n"
           "  --new-game  start without the save FennowOnline.sav, for content that saves;\n"
           "              the first save of the run replaces it\n"
           "  --help      print this and exit\n";
}

bool CommandLine::refuse(std::FILE* err, const std::string& message) {
    std::fprintf(err, "fennow-online: %s\n%s", message.c_str(), usage());
    exitStatus_ = 2;
    return false;
}

bool CommandLine::parse(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
    bool mapGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i] ? argv[i] : "";
        if (word == "--help" || word == "-h") {
            std::fputs(usage(), out);
            exitStatus_ = 0;
            return false;
        }
        if (word == "--author") {
            authorMode_ = true;
        } else if (word == "--new-game") {
            newGame_ = true;
        } else if (word == "--map" || word.compare(0, 6, "--map=") == 0) {
            std::string name;
            if (word == "--map") {
                if (i + 1 >= argc || !argv[i + 1])
                    return refuse(err, "--map needs a map name");
                name = argv[++i];
            } else {
                name = word.substr(6);
            }
            if (name.empty())
                return refuse(err, "--map needs a map name");
            if (mapGiven)
                return refuse(err, "--map is given twice");
            map_ = name;
            mapGiven = true;
        } else {
            return refuse(err, "unknown option \"" + word + "\"");
        }
    }
    return true;
}
