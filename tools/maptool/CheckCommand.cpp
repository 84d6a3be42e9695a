#include "ToolSupport.h"

#include "map/MapLibrary.h"

#include <cstdio>

// check MAP.fmp: loads the map exactly as the game does and names the outcome.

namespace {

const char* generalReason(int code) {
    switch (code) {
    case MapLibrary::MapOk:
        return "the map loads";
    case MapLibrary::MapOutOfMemory:
        return "memory ran out while loading";
    case MapLibrary::MapBadFile:
        return "the file is not a complete map file";
    case MapLibrary::MapCannotOpen:
        return "the file cannot be opened";
    case MapLibrary::MapNoSystem:
        return "Allegro is not running";
    case MapLibrary::MapNoBitmap:
        return "a block bitmap could not be made";
    case MapLibrary::MapTooNew:
        return "the map's version or map type is newer than the game reads";
    case MapLibrary::MapUnsupported:
        return "the map uses a feature the game does not support";
    default:
        return "unknown failure";
    }
}

} // namespace

int checkCommand(const std::vector<std::string>& words) {
    ParsedArguments args;
    std::string error;
    if (!parseArguments(words, {}, {}, args, error))
        return failWith("check: " + error);
    if (args.positional.size() != 1)
        return failWith("check needs one MAP.fmp");
    const std::string& path = args.positional[0];

    const int result = MapLibrary::loadMap(path.c_str(), 1);
    const int code = MapLibrary::lastError();
    const char* detail = MapLibrary::lastErrorDetail();
    const std::string reason =
        detail != nullptr && detail[0] != '\0' ? std::string(detail) : generalReason(code);
    if (result != 0) {
        std::printf("%s: %s: %s\n", MapLibrary::errorName(code), path.c_str(), reason.c_str());
        return 1;
    }
    int layers = 0;
    while (layers < MapLibrary::LayerSlots && MapLibrary::selectLayer(layers) == layers)
        ++layers;
    const MapLibrary::MapHeader& h = MapLibrary::header();
    std::printf("%s: %s: the map loads: type %d, depth %d, %d x %d blocks, %d layers drawn by the "
                "game\n",
                MapLibrary::errorName(code), path.c_str(), h.mapType, h.blockDepth, h.mapWidth,
                h.mapHeight, layers);
    // The game draws from map pixel 0,0 over its whole 800 x 600 window.
    if (h.staggerX == 0 && h.staggerY == 0 &&
        (h.mapWidth * h.columnStep < 800 || h.mapHeight * h.rowStep < 600))
        std::printf("warning: the map is %d x %d pixels, smaller than the game's 800 x 600 "
                    "window\n",
                    h.mapWidth * h.columnStep, h.mapHeight * h.rowStep);
    MapLibrary::freeMap();
    return 0;
}
