#include "PortraitArt.h"

#include "ArtCanvas.h"
#include "ArtNoise.h"
#include "BlobScene.h"
#include "CharacterArt.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kWidth = 200, kHeight = 192;
constexpr float kPi = 3.14159265f;

// Head and shoulders, seen from a little above eye level, the head near the upper middle.
Canvas portrait(const PonyLook& look, float heading) {
    BlobScene scene;
    buildPony(scene, look, Gait::Stand, 0, true);
    View view;
    view.heading = heading;
    view.elevation = 0.2f;
    view.scale = 6.4f;
    const Vec3 head{20.5f, 0, 41.0f};
    const float wx = head.x * std::sin(heading), wy = -head.x * std::cos(heading);
    view.originX = 98 - view.scale * wx;
    view.originY =
        84 - view.scale * (wy * std::sin(view.elevation) - head.z * std::cos(view.elevation));
    Canvas c(kWidth, kHeight);
    scene.render(c, view, 2.0f);
    c.outline(0.8f, 2);
    c.avoidKeys();
    c.fillEmpty(kMagenta);
    return c;
}

Rgba skyAt(int y) {
    const float t = std::clamp(y / 110.0f, 0.0f, 1.0f);
    return mix(rgb(110, 170, 226), rgb(214, 236, 240), t * t);
}

// Sky with clouds, far hills, a patchwork of fields and a near meadow with a fence: a quiet
// farm afternoon that sits behind every portrait.
Canvas backdrop() {
    Canvas c(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            // Banded sky with dithered steps.
            const float t = y / 8.0f + ((x + y) % 2) * 0.5f;
            c.set(x, y, skyAt(static_cast<int>(t) * 8));
        }
    const Ramp cloud{rgb(206, 222, 238), rgb(236, 242, 248), rgb(250, 252, 252),
                     rgb(255, 255, 252)};
    const float clouds[][3] = {{38, 30, 14},  {54, 26, 16},  {70, 32, 12}, {24, 34, 10},
                               {140, 18, 10}, {154, 14, 12}, {168, 20, 9}};
    for (const auto& k : clouds)
        shadedEllipse(c, k[0], k[1], k[2] * 1.3f, k[2] * 0.7f, cloud);
    c.fillEllipse(170, 44, 9, 9, rgb(255, 244, 200));

    auto ridge = [&](float base, float amp, float freq, float phase, Rgba colour, uint32_t seed) {
        for (int x = 0; x < kWidth; ++x) {
            const float top = base + amp * std::sin(x * freq + phase) +
                              amp * 0.4f * std::sin(x * freq * 2.7f + phase * 2) +
                              (periodicNoise(x, 0, 256, 16, seed) - 0.5f) * 4;
            for (int y = static_cast<int>(top); y < kHeight; ++y)
                c.set(x, y, colour);
        }
    };
    ridge(92, 8, 0.025f, 1.0f, rgb(150, 186, 196), 3);
    ridge(104, 7, 0.04f, 3.0f, rgb(112, 164, 120), 4);
    // Patchwork fields on the middle slope.
    const Rgba fields[4] = {rgb(214, 190, 104), rgb(132, 182, 96), rgb(178, 200, 108),
                            rgb(150, 120, 84)};
    for (int y = 112; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const Rgba here = c.get(x, y);
            if (!sameColour(here, rgb(112, 164, 120)))
                continue;
            const int band = (x + (y - 112) * 3) / 34 + (y - 112) / 9;
            Rgba f = fields[((band % 4) + 4) % 4];
            if ((x + 2 * y) % 7 == 0)
                f = darken(f, 0.12f);
            c.set(x, y, f);
        }
    // A small red barn and a round tree on the hill.
    c.fillRect(36, 108, 16, 10, rgb(184, 64, 54));
    c.fillPolygon({{33, 109}, {44, 100}, {55, 109}}, rgb(122, 80, 66));
    c.fillRect(42, 112, 4, 6, rgb(240, 232, 214));
    shadedEllipse(c, 150, 108, 8, 7, makeRamp(rgb(74, 136, 70)));
    c.fillRect(149, 114, 3, 5, rgb(110, 76, 52));

    // Near meadow.
    for (int y = 140; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const float edge = 140 + 4 * std::sin(x * 0.05f + 0.7f);
            if (y < edge)
                continue;
            const float n = periodicFbm(x, y, 64, 16, 21) + (hashUnit(x, y, 22) - 0.5f) * 0.3f;
            const Rgba g = n < 0.42f   ? rgb(84, 146, 66)
                           : n < 0.62f ? rgb(100, 162, 72)
                                       : rgb(124, 180, 84);
            c.set(x, y, g);
        }
    // Fence along the meadow.
    const Rgba wood = rgb(168, 122, 78), woodDark = rgb(120, 84, 56);
    for (int x = 6; x < kWidth; x += 30) {
        c.fillRect(x, 146, 4, 20, wood);
        c.fillRect(x + 3, 146, 1, 20, woodDark);
    }
    c.fillRect(0, 150, kWidth, 3, wood);
    c.fillRect(0, 158, kWidth, 3, wood);
    c.fillRect(0, 152, kWidth, 1, woodDark);
    c.fillRect(0, 160, kWidth, 1, woodDark);
    // Flowers in the grass.
    Prng rng(77);
    for (int i = 0; i < 40; ++i) {
        const int x = rng.range(0, kWidth - 1), y = rng.range(168, kHeight - 1);
        const Rgba petal = i % 3 == 0   ? rgb(250, 246, 230)
                           : i % 3 == 1 ? rgb(248, 212, 90)
                                        : rgb(236, 120, 150);
        c.set(x, y, petal);
    }
    c.avoidKeys();
    return c;
}

} // namespace

bool writePortraitArt(const std::string& root) {
    const std::string dir = root + "/Data/Graphics/Portraits/";
    bool ok = portrait(quillaLook(), kPi * 0.95f).save(dir + "QuillaPortrait.png");
    ok = portrait(brambleLook(), kPi * 1.04f).save(dir + "BramblePortrait.png") && ok;
    ok = portrait(fernLook(), kPi * 0.97f).save(dir + "FernPortrait.png") && ok;
    ok = portrait(thistleLook(), kPi * 1.02f).save(dir + "ThistlePortrait.png") && ok;
    ok = backdrop().save(dir + "PortraitBackground.png") && ok;
    return ok;
}
