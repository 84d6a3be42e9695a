#include "IconArt.h"

#include "ArtCanvas.h"
#include "BlobScene.h"
#include "CharacterArt.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kPi = 3.14159265f;
constexpr int kSizes[] = {48, 128, 256};

// Each size is drawn on its own rather than scaled down, so the small ones stay crisp.
Canvas icon(int size) {
    const float s = static_cast<float>(size);
    const float centre = s / 2, radius = s / 2 - s / 48;
    const float ring = std::max(1.0f, s / 24);
    auto inCircle = [&](int x, int y, float r) {
        const float dx = x + 0.5f - centre, dy = y + 0.5f - centre;
        return dx * dx + dy * dy <= r * r;
    };

    Canvas badge(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            if (!inCircle(x, y, radius))
                continue;
            const float t = y / s;
            const Rgba sky = mix(rgb(110, 170, 226), rgb(214, 236, 240), t * 1.6f);
            const Rgba meadow = mix(rgb(124, 180, 84), rgb(84, 146, 66), (t - 0.62f) * 2.6f);
            badge.set(x, y, t < 0.62f ? sky : meadow);
        }

    // The mare's head and shoulders, as in the portraits, a little turned to the left.
    BlobScene scene;
    buildPony(scene, mareLook(), Gait::Stand, 0, true);
    View view;
    view.heading = kPi * 0.94f;
    view.elevation = 0.2f;
    view.scale = 4.6f * s / 200;
    const Vec3 head{20.5f, 0, 41.0f};
    const float wx = head.x * std::sin(view.heading), wy = -head.x * std::cos(view.heading);
    view.originX = centre - view.scale * wx;
    view.originY = s * 0.47f -
                   view.scale * (wy * std::sin(view.elevation) - head.z * std::cos(view.elevation));
    Canvas figure(size, size);
    scene.render(figure, view, 2.0f);
    figure.outline(0.8f, size >= 128 ? 2 : 1);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            if (figure.filled(x, y) && inCircle(x, y, radius - ring))
                badge.set(x, y, figure.get(x, y));

    // A golden rim with a darker edge holds the picture together at every size.
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            if (inCircle(x, y, radius) && !inCircle(x, y, radius - ring))
                badge.set(x, y,
                          inCircle(x, y, radius - ring / 2) ? rgb(236, 196, 92)
                                                            : rgb(150, 104, 48));
    return badge;
}

} // namespace

bool writeIconArt(const std::string& root) {
    bool ok = true;
    for (const int size : kSizes) {
        const std::string name = std::to_string(size) + "x" + std::to_string(size);
        ok = icon(size).save(root + "/packaging/icons/hicolor/" + name +
                             "/apps/fennow-online.png") &&
             ok;
    }
    return ok;
}
