#include "world/Environment.h"

#include "core/Console.h"
#include "core/GameContext.h"
#include "gfx/BitmapLibrary.h"
#include "map/MapManager.h"
#include "world/Conversation.h"
#include "world/NpcManager.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int tileSize = 32;

// Number of cells, starting at 0, whose tiles reach into the first `pixels` pixels.
int cellsWithin(int pixels, int cells) {
    if (pixels <= 0)
        return 0;
    return std::min(cells, (pixels + tileSize - 1) / tileSize);
}

} // namespace

Environment::Environment(int width, int height)
    : width_(std::max(width, 0)), height_(std::max(height, 0)) {
    consoleWrite("Creating Environment - ");
    grid_ = new int*[width_];
    for (int column = 0; column < width_; ++column)
        grid_[column] = new int[height_]();
    fill(0, groundTileCount);
    if (game.bitmapLibrary) {
        for (int k = 0; k < groundTileCount; ++k)
            groundTiles_[k] = game.bitmapLibrary->bitmap(BitmapLibrary::mudTileFirst + k);
    }
    consoleWrite("done\n");
}

void Environment::setGroundTile(int value, ALLEGRO_BITMAP* tile) {
    if (value >= 0 && value < groundTileCount)
        groundTiles_[value] = tile;
}

Environment::~Environment() {
    for (int column = 0; column < width_; ++column)
        delete[] grid_[column];
    delete[] grid_;
}

// Column by column from the C library's unseeded generator, so that the ground looks the
// same on every run.
void Environment::fill(int lowest, int valueCount) {
    for (int column = 0; column < width_; ++column) {
        for (int row = 0; row < height_; ++row)
            grid_[column][row] = std::rand() % valueCount + lowest;
    }
}

int Environment::getCell(int column, int row) const {
    if (column < 0 || column >= width_ || row < 0 || row >= height_)
        return 0;
    return grid_[column][row];
}

void Environment::draw(ALLEGRO_BITMAP* target) {
    if (game.mapManager && game.mapManager->isReady()) {
        game.mapManager->draw(target);
        return;
    }
    // The ground draws onto the target the frame has already set, and only the cells that
    // fall inside it: the grid is far larger than the window.
    ALLEGRO_BITMAP* canvas = target ? target : al_get_target_bitmap();
    if (!canvas)
        return;
    const int columns = cellsWithin(al_get_bitmap_width(canvas), width_);
    const int rows = cellsWithin(al_get_bitmap_height(canvas), height_);

    // Switching textures is what a frame pays for, not pixels, so the cells are drawn one tile
    // kind at a time: six switches instead of hundreds. The 32 x 32 tiles never overlap, so
    // the picture is the same as drawing cell by cell.
    const bool wasHeld = al_is_bitmap_drawing_held();
    al_hold_bitmap_drawing(true);
    for (int value = 0; value < groundTileCount; ++value) {
        ALLEGRO_BITMAP* tile = groundTiles_[value];
        if (!tile)
            continue;
        for (int column = 0; column < columns; ++column) {
            for (int row = 0; row < rows; ++row) {
                if (grid_[column][row] == value)
                    al_draw_bitmap(tile, static_cast<float>(tileSize * column),
                                   static_cast<float>(tileSize * row), 0);
            }
        }
    }
    al_hold_bitmap_drawing(wasHeld);
}

bool Environment::handleMouse(ButtonState state, int x, int y) {
    if (state == ButtonState::Press) {
        pressX_ = x;
        pressY_ = y;
        return true;
    }
    if (!game.npcManager)
        return false;
    Npc* released = game.npcManager->npcAt(x, y);
    if (!released || game.npcManager->npcAt(pressX_, pressY_) != released)
        return false;
    if (game.conversation)
        game.conversation->clickCharacter(*released);
    return false;
}
