// Loading and drawing figures of the map library: decoding generated maps of 8 layers in each
// map type at growing sizes (the cost must grow linearly with the cells), the memory a loaded
// map holds, and drawing three 800 x 600 layers into a memory bitmap. Prints figures only.
#include "MapImageBuilder.h"
#include "map/MapLibrary.h"

#include <allegro5/allegro.h>
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int Graphics = 64;
constexpr int Layers = 8;

// Runs of four equal cells, and every second row a copy of the one above, so the run-length
// types have runs and copies to decode.
int cellValue(int x, int y, int layer) {
    return ((x / 4) + (y / 2) * 7 + layer) % Graphics;
}

std::vector<uint8_t> makeImage(int mapType, int size) {
    MapImageBuilder b;
    MapImageBuilder::Header& h = b.header;
    h.mapType = mapType;
    h.byteOrder = 1;
    h.mapWidth = h.mapHeight = size;
    h.blockWidth = h.blockHeight = h.columnStep = h.rowStep = 32;
    h.blockDepth = 32;
    h.blockCount = h.graphicCount = Graphics;
    b.mphd();
    std::vector<MapImageBuilder::Block> blocks(Graphics);
    for (int i = 0; i < Graphics; ++i)
        blocks[i].background = i;
    b.bkdt(blocks);
    std::vector<uint8_t> pixels;
    for (int i = 0; i < Graphics * 32 * 32; ++i)
        pixels.insert(pixels.end(), {0, uint8_t(i), uint8_t(i >> 4), 200});
    b.bgfx(pixels);
    static const char* ids[Layers] = {"BODY", "LYR1", "LYR2", "LYR3",
                                      "LYR4", "LYR5", "LYR6", "LYR7"};
    std::vector<int> cells(size_t(size) * size);
    for (int layer = 0; layer < Layers; ++layer) {
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                cells[size_t(y) * size + x] = cellValue(x, y, layer);
        b.layer(ids[layer], cells);
    }
    return b.image();
}

const std::vector<uint8_t>& image(int mapType, int size) {
    static std::map<std::pair<int, int>, std::vector<uint8_t>> cache;
    auto& entry = cache[{mapType, size}];
    if (entry.empty())
        entry = makeImage(mapType, size);
    return entry;
}

size_t heapInUse() {
    return mallinfo2().uordblks + mallinfo2().hblkhd;
}

void loadMap(benchmark::State& state) {
    const int mapType = int(state.range(0));
    const int size = int(state.range(1));
    const std::vector<uint8_t>& bytes = image(mapType, size);
    MapLibrary::freeMap();
    const size_t before = heapInUse();
    if (MapLibrary::decodeMap(bytes.data(), bytes.size(), 1) != 0)
        state.SkipWithError(MapLibrary::lastErrorDetail());
    const size_t held = heapInUse() - before;
    for (auto _ : state)
        benchmark::DoNotOptimize(MapLibrary::decodeMap(bytes.data(), bytes.size(), 1));
    const double cellBytes = 2.0 * Layers * size * size;
    state.SetBytesProcessed(int64_t(cellBytes * state.iterations()));
    state.counters["file_MB"] = bytes.size() / 1e6;
    state.counters["held_MB"] = held / 1e6;
    state.counters["cells/s"] = benchmark::Counter(double(Layers) * size * size,
                                                   benchmark::Counter::kIsIterationInvariantRate);
    MapLibrary::freeMap();
}
BENCHMARK(loadMap)
    ->ArgsProduct({{0, 1, 2, 3}, {256, 512, 1024}})
    ->ArgNames({"type", "size"})
    ->Unit(benchmark::kMillisecond);

// Resident memory in MB from /proc/self/status: "VmRSS" now, "VmHWM" the peak since the last
// resetPeak().
double residentMB(const char* field) {
    FILE* status = std::fopen("/proc/self/status", "r");
    char line[256];
    double kb = 0;
    while (status && std::fgets(line, sizeof line, status))
        if (std::strncmp(line, field, std::strlen(field)) == 0)
            kb = std::atof(line + std::strlen(field) + 1);
    if (status)
        std::fclose(status);
    return kb / 1024;
}

void resetPeak() {
    if (FILE* refs = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", refs);
        std::fclose(refs);
    }
}

// Loading from a file as the game does: the file is read whole, then decoded. The peak counts
// the file buffer, the layers and the graphics staging.
void loadMapFile(benchmark::State& state) {
    const int mapType = int(state.range(0));
    const std::string path = "/tmp/fennow_map_bench_" + std::to_string(mapType) + ".fmp";
    {
        const std::vector<uint8_t>& bytes = image(mapType, 1024);
        FILE* file = std::fopen(path.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
    MapLibrary::freeMap();
    malloc_trim(0);
    const double before = residentMB("VmRSS");
    resetPeak();
    if (MapLibrary::loadMap(path.c_str(), 1) != 0)
        state.SkipWithError(MapLibrary::lastErrorDetail());
    const double peak = residentMB("VmHWM") - before;
    for (auto _ : state)
        benchmark::DoNotOptimize(MapLibrary::loadMap(path.c_str(), 1));
    state.counters["peak_MB"] = peak;
    MapLibrary::freeMap();
    std::remove(path.c_str());
}
BENCHMARK(loadMapFile)->DenseRange(0, 3)->ArgName("type")->Unit(benchmark::kMillisecond);

// Three layers drawn into an 800 x 600 memory bitmap, as the game draws a frame (software
// rendering: an upper bound for a machine without a GPU).
void drawThreeLayers(benchmark::State& state) {
    const std::vector<uint8_t>& bytes = image(1, 256);
    MapLibrary::decodeMap(bytes.data(), bytes.size(), 1);
    ALLEGRO_BITMAP* target = al_create_bitmap(800, 600);
    al_set_target_bitmap(target);
    for (auto _ : state)
        for (int layer = 0; layer < 3; ++layer) {
            MapLibrary::selectLayer(layer);
            MapLibrary::drawBackground(40, 24, 0, 0, 800, 600);
        }
    al_set_target_bitmap(nullptr);
    al_destroy_bitmap(target);
    MapLibrary::freeMap();
}
BENCHMARK(drawThreeLayers)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (!al_init())
        return 1;
    al_set_new_bitmap_flags(ALLEGRO_MEMORY_BITMAP);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
