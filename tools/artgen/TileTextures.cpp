#include "TileTextures.h"

#include "ArtNoise.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kPi = 3.14159265f;

Rgba pick(const Rgba* ramp, int count, float v) {
    const int i = std::clamp(static_cast<int>(v * count), 0, count - 1);
    return ramp[i];
}

// Noise plus a little per-pixel grain, both repeating every tile.
float grain(int x, int y, uint32_t seed, int cell, float grainAmount) {
    return periodicFbm(x + 0.5f, y + 0.5f, kTile, cell, seed) +
           (hashUnit(x, y, seed + 100) - 0.5f) * grainAmount;
}

} // namespace

Canvas grassTexture() {
    static const Rgba greens[5] = {rgb(66, 120, 58), rgb(82, 140, 64), rgb(100, 158, 70),
                                   rgb(122, 178, 82), rgb(152, 198, 96)};
    Canvas c(kTile, kTile);
    for (int y = 0; y < kTile; ++y)
        for (int x = 0; x < kTile; ++x)
            c.set(x, y, pick(greens + 1, 3, (grain(x, y, 11, 4, 0.5f) - 0.5f) * 1.3f + 0.5f));
    // Short blades: a bright tip over a dark root, wrapping around the tile edges.
    for (int y = 0; y < kTile; ++y)
        for (int x = 0; x < kTile; ++x) {
            const float h = hashUnit(x, y, 13);
            if (h < 0.06f) {
                c.setWrapped(x, y - 1, greens[4]);
                c.setWrapped(x, y, greens[3]);
                c.setWrapped(x, y + 1, greens[0]);
            } else if (h < 0.1f) {
                c.setWrapped(x, y, greens[0]);
            }
        }
    return c;
}

Canvas mudTexture() {
    static const Rgba browns[5] = {rgb(86, 58, 42), rgb(104, 72, 50), rgb(122, 86, 58),
                                   rgb(140, 101, 68), rgb(166, 126, 88)};
    Canvas c(kTile, kTile);
    for (int y = 0; y < kTile; ++y)
        for (int x = 0; x < kTile; ++x)
            c.set(x, y, pick(browns + 1, 3, (grain(x, y, 41, 4, 0.5f) - 0.5f) * 1.3f + 0.5f));
    for (int y = 0; y < kTile; ++y)
        for (int x = 0; x < kTile; ++x) {
            const float h = hashUnit(x, y, 43);
            if (h < 0.025f) {
                c.setWrapped(x, y, browns[4]);
                c.setWrapped(x + 1, y + 1, browns[0]);
            } else if (h < 0.07f) {
                c.setWrapped(x, y, browns[0]);
            }
        }
    return c;
}

Canvas dirtTexture() {
    static const Rgba dirt[5] = {rgb(140, 102, 68), rgb(164, 124, 82), rgb(182, 142, 96),
                                 rgb(198, 160, 112), rgb(220, 186, 136)};
    Canvas c(kTile, kTile);
    for (int y = 0; y < kTile; ++y)
        for (int x = 0; x < kTile; ++x)
            c.set(x, y, pick(dirt + 1, 3, (grain(x, y, 51, 4, 0.5f) - 0.5f) * 1.3f + 0.5f));
    for (int y = 0; y < kTile; ++y)
        for (int x = 0; x < kTile; ++x) {
            const float h = hashUnit(x, y, 53);
            if (h < 0.02f) {
                c.setWrapped(x, y, dirt[4]);
                c.setWrapped(x + 1, y + 1, dirt[0]);
            } else if (h < 0.05f) {
                c.setWrapped(x, y, dirt[0]);
            }
        }
    return c;
}

Canvas soilTexture(bool watered) {
    // Ridges every 8 pixels: lit top, face, shadowed furrow.
    static const Rgba soil[5] = {rgb(78, 52, 40), rgb(96, 64, 46), rgb(122, 84, 58),
                                 rgb(146, 102, 70), rgb(166, 120, 84)};
    static const int rowTone[8] = {4, 3, 3, 2, 2, 1, 1, 0};
    Canvas c(kTile, kTile);
    for (int y = 0; y < kTile; ++y)
        for (int x = 0; x < kTile; ++x) {
            int tone = rowTone[y % 8];
            const float h = hashUnit(x, y, 61);
            if (h < 0.12f && tone > 0)
                --tone;
            else if (h > 0.94f && tone < 4)
                ++tone;
            Rgba p = soil[tone];
            if (watered)
                p = darken(p, 0.28f);
            c.set(x, y, p);
        }
    return c;
}

Canvas waterTexture(int frame) {
    static const Rgba water[5] = {rgb(46, 90, 148), rgb(56, 108, 168), rgb(70, 128, 186),
                                  rgb(96, 160, 208), rgb(190, 226, 242)};
    Canvas c(kTile, kTile);
    const float shift = 2 * kPi * frame / 3.0f;
    for (int y = 0; y < kTile; ++y)
        for (int x = 0; x < kTile; ++x) {
            const float n = periodicFbm(x + 0.5f, y + 0.5f, kTile, 16, 31);
            const float wave =
                std::sin(2 * kPi * (2.0f * y / kTile + 1.0f * x / kTile) + shift + 5 * n);
            const float v =
                0.45f + 0.22f * wave + (n - 0.5f) * 0.6f + (hashUnit(x, y, 32) - 0.5f) * 0.12f;
            Rgba p = pick(water, 4, v);
            if (wave > 0.92f && hashUnit(x, y, 33) < 0.6f)
                p = water[4];
            c.set(x, y, p);
        }
    return c;
}

Canvas shoreTile(float (*shape)(float x, float y), int frame) {
    const Canvas grass = grassTexture();
    const Canvas water = waterTexture(frame);
    Canvas c(kTile, kTile);
    for (int y = 0; y < kTile; ++y)
        for (int x = 0; x < kTile; ++x) {
            const float s = shape(x + 0.5f, y + 0.5f);
            Rgba p;
            if (s > 2.6f)
                p = water.get(x, y);
            else if (s > 0.9f)
                p = lighten(water.get(x, y), 0.22f);
            else if (s > -0.4f)
                p = rgb(128, 100, 70);
            else if (s > -2.6f)
                p = hashUnit(x, y, 71) < 0.2f ? rgb(176, 148, 102) : rgb(204, 178, 126);
            else if (s > -3.6f)
                p = darken(grass.get(x, y), 0.18f);
            else
                p = grass.get(x, y);
            c.set(x, y, p);
        }
    return c;
}
