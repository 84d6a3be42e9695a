#pragma once

#include <cstdint>
#include <vector>

// Advances the block animations of the map the library holds and tells which cells now show
// another block, so that a picture of the map needs only those cells drawn again. It knows, for
// each animation record, the cells of every layer that show it; rebuild() after each load.
class MapAnimator {
  public:
    struct Cell {
        int column;
        int row;
    };

    // Reads the layers of the loaded map; with no map loaded, there is nothing to advance.
    void rebuild();
    // One tick of the library's animations; the cells whose record moved to another frame are
    // marked as changed.
    void advance();
    // The cells marked since the last call, each once; the marks are cleared.
    std::vector<Cell> takeChanged();

  private:
    int mapWidth_ = 0;
    // Per animation record (the terminator included), the cells that show it.
    std::vector<std::vector<int>> cellsOfRecord_;
    std::vector<std::int32_t> framesBefore_;
    std::vector<int> changed_;
    std::vector<bool> marked_;
};
