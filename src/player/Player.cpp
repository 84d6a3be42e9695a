#include "player/Player.h"

#include "core/GameContext.h"
#include "gfx/BitmapLibrary.h"

namespace {

// Diagonal steps are scaled so they cover about the same distance as straight ones.
constexpr double diagonalFactor = 0.707;

ALLEGRO_BITMAP* librarySlot(int slot) {
    return game.bitmapLibrary != nullptr ? game.bitmapLibrary->bitmap(slot) : nullptr;
}

} // namespace

Player::Player(float startX, float startY)
    : x(startX), y(startY), currentFrame(librarySlot(BitmapLibrary::standingFirst)) {}

void Player::update(const Collision* collision) {
    combineKeys();
    updateMotionState();
    const double speed = keys[Sprint] ? sprintSpeed_ : walkSpeed_;
    const float straight = static_cast<float>(speed);
    const float diagonal = static_cast<float>(speed * diagonalFactor);

    const bool up = keys[Up];
    const bool down = keys[Down];
    const bool left = keys[Left];
    const bool right = keys[Right];
    if (up && right) {
        direction = 1;
        vx = diagonal;
        vy = -diagonal;
    } else if (down && right) {
        direction = 3;
        vx = diagonal;
        vy = diagonal;
    } else if (down && left) {
        direction = 5;
        vx = -diagonal;
        vy = diagonal;
    } else if (up && left) {
        direction = 7;
        vx = -diagonal;
        vy = -diagonal;
    } else if (up) {
        direction = 0;
        vx = 0.0f;
        vy = -straight;
    } else if (right) {
        direction = 2;
        vx = straight;
        vy = 0.0f;
    } else if (down) {
        direction = 4;
        vx = 0.0f;
        vy = straight;
    } else if (left) {
        direction = 6;
        vx = -straight;
        vy = 0.0f;
    } else {
        // Standing keeps the last direction so the player faces the way it last moved.
        vx = 0.0f;
        vy = 0.0f;
        animCounter = 0;
    }

    if (!standing) {
        ++animCounter;
        if (animCounter > ticksPerFrame * frameCount) {
            animCounter = 0;
        }
    }
    if (collision == nullptr) {
        x += vx;
        y += vy;
        return;
    }
    float dx = vx;
    float dy = vy;
    collision->move(feet(), body(), dx, dy);
    x += dx;
    y += dy;
}

void Player::combineKeys() {
    for (int i = 0; i < keyCount && i < ActionCount; ++i) {
        keys[i] = primaryKeys[i] || secondaryKeys[i];
    }
    if (keys[Up] && keys[Down]) {
        keys[Up] = false;
        keys[Down] = false;
    }
    if (keys[Left] && keys[Right]) {
        keys[Left] = false;
        keys[Right] = false;
    }
}

void Player::releaseKeys() {
    for (int i = 0; i < ActionCount; ++i) {
        keys[i] = false;
        primaryKeys[i] = false;
        secondaryKeys[i] = false;
    }
}

void Player::updateMotionState() {
    standing = !(keys[Up] || keys[Down] || keys[Left] || keys[Right]);
    sprinting = keys[Sprint];
}

int Player::frameSlot() const {
    if (standing) {
        return BitmapLibrary::standingFirst + direction;
    }
    const int frame =
        ticksPerFrame > 0 && frameCount > 0 ? (animCounter / ticksPerFrame) % frameCount : 0;
    const int first = sprinting ? BitmapLibrary::sprintingFirst : BitmapLibrary::walkingFirst;
    return first + 6 * direction + frame;
}

void Player::draw(ALLEGRO_BITMAP* target) {
    currentFrame = librarySlot(frameSlot());
    if (target == nullptr || currentFrame == nullptr) {
        return;
    }
    al_set_target_bitmap(target);
    al_draw_bitmap(currentFrame, x, y, 0);
}
