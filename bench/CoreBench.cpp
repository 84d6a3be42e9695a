// Per-call costs of the game core, in process and without a window (memory bitmaps):
// one Player tick, reading the default key-binding text, building the bitmap library, and
// composing one whole frame (with the real managers, so the figure grows with the world).
//
// Run from the repository root (it reads Data/):
//
//   build/bench/CoreBench [--benchmark_filter=...]
//
// Memory bitmaps are drawn by the CPU, so the frame figure is an upper bound for the window,
// where the GPU draws. Figures are printed; nothing is asserted.

#include "core/DisplayManager.h"
#include "core/GameContext.h"
#include "core/HeadlessWorld.h"
#include "gfx/BitmapLibrary.h"
#include "gui/Gui.h"
#include "gui/PortraitStore.h"
#include "input/ConfigReader.h"
#include "input/KeyBindings.h"
#include "map/MapManager.h"
#include "player/Player.h"
#include "script/ScriptHost.h"
#include "world/Environment.h"
#include "world/NpcManager.h"

#include <allegro5/allegro_font.h>
#include <allegro5/allegro_image.h>
#include <allegro5/allegro_ttf.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

// Console text of the managers goes nowhere while benchmarks run.
class QuietConsole {
  public:
    QuietConsole() : saved_(dup(fileno(stderr))) {
        std::fflush(stderr);
        std::freopen("/dev/null", "w", stderr);
    }
    ~QuietConsole() {
        std::fflush(stderr);
        dup2(saved_, fileno(stderr));
        close(saved_);
    }

  private:
    int saved_;
};

void playerUpdate(benchmark::State& state) {
    Player player(0.0f, 0.0f);
    player.primaryKeys[Player::Up] = true;
    player.primaryKeys[Player::Left] = true;
    for (auto _ : state) {
        player.update();
        benchmark::DoNotOptimize(player.x);
    }
}
BENCHMARK(playerUpdate);

void readDefaultConfig(benchmark::State& state) {
    const char* text = "//PRIMARY KEYS:\nQuit ESCAPE NONE\nUp ARROW_UP NONE\n"
                       "Right ARROW_RIGHT NONE\nDown ARROW_DOWN NONE\nLeft ARROW_LEFT NONE\n"
                       "Sprint LSHIFT RSHIFT\n";
    KeyBindings bindings;
    game.keyBindings = &bindings;
    QuietConsole quiet;
    for (auto _ : state) {
        ConfigReader reader(ConfigReader::TableOnly::Tag);
        reader.readText(text, std::strlen(text));
    }
    game.keyBindings = nullptr;
}
BENCHMARK(readDefaultConfig);

void buildBitmapLibrary(benchmark::State& state) {
    QuietConsole quiet;
    for (auto _ : state) {
        BitmapLibrary library;
        benchmark::DoNotOptimize(library.bitmap(0));
    }
}
BENCHMARK(buildBitmapLibrary)->Unit(benchmark::kMillisecond);

void composeFrame(benchmark::State& state) {
    {
        QuietConsole quiet;
        // Kept for the whole run, past Allegro's own end.
        if (!game.displayManager)
            new HeadlessWorld();
        game.player->x = 200.0f;
        game.player->y = 200.0f;
        game.mapManager->load("WillowCreekFarm");
    }
    ALLEGRO_BITMAP* frame = al_create_bitmap(800, 600);
    QuietConsole quiet;
    for (auto _ : state) {
        game.player->update();
        game.displayManager->composeFrame(frame);
    }
    al_destroy_bitmap(frame);
}
BENCHMARK(composeFrame)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (!al_init()) {
        std::fprintf(stderr, "Allegro failed to initialize\n");
        return 1;
    }
    al_init_font_addon();
    al_init_image_addon();
    al_init_ttf_addon();
    al_set_new_bitmap_flags(ALLEGRO_MEMORY_BITMAP);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
