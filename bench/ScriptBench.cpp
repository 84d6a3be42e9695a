// What scripts cost: creating the script host, one script function call through Lua, a
// variable lookup on a character with many variables, and a whole conversation step (a
// character script that uses the Talk helpers, read from disk and run with runFile).
//
// Run from the repository root (it reads Data\Scripts\RunOnce.lua):
//
//   build/bench/ScriptBench
//
// Figures are printed; nothing is asserted.

#include "core/GameContext.h"
#include "core/HeadlessWorld.h"
#include "gui/Gui.h"
#include "gui/PortraitStore.h"
#include "script/ScriptFunctionTable.h"
#include "script/ScriptHost.h"
#include "world/NpcManager.h"

#include <allegro5/allegro.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

// The game's script host with the managers the functions act on, built once.
void setUpGame() {
    if (game.scriptHost) {
        return;
    }
    al_init();
    std::fputs("(the managers' construction lines follow)\n", stderr);
    // Kept for the whole run, past Allegro's own end.
    new HeadlessWorld(HeadlessScope::Conversations);
    game.scriptHost->runFile("Data\\Scripts\\RunOnce.lua");
    game.scriptHost->runFile("Data\\Scripts\\VersionBark.lua");
    luaL_dostring(game.scriptHost->state(),
                  "SpawnNPC(100, 100, 'Bench', 'bench.lua', '') SetActiveNPCA('Bench') "
                  "for i = 1, 100 do AddScriptVariableI('v' .. i, i) end");
}

void runChunk(benchmark::State& state, const char* code) {
    lua_State* L = game.scriptHost->state();
    if (luaL_loadstring(L, code) != 0) {
        state.SkipWithError("chunk does not compile");
        return;
    }
    const int chunk = lua_gettop(L);
    for (auto _ : state) {
        lua_pushvalue(L, chunk);
        lua_call(L, 0, 0);
    }
    lua_settop(L, chunk - 1);
}

void HostCreation(benchmark::State& state) {
    for (auto _ : state) {
        ScriptHost host(scriptFunctionTable());
        benchmark::DoNotOptimize(host.state());
    }
}
BENCHMARK(HostCreation);

// 1000 calls per iteration.
void SetDialogueLineCalls(benchmark::State& state) {
    setUpGame();
    runChunk(state, "for i = 1, 1000 do SetDialogueLine(i % 12, 'Good morning!') end");
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(SetDialogueLineCalls);

// 1000 lookups per iteration of the last of 100 variables (the whole list is walked).
void LastOfHundredVariables(benchmark::State& state) {
    setUpGame();
    runChunk(state, "for i = 1, 1000 do GetScriptVariableI('v100') end");
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(LastOfHundredVariables);

void ConversationStep(benchmark::State& state) {
    setUpGame();
    const char* path = "bench_conversation.lua";
    std::ofstream(path) << "local pick = Talk.start('Bench')\n"
                           "Talk.say(Farm.weatherLine() .. ' ' .. Farm.chore .. ' awaits.')\n"
                           "Talk.choices{ {'More', 1}, {'Less', 2} }\n"
                           "Talk.bye()\n"
                           "Talk.count('visits')\n";
    for (auto _ : state) {
        game.scriptHost->runFile(path);
    }
    std::remove(path);
}
BENCHMARK(ConversationStep);

} // namespace

BENCHMARK_MAIN();
