#include "player/Collision.h"

#include <algorithm>
#include <cmath>

namespace {

// Steps never exceed this, whatever the cells: the characters' feet are only 14 pixels high.
constexpr float longestStep = 4.0f;
// A move longer than this many steps is cut short: no speed is that fast on purpose.
constexpr int stepCountLimit = 4096;
// Halvings that bring a blocked step up against what blocks it.
constexpr int closingIn = 6;

float outside(float low, float high, float limit) {
    if (limit <= 0.0f)
        return 0.0f;
    return std::max(0.0f, -low) + std::max(0.0f, high - limit);
}

} // namespace

float Box::overlapArea(const Box& other) const {
    const float width = std::min(right, other.right) - std::max(left, other.left);
    const float height = std::min(bottom, other.bottom) - std::max(top, other.top);
    return width > 0.0f && height > 0.0f ? width * height : 0.0f;
}

void Collision::setCells(int cellWidth, int cellHeight, int columns, int rows,
                         std::vector<uint8_t> solid) {
    const bool usable = cellWidth > 0 && cellHeight > 0 && columns > 0 && rows > 0 &&
                        solid.size() == static_cast<size_t>(columns) * static_cast<size_t>(rows);
    cellWidth_ = usable ? cellWidth : 0;
    cellHeight_ = usable ? cellHeight : 0;
    columns_ = usable ? columns : 0;
    rows_ = usable ? rows : 0;
    solid_ = usable ? std::move(solid) : std::vector<uint8_t>{};
}

void Collision::setBounds(float width, float height) {
    boundWidth_ = std::max(0.0f, width);
    boundHeight_ = std::max(0.0f, height);
}

bool Collision::isSolid(int column, int row) const {
    if (column < 0 || row < 0 || column >= columns_ || row >= rows_)
        return false;
    return solid_[static_cast<size_t>(row) * columns_ + column] != 0;
}

float Collision::overlap(const Box& feet, const Box& body) const {
    float total = 0.0f;
    if (columns_ > 0) {
        // Only the cells under the feet; floor keeps the cells left of and above the window.
        const int first = std::max(0, static_cast<int>(std::floor(feet.left / cellWidth_)));
        const int last =
            std::min(columns_ - 1, static_cast<int>(std::floor(feet.right / cellWidth_)));
        const int top = std::max(0, static_cast<int>(std::floor(feet.top / cellHeight_)));
        const int bottom =
            std::min(rows_ - 1, static_cast<int>(std::floor(feet.bottom / cellHeight_)));
        for (int row = top; row <= bottom; ++row) {
            for (int column = first; column <= last; ++column) {
                if (!isSolid(column, row))
                    continue;
                const Box cell{static_cast<float>(column * cellWidth_),
                               static_cast<float>(row * cellHeight_),
                               static_cast<float>((column + 1) * cellWidth_),
                               static_cast<float>((row + 1) * cellHeight_)};
                total += feet.overlapArea(cell);
            }
        }
    }
    for (const Box& obstacle : obstacles_)
        total += feet.overlapArea(obstacle);
    // Outside the bounds counts by the body's width or height times the distance, so that it
    // weighs like an area too.
    total += outside(body.left, body.right, boundWidth_) * (body.bottom - body.top);
    total += outside(body.top, body.bottom, boundHeight_) * (body.right - body.left);
    return total;
}

float Collision::stepLimit() const {
    float limit = longestStep;
    if (columns_ > 0)
        limit = std::min({limit, cellWidth_ / 2.0f, cellHeight_ / 2.0f});
    return std::max(limit, 0.5f);
}

float Collision::allowedShift(const Box& feet, const Box& body, float shift, bool alongX) const {
    const float before = overlap(feet, body);
    auto fits = [&](float s) {
        const float dx = alongX ? s : 0.0f;
        const float dy = alongX ? 0.0f : s;
        return overlap(feet.moved(dx, dy), body.moved(dx, dy)) <= before;
    };
    if (fits(shift))
        return shift;
    // Close in on what blocks the step, so the walker stops against it rather than short.
    float low = 0.0f;
    float high = shift;
    for (int i = 0; i < closingIn; ++i) {
        const float middle = (low + high) / 2.0f;
        if (fits(middle))
            low = middle;
        else
            high = middle;
    }
    return low;
}

void Collision::move(const Box& feet, const Box& body, float& dx, float& dy) const {
    if (!std::isfinite(dx) || !std::isfinite(dy)) {
        dx = 0.0f;
        dy = 0.0f;
        return;
    }
    const float limit = stepLimit();
    const float reach = limit * stepCountLimit;
    const float wantX = std::clamp(dx, -reach, reach);
    const float wantY = std::clamp(dy, -reach, reach);
    const int steps = std::max(
        1, static_cast<int>(std::ceil(std::max(std::fabs(wantX), std::fabs(wantY)) / limit)));
    Box f = feet;
    Box b = body;
    float goneX = 0.0f;
    float goneY = 0.0f;
    // An axis that met something stays against it for the rest of the tick.
    float stepX = wantX / steps;
    float stepY = wantY / steps;
    for (int i = 0; i < steps && (stepX != 0.0f || stepY != 0.0f); ++i) {
        const float sx = allowedShift(f, b, stepX, true);
        f = f.moved(sx, 0.0f);
        b = b.moved(sx, 0.0f);
        const float sy = allowedShift(f, b, stepY, false);
        f = f.moved(0.0f, sy);
        b = b.moved(0.0f, sy);
        goneX += sx;
        goneY += sy;
        if (sx != stepX)
            stepX = 0.0f;
        if (sy != stepY)
            stepY = 0.0f;
    }
    dx = goneX;
    dy = goneY;
}
