#include "FarmObjects.h"

#include "ArtNoise.h"
#include "BlobScene.h"
#include "TileTextures.h"

#include <cmath>
#include <utility>

namespace {

constexpr float kPi = 3.14159265f;

const Rgba kWood = rgb(156, 108, 64);

void finishObject(Canvas& c) {
    c.outline(0.78f);
    c.avoidKeys();
    c.fillEmpty(kMagenta);
}

} // namespace

Canvas fenceTile(int sides) {
    Canvas c(kTile, kTile);
    const Rgba wood = kWood, light = lighten(kWood, 0.3f), dark = darken(kWood, 0.3f);
    auto rail = [&](int x0, int x1) {
        for (int y : {12, 19}) {
            c.fillRect(x0, y, x1 - x0, 3, wood);
            c.fillRect(x0, y, x1 - x0, 1, light);
            c.fillRect(x0, y + 2, x1 - x0, 1, dark);
        }
    };
    auto board = [&](int y0, int y1) {
        c.fillRect(14, y0, 4, y1 - y0, wood);
        c.fillRect(14, y0, 1, y1 - y0, light);
        c.fillRect(17, y0, 1, y1 - y0, dark);
    };
    if (sides & West)
        rail(0, 16);
    if (sides & East)
        rail(16, 32);
    if (sides & North)
        board(0, 16);
    if (sides & South)
        board(16, 32);
    // The post: a cut top and a shaded front.
    c.fillRect(13, 9, 6, 16, wood);
    c.fillRect(13, 9, 6, 3, light);
    c.fillRect(17, 12, 2, 13, dark);
    c.fillRect(13, 24, 6, 1, dark);
    finishObject(c);
    return c;
}

Canvas gateTile() {
    Canvas c(kTile, kTile);
    const Rgba light = lighten(kWood, 0.3f), dark = darken(kWood, 0.3f);
    for (int y : {11, 16, 21}) {
        c.fillRect(6, y, 20, 3, kWood);
        c.fillRect(6, y, 20, 1, light);
    }
    c.line(7, 22, 24, 12, 2, dark);
    for (int x : {2, 26}) {
        c.fillRect(x, 7, 4, 19, kWood);
        c.fillRect(x, 7, 4, 2, light);
        c.fillRect(x + 3, 9, 1, 17, dark);
    }
    c.fillRect(0, 12, 2, 3, kWood);
    c.fillRect(30, 12, 2, 3, kWood);
    c.fillRect(0, 19, 2, 3, kWood);
    c.fillRect(30, 19, 2, 3, kWood);
    finishObject(c);
    return c;
}

Canvas rockTile(bool big) {
    Canvas c(kTile, kTile);
    const Ramp stone = makeRamp(rgb(158, 154, 146));
    if (big) {
        shadedEllipse(c, 13, 19, 10, 8, stone);
        shadedEllipse(c, 21, 21, 8, 6, stone);
        shadedEllipse(c, 16, 14, 7, 6, stone);
        const Ramp moss = makeRamp(rgb(104, 150, 72));
        shadedEllipse(c, 13, 11.5f, 4, 2, moss);
    } else {
        shadedEllipse(c, 15, 20, 6.5f, 5, stone);
        shadedEllipse(c, 20, 22, 4, 3, stone);
    }
    finishObject(c);
    return c;
}

Canvas bushTile() {
    Canvas c(kTile, kTile);
    const Ramp leaf = makeRamp(rgb(78, 146, 66));
    const float blobs[6][3] = {{9, 19, 7},     {22, 19, 7},    {15, 22, 8},
                               {12, 12, 6.5f}, {20, 12, 6.5f}, {16, 15, 7}};
    for (const auto& b : blobs)
        shadedEllipse(c, b[0], b[1], b[2], b[2] * 0.9f, leaf);
    const Ramp berry = makeRamp(rgb(212, 56, 72));
    for (const auto& p : {std::pair<float, float>{10, 16}, {19, 11}, {22, 21}, {14, 24}})
        shadedEllipse(c, p.first, p.second, 1.6f, 1.6f, berry);
    finishObject(c);
    return c;
}

Canvas flowerTile(Rgba petal, Rgba petal2) {
    Canvas c(kTile, kTile);
    Prng rng(petal.r * 7 + petal2.b);
    const Rgba stem = rgb(70, 136, 60);
    for (int i = 0; i < 6; ++i) {
        const float x = 6 + rng.unit() * 20, y = 10 + rng.unit() * 14;
        c.line(x, y, x + (rng.unit() - 0.5f) * 2, y + 6, 1, stem);
        c.fillEllipse(x + 2, y + 4, 1.6f, 0.8f, stem);
        const Rgba p = i % 2 ? petal : petal2;
        for (int k = 0; k < 5; ++k) {
            const float a = 2 * kPi * k / 5;
            c.fillEllipse(x + 1.8f * std::cos(a), y + 1.8f * std::sin(a), 1.3f, 1.3f, p);
        }
        c.fillEllipse(x, y, 1.0f, 1.0f, rgb(250, 210, 80));
    }
    finishObject(c);
    return c;
}

Canvas stumpTile() {
    Canvas c(kTile, kTile);
    const Rgba bark = rgb(116, 80, 52);
    c.fillRect(8, 13, 16, 10, bark);
    c.fillEllipse(16, 23, 8, 3, bark);
    for (int x = 10; x < 24; x += 4)
        c.line(x, 15, x, 24, 1, darken(bark, 0.3f));
    c.fillEllipse(16, 13, 8, 3.5f, rgb(214, 174, 116));
    c.fillEllipse(16, 13, 5, 2.2f, rgb(190, 146, 94));
    c.fillEllipse(16, 13, 2, 1, rgb(214, 174, 116));
    finishObject(c);
    return c;
}

Canvas hayTile() {
    Canvas c(kTile, kTile);
    const Rgba hay = rgb(226, 190, 98), light = rgb(246, 222, 142), dark = rgb(184, 146, 66);
    c.fillRoundRect(4, 9, 24, 16, 4, hay);
    c.fillRoundRect(4, 9, 24, 6, 3, light);
    for (int x = 6; x < 27; x += 3)
        c.line(x, 15, x + 1, 24, 1, dark);
    c.fillRect(10, 9, 2, 16, rgb(170, 72, 54));
    c.fillRect(20, 9, 2, 16, rgb(170, 72, 54));
    finishObject(c);
    return c;
}

Canvas signTile() {
    Canvas c(kTile, kTile);
    c.fillRect(15, 12, 3, 16, kWood);
    c.fillRect(16, 12, 1, 16, lighten(kWood, 0.25f));
    c.fillRoundRect(5, 5, 22, 11, 2, lighten(kWood, 0.15f));
    c.fillRect(5, 14, 22, 2, darken(kWood, 0.25f));
    for (int x = 8; x < 24; x += 3)
        c.fillRect(x, 9, 2, 1, darken(kWood, 0.45f));
    c.fillRect(8, 12, 12, 1, darken(kWood, 0.45f));
    finishObject(c);
    return c;
}

Canvas mushroomTile() {
    Canvas c(kTile, kTile);
    const Ramp cap = makeRamp(rgb(214, 64, 58));
    const float spots[3][3] = {{11, 18, 5}, {20, 21, 4}, {17, 13, 3.5f}};
    for (const auto& s : spots) {
        c.fillRect(static_cast<int>(s[0]) - 1, static_cast<int>(s[1]), 3,
                   static_cast<int>(s[2]) + 1, rgb(240, 230, 210));
        shadedEllipse(c, s[0] + 0.5f, s[1], s[2], s[2] * 0.65f, cap);
        c.set(static_cast<int>(s[0]) - 1, static_cast<int>(s[1] - 1), rgb(250, 244, 236));
        c.set(static_cast<int>(s[0]) + 2, static_cast<int>(s[1]), rgb(250, 244, 236));
    }
    finishObject(c);
    return c;
}

Canvas crateTile() {
    Canvas c(kTile, kTile);
    const Rgba wood = rgb(176, 128, 76), dark = darken(wood, 0.3f), light = lighten(wood, 0.3f);
    c.fillRect(6, 6, 20, 8, light); // lid seen from above
    c.fillRect(6, 14, 20, 14, wood);
    for (int y : {18, 23})
        c.fillRect(6, y, 20, 1, dark);
    c.line(7, 15, 24, 27, 2, dark);
    c.fillRect(6, 14, 20, 1, dark);
    c.fillRect(6, 6, 2, 22, dark);
    c.fillRect(24, 6, 2, 22, dark);
    finishObject(c);
    return c;
}

Canvas barrelTile() {
    Canvas c(kTile, kTile);
    const Ramp wood = makeRamp(rgb(156, 104, 62));
    c.fillRect(8, 9, 16, 18, wood.base);
    c.fillRect(8, 9, 4, 18, wood.light);
    c.fillRect(20, 9, 4, 18, wood.shadow);
    c.fillEllipse(16, 27, 8, 2.5f, wood.shadow);
    for (int y : {12, 22})
        c.fillRect(8, y, 16, 2, rgb(120, 116, 112));
    c.fillEllipse(16, 9, 8, 3, wood.light);
    c.fillEllipse(16, 9, 6, 2, wood.base);
    finishObject(c);
    return c;
}

Canvas troughTile() {
    Canvas c(kTile, kTile);
    const Rgba wood = rgb(150, 104, 64);
    c.fillRect(3, 12, 26, 13, wood);
    c.fillRect(3, 12, 26, 2, lighten(wood, 0.3f));
    c.fillRect(5, 14, 22, 5, rgb(70, 128, 184));
    c.fillRect(6, 15, 8, 1, rgb(150, 200, 230));
    for (int x = 3; x < 29; x += 6)
        c.fillRect(x, 19, 1, 6, darken(wood, 0.3f));
    c.fillRect(4, 25, 3, 3, darken(wood, 0.2f));
    c.fillRect(25, 25, 3, 3, darken(wood, 0.2f));
    finishObject(c);
    return c;
}

Canvas pumpkinTile() {
    Canvas c(kTile, kTile);
    const Ramp pumpkin = makeRamp(rgb(236, 138, 46));
    shadedEllipse(c, 16, 19, 10, 8, pumpkin);
    for (float x : {11.0f, 16.0f, 21.0f})
        c.line(x, 12, x, 26, 1, darken(pumpkin.base, 0.25f));
    c.line(16, 9, 17, 12, 3, rgb(96, 120, 52));
    shadedEllipse(c, 21, 10, 4, 2, makeRamp(rgb(86, 150, 64)));
    finishObject(c);
    return c;
}

Canvas logPileTile() {
    Canvas c(kTile, kTile);
    const Rgba bark = rgb(112, 76, 50), cut = rgb(216, 176, 120), ring = rgb(184, 140, 90);
    const float logs[][2] = {{9, 22}, {16, 22}, {23, 22}, {12.5f, 15}, {19.5f, 15}, {16, 8.5f}};
    for (const auto& l : logs) {
        c.fillEllipse(l[0], l[1], 4, 4, bark);
        c.fillEllipse(l[0], l[1], 3, 3, cut);
        c.fillEllipse(l[0], l[1], 1.5f, 1.5f, ring);
    }
    finishObject(c);
    return c;
}

Canvas sunflowerTile() {
    Canvas c(kTile, kTile);
    const Rgba stem = rgb(76, 140, 60);
    c.line(16, 14, 16, 30, 2, stem);
    c.fillEllipse(11, 22, 4, 2, stem);
    c.fillEllipse(21, 25, 4, 2, stem);
    for (int k = 0; k < 10; ++k) {
        const float a = 2 * kPi * k / 10;
        c.fillEllipse(16 + 6 * std::cos(a), 10 + 6 * std::sin(a), 2.4f, 2.4f,
                      k % 2 ? rgb(250, 206, 60) : rgb(240, 180, 40));
    }
    shadedEllipse(c, 16, 10, 4, 4, makeRamp(rgb(120, 76, 44)));
    finishObject(c);
    return c;
}

Canvas wateringCanTile() {
    Canvas c(kTile, kTile);
    const Ramp tin = makeRamp(rgb(120, 170, 196));
    c.line(22, 18, 29, 11, 2, tin.shadow);
    c.fillRect(28, 9, 3, 3, tin.shadow);
    c.fillRoundRect(8, 13, 15, 14, 3, tin.base);
    c.fillRect(8, 13, 4, 14, tin.light);
    c.fillRect(19, 13, 4, 14, tin.shadow);
    c.line(10, 12, 15, 7, 2, tin.shadow);
    c.line(15, 7, 20, 12, 2, tin.shadow);
    finishObject(c);
    return c;
}

// A scarecrow of 1 x 2 tiles: a straw hat, a sack face and a patched shirt on a pole.
Canvas scarecrowObject() {
    Canvas c(kTile, 2 * kTile);
    const Rgba pole = rgb(130, 90, 58);
    c.fillRect(15, 20, 3, 42, pole);
    c.fillRect(3, 28, 26, 3, pole);
    c.fillPolygon({{8, 27}, {24, 27}, {26, 48}, {6, 48}}, rgb(74, 120, 170));
    c.fillRect(12, 34, 5, 5, rgb(204, 78, 64));
    c.fillRect(6, 46, 20, 2, rgb(212, 180, 96));
    for (int x : {3, 27})
        c.line(x, 30, x + (x < 16 ? -2 : 2), 34, 1, rgb(232, 200, 110));
    shadedEllipse(c, 16.5f, 20, 6, 6, makeRamp(rgb(214, 190, 140)));
    c.set(14, 19, rgb(70, 50, 40));
    c.set(19, 19, rgb(70, 50, 40));
    c.line(14, 23, 19, 23, 1, rgb(120, 84, 60));
    c.fillEllipse(16.5f, 14, 11, 2.5f, rgb(226, 192, 102));
    c.fillRoundRect(11, 6, 11, 8, 3, rgb(226, 192, 102));
    c.fillRect(11, 11, 11, 2, rgb(186, 62, 56));
    finishObject(c);
    return c;
}

// A cottage of 3 x 3 tiles: a thatched roof, cream walls, a green door and flower boxes.
Canvas cottageObject() {
    Canvas c(96, 96);
    const Rgba wall = rgb(238, 226, 196), beam = rgb(126, 86, 58);
    c.fillRect(8, 46, 80, 46, wall);
    c.fillRect(8, 46, 80, 3, darken(wall, 0.25f));
    for (int x : {8, 46, 85})
        c.fillRect(x, 46, 3, 46, beam);
    c.fillRect(8, 89, 80, 3, beam);
    // Door and windows with flower boxes.
    c.fillRoundRect(54, 62, 16, 27, 6, rgb(74, 130, 84));
    c.fillRect(61, 64, 2, 25, rgb(56, 104, 66));
    c.fillEllipse(66.5f, 77, 1.2f, 1.2f, rgb(232, 200, 96));
    for (int x : {17, 28}) {
        c.fillRect(x - 2, 58, 13, 13, beam);
        c.fillRect(x, 60, 9, 9, rgb(74, 104, 132));
        c.fillRect(x, 60, 9, 3, rgb(124, 160, 186));
        c.fillRect(x + 4, 60, 1, 9, beam);
    }
    c.fillRect(15, 71, 26, 4, rgb(150, 100, 60));
    for (int x = 16; x < 40; x += 3)
        c.fillEllipse(x + 1.0f, 70, 1.6f, 1.6f, x % 2 ? rgb(236, 96, 120) : rgb(250, 210, 80));
    // Thatched roof seen from above, with a chimney.
    const Ramp thatch = makeRamp(rgb(206, 170, 96));
    c.fillPolygon({{0, 52}, {96, 52}, {86, 6}, {10, 6}}, thatch.base);
    for (int y = 8; y < 52; y += 4)
        for (int x = 2; x < 94; x += 3) {
            const float h = hashUnit(x, y, 401);
            if (c.filled(x, y))
                c.line(x + 0.5f, y + 0.5f, x + 0.5f + (h - 0.5f) * 2, y + 3.5f, 1,
                       h < 0.5f ? thatch.shadow : thatch.light);
        }
    c.fillRect(0, 50, 96, 3, thatch.shadow);
    c.fillRect(10, 4, 76, 4, thatch.light);
    c.fillRect(68, 0, 10, 16, rgb(168, 100, 80));
    c.fillRect(68, 0, 10, 3, rgb(120, 110, 104));
    c.fillRect(68, 3, 3, 13, rgb(196, 126, 100));
    finishObject(c);
    return c;
}

Canvas tallGrassTile() {
    Canvas c(kTile, kTile);
    const Rgba blades[3] = {rgb(70, 128, 58), rgb(104, 166, 72), rgb(148, 198, 94)};
    Prng rng(97);
    for (int i = 0; i < 16; ++i) {
        const float x = 6 + rng.unit() * 20;
        const float lean = (rng.unit() - 0.5f) * 6;
        c.line(x, 27, x + lean, 8 + rng.unit() * 8, 1, blades[i % 3]);
    }
    finishObject(c);
    return c;
}

// An apple tree of 3 x 3 tiles: a broad canopy of leaf clusters over a short trunk.
Canvas appleTree() {
    Canvas c(96, 96);
    const Rgba bark = rgb(118, 80, 54);
    c.fillPolygon({{40, 60}, {56, 60}, {58, 88}, {64, 93}, {32, 93}, {38, 88}}, bark);
    c.fillRect(40, 60, 4, 30, lighten(bark, 0.2f));
    c.fillRect(52, 60, 4, 30, darken(bark, 0.3f));
    const Ramp leaf = makeRamp(rgb(82, 150, 68));
    const float blobs[][3] = {{26, 54, 16}, {70, 54, 16}, {48, 60, 17}, {22, 36, 16}, {74, 36, 16},
                              {48, 40, 20}, {34, 20, 15}, {62, 20, 15}, {48, 14, 12}};
    for (const auto& b : blobs)
        shadedEllipse(c, b[0], b[1], b[2], b[2] * 0.92f, leaf);
    // Leafy speckles break up the bands.
    for (int y = 0; y < 96; ++y)
        for (int x = 0; x < 96; ++x)
            if (c.filled(x, y) && y < 74 && hashUnit(x, y, 301) < 0.05f)
                c.set(x, y, hashUnit(x, y, 302) < 0.5f ? leaf.light : leaf.shadow);
    const Ramp apple = makeRamp(rgb(220, 60, 56));
    const float apples[][2] = {{26, 44}, {62, 28}, {52, 60}, {72, 50},
                               {38, 22}, {18, 34}, {78, 36}, {44, 46}};
    for (const auto& p : apples)
        shadedEllipse(c, p[0], p[1], 2.8f, 2.8f, apple);
    finishObject(c);
    return c;
}

// A pine of 2 x 3 tiles: stacked tiers of needles, lit from the left.
Canvas pineTree() {
    Canvas c(64, 96);
    const Rgba bark = rgb(110, 74, 52);
    c.fillRect(28, 74, 8, 18, bark);
    c.fillRect(28, 74, 2, 18, lighten(bark, 0.2f));
    c.fillEllipse(32, 92, 7, 2.5f, bark);
    const Ramp needles = makeRamp(rgb(58, 122, 82));
    for (int tier = 0; tier < 5; ++tier) {
        const float top = 2 + tier * 13.0f, bottom = 30 + tier * 12.0f;
        const float half = 11 + tier * 4.5f;
        c.fillPolygon({{32, top}, {32 + half, bottom}, {32 - half, bottom}}, needles.shadow);
        c.fillPolygon({{32, top + 1}, {32 + half * 0.25f, bottom - 1}, {32 - half + 2, bottom - 1}},
                      needles.base);
        c.fillPolygon({{32, top + 3}, {32 - half * 0.25f, bottom - 3}, {32 - half + 5, bottom - 2}},
                      needles.light);
        for (int k = 0; k < 6; ++k)
            c.set(static_cast<int>(32 - half + 4 + k * half / 3), static_cast<int>(bottom - 1),
                  needles.shadow);
    }
    finishObject(c);
    return c;
}

Canvas wellObject() {
    Canvas c(64, 64);
    const Ramp stone = makeRamp(rgb(170, 164, 152));
    // Stone ring, water inside.
    c.fillEllipse(32, 46, 22, 14, stone.shadow);
    c.fillRect(10, 38, 44, 10, stone.base);
    for (int x = 10; x < 54; x += 7)
        c.line(x, 39, x, 47, 1, stone.shadow);
    c.line(10, 43, 54, 43, 1, stone.shadow);
    c.fillEllipse(32, 38, 22, 10, stone.light);
    c.fillEllipse(32, 38, 17, 7, rgb(54, 86, 126));
    c.fillEllipse(29, 37, 8, 2.5f, rgb(74, 116, 160));
    // Posts, a little roof and the bucket on its rope.
    for (int x : {10, 51}) {
        c.fillRect(x, 10, 4, 32, kWood);
        c.fillRect(x, 10, 1, 32, lighten(kWood, 0.3f));
    }
    c.fillRect(12, 16, 40, 2, darken(kWood, 0.2f));
    c.line(32, 18, 32, 28, 1, rgb(220, 200, 160));
    c.fillRect(28, 28, 9, 7, rgb(140, 98, 60));
    c.fillRect(28, 28, 9, 1, rgb(180, 140, 96));
    const Ramp roof = makeRamp(rgb(176, 74, 58));
    c.fillPolygon({{4, 14}, {32, 1}, {60, 14}, {56, 17}, {32, 6}, {8, 17}}, roof.shadow);
    c.fillPolygon({{6, 13}, {32, 2}, {58, 13}, {32, 5}}, roof.base);
    c.line(8, 13, 32, 3, 1, roof.light);
    finishObject(c);
    return c;
}

// A red barn of 4 x 4 tiles: its roof seen from above, the front wall with a big braced door.
Canvas barnObject() {
    Canvas c(128, 128);
    const Rgba red = rgb(184, 62, 52), redDark = rgb(142, 44, 44), trim = rgb(240, 234, 218);
    // Front wall with vertical boards.
    c.fillRect(10, 62, 108, 62, red);
    for (int x = 10; x < 118; x += 6)
        c.fillRect(x, 62, 1, 62, redDark);
    c.fillRect(10, 62, 108, 4, darken(red, 0.35f));
    c.fillRect(10, 62, 3, 62, trim);
    c.fillRect(115, 62, 3, 62, trim);
    c.fillRect(10, 121, 108, 3, trim);
    // Big door with its white cross braces.
    const int doorX = 44, doorY = 78, doorW = 40, doorH = 44;
    c.fillRect(doorX, doorY, doorW, doorH, rgb(150, 50, 44));
    c.fillRect(doorX, doorY, doorW, 3, trim);
    c.fillRect(doorX, doorY, 3, doorH, trim);
    c.fillRect(doorX + doorW - 3, doorY, 3, doorH, trim);
    c.fillRect(doorX + doorW / 2 - 1, doorY, 2, doorH, trim);
    const float l = doorX + 2.5f, m = doorX + doorW / 2.0f, r = doorX + doorW - 2.5f;
    c.line(l, doorY + 3, m - 1, doorY + doorH, 2, trim);
    c.line(m - 1, doorY + 3, l, doorY + doorH, 2, trim);
    c.line(m + 1, doorY + 3, r, doorY + doorH, 2, trim);
    c.line(r, doorY + 3, m + 1, doorY + doorH, 2, trim);
    // Windows with a cross of muntins.
    for (int x : {18, 94}) {
        c.fillRect(x, 80, 16, 15, trim);
        c.fillRect(x + 2, 82, 12, 11, rgb(70, 96, 120));
        c.fillRect(x + 2, 82, 12, 3, rgb(118, 150, 176));
        c.fillRect(x + 7, 82, 2, 11, trim);
        c.fillRect(x + 2, 87, 12, 1, trim);
    }
    // The roof slope seen from above, with staggered shingle rows and a ridge cap.
    const Ramp roof = makeRamp(rgb(122, 84, 70));
    c.fillPolygon({{2, 68}, {126, 68}, {114, 8}, {14, 8}}, roof.base);
    for (int row = 0; row < 12; ++row) {
        const int y = 10 + row * 5;
        const float inset = 14 - (y - 8) * 12.0f / 60.0f;
        c.line(inset, y + 4.5f, 128 - inset, y + 4.5f, 1, roof.shadow);
        for (int x = static_cast<int>(inset) + (row % 2) * 4; x < 128 - inset; x += 8)
            c.fillRect(x, y, 1, 4, roof.shadow);
        c.line(inset + 1, y + 0.5f, 127 - inset, y + 0.5f, 1, roof.light);
    }
    c.fillRect(14, 5, 100, 5, roof.light);
    c.fillRect(14, 5, 100, 1, roof.highlight);
    c.fillRect(2, 67, 124, 2, roof.shadow);
    // A hay door in the roof with hay peeking out, and a weather vane on the ridge.
    c.fillRect(54, 24, 20, 18, trim);
    c.fillRect(56, 26, 16, 16, rgb(92, 50, 40));
    c.fillRect(56, 35, 16, 7, rgb(228, 194, 100));
    for (int x = 57; x < 72; x += 3)
        c.set(x, 34, rgb(228, 194, 100));
    c.fillRect(63, 0, 2, 6, rgb(90, 84, 80));
    c.fillPolygon({{58, 1}, {70, 1}, {66, 3}}, rgb(90, 84, 80));
    finishObject(c);
    return c;
}

// A windmill of 3 x 4 tiles: a tapering tower, a round cap and four lattice sails.
Canvas windmillObject() {
    Canvas c(96, 128);
    const Rgba wall = rgb(232, 222, 198), wallShade = rgb(196, 182, 156);
    c.fillPolygon({{26, 124}, {70, 124}, {62, 44}, {34, 44}}, wall);
    c.fillPolygon({{52, 124}, {70, 124}, {62, 44}, {54, 44}}, wallShade);
    for (int y = 52; y < 124; y += 8)
        c.line(30, y + 0.5f, 66, y + 0.5f, 1, wallShade);
    c.fillRect(26, 120, 44, 4, rgb(150, 140, 128));
    // Door and window.
    c.fillRoundRect(41, 98, 14, 26, 6, rgb(126, 84, 56));
    c.fillRect(47, 100, 2, 24, rgb(100, 66, 46));
    c.fillRoundRect(43, 64, 10, 12, 4, rgb(70, 96, 120));
    c.fillRect(43, 64, 10, 3, rgb(118, 150, 176));
    // Cap.
    const Ramp cap = makeRamp(rgb(176, 74, 58));
    c.fillPolygon({{28, 48}, {68, 48}, {58, 26}, {38, 26}}, cap.base);
    c.fillPolygon({{48, 48}, {68, 48}, {58, 26}, {52, 26}}, cap.shadow);
    c.fillRect(26, 46, 44, 4, darken(cap.base, 0.2f));
    shadedEllipse(c, 48, 25, 10, 4, cap);
    // Sails in an X around the hub.
    const Rgba frame = rgb(126, 90, 60), cloth = rgb(246, 240, 226);
    const float hubX = 48, hubY = 40;
    for (int k = 0; k < 4; ++k) {
        const float a = 3.14159265f / 4 + k * 3.14159265f / 2;
        const float dx = std::cos(a), dy = std::sin(a);
        const float px = -dy, py = dx; // across the sail
        const float inner = 6, outer = 42, width = 8;
        c.fillPolygon({{hubX + dx * inner, hubY + dy * inner},
                       {hubX + dx * outer, hubY + dy * outer},
                       {hubX + dx * outer + px * width, hubY + dy * outer + py * width},
                       {hubX + dx * inner + px * width, hubY + dy * inner + py * width}},
                      cloth);
        for (float t = inner; t <= outer; t += 6)
            c.line(hubX + dx * t, hubY + dy * t, hubX + dx * t + px * width,
                   hubY + dy * t + py * width, 1, frame);
        c.line(hubX, hubY, hubX + dx * outer, hubY + dy * outer, 2, frame);
        c.line(hubX + dx * inner + px * width, hubY + dy * inner + py * width,
               hubX + dx * outer + px * width, hubY + dy * outer + py * width, 1, frame);
    }
    shadedEllipse(c, hubX, hubY, 4, 4, makeRamp(rgb(150, 110, 72)));
    finishObject(c);
    return c;
}
