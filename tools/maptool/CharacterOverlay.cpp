#include "CharacterOverlay.h"

#include "core/GameContext.h"
#include "core/HeadlessWorld.h"
#include "core/HostPath.h"
#include "map/MapManager.h"
#include "script/ScriptHost.h"
#include "world/MapTravel.h"
#include "world/Npc.h"
#include "world/NpcManager.h"

#include <cstdio>
#include <filesystem>
#include <memory>

namespace {

// A one-pixel outline, every edge included, clipped to the image.
void outline(ALLEGRO_BITMAP* image, int left, int top, int right, int bottom,
             const unsigned char (&rgb)[3]) {
    const ALLEGRO_COLOR colour = al_map_rgb(rgb[0], rgb[1], rgb[2]);
    al_set_target_bitmap(image);
    const int width = al_get_bitmap_width(image);
    const int height = al_get_bitmap_height(image);
    auto put = [&](int x, int y) {
        if (x >= 0 && y >= 0 && x < width && y < height)
            al_put_pixel(x, y, colour);
    };
    al_lock_bitmap(image, ALLEGRO_PIXEL_FORMAT_ANY, ALLEGRO_LOCK_READWRITE);
    for (int x = left; x <= right; ++x) {
        put(x, top);
        put(x, bottom);
    }
    for (int y = top; y <= bottom; ++y) {
        put(left, y);
        put(right, y);
    }
    al_unlock_bitmap(image);
}

std::string box(int left, int top, int right, int bottom) {
    return "(" + std::to_string(left) + ", " + std::to_string(top) + ") to (" +
           std::to_string(right) + ", " + std::to_string(bottom) + ")";
}

void outline(ALLEGRO_BITMAP* image, const Box& b, const unsigned char (&rgb)[3]) {
    outline(image, static_cast<int>(b.left), static_cast<int>(b.top), static_cast<int>(b.right),
            static_cast<int>(b.bottom), rgb);
}

void drawSolidCells(ALLEGRO_BITMAP* image, int layerCount) {
    const MapManager::SolidCells cells = MapManager::solidCellsOf(layerCount);
    int count = 0;
    for (int row = 0; row < cells.rows; ++row) {
        for (int column = 0; column < cells.columns; ++column) {
            if (cells.solid[static_cast<size_t>(row) * cells.columns + column] == 0)
                continue;
            const int x = column * cells.cellWidth;
            const int y = row * cells.cellHeight;
            outline(image, x, y, x + cells.cellWidth - 1, y + cells.cellHeight - 1,
                    CharacterOverlay::solidColour);
            ++count;
        }
    }
    std::printf("%d solid cell%s of %d x %d pixels\n", count, count == 1 ? "" : "s",
                cells.cellWidth, cells.cellHeight);
}

void drawExits(ALLEGRO_BITMAP* image, const std::vector<MapExit>& exits) {
    for (const MapExit& exit : exits) {
        const Box area = exit.area();
        outline(image, area, CharacterOverlay::exitColour);
        std::printf("Exit %s leads to %s at (%d, %d)\n",
                    box(exit.x, exit.y, exit.x + exit.width, exit.y + exit.height).c_str(),
                    exit.map.c_str(), exit.toX, exit.toY);
    }
}

} // namespace

bool CharacterOverlay::draw(ALLEGRO_BITMAP* image, const std::string& mapPath, int layerCount,
                            std::string& error) {
    const std::string name = std::filesystem::path(mapPath).stem().string();
    const std::string script = "Data\\Scripts\\Maps\\" + name + ".lua";
    std::error_code missing;
    if (!std::filesystem::is_regular_file(hostPath(script), missing)) {
        error = "--characters runs the map's script " + script +
                ", which is not there (run it from the folder that holds Data/)";
        return false;
    }
    const HeadlessWorld art(HeadlessScope::Art);
    const HeadlessWorld world(HeadlessScope::Conversations);
    // The map's exits and settings are kept as the game keeps them, for this run alone.
    const auto travel = std::make_unique<MapTravel>(name);
    game.mapTravel = travel.get();
    game.scriptHost->runFile("Data\\Scripts\\VersionBark.lua");
    game.scriptHost->runFile("Data\\Scripts\\RunOnce.lua");
    game.scriptHost->runFile(script.c_str());
    game.mapTravel = nullptr;
    drawSolidCells(image, layerCount);
    drawExits(image, travel->maps().current().exits);
    NpcManager& characters = *game.npcManager;
    for (int i = 0; i < characters.getNpcCount(); ++i) {
        Npc& npc = *characters.npc(i);
        npc.draw(image);
        outline(image, npc.left(), npc.top(), npc.right(), npc.bottom(), hitBoxColour);
        const Box feet = npc.feet();
        outline(image, feet, feetColour);
        std::printf("Character %s at (%d, %d): hit box %s, feet %s\n", npc.getName(), npc.x(),
                    npc.y(), box(npc.left(), npc.top(), npc.right(), npc.bottom()).c_str(),
                    box(static_cast<int>(feet.left), static_cast<int>(feet.top),
                        static_cast<int>(feet.right), static_cast<int>(feet.bottom))
                        .c_str());
    }
    std::printf("%d character%s drawn from %s\n", characters.getNpcCount(),
                characters.getNpcCount() == 1 ? "" : "s", script.c_str());
    return true;
}
