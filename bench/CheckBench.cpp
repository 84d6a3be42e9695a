// What the content checker costs: a generated character whose conversation has 1,000
// reachable pages (a tree ten pages wide, three deep), walked in states per second, and the
// whole walk of the shipped content.
//
// Run from the repository root (it reads Data/):
//
//   build/bench/CheckBench
//
// Figures are printed; nothing is asserted.

#include "CheckOptions.h"
#include "ContentChecker.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

// Page n offers pages 10n + 1 to 10n + 10 (below 1000) and a goodbye: pages 0 to 999.
const char* const benchCharacter = R"(local pick = Talk.start("Bench")
if pick == Talk.CLICKED then
    BenchPage = 0
elseif pick > 0 then
    BenchPage = pick
end
Talk.say("Page " .. BenchPage)
for next = 10 * BenchPage + 1, math.min(10 * BenchPage + 10, 999) do
    Talk.choice("Go to page " .. next, next)
end
Talk.bye()
)";

// A Data/ tree with the game's art and start-up scripts and the generated character, removed
// when the benchmark ends.
class BenchData {
  public:
    BenchData() {
        std::string pattern = (fs::temp_directory_path() / "fennow-checkbench.XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            return;
        root_ = pattern;
        const fs::path data = root_ / "Data";
        fs::create_directories(data / "Scripts" / "Maps");
        fs::create_directory_symlink(fs::absolute("Data/Graphics"), data / "Graphics");
        for (const char* script : {"RunOnce.lua", "VersionBark.lua"})
            fs::copy_file(fs::path("Data/Scripts") / script, data / "Scripts" / script);
        std::ofstream(data / "Scripts" / "Maps" / "Bench.lua")
            << "SpawnNPC(300, 200, 'Bench', 'Data\\\\Scripts\\\\Bench.lua', '')\n";
        std::ofstream(data / "Scripts" / "Bench.lua") << benchCharacter;
    }
    ~BenchData() {
        std::error_code ignored;
        if (!root_.empty())
            fs::remove_all(root_, ignored);
    }
    BenchData(const BenchData&) = delete;
    BenchData& operator=(const BenchData&) = delete;

    std::string root() const { return root_.string(); }

  private:
    fs::path root_;
};

void walk(benchmark::State& state, const CheckOptions& options) {
    long long states = 0;
    for (auto _ : state) {
        std::ostringstream out;
        std::ostringstream err;
        ContentChecker checker(options);
        if (checker.run(out, err) != 0) {
            state.SkipWithError((out.str() + err.str()).c_str());
            return;
        }
        states += checker.report().states;
    }
    state.counters["states"] =
        benchmark::Counter(static_cast<double>(states) / static_cast<double>(state.iterations()));
    state.counters["states/s"] =
        benchmark::Counter(static_cast<double>(states), benchmark::Counter::kIsRate);
}

void ThousandStates(benchmark::State& state) {
    const BenchData data;
    CheckOptions options;
    options.dataRoot = data.root();
    options.maps = {"Bench"};
    options.visits = 1;
    walk(state, options);
}
BENCHMARK(ThousandStates)->Unit(benchmark::kMillisecond)->UseRealTime();

void ShippedContent(benchmark::State& state) {
    CheckOptions options;
    options.allMaps = true;
    walk(state, options);
}
BENCHMARK(ShippedContent)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
