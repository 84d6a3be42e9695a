#include "map/MapAnimator.h"

#include "map/MapLibrary.h"

void MapAnimator::rebuild() {
    mapWidth_ = 0;
    cellsOfRecord_.clear();
    changed_.clear();
    marked_.clear();
    if (!MapLibrary::mapLoaded())
        return;
    const MapLibrary::MapHeader& header = MapLibrary::header();
    const int records = MapLibrary::animationCount();
    const int cells = header.mapWidth * header.mapHeight;
    mapWidth_ = header.mapWidth;
    cellsOfRecord_.resize(records);
    marked_.assign(cells, false);
    for (int layer = 0; layer < MapLibrary::LayerSlots; ++layer) {
        const int16_t* values = MapLibrary::layerCells(layer);
        if (values == nullptr)
            continue;
        for (int cell = 0; cell < cells; ++cell) {
            // A negative value counts records back from the last; the loader checked it.
            const int record = records + values[cell];
            if (values[cell] < 0 && record > 0)
                cellsOfRecord_[record].push_back(cell);
        }
    }
}

void MapAnimator::advance() {
    const int records = static_cast<int>(cellsOfRecord_.size());
    if (records < 2 || MapLibrary::animationCount() != records)
        return;
    framesBefore_.resize(records);
    for (int i = 1; i < records; ++i)
        framesBefore_[i] = MapLibrary::animation(i)->current;
    MapLibrary::updateAnimations();
    for (int i = 1; i < records; ++i) {
        if (MapLibrary::animation(i)->current == framesBefore_[i])
            continue;
        for (const int cell : cellsOfRecord_[i]) {
            if (!marked_[cell]) {
                marked_[cell] = true;
                changed_.push_back(cell);
            }
        }
    }
}

std::vector<MapAnimator::Cell> MapAnimator::takeChanged() {
    std::vector<Cell> cells;
    cells.reserve(changed_.size());
    for (const int cell : changed_) {
        marked_[cell] = false;
        cells.push_back({cell % mapWidth_, cell / mapWidth_});
    }
    changed_.clear();
    return cells;
}
