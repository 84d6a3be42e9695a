#include "map/MapManager.h"

#include "core/Console.h"
#include "core/GameContext.h"
#include "core/HostPath.h"
#include "map/MapLibrary.h"
#include "script/ScriptHost.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr std::size_t pathBufferSize = 256;
constexpr int layerLimit = 100;
constexpr int defaultViewWidth = 800;
constexpr int defaultViewHeight = 600;

// Builds prefix + name + suffix in a fixed buffer; false when it would not fit.
bool buildPath(char (&buffer)[pathBufferSize], const char* prefix, const char* name,
               const char* suffix) {
    const int written = std::snprintf(buffer, pathBufferSize, "%s%s%s", prefix, name, suffix);
    return written >= 0 && static_cast<std::size_t>(written) < pathBufferSize;
}

// A rectangle of cells: columns first..last, rows top..bottom, all inclusive.
struct CellSpan {
    int first, last, top, bottom;
};

// Drawing costs per call more than per pixel, so neighbouring cells go together: runs of cells
// along a row, and runs of the same columns in the rows below one another. Every cell of a
// span is one of the cells given.
std::vector<CellSpan> joinedCells(std::vector<MapAnimator::Cell> cells) {
    std::sort(cells.begin(), cells.end(), [](const auto& a, const auto& b) {
        return a.row != b.row ? a.row < b.row : a.column < b.column;
    });
    std::vector<CellSpan> spans;
    for (size_t i = 0; i < cells.size();) {
        size_t end = i + 1;
        while (end < cells.size() && cells[end].row == cells[i].row &&
               cells[end].column == cells[end - 1].column + 1)
            ++end;
        const CellSpan run{cells[i].column, cells[end - 1].column, cells[i].row, cells[i].row};
        auto above = std::find_if(spans.begin(), spans.end(), [&run](const CellSpan& s) {
            return s.first == run.first && s.last == run.last && s.bottom + 1 == run.top;
        });
        if (above != spans.end())
            above->bottom = run.top;
        else
            spans.push_back(run);
        i = end;
    }
    return spans;
}

} // namespace

MapManager::MapManager() : ready_(false), loadResult_(0), layerCount_(0) {}

int MapManager::countLayers() const {
    int count = 0;
    while (count < layerLimit && MapLibrary::selectLayer(count) == count)
        ++count;
    return count;
}

bool MapManager::isMapName(std::string_view name) {
    const std::size_t longest = pathBufferSize - 1 - std::strlen("Data\\Scripts\\Maps\\.lua");
    return !name.empty() && name.size() <= longest && name != "." && name != ".." &&
           name.find_first_of(std::string_view("\\/:\0", 4)) == std::string_view::npos;
}

bool MapManager::load(const char* name) {
    if (!loadFile(name))
        return false;
    runScript(name);
    return true;
}

bool MapManager::loadFile(const char* name) {
    if (name == nullptr)
        name = "";
    char mapPath[pathBufferSize];
    char scriptPath[pathBufferSize];
    // The script path is the longer of the two, so both fit when it does.
    if (!buildPath(mapPath, "Data\\Maps\\", name, ".fmp") ||
        !buildPath(scriptPath, "Data\\Scripts\\Maps\\", name, ".lua")) {
        std::fprintf(stderr,
                     "Map name too long (%zu characters, at most %zu).  Map Manager aborts "
                     "loading.\n",
                     std::strlen(name),
                     pathBufferSize - 1 - std::strlen("Data\\Scripts\\Maps\\.lua"));
        loadResult_ = -1;
        return false;
    }

    std::fprintf(stderr, "Finished version of level loader: %s!\n", mapPath);
    // A map that cannot be loaded leaves the one on show whole, so nothing is lost.
    loadResult_ = MapLibrary::loadMapOrKeep(hostPath(mapPath).c_str(), 1);
    if (loadResult_ != 0) {
        std::fprintf(stderr, "Failed to load %s : %i.  Map Manager aborts loading.\n", name,
                     loadResult_);
        return false;
    }
    remakePicture();
    layerCount_ = countLayers();
    std::fprintf(stderr, "There are %i layers on this map.\n", layerCount_);
    ready_ = true;
    animator_.rebuild();
    return true;
}

void MapManager::runScript(const char* name) {
    char scriptPath[pathBufferSize];
    if (!buildPath(scriptPath, "Data\\Scripts\\Maps\\", name != nullptr ? name : "", ".lua"))
        return;
    std::fprintf(stderr, "Finished version of script loader: %s!\n", scriptPath);
    if (game.scriptHost != nullptr)
        game.scriptHost->runFile(scriptPath);
}

void MapManager::draw(ALLEGRO_BITMAP* target) {
    if (target != nullptr)
        al_set_target_bitmap(target);
    if (!ready_) {
        consoleWrite("Map was not ready, but you tried to blind draw it.  Don't do that.\n");
        return;
    }
    const int width = game.viewWidth > 0 ? game.viewWidth : defaultViewWidth;
    const int height = game.viewHeight > 0 ? game.viewHeight : defaultViewHeight;
    for (int layer = 0; layer < layerCount_; ++layer) {
        MapLibrary::selectLayer(layer);
        MapLibrary::drawBackground(0, 0, 0, 0, width, height);
    }
}

MapManager::SolidCells MapManager::solidCells() const {
    return ready_ ? solidCellsOf(layerCount_) : SolidCells{};
}

MapManager::SolidCells MapManager::solidCellsOf(int layerCount) {
    SolidCells cells;
    const MapLibrary::MapHeader& h = MapLibrary::header();
    cells.cellWidth = h.columnStep;
    cells.cellHeight = h.rowStep;
    cells.columns = h.mapWidth;
    cells.rows = h.mapHeight;
    cells.solid.assign(static_cast<size_t>(h.mapWidth) * static_cast<size_t>(h.mapHeight), 0);
    for (int layer = 0; layer < layerCount; ++layer) {
        for (int row = 0; row < h.mapHeight; ++row) {
            for (int column = 0; column < h.mapWidth; ++column) {
                const int block = MapLibrary::blockOfCell(MapLibrary::cellAt(layer, column, row));
                const MapLibrary::BlockStructure* structure = MapLibrary::blockStructure(block);
                if (structure != nullptr && (structure->record.flags & MapFormat::SolidFlag) != 0)
                    cells.solid[static_cast<size_t>(row) * h.mapWidth + column] = 1;
            }
        }
    }
    return cells;
}

void MapManager::animate() {
    if (ready_ && currentMapSettings().mapAnimation)
        animator_.advance();
}

// On a plain map whose blocks stay inside their cells, the pixels of a cell come from that
// cell alone, layer over layer.
bool MapManager::cellsDrawAlone() const {
    const MapLibrary::MapHeader& h = MapLibrary::header();
    return h.staggerX == 0 && h.staggerY == 0 && h.blockWidth <= h.columnStep &&
           h.blockHeight <= h.rowStep;
}

std::vector<MapManager::Area> MapManager::takeChangedAreas() {
    const std::vector<MapAnimator::Cell> cells = animator_.takeChanged();
    std::vector<Area> areas;
    if (cells.empty() || !ready_)
        return areas;
    if (!cellsDrawAlone()) {
        remakePicture();
        return areas;
    }
    const MapLibrary::MapHeader& h = MapLibrary::header();
    for (const CellSpan& s : joinedCells(cells))
        areas.push_back({s.first * h.columnStep, s.top * h.rowStep,
                         (s.last - s.first + 1) * h.columnStep,
                         (s.bottom - s.top + 1) * h.rowStep});
    return areas;
}

void MapManager::drawArea(ALLEGRO_BITMAP* target, const Area& area) {
    if (!ready_)
        return;
    if (target != nullptr)
        al_set_target_bitmap(target);
    // The area seen from the same map pixel as the window's: the cells land where draw puts
    // them.
    for (int layer = 0; layer < layerCount_; ++layer) {
        MapLibrary::selectLayer(layer);
        MapLibrary::drawBackground(area.x, area.y, area.x, area.y, area.width, area.height);
    }
}

void MapManager::unload() {
    if (!ready_)
        return;
    MapLibrary::freeMap();
    animator_.rebuild();
    remakePicture();
    ready_ = false;
    layerCount_ = 0;
}
