#include "CharacterOverlay.h"
#include "ToolSupport.h"

#include "map/MapLibrary.h"

#include <allegro5/allegro.h>
#include <allegro5/allegro_image.h>

#include <algorithm>
#include <cstdio>

// render MAP.fmp OUT.png [--layer N] [--size WxH] [--characters]: draws the map as the game does
// (cleared to black, layers 0, 1, ... in order from map pixel 0,0) into a PNG, without a window;
// with --characters, the characters its script spawns over it.

namespace {

constexpr int largestImage = 16384;

struct ImageSize {
    int width = 0;
    int height = 0;
};

// The map's own pixel size: one step per column and row (a staggered map shows two map rows
// per drawn row), and on a staggered map the half cell its shifted rows reach further.
ImageSize mapPixelSize() {
    const MapLibrary::MapHeader& h = MapLibrary::header();
    const bool staggered = h.staggerX != 0 || h.staggerY != 0;
    long long width = static_cast<long long>(h.mapWidth) * h.columnStep;
    long long height =
        static_cast<long long>(staggered ? h.mapHeight / 2 : h.mapHeight) * h.rowStep;
    if (staggered) {
        width += h.staggerX;
        height += h.staggerY;
    }
    return {static_cast<int>(std::min<long long>(width, largestImage + 1)),
            static_cast<int>(std::min<long long>(height, largestImage + 1))};
}

bool parseSize(const std::string& text, ImageSize& size) {
    const auto x = text.find('x');
    long long w = 0;
    long long h = 0;
    if (x == std::string::npos || !parseInteger(text.substr(0, x), 1, largestImage, w) ||
        !parseInteger(text.substr(x + 1), 1, largestImage, h))
        return false;
    size = {static_cast<int>(w), static_cast<int>(h)};
    return true;
}

} // namespace

int renderCommand(const std::vector<std::string>& words) {
    ParsedArguments args;
    std::string error;
    if (!parseArguments(words, {"--layer", "--size"}, {"--characters"}, args, error))
        return failWith("render: " + error);
    if (args.positional.size() != 2)
        return failWith("render needs MAP.fmp and OUT.png");
    const std::string& path = args.positional[0];
    const std::string& out = args.positional[1];
    long long onlyLayer = -1;
    if (args.options.count("--layer") != 0 &&
        !parseInteger(args.options["--layer"], 0, MapLibrary::LayerSlots - 1, onlyLayer))
        return failWith("render: --layer must be a layer slot 0..7, not \"" +
                        args.options["--layer"] + "\"");
    ImageSize size;
    if (args.options.count("--size") != 0 && !parseSize(args.options["--size"], size))
        return failWith("render: --size must be WIDTHxHEIGHT, each 1.." +
                        std::to_string(largestImage) + ", not \"" + args.options["--size"] + "\"");

    if (MapLibrary::loadMap(path.c_str(), 1) != 0)
        return failWith(std::string(MapLibrary::errorName(MapLibrary::lastError())) + ": " + path +
                        ": " + MapLibrary::lastErrorDetail());
    if (size.width == 0)
        size = mapPixelSize();
    if (size.width < 1 || size.height < 1 || size.width > largestImage ||
        size.height > largestImage) {
        MapLibrary::freeMap();
        return failWith("render: the map's pixel size is outside 1.." +
                        std::to_string(largestImage) + " each way; give --size");
    }
    if (onlyLayer >= 0 && !MapLibrary::layerPresent(static_cast<int>(onlyLayer))) {
        MapLibrary::freeMap();
        return failWith("render: " + path + " has no layer in slot " + std::to_string(onlyLayer));
    }

    ALLEGRO_BITMAP* image = al_create_bitmap(size.width, size.height);
    if (image == nullptr) {
        MapLibrary::freeMap();
        return failWith("render: cannot make a " + std::to_string(size.width) + " x " +
                        std::to_string(size.height) + " image");
    }
    al_set_target_bitmap(image);
    al_clear_to_color(al_map_rgb(0, 0, 0));
    int drawn = 0;
    if (onlyLayer >= 0) {
        MapLibrary::selectLayer(static_cast<int>(onlyLayer));
        MapLibrary::drawBackground(0, 0, 0, 0, size.width, size.height);
        drawn = 1;
    } else {
        // Like the game: consecutive layers from slot 0, stopping at the first empty slot.
        while (drawn < MapLibrary::LayerSlots && MapLibrary::selectLayer(drawn) == drawn) {
            MapLibrary::drawBackground(0, 0, 0, 0, size.width, size.height);
            ++drawn;
        }
        for (int n = drawn + 1; n < MapLibrary::LayerSlots; ++n)
            if (MapLibrary::layerPresent(n))
                std::fprintf(stderr,
                             "fennow-maptool: note: layer slot %d is not drawn, as the game "
                             "stops at the empty slot %d\n",
                             n, drawn);
    }
    if (args.options.count("--characters") != 0 &&
        !CharacterOverlay::draw(image, path, drawn, error)) {
        al_set_target_bitmap(nullptr);
        al_destroy_bitmap(image);
        MapLibrary::freeMap();
        return failWith("render: " + error);
    }
    const bool saved = al_save_bitmap(out.c_str(), image);
    al_set_target_bitmap(nullptr);
    al_destroy_bitmap(image);
    MapLibrary::freeMap();
    if (!saved)
        return failWith("render: cannot write \"" + out +
                        "\" (give a .png name in a folder "
                        "that exists)");
    std::printf("Rendered %s: %d x %d pixels, %d layer%s\n", out.c_str(), size.width, size.height,
                drawn, drawn == 1 ? "" : "s");
    return 0;
}
