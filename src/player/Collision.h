#pragma once

#include <cstdint>
#include <vector>

// A rectangle in window pixels that holds its left and top edges but not its right and bottom
// ones, so two boxes that only touch do not overlap.
struct Box {
    float left = 0.0f;
    float top = 0.0f;
    float right = 0.0f;
    float bottom = 0.0f;

    constexpr Box moved(float dx, float dy) const {
        return {left + dx, top + dy, right + dx, bottom + dy};
    }
    // The area the two boxes share; 0 when they do not overlap.
    float overlapArea(const Box& other) const;
};

// Where a walker may go: the solid cells of the map, the feet of the characters, and the
// map's picture within the window. A move is split into steps shorter than half the smallest
// thing it could pass through, and each axis is resolved on its own, so nothing tunnels and a
// diagonal slides along a wall. A step is allowed when it leaves the walker overlapping no
// more than before, so a walker put inside something solid can still walk out of it.
class Collision {
  public:
    // The map's cells: `solid` holds columns x rows flags, row by row; each cell covers
    // cellWidth x cellHeight pixels from the window's top-left corner.
    void setCells(int cellWidth, int cellHeight, int columns, int rows, std::vector<uint8_t> solid);
    // The walker's body stays within (0, 0) to (width, height); 0 leaves that axis open.
    void setBounds(float width, float height);
    // The characters' feet, which the walker's feet cannot enter.
    void setObstacles(std::vector<Box> obstacles) { obstacles_ = std::move(obstacles); }

    bool isSolid(int column, int row) const;
    // How much the walker overlaps what it should not: solid cells and obstacles under its
    // feet, and its body outside the bounds, as an area in square pixels.
    float overlap(const Box& feet, const Box& body) const;
    // The part of (dx, dy) the walker can go, feet and body moving together. Written into
    // dx and dy.
    void move(const Box& feet, const Box& body, float& dx, float& dy) const;

    // The longest step a move is split into, in pixels.
    float stepLimit() const;

  private:
    float allowedShift(const Box& feet, const Box& body, float shift, bool alongX) const;

    int cellWidth_ = 0;
    int cellHeight_ = 0;
    int columns_ = 0;
    int rows_ = 0;
    std::vector<uint8_t> solid_;
    float boundWidth_ = 0.0f;
    float boundHeight_ = 0.0f;
    std::vector<Box> obstacles_;
};
