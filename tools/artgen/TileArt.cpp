#include "TileArt.h"

#include "ArtNoise.h"
#include "BlobScene.h"
#include "FarmObjects.h"
#include "TileTextures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr float kPi = 3.14159265f;

// ---- Mud ----------------------------------------------------------------------------------

void pebbles(Canvas& c, uint32_t seed, int count) {
    Prng rng(seed);
    const Ramp stone = makeRamp(rgb(150, 132, 112));
    for (int i = 0; i < count; ++i) {
        const float x = 7 + rng.unit() * 18, y = 7 + rng.unit() * 18;
        const float r = 1.3f + rng.unit() * 1.4f;
        c.fillEllipse(x + 0.6f, y + 0.8f, r, r * 0.8f, rgb(78, 52, 40));
        shadedEllipse(c, x, y, r, r * 0.8f, stone);
    }
}

Canvas mudTile(int k) {
    Canvas c = mudTexture();
    switch (k) {
    case 1:
        pebbles(c, 7, 5);
        break;
    case 2: { // a shallow puddle
        c.fillEllipse(16, 17, 9, 5.5f, rgb(84, 60, 46));
        c.fillEllipse(16, 17.5f, 8, 4.5f, rgb(86, 96, 106));
        c.fillEllipse(15, 18, 6.5f, 3.4f, rgb(98, 116, 130));
        c.line(11, 16, 15, 15.5f, 1, rgb(176, 196, 206));
        c.set(19, 19, rgb(176, 196, 206));
        break;
    }
    case 3: { // dry cracks
        const Rgba crack = rgb(74, 50, 38);
        c.line(6, 9, 12, 13, 1, crack);
        c.line(12, 13, 19, 12, 1, crack);
        c.line(12, 13, 13, 21, 1, crack);
        c.line(13, 21, 22, 24, 1, crack);
        c.line(19, 12, 25, 7, 1, crack);
        break;
    }
    case 4: { // hoof prints of a passing Vornel
        const Rgba print = rgb(82, 56, 42), rim = rgb(150, 110, 76);
        const int spots[4][2] = {{9, 8}, {18, 12}, {11, 19}, {20, 23}};
        for (const auto& s : spots) {
            c.fillEllipse(s[0] + 0.5f, s[1] + 0.5f, 2.6f, 2.2f, rim);
            c.fillEllipse(s[0] + 0.5f, s[1] + 1.0f, 2.0f, 1.7f, print);
            c.set(s[0], s[1] + 2, rim);
        }
        break;
    }
    case 5: { // a tuft of grass
        const Rgba blades[3] = {rgb(70, 120, 56), rgb(96, 154, 68), rgb(140, 190, 90)};
        for (int i = 0; i < 7; ++i) {
            const float bx = 12 + i * 1.3f;
            const float top = 11 + std::fabs(i - 3.0f) * 1.5f;
            c.line(bx, 21, bx + (i - 3) * 0.7f, top, 1, blades[i % 3]);
        }
        c.line(11, 21, 21, 21, 1, rgb(80, 56, 42));
        break;
    }
    default:
        break;
    }
    return c;
}

// ---- Farm sheet ---------------------------------------------------------------------------

constexpr int kColumns = 8;
constexpr int kRows = 22;
// First index of the shore tiles' animation frames 1 and 2.
constexpr int kShoreFrames = 144;

float segmentDistance(float px, float py, float ax, float ay, float bx, float by) {
    const float dx = bx - ax, dy = by - ay;
    float t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy);
    t = std::clamp(t, 0.0f, 1.0f);
    const float ex = px - ax - t * dx, ey = py - ay - t * dy;
    return std::sqrt(ex * ex + ey * ey);
}

// A dirt path over grass that leaves the tile through the sides in `sides`.
Canvas pathTile(int sides) {
    Canvas c = grassTexture();
    const Canvas dirt = dirtTexture();
    for (int y = 0; y < kTile; ++y)
        for (int x = 0; x < kTile; ++x) {
            const float px = x + 0.5f, py = y + 0.5f;
            float d = std::hypot(px - 16, py - 16);
            if (sides & North)
                d = std::min(d, segmentDistance(px, py, 16, 16, 16, -1));
            if (sides & East)
                d = std::min(d, segmentDistance(px, py, 16, 16, 33, 16));
            if (sides & South)
                d = std::min(d, segmentDistance(px, py, 16, 16, 16, 33));
            if (sides & West)
                d = std::min(d, segmentDistance(px, py, 16, 16, -1, 16));
            const float r = 10.0f + (periodicNoise(px, py, kTile, 8, 91) - 0.5f) * 2.6f;
            if (d < r - 1.2f)
                c.set(x, y, dirt.get(x, y));
            else if (d < r)
                c.set(x, y, darken(dirt.get(x, y), 0.22f));
            else if (d < r + 1.1f)
                c.set(x, y, darken(c.get(x, y), 0.2f));
        }
    return c;
}

// Shore outlines: each side's water line wanders, repeating every tile along the shore.
float lineN(float x) {
    return 9 + 1.5f * std::sin(2 * kPi * x / kTile) + 0.7f * std::sin(4 * kPi * x / kTile + 1);
}
float lineS(float x) {
    return 23 + 1.5f * std::sin(2 * kPi * x / kTile + 2) + 0.7f * std::sin(4 * kPi * x / kTile);
}
float lineW(float y) {
    return 9 + 1.5f * std::sin(2 * kPi * y / kTile + 0.5f) +
           0.7f * std::sin(4 * kPi * y / kTile + 2);
}
float lineE(float y) {
    return 23 + 1.5f * std::sin(2 * kPi * y / kTile + 3) + 0.7f * std::sin(4 * kPi * y / kTile + 1);
}
float waterN(float x, float y) {
    return y - lineN(x);
}
float waterS(float x, float y) {
    return lineS(x) - y;
}
float waterW(float x, float y) {
    return x - lineW(y);
}
float waterE(float x, float y) {
    return lineE(y) - x;
}

constexpr float kRound = 6;
// Water on both sides' water (outer corner), rounded where the two lines meet.
float both(float a, float b) {
    if (a < kRound && b < kRound)
        return kRound - std::hypot(kRound - a, kRound - b);
    return std::min(a, b);
}
// Water on either side's water (inner corner): only the corner between them is land.
float either(float a, float b) {
    if (a > -kRound && b > -kRound)
        return -kRound + std::hypot(a + kRound, b + kRound);
    return std::max(a, b);
}

float outerNW(float x, float y) {
    return both(waterN(x, y), waterW(x, y));
}
float outerNE(float x, float y) {
    return both(waterN(x, y), waterE(x, y));
}
float outerSW(float x, float y) {
    return both(waterS(x, y), waterW(x, y));
}
float outerSE(float x, float y) {
    return both(waterS(x, y), waterE(x, y));
}
float innerNW(float x, float y) {
    return either(waterN(x, y), waterW(x, y));
}
float innerNE(float x, float y) {
    return either(waterN(x, y), waterE(x, y));
}
float innerSW(float x, float y) {
    return either(waterS(x, y), waterW(x, y));
}
float innerSE(float x, float y) {
    return either(waterS(x, y), waterE(x, y));
}

struct ShoreKind {
    float (*shape)(float x, float y);
    const char* name;
};
const ShoreKind kShores[] = {
    {waterN, "shore: grass along N edge, water S"},
    {waterE, "shore: grass along E edge, water W"},
    {waterS, "shore: grass along S edge, water N"},
    {waterW, "shore: grass along W edge, water E"},
    {outerNW, "shore outer corner: grass N and W (lake's top-left)"},
    {outerNE, "shore outer corner: grass N and E (lake's top-right)"},
    {outerSW, "shore outer corner: grass S and W (lake's bottom-left)"},
    {outerSE, "shore outer corner: grass S and E (lake's bottom-right)"},
    {innerNW, "shore inner corner: grass only in the NW corner"},
    {innerNE, "shore inner corner: grass only in the NE corner"},
    {innerSW, "shore inner corner: grass only in the SW corner"},
    {innerSE, "shore inner corner: grass only in the SE corner"},
};
constexpr int kShoreCount = 12;

Canvas lilyTile(int frame) {
    Canvas lily = waterTexture(frame);
    const Rgba notch = lily.get(15, 11);
    const Ramp pad = makeRamp(rgb(86, 160, 72));
    shadedEllipse(lily, 10, 11, 5.5f, 4, pad);
    lily.fillPolygon({{10, 11}, {16, 9}, {16, 13}}, notch);
    shadedEllipse(lily, 21, 21, 4.5f, 3.2f, pad);
    shadedEllipse(lily, 21, 20, 2, 1.6f, makeRamp(rgb(240, 150, 190)));
    return lily;
}

Canvas grassVariant(int kind) {
    Canvas c = grassTexture();
    Prng rng(200 + kind);
    if (kind == 1) { // thick tufts
        const Rgba dark = rgb(62, 112, 54), light = rgb(150, 198, 96);
        for (int i = 0; i < 3; ++i) {
            const int x = rng.range(6, 24), y = rng.range(8, 24);
            for (int b = -2; b <= 2; ++b) {
                c.line(x + 0.5f, y + 0.5f, x + b * 1.2f + 0.5f, y - 4 + std::abs(b) * 1.0f, 1,
                       b % 2 ? dark : light);
            }
        }
    } else if (kind == 2) { // tiny daisies
        for (int i = 0; i < 5; ++i) {
            const int x = rng.range(5, 26), y = rng.range(5, 26);
            const Rgba petal = i % 2 ? rgb(250, 248, 236) : rgb(250, 226, 120);
            c.set(x - 1, y, petal);
            c.set(x + 1, y, petal);
            c.set(x, y - 1, petal);
            c.set(x, y + 1, petal);
            c.set(x, y, rgb(236, 170, 60));
        }
    } else if (kind == 3) { // clover patch
        const Ramp clover = makeRamp(rgb(78, 140, 66));
        for (int i = 0; i < 6; ++i)
            shadedEllipse(c, rng.range(8, 23) + 0.5f, rng.range(8, 23) + 0.5f, 2.4f, 2.0f, clover);
    } else if (kind == 4) { // a few stones
        const Ramp stone = makeRamp(rgb(160, 156, 146));
        for (int i = 0; i < 3; ++i) {
            const float x = rng.range(7, 24) + 0.5f, y = rng.range(7, 24) + 0.5f;
            c.fillEllipse(x + 0.7f, y + 0.9f, 2.2f, 1.6f, rgb(60, 104, 52));
            shadedEllipse(c, x, y, 2.2f, 1.7f, stone);
        }
    }
    return c;
}

// ---- Crops on tilled soil -------------------------------------------------------------------

void sprout(Canvas& c, int x, int y, float size) {
    const Rgba stem = rgb(86, 150, 62), leaf = rgb(128, 190, 80);
    c.line(x + 0.5f, y + 0.5f, x + 0.5f, y - size + 0.5f, 1, stem);
    c.fillEllipse(x - size * 0.6f + 0.5f, y - size + 0.5f, size * 0.6f, size * 0.35f, leaf);
    c.fillEllipse(x + size * 0.6f + 0.5f, y - size + 0.5f, size * 0.6f, size * 0.35f, stem);
}

Canvas cropTile(int kind) {
    Canvas c = soilTexture(kind == 0);
    const int rows[2] = {5, 21};
    if (kind == 0 || kind == 1) {
        for (int r : rows)
            for (int x : {8, 24})
                sprout(c, x, r + 3, kind == 0 ? 2.0f : 4.0f);
    } else if (kind == 2) { // wheat
        const Rgba stalk[3] = {rgb(196, 154, 70), rgb(226, 190, 96), rgb(246, 218, 134)};
        for (int y = 2; y < 32; y += 8)
            for (int x = 1; x < 32; x += 3) {
                const int h = 5 + static_cast<int>(hashUnit(x, y, 81) * 3);
                c.line(x + 0.5f, y + 6.5f, x + 0.5f, y + 6.5f - h, 1, stalk[0]);
                c.fillEllipse(x + 0.5f, y + 6.5f - h, 1.0f, 2.0f, stalk[1 + (x / 3) % 2]);
            }
    } else if (kind == 3) { // cabbages
        const Ramp leaf = makeRamp(rgb(112, 176, 92));
        const Ramp heart = makeRamp(rgb(168, 214, 128));
        for (int r : rows)
            for (int x : {8, 24}) {
                shadedEllipse(c, x + 0.5f, r + 4.5f, 6.5f, 5.0f, leaf);
                shadedEllipse(c, x + 0.5f, r + 3.5f, 3.8f, 3.2f, heart);
            }
    } else if (kind == 4) { // carrots
        const Rgba orange = rgb(232, 128, 48), top = rgb(92, 164, 64), top2 = rgb(132, 196, 82);
        for (int r : rows)
            for (int x : {6, 16, 26}) {
                c.fillEllipse(x + 0.5f, r + 6.5f, 2.2f, 1.6f, orange);
                for (int b = -2; b <= 2; ++b)
                    c.line(x + 0.5f, r + 5.5f, x + b * 1.3f + 0.5f, r + 0.5f, 1,
                           b % 2 ? top : top2);
            }
    } else if (kind == 5) { // pumpkins
        const Ramp pumpkin = makeRamp(rgb(236, 138, 46));
        const Ramp leaf = makeRamp(rgb(82, 146, 62));
        shadedEllipse(c, 24.5f, 7.5f, 5, 4, leaf);
        shadedEllipse(c, 7.5f, 23.5f, 5, 4, leaf);
        for (const auto& p : {std::pair<float, float>{10, 11}, {22, 23}}) {
            shadedEllipse(c, p.first, p.second, 7.5f, 6, pumpkin);
            c.line(p.first, p.second - 5, p.first, p.second + 5, 1, darken(pumpkin.base, 0.3f));
            c.line(p.first, p.second - 7, p.first + 1, p.second - 5, 2, rgb(96, 120, 52));
        }
    }
    return c;
}

struct SheetTile {
    int index;
    std::string name;
};

void place(Canvas& sheet, const Canvas& tile, int index) {
    sheet.blit(tile, (index % kColumns) * kTile, (index / kColumns) * kTile);
}

// Places an object of several tiles with its top-left tile at `index`.
void placeObject(Canvas& sheet, const Canvas& object, int index) {
    for (int ty = 0; ty < object.height() / kTile; ++ty)
        for (int tx = 0; tx < object.width() / kTile; ++tx)
            place(sheet, object.crop(tx * kTile, ty * kTile, kTile, kTile),
                  index + ty * kColumns + tx);
}

} // namespace

bool writeMudTiles(const std::string& root) {
    Canvas sheet(96, 64);
    for (int k = 0; k < 6; ++k) {
        Canvas tile = mudTile(k);
        tile.avoidKeys();
        sheet.blit(tile, 32 * (k % 3), 32 * (k / 3));
    }
    return sheet.save(root + "/Data/Graphics/Tiles/MudTiles.bmp");
}

bool writeFarmTiles(const std::string& root) {
    Canvas sheet(kColumns * kTile, kRows * kTile, kMagenta);
    std::vector<SheetTile> list;
    auto put = [&](int index, const Canvas& tile, const std::string& name) {
        Canvas t = tile;
        t.avoidKeys();
        place(sheet, t, index);
        list.push_back({index, name});
    };
    auto putObject = [&](int index, const Canvas& object, const std::string& name) {
        placeObject(sheet, object, index);
        list.push_back({index, name});
    };

    list.push_back({0, "empty: fully magenta (transparent)"});
    put(1, grassTexture(), "grass");
    put(2, grassVariant(1), "grass with tufts");
    put(3, grassVariant(2), "grass with daisies");
    put(4, grassVariant(3), "grass with clover");
    put(5, dirtTexture(), "dirt (full path tile)");
    put(6, soilTexture(false), "tilled soil");
    put(7, soilTexture(true), "tilled soil, watered");

    put(8, pathTile(East | West), "path horizontal (E-W)");
    put(9, pathTile(North | South), "path vertical (N-S)");
    put(10, pathTile(East | South), "path corner E-S (top-left corner of a loop)");
    put(11, pathTile(West | South), "path corner W-S (top-right corner)");
    put(12, pathTile(North | East), "path corner N-E (bottom-left corner)");
    put(13, pathTile(North | West), "path corner N-W (bottom-right corner)");
    put(14, pathTile(North | East | South | West), "path crossing");
    put(15, pathTile(North), "path end, open to N");
    put(16, pathTile(East), "path end, open to E");
    put(17, pathTile(South), "path end, open to S");
    put(18, pathTile(West), "path end, open to W");
    put(19, pathTile(North | East | South), "path T: N, E, S");
    put(20, pathTile(East | South | West), "path T: E, S, W");
    put(21, pathTile(North | South | West), "path T: N, S, W");
    put(22, pathTile(North | East | West), "path T: N, E, W");
    put(23, grassVariant(4), "grass with stones");

    put(24, waterTexture(0), "water, animation frame 0");
    put(25, waterTexture(1), "water, animation frame 1");
    put(26, waterTexture(2), "water, animation frame 2");
    put(27, lilyTile(0), "water with lily pads, animation frame 0");
    for (int i = 0; i < kShoreCount; ++i)
        put(28 + i, shoreTile(kShores[i].shape, 0), kShores[i].name);
    put(40, cropTile(0), "crop: seedlings on watered soil");
    put(41, cropTile(1), "crop: young plants");
    put(42, cropTile(2), "crop: ripe wheat");
    put(43, cropTile(3), "crop: cabbages");
    put(44, cropTile(4), "crop: carrots");
    put(45, cropTile(5), "crop: pumpkins");
    putObject(46, flowerTile(rgb(226, 72, 80), rgb(250, 200, 70)),
              "object: red and yellow flowers");
    putObject(47, flowerTile(rgb(110, 140, 230), rgb(250, 248, 240)),
              "object: blue and white flowers");

    putObject(48, rockTile(false), "object: small rock");
    putObject(49, rockTile(true), "object: big mossy rock");
    putObject(50, bushTile(), "object: berry bush");
    putObject(51, fenceTile(East | West), "object: fence horizontal (E-W)");
    putObject(52, fenceTile(North | South), "object: fence vertical (N-S)");
    putObject(53, fenceTile(East | South), "object: fence corner E-S (top-left of a pen)");
    putObject(54, fenceTile(West | South), "object: fence corner W-S (top-right of a pen)");
    putObject(55, fenceTile(North | East), "object: fence corner N-E (bottom-left of a pen)");
    putObject(56, fenceTile(North | West), "object: fence corner N-W (bottom-right of a pen)");
    putObject(57, fenceTile(0), "object: fence post alone");
    putObject(58, gateTile(), "object: fence gate (in a horizontal fence)");
    putObject(59, stumpTile(), "object: tree stump");
    putObject(60, hayTile(), "object: hay bale");
    putObject(61, signTile(), "object: signpost");
    putObject(62, mushroomTile(), "object: mushrooms");
    putObject(63, tallGrassTile(), "object: tall grass");

    putObject(64, appleTree(), "object: apple tree, 3 x 3 tiles: 64 65 66 / 72 73 74 / 80 81 82");
    putObject(67, pineTree(), "object: pine tree, 2 x 3 tiles: 67 68 / 75 76 / 83 84");
    putObject(69, wellObject(), "object: well, 2 x 2 tiles: 69 70 / 77 78");
    putObject(88, barnObject(),
              "object: barn, 4 x 4 tiles: 88 89 90 91 / 96 97 98 99 / 104 105 106 107 / "
              "112 113 114 115");
    putObject(92, windmillObject(),
              "object: windmill, 3 x 4 tiles: 92 93 94 / 100 101 102 / 108 109 110 / 116 117 118");
    putObject(71, scarecrowObject(), "object: scarecrow, 1 x 2 tiles: 71 / 79");
    putObject(85, crateTile(), "object: wooden crate");
    putObject(86, barrelTile(), "object: barrel");
    putObject(87, troughTile(), "object: water trough");
    putObject(95, pumpkinTile(), "object: pumpkin");
    putObject(103, logPileTile(), "object: log pile");
    putObject(111, sunflowerTile(), "object: sunflower");
    putObject(119, wateringCanTile(), "object: watering can");
    putObject(120, cottageObject(),
              "object: cottage, 3 x 3 tiles: 120 121 122 / 128 129 130 / 136 137 138");

    // Further animation frames of the tiles that show water, so that a whole lake can ripple.
    for (int frame = 1; frame <= 2; ++frame) {
        for (int i = 0; i < kShoreCount; ++i) {
            put(kShoreFrames + (frame - 1) * kShoreCount + i, shoreTile(kShores[i].shape, frame),
                std::string(kShores[i].name) + ", animation frame " + std::to_string(frame) +
                    " (frame 0 is tile " + std::to_string(28 + i) + ")");
        }
        put(kShoreFrames + 2 * kShoreCount + frame - 1, lilyTile(frame),
            "water with lily pads, animation frame " + std::to_string(frame) +
                " (frame 0 is tile 27)");
    }

    bool ok = sheet.save(root + "/tools/maps/FarmTiles.png");

    const std::string listPath = root + "/tools/maps/FarmTiles.md";
    FILE* out = fopen(listPath.c_str(), "wb");
    if (!out) {
        fprintf(stderr, "Cannot write %s\n", listPath.c_str());
        return false;
    }
    fprintf(out,
            "# FarmTiles.png\n\n"
            "Generated by `fennow-artgen` (tools/artgen/TileArt.cpp); do not edit by hand.\n\n"
            "A sheet of 32 x 32 tiles, %i tiles per row, %i rows. Tile index = row * %i + "
            "column, index 0 at the top left. Magenta 255,0,255 is transparent. Ground tiles "
            "are fully opaque; tiles marked \"object\" stand on magenta and go on a layer "
            "above the ground. Grass, dirt, water and the shores share textures that repeat "
            "every tile, so neighbouring tiles meet without seams. Every index not listed "
            "is fully magenta. No pixel is pure black 0,0,0 or grey 64,64,64.\n\n"
            "| Index | Tile |\n|---|---|\n",
            kColumns, kRows, kColumns);
    std::sort(list.begin(), list.end(),
              [](const SheetTile& a, const SheetTile& b) { return a.index < b.index; });
    for (const SheetTile& t : list)
        fprintf(out, "| %i | %s |\n", t.index, t.name.c_str());
    fprintf(out,
            "\nAnimations (three frames each, in this order): open water 24, 25, 26; lily "
            "pads 27, %i, %i; shore tile t (28 to 39): t, t + %i, t + %i. A lake whose "
            "water and shores all animate together ripples without seams.\n",
            kShoreFrames + 2 * kShoreCount, kShoreFrames + 2 * kShoreCount + 1, kShoreFrames - 28,
            kShoreFrames + kShoreCount - 28);
    ok = fclose(out) == 0 && ok;
    return ok;
}
