#include "CharacterOverlay.h"

#include "core/GameContext.h"
#include "core/HeadlessWorld.h"
#include "core/HostPath.h"
#include "script/ScriptHost.h"
#include "world/Npc.h"
#include "world/NpcManager.h"

#include <cstdio>
#include <filesystem>

namespace {

// A character's feet within its sprite: the bottom of the body, under the hit box.
constexpr int feetLeft = 32;
constexpr int feetTop = 72;
constexpr int feetRight = 64;
constexpr int feetBottom = 86;

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

} // namespace

bool CharacterOverlay::draw(ALLEGRO_BITMAP* image, const std::string& mapPath, std::string& error) {
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
    game.scriptHost->runFile("Data\\Scripts\\VersionBark.lua");
    game.scriptHost->runFile("Data\\Scripts\\RunOnce.lua");
    game.scriptHost->runFile(script.c_str());
    NpcManager& characters = *game.npcManager;
    for (int i = 0; i < characters.getNpcCount(); ++i) {
        Npc& npc = *characters.npc(i);
        npc.draw(image);
        outline(image, npc.left(), npc.top(), npc.right(), npc.bottom(), hitBoxColour);
        const int x = npc.x();
        const int y = npc.y();
        outline(image, x + feetLeft, y + feetTop, x + feetRight, y + feetBottom, feetColour);
        std::printf("Character %s at (%d, %d): hit box %s, feet %s\n", npc.getName(), x, y,
                    box(npc.left(), npc.top(), npc.right(), npc.bottom()).c_str(),
                    box(x + feetLeft, y + feetTop, x + feetRight, y + feetBottom).c_str());
    }
    std::printf("%d character%s drawn from %s\n", characters.getNpcCount(),
                characters.getNpcCount() == 1 ? "" : "s", script.c_str());
    return true;
}
