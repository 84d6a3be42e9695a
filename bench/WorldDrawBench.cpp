// Frame costs of the world and GUI layers in the real game window, and the cost of one click
// on a character (its script run included).
//
// Run from the repository root (it needs Data/), under Xvfb when there is no display:
//
//   xvfb-run -a -s "-screen 0 1024x768x24" build/bench/WorldDrawBench
//
// Every drawing case clears, draws and flips, so the baseline ClearAndFlip is part of each
// figure. The game's console goes to the standard error stream; figures are printed, nothing
// is asserted.

#include "core/GameContext.h"
#include "gfx/BitmapLibrary.h"
#include "gui/ChatBox.h"
#include "gui/Gui.h"
#include "map/MapManager.h"
#include "world/Conversation.h"
#include "world/Environment.h"
#include "world/Npc.h"
#include "world/NpcManager.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

ALLEGRO_BITMAP* backbuffer() {
    return al_get_backbuffer(game.display);
}

void clearFrame() {
    al_set_target_bitmap(backbuffer());
    al_clear_to_color(al_map_rgb(0, 0, 0));
}

void ClearAndFlip(benchmark::State& state) {
    for (auto _ : state) {
        clearFrame();
        al_flip_display();
    }
}

// The mud ground as the game draws it: only the 25 x 19 cells inside the window, held.
void GroundInsideWindow(benchmark::State& state) {
    game.mapManager->unload();
    for (auto _ : state) {
        clearFrame();
        game.environment->draw(backbuffer());
        al_flip_display();
    }
}

// The window's cells held but drawn in cell order, switching texture almost every cell.
void GroundCellByCell(benchmark::State& state) {
    for (auto _ : state) {
        clearFrame();
        al_hold_bitmap_drawing(true);
        for (int column = 0; column < 25; ++column) {
            for (int row = 0; row < 19; ++row) {
                al_draw_bitmap(game.bitmapLibrary->bitmap(BitmapLibrary::mudTileFirst +
                                                          game.environment->getCell(column, row)),
                               32.0f * column, 32.0f * row, 0);
            }
        }
        al_hold_bitmap_drawing(false);
        al_flip_display();
    }
}

// The window's cells in cell order, not held.
void GroundCellByCellUnheld(benchmark::State& state) {
    for (auto _ : state) {
        clearFrame();
        for (int column = 0; column < 25; ++column) {
            for (int row = 0; row < 19; ++row) {
                al_draw_bitmap(game.bitmapLibrary->bitmap(BitmapLibrary::mudTileFirst +
                                                          game.environment->getCell(column, row)),
                               32.0f * column, 32.0f * row, 0);
            }
        }
        al_flip_display();
    }
}

// The same ground drawn cell by cell over the whole 50 x 50 grid, without holding.
void GroundWholeGrid(benchmark::State& state) {
    for (auto _ : state) {
        clearFrame();
        for (int column = 0; column < game.environment->width(); ++column) {
            for (int row = 0; row < game.environment->height(); ++row) {
                al_draw_bitmap(game.bitmapLibrary->bitmap(BitmapLibrary::mudTileFirst +
                                                          game.environment->getCell(column, row)),
                               32.0f * column, 32.0f * row, 0);
            }
        }
        al_flip_display();
    }
}

// The speed buttons and the open chat box with a portrait and a full page of lines.
void GuiWithChatOpen(benchmark::State& state) {
    game.conversation->open();
    for (auto _ : state) {
        clearFrame();
        game.gui->draw(backbuffer());
        al_flip_display();
    }
    game.conversation->close();
}

// Press and release on Quilla: her script runs and fills the chat box.
void ClickOnCharacter(benchmark::State& state) {
    const Npc* quilla = game.npcManager->findNpcByName("Quilla");
    if (!quilla) {
        state.SkipWithError("Quilla was not spawned");
        return;
    }
    const int x = quilla->left() + 10;
    const int y = quilla->top() + 10;
    for (auto _ : state) {
        game.environment->handleMouse(ButtonState::Press, x, y);
        game.environment->handleMouse(ButtonState::Release, x, y);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (initGame() == -1) {
        std::fprintf(stderr, "WorldDrawBench: the game could not start\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    // The click first: the script fills the chat box that GuiWithChatOpen then draws.
    benchmark::RegisterBenchmark("ClickOnCharacter", ClickOnCharacter)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("ClearAndFlip", ClearAndFlip)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("GuiWithChatOpen", GuiWithChatOpen)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("GroundInsideWindow", GroundInsideWindow)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("GroundCellByCell", GroundCellByCell)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("GroundCellByCellUnheld", GroundCellByCellUnheld)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("GroundWholeGrid", GroundWholeGrid)->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
