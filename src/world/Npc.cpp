#include "world/Npc.h"

#include "core/GameContext.h"
#include "gfx/BitmapLibrary.h"

#include <climits>
#include <cstring>

namespace {

// The hit box edges lie a few pixels from the position; a position at the very end of the
// int range keeps its edges at that end instead of wrapping around.
int offset(int position, int distance) {
    const long long sum = static_cast<long long>(position) + distance;
    return sum > INT_MAX ? INT_MAX : static_cast<int>(sum);
}

} // namespace

Npc::Npc(int x, int y, std::string_view name, int number, const char* scriptPath)
    : number_(number), name_(name), x_(x), y_(y), left_(offset(x, 32)), top_(offset(y, 18)),
      right_(offset(x, 64)), bottom_(offset(y, 86)) {
    // The manager refuses longer paths; a direct caller gets the path cut to the field.
    if (scriptPath)
        std::strncpy(scriptPath_, scriptPath, maxScriptPath);
    scriptPath_[maxScriptPath] = '\0';
    if (game.bitmapLibrary)
        bitmap_ = game.bitmapLibrary->bitmap(BitmapLibrary::npcDefaultSprite);
}

bool Npc::hitBoxContains(int px, int py) const {
    return left_ <= px && px <= right_ && top_ <= py && py <= bottom_;
}

void Npc::draw(ALLEGRO_BITMAP* target) {
    if (!bitmap_)
        return;
    al_set_target_bitmap(target);
    al_draw_bitmap(bitmap_, static_cast<float>(x_), static_cast<float>(y_), 0);
}
