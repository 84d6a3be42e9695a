#include "GroundChecks.h"

#include "CheckReport.h"

#include "map/MapLibrary.h"
#include "player/Player.h"
#include "world/Npc.h"

#include <algorithm>
#include <cmath>
#include <deque>

namespace {

std::string point(int x, int y) {
    return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
}

ScriptProblem groundProblem(const SpawnedCharacter& character, const std::string& message) {
    ScriptProblem problem;
    problem.kind = ProblemKind::Character;
    problem.message =
        "character " + character.name + " at " + point(character.x, character.y) + ": " + message;
    problem.file = character.file;
    problem.line = character.line;
    return problem;
}

} // namespace

bool GroundChecks::load(const std::string& mapName) {
    MapManager manager;
    const bool loaded = manager.loadFile(mapName.c_str());
    cells_ = manager.solidCells();
    MapLibrary::freeMap();
    return loaded;
}

bool GroundChecks::isSolid(int column, int row) const {
    if (column < 0 || row < 0 || column >= cells_.columns || row >= cells_.rows)
        return false;
    return cells_.solid[static_cast<size_t>(row) * cells_.columns + column] != 0;
}

std::vector<std::pair<int, int>> GroundChecks::cellsUnder(float left, float top, float right,
                                                          float bottom) const {
    std::vector<std::pair<int, int>> cells;
    if (cells_.columns <= 0)
        return cells;
    // The right and bottom edges are outside the box.
    const int first = std::max(0, static_cast<int>(std::floor(left / cells_.cellWidth)));
    const int last =
        std::min(cells_.columns - 1, static_cast<int>(std::ceil(right / cells_.cellWidth)) - 1);
    const int top0 = std::max(0, static_cast<int>(std::floor(top / cells_.cellHeight)));
    const int bottom0 =
        std::min(cells_.rows - 1, static_cast<int>(std::ceil(bottom / cells_.cellHeight)) - 1);
    for (int row = top0; row <= bottom0; ++row)
        for (int column = first; column <= last; ++column)
            cells.emplace_back(column, row);
    return cells;
}

std::vector<bool> GroundChecks::reachable(const std::vector<std::pair<int, int>>& starts) const {
    const int columns = cells_.columns;
    std::vector<bool> reached(static_cast<size_t>(columns) * std::max(cells_.rows, 0), false);
    std::deque<std::pair<int, int>> open;
    for (const auto& [x, y] : starts) {
        const Box feet = Player::feetInFrame.moved(static_cast<float>(x), static_cast<float>(y));
        for (const auto& cell : cellsUnder(feet.left, feet.top, feet.right, feet.bottom))
            open.push_back(cell);
    }
    while (!open.empty()) {
        const auto [column, row] = open.front();
        open.pop_front();
        if (column < 0 || row < 0 || column >= columns || row >= cells_.rows)
            continue;
        const size_t at = static_cast<size_t>(row) * columns + column;
        const bool blocked = isSolid(column, row);
        if (blocked || reached[at])
            continue;
        reached[at] = true;
        open.emplace_back(column + 1, row);
        open.emplace_back(column - 1, row);
        open.emplace_back(column, row + 1);
        open.emplace_back(column, row - 1);
    }
    return reached;
}

void GroundChecks::check(const std::vector<SpawnedCharacter>& characters,
                         const std::vector<std::pair<int, int>>& starts,
                         const std::string& pathText, CheckReport& report) const {
    const std::vector<bool> reached = reachable(starts);
    for (const SpawnedCharacter& character : characters) {
        const Box feet = Npc::feetInSprite.moved(static_cast<float>(character.x),
                                                 static_cast<float>(character.y));
        const auto under = cellsUnder(feet.left, feet.top, feet.right, feet.bottom);
        bool standsOnSolid = false;
        for (const auto& [column, row] : under) {
            if (isSolid(column, row)) {
                report.add(groundProblem(character,
                                         "its feet stand on the solid cell " + point(column, row)),
                           pathText);
                standsOnSolid = true;
                break;
            }
        }
        if (standsOnSolid || starts.empty() || under.empty())
            continue;
        const bool reachedOne = std::any_of(under.begin(), under.end(), [&](const auto& cell) {
            return reached[static_cast<size_t>(cell.second) * cells_.columns + cell.first];
        });
        if (!reachedOne)
            report.add(
                groundProblem(character, "the player cannot walk there from where they "
                                         "start " +
                                             point(starts.front().first, starts.front().second)),
                pathText);
    }
}
