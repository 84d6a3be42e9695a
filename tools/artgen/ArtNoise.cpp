#include "ArtNoise.h"

#include <cmath>

uint32_t hashInts(int x, int y, uint32_t seed) {
    uint32_t h = seed * 0x9e3779b1u;
    h ^= static_cast<uint32_t>(x) * 0x85ebca6bu;
    h = (h << 13) | (h >> 19);
    h ^= static_cast<uint32_t>(y) * 0xc2b2ae35u;
    h ^= h >> 16;
    h *= 0x7feb352du;
    h ^= h >> 15;
    h *= 0x846ca68bu;
    h ^= h >> 16;
    return h;
}

float hashUnit(int x, int y, uint32_t seed) {
    return static_cast<float>(hashInts(x, y, seed) >> 8) / 16777216.0f;
}

float periodicNoise(float x, float y, int period, int cell, uint32_t seed) {
    const int cells = period / cell;
    const float fx = x / cell, fy = y / cell;
    const int ix = static_cast<int>(std::floor(fx)), iy = static_cast<int>(std::floor(fy));
    const float tx = fx - ix, ty = fy - iy;
    auto corner = [&](int cx, int cy) {
        return hashUnit(((cx % cells) + cells) % cells, ((cy % cells) + cells) % cells, seed);
    };
    const float sx = tx * tx * (3 - 2 * tx), sy = ty * ty * (3 - 2 * ty);
    const float top = corner(ix, iy) + (corner(ix + 1, iy) - corner(ix, iy)) * sx;
    const float bottom = corner(ix, iy + 1) + (corner(ix + 1, iy + 1) - corner(ix, iy + 1)) * sx;
    return top + (bottom - top) * sy;
}

float periodicFbm(float x, float y, int period, int cell, uint32_t seed) {
    float sum = 0, weight = 0, amplitude = 1;
    for (int octave = 0; octave < 3 && cell >= 1; ++octave) {
        sum += amplitude * periodicNoise(x, y, period, cell, seed + static_cast<uint32_t>(octave));
        weight += amplitude;
        amplitude *= 0.5f;
        cell /= 2;
    }
    return sum / weight;
}

uint32_t Prng::next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
}

float Prng::unit() {
    return static_cast<float>(next() >> 8) / 16777216.0f;
}

int Prng::range(int lo, int hi) {
    return lo + static_cast<int>(next() % static_cast<uint32_t>(hi - lo + 1));
}
