// Map drawing speed on a real display (run under Xvfb: xvfb-run -a build/bench/MapDrawBench).
// Prints figures and asserts nothing:
//  1. the shipped start map's layers drawn over the whole 800 x 600 window, against drawing
//     the same number of full-window bitmaps, measured in one run (goal: ratio <= 1.2);
//  2. the cost of one 800 x 600 view on generated maps of growing size (it should not grow).
// Every frame is cleared and flipped, so the GPU really finishes its work; the clear-and-flip
// cost alone is measured too and subtracted for the net ratio.

#include "MapWriter.h"
#include "map/MapLibrary.h"

#include <allegro5/allegro.h>
#include <allegro5/allegro_image.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int windowWidth = 800;
constexpr int windowHeight = 600;
constexpr int framesPerRound = 60;
constexpr int rounds = 9;

int drawnLayerCount() {
    int count = 0;
    while (count < MapLibrary::LayerSlots && MapLibrary::selectLayer(count) == count)
        ++count;
    return count;
}

void drawMapLayers(int layers, int mapX, int mapY) {
    for (int i = 0; i < layers; ++i) {
        MapLibrary::selectLayer(i);
        MapLibrary::drawBackground(mapX, mapY, 0, 0, windowWidth, windowHeight);
    }
}

double median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

// Milliseconds per frame of each way of drawing: the median over several rounds of
// framesPerRound frames. The ways take turns within every round, so a busy moment of the
// machine touches all of them alike.
std::vector<double> msPerFrame(ALLEGRO_DISPLAY* display,
                               const std::vector<std::function<void()>>& ways) {
    std::vector<std::vector<double>> samples(ways.size());
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t w = 0; w < ways.size(); ++w) {
            const double start = al_get_time();
            for (int frame = 0; frame < framesPerRound; ++frame) {
                al_set_target_backbuffer(display);
                al_clear_to_color(al_map_rgb(0, 0, 0));
                ways[w]();
                al_flip_display();
            }
            samples[w].push_back((al_get_time() - start) * 1000.0 / framesPerRound);
        }
    }
    std::vector<double> result;
    for (const auto& s : samples)
        result.push_back(median(s));
    return result;
}

// A full-window picture that is not one flat colour, like a real layer.
ALLEGRO_BITMAP* makeFullWindowBitmap(int seed) {
    ALLEGRO_BITMAP* bitmap = al_create_bitmap(windowWidth, windowHeight);
    al_set_target_bitmap(bitmap);
    al_lock_bitmap(bitmap, ALLEGRO_PIXEL_FORMAT_ANY, ALLEGRO_LOCK_WRITEONLY);
    for (int y = 0; y < windowHeight; ++y)
        for (int x = 0; x < windowWidth; ++x)
            al_put_pixel(x, y,
                         al_map_rgba((x * 7 + seed * 50) & 255, (y * 3) & 255, (x ^ y) & 255,
                                     (x + y + seed) % 5 == 0 ? 0 : 255));
    al_unlock_bitmap(bitmap);
    return bitmap;
}

// A generated map of size x size blocks: 64 graphics, three layers, the top two mostly clear.
MapWriter::MapContent generatedMap(int size) {
    MapWriter::MapContent map;
    map.mapWidth = size;
    map.mapHeight = size;
    map.graphics.push_back(std::vector<MapWriter::Pixel>(32 * 32, MapWriter::Pixel{0, 0, 0, 0}));
    map.blocks.push_back(MapWriter::Block{});
    std::srand(1);
    for (int g = 1; g <= 64; ++g) {
        std::vector<MapWriter::Pixel> pixels;
        for (int i = 0; i < 32 * 32; ++i)
            pixels.push_back(MapWriter::Pixel{static_cast<std::uint8_t>(std::rand()),
                                              static_cast<std::uint8_t>(std::rand()),
                                              static_cast<std::uint8_t>(std::rand()),
                                              static_cast<std::uint8_t>(i % 7 == 0 ? 0 : 255)});
        map.graphics.push_back(pixels);
        MapWriter::Block block;
        block.background = g;
        map.blocks.push_back(block);
    }
    for (int layer = 0; layer < 3; ++layer) {
        std::vector<std::int16_t> cells;
        for (int i = 0; i < size * size; ++i) {
            const bool filled = layer == 0 || std::rand() % 4 == 0;
            cells.push_back(static_cast<std::int16_t>(filled ? 1 + std::rand() % 64 : 0));
        }
        map.layers[layer] = cells;
    }
    return map;
}

} // namespace

int main(int argc, char** argv) {
    const std::string mapPath = argc > 1 ? argv[1] : "Data/Maps/WillowCreekFarm.fmp";
    if (!al_init() || !al_init_image_addon()) {
        std::fprintf(stderr, "Allegro could not be started\n");
        return 1;
    }
    ALLEGRO_DISPLAY* display = al_create_display(windowWidth, windowHeight);
    if (display == nullptr) {
        std::fprintf(stderr, "no display: run under xvfb-run -a\n");
        return 1;
    }

    const double loadStart = al_get_time();
    if (MapLibrary::loadMap(mapPath.c_str(), 1) != 0) {
        std::fprintf(stderr, "%s: %s: %s\n", mapPath.c_str(),
                     MapLibrary::errorName(MapLibrary::lastError()), MapLibrary::lastErrorDetail());
        return 1;
    }
    const double loadMs = (al_get_time() - loadStart) * 1000.0;
    const int layers = drawnLayerCount();

    std::vector<ALLEGRO_BITMAP*> fills;
    for (int i = 0; i < layers; ++i)
        fills.push_back(makeFullWindowBitmap(i));

    const auto base = [] {};
    const auto fill = [&] {
        for (ALLEGRO_BITMAP* b : fills)
            al_draw_bitmap(b, 0, 0, 0);
    };
    const auto map = [&] { drawMapLayers(layers, 0, 0); };
    const std::vector<double> times = msPerFrame(display, {base, fill, map});
    const double baseMs = times[0];
    const double fillMs = times[1];
    const double mapMs = times[2];

    std::printf("Start map %s: loaded in %.2f ms, %d layers of %d x %d blocks\n", mapPath.c_str(),
                loadMs, layers, MapLibrary::header().mapWidth, MapLibrary::header().mapHeight);
    std::printf("clear and flip alone:              %7.3f ms per frame\n", baseMs);
    std::printf("%d full-window bitmaps:             %7.3f ms per frame\n", layers, fillMs);
    std::printf("%d map layers over the window:      %7.3f ms per frame\n", layers, mapMs);
    std::printf("ratio map / full-window bitmaps:   %7.3f (with clear and flip)\n", mapMs / fillMs);
    if (fillMs > baseMs)
        std::printf("ratio without clear and flip:      %7.3f\n",
                    (mapMs - baseMs) / (fillMs - baseMs));

    std::printf("\nOne 800 x 600 view of generated maps (3 layers, 64 graphics):\n");
    for (int size : {25, 100, 400, 1000}) {
        std::string error;
        const std::vector<unsigned char> bytes = MapWriter::writeMap(generatedMap(size), error);
        if (bytes.empty() || MapLibrary::decodeMap(bytes.data(), bytes.size(), 1) != 0) {
            std::fprintf(stderr, "generated map %d: %s%s\n", size, error.c_str(),
                         MapLibrary::lastErrorDetail());
            return 1;
        }
        const int centre = size * 32 / 2 - windowWidth;
        const int x = size > 25 ? std::max(0, centre) : 0;
        const double viewMs = msPerFrame(display, {[&] { drawMapLayers(3, x, x); }})[0];
        std::printf("  %4d x %4d blocks (%7zu bytes), view at %5d,%5d: %7.3f ms per frame\n", size,
                    size, bytes.size(), x, x, viewMs);
    }

    MapLibrary::freeMap();
    for (ALLEGRO_BITMAP* b : fills)
        al_destroy_bitmap(b);
    al_destroy_display(display);
    return 0;
}
