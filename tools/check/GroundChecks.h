#pragma once

#include "CheckWorld.h"

#include "map/MapManager.h"

#include <string>
#include <utility>
#include <vector>

class CheckReport;

// Where the player can walk on a map whose script switched collision on: a character must
// not stand on a solid cell, and the player must be able to walk to it from a place where
// they start on the map (a flood fill over the cells that are not solid).
class GroundChecks {
  public:
    // Reads the solid cells of Data\Maps\<mapName>.fmp; false when it cannot be loaded.
    bool load(const std::string& mapName);

    // `starts` are positions of the player's picture (SetPlayerPosition, an exit's arrival).
    void check(const std::vector<SpawnedCharacter>& characters,
               const std::vector<std::pair<int, int>>& starts, const std::string& pathText,
               CheckReport& report) const;

    bool isSolid(int column, int row) const;
    // The cells reached from the cell under the feet of a player at each start.
    std::vector<bool> reachable(const std::vector<std::pair<int, int>>& starts) const;

  private:
    // The cells (column, row) a box of feet covers, clipped to the map.
    std::vector<std::pair<int, int>> cellsUnder(float left, float top, float right,
                                                float bottom) const;

    MapManager::SolidCells cells_;
};
