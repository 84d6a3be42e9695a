#include "ArtCanvas.h"

#include <allegro5/allegro.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

namespace {

uint8_t clampByte(float v) {
    return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0f, 255.0f)));
}

constexpr Rgba kInkShade = rgb(28, 20, 34);
constexpr Rgba kPaperLight = rgb(255, 250, 236);

} // namespace

bool sameColour(Rgba a, Rgba b) {
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

Rgba mix(Rgba a, Rgba b, float t) {
    return Rgba{clampByte(a.r + (b.r - a.r) * t), clampByte(a.g + (b.g - a.g) * t),
                clampByte(a.b + (b.b - a.b) * t), 255};
}

Rgba lighten(Rgba c, float t) {
    return mix(c, kPaperLight, t);
}
Rgba darken(Rgba c, float t) {
    return mix(c, kInkShade, t);
}

Canvas::Canvas(int width, int height, Rgba fill)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width * height), fill) {}

Rgba Canvas::get(int x, int y) const {
    if (!inside(x, y))
        return kEmpty;
    return pixels_[static_cast<size_t>(y * width_ + x)];
}

void Canvas::set(int x, int y, Rgba c) {
    if (inside(x, y))
        pixels_[static_cast<size_t>(y * width_ + x)] = c;
}

void Canvas::setWrapped(int x, int y, Rgba c) {
    x = ((x % width_) + width_) % width_;
    y = ((y % height_) + height_) % height_;
    set(x, y, c);
}

void Canvas::fill(Rgba c) {
    std::fill(pixels_.begin(), pixels_.end(), c);
}

void Canvas::fillRect(int x, int y, int w, int h, Rgba c) {
    for (int yy = y; yy < y + h; ++yy)
        for (int xx = x; xx < x + w; ++xx)
            set(xx, yy, c);
}

void Canvas::fillEllipse(float cx, float cy, float rx, float ry, Rgba c) {
    if (rx <= 0 || ry <= 0)
        return;
    const int x0 = static_cast<int>(std::floor(cx - rx)), x1 = static_cast<int>(std::ceil(cx + rx));
    const int y0 = static_cast<int>(std::floor(cy - ry)), y1 = static_cast<int>(std::ceil(cy + ry));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const float dx = (x + 0.5f - cx) / rx, dy = (y + 0.5f - cy) / ry;
            if (dx * dx + dy * dy <= 1.0f)
                set(x, y, c);
        }
}

void Canvas::fillPolygon(const std::vector<Point>& points, Rgba c) {
    if (points.size() < 3)
        return;
    float minY = points[0].y, maxY = points[0].y;
    for (const Point& p : points) {
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    std::vector<float> crossings;
    for (int y = static_cast<int>(std::floor(minY)); y <= static_cast<int>(std::ceil(maxY)); ++y) {
        const float sy = y + 0.5f;
        crossings.clear();
        for (size_t i = 0; i < points.size(); ++i) {
            const Point& a = points[i];
            const Point& b = points[(i + 1) % points.size()];
            if ((a.y <= sy && b.y > sy) || (b.y <= sy && a.y > sy))
                crossings.push_back(a.x + (sy - a.y) / (b.y - a.y) * (b.x - a.x));
        }
        std::sort(crossings.begin(), crossings.end());
        for (size_t i = 0; i + 1 < crossings.size(); i += 2)
            for (int x = static_cast<int>(std::ceil(crossings[i] - 0.5f));
                 x + 0.5f < crossings[i + 1]; ++x)
                set(x, y, c);
    }
}

void Canvas::fillRoundRect(int x, int y, int w, int h, int radius, Rgba c) {
    for (int yy = y; yy < y + h; ++yy)
        for (int xx = x; xx < x + w; ++xx) {
            const float px = xx + 0.5f, py = yy + 0.5f;
            const float cx =
                std::clamp(px, static_cast<float>(x + radius), static_cast<float>(x + w - radius));
            const float cy =
                std::clamp(py, static_cast<float>(y + radius), static_cast<float>(y + h - radius));
            if ((px - cx) * (px - cx) + (py - cy) * (py - cy) <=
                static_cast<float>(radius * radius))
                set(xx, yy, c);
        }
}

void Canvas::line(float x0, float y0, float x1, float y1, float thickness, Rgba c) {
    const float r = thickness / 2.0f;
    const int minX = static_cast<int>(std::floor(std::min(x0, x1) - r));
    const int maxX = static_cast<int>(std::ceil(std::max(x0, x1) + r));
    const int minY = static_cast<int>(std::floor(std::min(y0, y1) - r));
    const int maxY = static_cast<int>(std::ceil(std::max(y0, y1) + r));
    const float dx = x1 - x0, dy = y1 - y0;
    const float len2 = dx * dx + dy * dy;
    for (int y = minY; y <= maxY; ++y)
        for (int x = minX; x <= maxX; ++x) {
            const float px = x + 0.5f - x0, py = y + 0.5f - y0;
            float t = len2 > 0 ? (px * dx + py * dy) / len2 : 0.0f;
            t = std::clamp(t, 0.0f, 1.0f);
            const float ex = px - t * dx, ey = py - t * dy;
            if (ex * ex + ey * ey <= r * r)
                set(x, y, c);
        }
}

void Canvas::outline(float strength, int thickness) {
    for (int pass = 0; pass < thickness; ++pass) {
        const std::vector<Rgba> before = pixels_;
        auto filledBefore = [&](int x, int y) {
            return inside(x, y) && before[static_cast<size_t>(y * width_ + x)].a != 0;
        };
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) {
                if (filledBefore(x, y))
                    continue;
                const int nx[4] = {x, x - 1, x + 1, x};
                const int ny[4] = {y - 1, y, y, y + 1};
                for (int i = 0; i < 4; ++i)
                    if (filledBefore(nx[i], ny[i])) {
                        const Rgba n = before[static_cast<size_t>(ny[i] * width_ + nx[i])];
                        set(x, y, pass == 0 ? darken(n, strength) : n);
                        break;
                    }
            }
    }
}

void Canvas::blit(const Canvas& src, int dx, int dy) {
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x) {
            const Rgba c = src.get(x, y);
            if (c.a != 0)
                set(x + dx, y + dy, c);
        }
}

Canvas Canvas::crop(int x, int y, int w, int h) const {
    Canvas out(w, h);
    for (int yy = 0; yy < h; ++yy)
        for (int xx = 0; xx < w; ++xx)
            out.set(xx, yy, get(x + xx, y + yy));
    return out;
}

void Canvas::avoidKeys() {
    const Rgba keys[] = {kMagenta, kKeyGrey, kKeyGreen, rgb(0, 0, 0)};
    for (Rgba& p : pixels_) {
        if (p.a == 0)
            continue;
        p.a = 255;
        for (const Rgba& k : keys)
            if (sameColour(p, k))
                p.g = static_cast<uint8_t>(p.g == 255 ? 254 : p.g + 1);
    }
}

void Canvas::fillEmpty(Rgba c) {
    for (Rgba& p : pixels_)
        if (p.a == 0)
            p = c;
}

bool Canvas::save(const std::string& path) const {
    std::error_code ec;
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (!parent.empty())
        std::filesystem::create_directories(parent, ec);

    al_set_new_bitmap_flags(ALLEGRO_MEMORY_BITMAP);
    al_set_new_bitmap_format(ALLEGRO_PIXEL_FORMAT_ABGR_8888_LE);
    ALLEGRO_BITMAP* bitmap = al_create_bitmap(width_, height_);
    if (!bitmap) {
        fprintf(stderr, "Cannot create a %i x %i bitmap for %s\n", width_, height_, path.c_str());
        return false;
    }
    ALLEGRO_LOCKED_REGION* region =
        al_lock_bitmap(bitmap, ALLEGRO_PIXEL_FORMAT_ABGR_8888_LE, ALLEGRO_LOCK_WRITEONLY);
    for (int y = 0; y < height_; ++y) {
        auto* row = static_cast<uint8_t*>(region->data) + y * region->pitch;
        for (int x = 0; x < width_; ++x) {
            const Rgba c = get(x, y);
            row[4 * x + 0] = c.r;
            row[4 * x + 1] = c.g;
            row[4 * x + 2] = c.b;
            row[4 * x + 3] = c.a;
        }
    }
    al_unlock_bitmap(bitmap);
    const bool ok = al_save_bitmap(path.c_str(), bitmap);
    al_destroy_bitmap(bitmap);
    if (!ok)
        fprintf(stderr, "Cannot save %s\n", path.c_str());
    return ok;
}
