#pragma once

#include "player/Collision.h"

#include <allegro5/allegro.h>

// The character the user walks over the map. The KeyBindings write its pressed flags
// directly; update() turns them into one tick of movement and animation. Direction stays in
// 0 to 7 and animCounter in 0 to ticksPerFrame * frameCount.
class Player {
  public:
    // Indices of the key-flag arrays, in the order of the key bindings.
    enum Action { Up = 0, Right = 1, Down = 2, Left = 3, Sprint = 4, Quit = 5, ActionCount = 6 };

    Player(float startX, float startY);

    // One tick. With a collision, the move is limited by it; without, nothing stops the player.
    void update(const Collision* collision = nullptr);
    void draw(ALLEGRO_BITMAP* target);
    void combineKeys();
    // Every key let go: the window lost the focus, and its releases go elsewhere.
    void releaseKeys();
    void updateMotionState();
    // The library slot draw() shows for the current state.
    int frameSlot() const;

    // The frame the player is drawn in, and the small box at its bottom where the hooves
    // meet the ground, which is what collides.
    static constexpr int frameSize = 96;
    static constexpr Box feetInFrame{34.0f, 74.0f, 62.0f, 86.0f};
    Box body() const { return {x, y, x + frameSize, y + frameSize}; }
    Box feet() const { return feetInFrame.moved(x, y); }

    float walkSpeed() const { return walkSpeed_; }
    float sprintSpeed() const { return sprintSpeed_; }
    void setWalkSpeed(float speed) { walkSpeed_ = speed; }
    void setSprintSpeed(float speed) { sprintSpeed_ = speed; }

    float x;
    float y;
    float vx = 0.0f;
    float vy = 0.0f;
    ALLEGRO_BITMAP* currentFrame = nullptr;
    int direction = 0;
    int animCounter = 0;
    int ticksPerFrame = 5;
    int frameCount = 6;
    bool standing = true;
    bool sprinting = false;
    bool keys[ActionCount] = {};
    bool primaryKeys[ActionCount] = {};
    bool secondaryKeys[ActionCount] = {};
    int keyCount = ActionCount;

  private:
    float walkSpeed_ = 2.2f;
    float sprintSpeed_ = 5.0f;
};
