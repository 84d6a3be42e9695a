#pragma once

#include "player/Collision.h"
#include "script/ScriptVariableStore.h"

#include <allegro5/allegro.h>

#include <string>
#include <string_view>

// A non-player character: a fixed position and bitmap, a hit box, the script run when it is
// clicked, and its own script variables. The position, and with it the hit box (every edge
// inclusive), never changes; the script path never exceeds maxScriptPath bytes. The name is a
// byte string, zero bytes included.
class Npc {
  public:
    static constexpr int maxScriptPath = 255;

    Npc(int x, int y, std::string_view name, int number, const char* scriptPath);

    // The name as C text, for console lines; name() keeps every byte.
    const char* getName() const { return name_.c_str(); }
    const std::string& name() const { return name_; }
    const char* getScriptPath() const { return scriptPath_; }
    int number() const { return number_; }
    int x() const { return x_; }
    int y() const { return y_; }
    int left() const { return left_; }
    int top() const { return top_; }
    int right() const { return right_; }
    int bottom() const { return bottom_; }
    bool hitBoxContains(int px, int py) const;
    // Where the character stands on the ground, which the player's feet cannot enter once
    // collision is on: the bottom of the sprite, under the body.
    static constexpr Box feetInSprite{32.0f, 72.0f, 64.0f, 86.0f};
    Box feet() const { return feetInSprite.moved(static_cast<float>(x_), static_cast<float>(y_)); }
    // The sprite name the character was spawned with, which chose its look.
    const std::string& spriteName() const { return spriteName_; }
    void setSpriteName(std::string_view spriteName) { spriteName_ = spriteName; }
    void draw(ALLEGRO_BITMAP* target);
    ALLEGRO_BITMAP* bitmap() const { return bitmap_; }
    void setBitmap(ALLEGRO_BITMAP* bitmap) { bitmap_ = bitmap; }
    ScriptVariableStore& variables() { return variables_; }

  private:
    int number_;
    std::string name_;
    char scriptPath_[maxScriptPath + 1] = {};
    int x_;
    int y_;
    int left_, top_, right_, bottom_;
    ScriptVariableStore variables_;
    std::string spriteName_;
    ALLEGRO_BITMAP* bitmap_ = nullptr;
};
