#pragma once

#include "input/ButtonState.h"

#include <allegro5/allegro.h>

// The world layer under the GUI: draws the loaded map, or a ground of random mud tiles when
// there is none, and receives the clicks the GUI does not take. The ground grid is filled
// once at construction (values 0 to 5) and never changes.
class Environment {
  public:
    Environment(int width, int height);
    ~Environment();
    Environment(const Environment&) = delete;
    Environment& operator=(const Environment&) = delete;

    int getCell(int column, int row) const;
    int width() const { return width_; }
    int height() const { return height_; }
    void draw(ALLEGRO_BITMAP* target);
    // A release on the character the press was on starts a conversation with it. True for a
    // press.
    bool handleMouse(ButtonState state, int x, int y);

    static constexpr int groundTileCount = 6;
    // The ground tiles are taken from the bitmap library at construction; tests without the
    // game's art hand in their own.
    void setGroundTile(int value, ALLEGRO_BITMAP* tile);

  private:
    void fill(int lowest, int valueCount);

    int** grid_ = nullptr;
    ALLEGRO_BITMAP* groundTiles_[groundTileCount] = {};
    int width_ = 0;
    int height_ = 0;
    // Lies in no character's hit box until the first press arrives.
    int pressX_ = -100000;
    int pressY_ = -100000;
};
