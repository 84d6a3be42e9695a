// What saving costs on the farm with two maps visited: writing the save (the world captured,
// turned into JSON, written to a temporary file, flushed to the disk and renamed), and
// loading it at start (read, checked against Data, the map file loaded, the world restored).
// The save's size is printed too. The second visited map is the farm's picture under another
// name, with the farm's three characters, so both maps hold what the farm holds.
//
// Run from the repository root (it reads Data\):
//
//   build/bench/SaveBench
//
// It works in a scratch folder with a link to Data, so no save is left behind. Figures are
// printed; nothing is asserted.

#include "core/GameContext.h"
#include "core/HeadlessWorld.h"
#include "core/SaveManager.h"
#include "map/MapManager.h"
#include "script/ScriptHost.h"
#include "world/MapTravel.h"
#include "world/NpcManager.h"

#include <allegro5/allegro.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string scratch;

// The farm loaded with its script run, then a second map visited: the farm's picture again,
// its three characters spawned there by hand.
void setUpWorld() {
    if (game.scriptHost)
        return;
    const fs::path repository = fs::current_path();
    std::string pattern = (fs::temp_directory_path() / "fennow-savebench.XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        std::abort();
    scratch = pattern;
    fs::create_directories(scratch + "/Data/Maps");
    for (const char* folder : {"Graphics", "Scripts"})
        fs::create_directory_symlink(repository / "Data" / folder, scratch + "/Data/" + folder);
    fs::copy_file(repository / "Data/Maps/WillowCreekFarm.fmp",
                  scratch + "/Data/Maps/WillowCreekFarm.fmp");
    fs::copy_file(repository / "Data/Maps/WillowCreekFarm.fmp",
                  scratch + "/Data/Maps/SecondField.fmp");
    fs::current_path(scratch);
    al_init();
    std::fputs("(the managers' construction lines follow)\n", stderr);
    new HeadlessWorld(HeadlessScope::Game); // kept for the whole run
    game.saving = new SaveManager(false);
    game.scriptHost->runFile("Data\\Scripts\\RunOnce.lua");
    game.mapManager->load("WillowCreekFarm");
    game.mapTravel->travel("SecondField", 100, 100);
    luaL_dostring(game.scriptHost->state(),
                  "Farm.folkSpawned = nil dofile('Data/Scripts/Maps/WillowCreekFarm.lua')");
    game.saving->beginStartup();
    game.saving->enable();
    game.saving->endStartup();
}

void SaveWrite(benchmark::State& state) {
    setUpWorld();
    for (auto _ : state)
        if (!game.saving->save())
            state.SkipWithError("the save could not be written");
    state.counters["bytes"] = static_cast<double>(fs::file_size("FennowOnline.sav"));
}

void SaveLoad(benchmark::State& state) {
    setUpWorld();
    game.saving->save();
    for (auto _ : state) {
        SaveManager loading(false);
        loading.beginStartup();
        loading.enable();
        if (!loading.loadAtStart())
            state.SkipWithError("the save did not load");
    }
    state.counters["characters"] = game.npcManager->getNpcCount();
}

} // namespace

BENCHMARK(SaveWrite)->Unit(benchmark::kMicrosecond);
BENCHMARK(SaveLoad)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (!scratch.empty()) {
        fs::current_path(fs::temp_directory_path());
        fs::remove_all(scratch);
    }
    return 0;
}
