#include "TilePicture.h"

#include <array>
#include <cstdlib>

namespace TilePicture {

namespace {

int expand5(int c) {
    return (c << 3) | (c >> 2);
}

int expand6(int c) {
    return (c << 2) | (c >> 4);
}

} // namespace

bool cut(const TiledModel::Image& image, int left, int top, int width, int height, Pixels& out) {
    if (left < 0 || top < 0 || width <= 0 || height <= 0 || left > image.width - width ||
        top > image.height - height ||
        image.pixels.size() != static_cast<std::size_t>(image.width) * image.height)
        return false;
    out.width = width;
    out.height = height;
    out.pixels.clear();
    out.pixels.reserve(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            out.pixels.push_back(
                image.pixels[static_cast<std::size_t>(top + y) * image.width + left + x]);
    return true;
}

Pixels flip(const Pixels& source, std::uint32_t flags) {
    const bool diagonal = (flags & TiledModel::flippedDiagonally) != 0;
    const bool horizontal = (flags & TiledModel::flippedHorizontally) != 0;
    const bool vertical = (flags & TiledModel::flippedVertically) != 0;
    Pixels out;
    out.width = diagonal ? source.height : source.width;
    out.height = diagonal ? source.width : source.height;
    out.pixels.reserve(source.pixels.size());
    // Walk the result and undo the flips in reverse order to find each pixel's source.
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            const int u = horizontal ? out.width - 1 - x : x;
            const int v = vertical ? out.height - 1 - y : y;
            const int sx = diagonal ? v : u;
            const int sy = diagonal ? u : v;
            out.pixels.push_back(source.pixels[static_cast<std::size_t>(sy) * source.width + sx]);
        }
    }
    return out;
}

MapWriter::Pixel storedColour(const MapWriter::Pixel& p, int depth) {
    auto byte = [](int v) { return static_cast<std::uint8_t>(v); };
    if (depth == 15)
        return {byte(expand5(p.r >> 3)), byte(expand5(p.g >> 3)), byte(expand5(p.b >> 3)), 255};
    if (depth == 16)
        return {byte(expand5(p.r >> 3)), byte(expand6(p.g >> 2)), byte(expand5(p.b >> 3)), 255};
    return {p.r, p.g, p.b, 255};
}

bool isKeyColour(const MapWriter::Pixel& p, int depth) {
    const MapWriter::Pixel s = storedColour(p, depth);
    const bool black = s.r == 0 && s.g == 0 && s.b == 0;
    const bool magenta = s.r == 255 && s.g == 0 && s.b == 255;
    const bool grey = s.r == 64 && s.g == 64 && s.b == 64;
    return (black && depth != 8) || magenta || grey;
}

MapWriter::Pixel nearestVisible(const MapWriter::Pixel& p, int depth) {
    if (!isKeyColour(p, depth))
        return p;
    // Step one channel at a time, further and further, until the stored colour is visible;
    // 15- and 16-bit maps need steps of up to 8 to leave a rounded colour.
    for (int step = 1; step < 256; ++step) {
        for (int channel = 0; channel < 3; ++channel) {
            for (const int sign : {1, -1}) {
                std::array<int, 3> c = {p.r, p.g, p.b};
                c[channel] += sign * step;
                if (c[channel] < 0 || c[channel] > 255)
                    continue;
                const MapWriter::Pixel q{static_cast<std::uint8_t>(c[0]),
                                         static_cast<std::uint8_t>(c[1]),
                                         static_cast<std::uint8_t>(c[2]), 255};
                if (!isKeyColour(q, depth))
                    return q;
            }
        }
    }
    return p;
}

MapWriter::Pixel toBlockPixel(const TiledModel::Rgba& p, int depth, Counts& counts) {
    if (p.a != 0 && p.a != 255)
        ++counts.halfTransparent;
    if (p.a < 128)
        return {0, 0, 0, 0};
    const MapWriter::Pixel opaque{p.r, p.g, p.b, 255};
    const MapWriter::Pixel visible = nearestVisible(opaque, depth);
    if (!(visible == opaque))
        ++counts.keyColoured;
    return visible;
}

} // namespace TilePicture
