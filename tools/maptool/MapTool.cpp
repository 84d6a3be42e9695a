#include "ToolSupport.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <new>
#include <string>
#include <vector>

// fennow-maptool: makes, imports, inspects, checks and renders the game's tile maps without a
// window.

namespace {

const char* const usageText =
    "usage: fennow-maptool COMMAND ...\n"
    "  make DESCRIPTION.json OUT.fmp [--type 0..3] [--depth 8|15|16|24|32]\n"
    "       [--byte-order le|be] [--stagger X,Y] [--steps COLUMN,ROW] [--note TEXT]\n"
    "       [--short-header]\n"
    "                      write a map file from a JSON description\n"
    "  info MAP.fmp [--json]\n"
    "                      show the header, chunks, layers, blocks and animations\n"
    "  check MAP.fmp       load the map with the game's loader and report the result\n"
    "  render MAP.fmp OUT.png [--layer N] [--size WIDTHxHEIGHT] [--characters]\n"
    "                      draw the map as the game does into a PNG; --characters runs\n"
    "                      the map's script and draws its characters, hit boxes (yellow)\n"
    "                      and feet (red)\n"
    "  import MAP.tmx|MAP.tmj OUT.fmp [--type 0..3] [--depth 8|15|16|24|32]\n"
    "       [--byte-order le|be] [--description OUT.json] [--script PATH]\n"
    "                      write a map file from a Tiled map, and its characters into\n"
    "                      the map's script\n"
    "See docs/maps.md.\n";

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(usageText, stderr);
        return 2;
    }
    const std::string command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(usageText, stdout);
        return 0;
    }
    const std::vector<std::string> words(argv + 2, argv + argc);
    if (!startAllegro())
        return failWith("Allegro could not be started");
    try {
        if (command == "make")
            return makeCommand(words);
        if (command == "info")
            return infoCommand(words);
        if (command == "check")
            return checkCommand(words);
        if (command == "render")
            return renderCommand(words);
        if (command == "import")
            return importCommand(words);
    } catch (const std::bad_alloc&) {
        return failWith(command + ": out of memory (is the map too large?)");
    } catch (const std::exception& e) {
        return failWith(command + ": " + e.what());
    }
    std::fprintf(stderr, "fennow-maptool: unknown command \"%s\"\n%s", command.c_str(), usageText);
    return 2;
}
