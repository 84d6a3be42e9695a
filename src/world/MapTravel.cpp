#include "world/MapTravel.h"

#include "core/GameContext.h"
#include "map/MapLibrary.h"
#include "map/MapManager.h"
#include "player/Player.h"
#include "world/Conversation.h"
#include "world/Npc.h"
#include "world/NpcManager.h"

#include <algorithm>
#include <utility>

MapTravel::MapTravel(std::string currentMap) : maps_(std::move(currentMap)) {}

void MapTravel::setCollision(bool on) {
    settings().collision = on;
    cellsReadAt_ = -1;
}

void MapTravel::addExit(MapExit exit) {
    maps_.current().exits.push_back(std::move(exit));
    exitUnderFeet_ = exitUnderFeet();
}

bool MapTravel::travelPending() {
    const std::optional<Request> request = takePending();
    return request && travel(request->map, request->x, request->y);
}

bool MapTravel::travel(const std::string& map, int x, int y) {
    if (map == maps_.currentName()) {
        if (game.conversation != nullptr && game.conversation->isOpen())
            game.conversation->close();
        placePlayer(static_cast<float>(x), static_cast<float>(y));
        return false;
    }
    if (game.mapManager == nullptr || game.npcManager == nullptr ||
        !game.mapManager->loadFile(map.c_str()))
        return false;
    if (game.conversation != nullptr && game.conversation->isOpen())
        game.conversation->close();
    const bool firstVisit = maps_.switchTo(map, *game.npcManager);
    cellsReadAt_ = -1;
    placePlayer(static_cast<float>(x), static_cast<float>(y));
    if (firstVisit)
        game.mapManager->runScript(map.c_str());
    return true;
}

void MapTravel::placePlayer(float x, float y) {
    if (game.player != nullptr) {
        game.player->x = x;
        game.player->y = y;
    }
    exitUnderFeet_ = exitUnderFeet();
}

void MapTravel::startOver() {
    maps_.startOver(maps_.currentName());
    pending_.reset();
    cellsReadAt_ = -1;
    exitUnderFeet_ = -1;
}

void MapTravel::restore(const std::string& map, std::vector<MapRecord> records, float x, float y) {
    if (game.npcManager != nullptr)
        maps_.restore(map, std::move(records), *game.npcManager);
    pending_.reset();
    cellsReadAt_ = -1;
    placePlayer(x, y);
}

void MapTravel::rebuildCells() {
    const int changes = game.mapManager != nullptr ? game.mapManager->changeCount() : 0;
    if (changes == cellsReadAt_)
        return;
    cellsReadAt_ = changes;
    MapManager::SolidCells cells;
    if (game.mapManager != nullptr)
        cells = game.mapManager->solidCells();
    // The player stays on the map's picture, and within the window.
    float width = static_cast<float>(game.viewWidth);
    float height = static_cast<float>(game.viewHeight);
    if (cells.columns > 0) {
        const float mapWidth = static_cast<float>(cells.cellWidth) * cells.columns;
        const float mapHeight = static_cast<float>(cells.cellHeight) * cells.rows;
        width = width > 0.0f ? std::min(width, mapWidth) : mapWidth;
        height = height > 0.0f ? std::min(height, mapHeight) : mapHeight;
    }
    collision_.setBounds(width, height);
    collision_.setCells(cells.cellWidth, cells.cellHeight, cells.columns, cells.rows,
                        std::move(cells.solid));
}

const Collision* MapTravel::collisionForTick() {
    if (!settings().collision)
        return nullptr;
    rebuildCells();
    std::vector<Box> feet;
    if (game.npcManager != nullptr) {
        feet.reserve(static_cast<size_t>(game.npcManager->getNpcCount()));
        for (int i = 0; i < game.npcManager->getNpcCount(); ++i)
            feet.push_back(game.npcManager->npc(i)->feet());
    }
    collision_.setObstacles(std::move(feet));
    return &collision_;
}

int MapTravel::exitUnderFeet() const {
    if (game.player == nullptr)
        return -1;
    const std::vector<MapExit>& exits = maps_.current().exits;
    const Box feet = game.player->feet();
    for (size_t i = 0; i < exits.size(); ++i) {
        if (exits[i].reachedBy(feet))
            return static_cast<int>(i);
    }
    return -1;
}

void MapTravel::afterPlayerMoved() {
    if (maps_.current().exits.empty())
        return;
    const int under = exitUnderFeet();
    const int before = exitUnderFeet_;
    exitUnderFeet_ = under;
    if (under < 0 || under == before)
        return;
    const MapExit& exit = maps_.current().exits[static_cast<size_t>(under)];
    request(exit.map, exit.toX, exit.toY);
}
