#include "BlobScene.h"

#include <algorithm>
#include <cmath>
#include <limits>

Vec3 operator+(Vec3 a, Vec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Vec3 operator-(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec3 operator*(Vec3 a, float s) {
    return {a.x * s, a.y * s, a.z * s};
}
float dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
Vec3 cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vec3 normalized(Vec3 a) {
    const float len = std::sqrt(dot(a, a));
    return len > 0 ? a * (1.0f / len) : Vec3{1, 0, 0};
}

Ramp makeRamp(Rgba base) {
    return Ramp{mix(base, rgb(48, 30, 74), 0.5f), base, mix(base, rgb(255, 246, 214), 0.3f),
                mix(base, rgb(255, 253, 244), 0.62f)};
}

namespace {

// 2 x 2 ordered dither, so tone borders break up like hand-placed pixels.
float ditherAt(int x, int y) {
    static const float table[4] = {-0.045f, 0.015f, 0.045f, -0.015f};
    return table[(y & 1) * 2 + (x & 1)];
}

Rgba toneOf(const Ramp& ramp, float light) {
    if (light < -0.02f)
        return ramp.shadow;
    if (light < 0.5f)
        return ramp.base;
    if (light < 0.86f)
        return ramp.light;
    return ramp.highlight;
}

} // namespace

void shadedEllipse(Canvas& canvas, float cx, float cy, float rx, float ry, const Ramp& ramp) {
    const Vec3 light = normalized(Vec3{-0.55f, -0.65f, 0.55f});
    for (int y = static_cast<int>(std::floor(cy - ry)); y <= static_cast<int>(cy + ry); ++y)
        for (int x = static_cast<int>(std::floor(cx - rx)); x <= static_cast<int>(cx + rx); ++x) {
            const float u = (x + 0.5f - cx) / rx, v = (y + 0.5f - cy) / ry;
            const float q = u * u + v * v;
            if (q > 1.0f)
                continue;
            const float lit =
                u * light.x + v * light.y + std::sqrt(1 - q) * light.z + ditherAt(x, y);
            canvas.set(x, y, toneOf(ramp, lit));
        }
}

const Ramp* BlobScene::keep(const Ramp& ramp) {
    ramps_.push_back(ramp);
    return &ramps_.back();
}

void BlobScene::addEllipsoid(Vec3 centre, Vec3 along, float radiusAlong, float radiusSide,
                             float radiusUp, const Ramp& ramp, int part) {
    const Vec3 a = normalized(along);
    Vec3 side = cross(Vec3{0, 0, 1}, a);
    if (dot(side, side) < 1e-6f)
        side = Vec3{0, 1, 0};
    side = normalized(side);
    const Vec3 up = normalized(cross(a, side));
    blobs_.push_back(
        Blob{centre, {a * radiusAlong, side * radiusSide, up * radiusUp}, keep(ramp), part});
}

void BlobScene::addSphere(Vec3 centre, float radius, const Ramp& ramp, int part) {
    blobs_.push_back(Blob{
        centre, {Vec3{radius, 0, 0}, Vec3{0, radius, 0}, Vec3{0, 0, radius}}, keep(ramp), part});
}

void BlobScene::addTube(const std::vector<Vec3>& points, float r0, float r1, const Ramp& ramp,
                        int part) {
    if (points.empty())
        return;
    float total = 0;
    for (size_t i = 1; i < points.size(); ++i) {
        const Vec3 d = points[i] - points[i - 1];
        total += std::sqrt(dot(d, d));
    }
    const Ramp* kept = keep(ramp);
    float travelled = 0;
    auto stamp = [&](Vec3 p, float t) {
        const float r = r0 + (r1 - r0) * t;
        blobs_.push_back(Blob{p, {Vec3{r, 0, 0}, Vec3{0, r, 0}, Vec3{0, 0, r}}, kept, part});
    };
    stamp(points[0], 0);
    for (size_t i = 1; i < points.size(); ++i) {
        const Vec3 d = points[i] - points[i - 1];
        const float len = std::sqrt(dot(d, d));
        const int steps = std::max(1, static_cast<int>(std::ceil(len / 0.5f)));
        for (int s = 1; s <= steps; ++s) {
            const float u = static_cast<float>(s) / steps;
            stamp(points[i - 1] + d * u, total > 0 ? (travelled + len * u) / total : 1.0f);
        }
        travelled += len;
    }
}

void BlobScene::render(Canvas& canvas, const View& view, float inkDepth) const {
    const int w = canvas.width(), h = canvas.height();
    const float sinH = std::sin(view.heading), cosH = std::cos(view.heading);
    const float sinE = std::sin(view.elevation), cosE = std::cos(view.elevation);
    // Model frame to world (x east, y south, z up).
    auto toWorld = [&](Vec3 m) {
        return Vec3{m.x * sinH + m.y * cosH, -m.x * cosH + m.y * sinH, m.z};
    };
    const Vec3 towardViewer{0, cosE, sinE};
    const Vec3 light = normalized(Vec3{-0.55f, -0.65f, 0.55f});

    constexpr float kFar = -std::numeric_limits<float>::infinity();
    std::vector<float> depth(static_cast<size_t>(w * h), kFar);
    std::vector<int> part(static_cast<size_t>(w * h), -1);

    for (const Blob& blob : blobs_) {
        const Vec3 c = toWorld(blob.centre);
        const float cx = view.originX + view.scale * c.x;
        const float cy = view.originY + view.scale * (c.y * sinE - c.z * cosE);
        const float cDepth = dot(c, towardViewer);
        // Screen images of the three semi-axes: the projected ellipse is M * M^T.
        float m[2][3];
        float reach = 0;
        for (int i = 0; i < 3; ++i) {
            const Vec3 a = toWorld(blob.axes[i]);
            m[0][i] = view.scale * a.x;
            m[1][i] = view.scale * (a.y * sinE - a.z * cosE);
            const float along = dot(a, towardViewer);
            reach += along * along;
        }
        reach = std::sqrt(reach);
        float sa = 0, sb = 0, sc = 0;
        for (int i = 0; i < 3; ++i) {
            sa += m[0][i] * m[0][i];
            sb += m[0][i] * m[1][i];
            sc += m[1][i] * m[1][i];
        }
        // Inverse square root of the symmetric 2 x 2 matrix [sa sb; sb sc].
        const float mean = (sa + sc) / 2, spread = std::sqrt((sa - sc) * (sa - sc) / 4 + sb * sb);
        const float l1 = std::max(mean + spread, 0.2f), l2 = std::max(mean - spread, 0.2f);
        float v1x = sb, v1y = l1 - sa;
        if (std::fabs(v1x) + std::fabs(v1y) < 1e-6f) {
            v1x = sa >= sc ? 1.0f : 0.0f;
            v1y = sa >= sc ? 0.0f : 1.0f;
        }
        const float vlen = std::sqrt(v1x * v1x + v1y * v1y);
        v1x /= vlen;
        v1y /= vlen;
        const float v2x = -v1y, v2y = v1x;
        const float i1 = 1 / std::sqrt(l1), i2 = 1 / std::sqrt(l2);
        const float n00 = i1 * v1x * v1x + i2 * v2x * v2x;
        const float n01 = i1 * v1x * v1y + i2 * v2x * v2y;
        const float n11 = i1 * v1y * v1y + i2 * v2y * v2y;

        const float ex = std::sqrt(sa), ey = std::sqrt(sc);
        const int x0 = std::max(0, static_cast<int>(std::floor(cx - ex)));
        const int x1 = std::min(w - 1, static_cast<int>(std::ceil(cx + ex)));
        const int y0 = std::max(0, static_cast<int>(std::floor(cy - ey)));
        const int y1 = std::min(h - 1, static_cast<int>(std::ceil(cy + ey)));
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) {
                const float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
                const float wx = n00 * dx + n01 * dy, wy = n01 * dx + n11 * dy;
                const float q = wx * wx + wy * wy;
                if (q > 1.0f)
                    continue;
                const float nz = std::sqrt(1.0f - q);
                const float d = cDepth + nz * reach;
                const size_t at = static_cast<size_t>(y * w + x);
                if (d <= depth[at])
                    continue;
                depth[at] = d;
                part[at] = blob.part;
                const float lit = wx * light.x + wy * light.y + nz * light.z + ditherAt(x, y);
                canvas.set(x, y, toneOf(*blob.ramp, lit));
            }
    }

    // Ink the edges where a nearer part covers a farther one.
    const std::vector<float> depthCopy = depth;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const size_t at = static_cast<size_t>(y * w + x);
            if (part[at] < 0)
                continue;
            const int nx[4] = {x, x - 1, x + 1, x};
            const int ny[4] = {y - 1, y, y, y + 1};
            for (int i = 0; i < 4; ++i) {
                if (nx[i] < 0 || ny[i] < 0 || nx[i] >= w || ny[i] >= h)
                    continue;
                const size_t n = static_cast<size_t>(ny[i] * w + nx[i]);
                if (part[n] >= 0 && part[n] != part[at] &&
                    depthCopy[n] > depthCopy[at] + inkDepth) {
                    canvas.set(x, y, darken(canvas.get(x, y), 0.5f));
                    break;
                }
            }
        }
}
