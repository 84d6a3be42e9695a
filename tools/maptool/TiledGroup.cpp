#include "TiledGroup.h"

#include <cstdio>

namespace {

// "#RRGGBB" or "#AARRGGBB" (alpha first) as ARGB; white for "" or anything unreadable.
unsigned long colourOf(const std::string& text) {
    const std::string hex = !text.empty() && text[0] == '#' ? text.substr(1) : text;
    if (hex.size() != 6 && hex.size() != 8)
        return 0xFFFFFFFFul;
    unsigned long value = 0;
    for (const char c : hex) {
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (digit < 0)
            return 0xFFFFFFFFul;
        value = value << 4 | static_cast<unsigned long>(digit);
    }
    return hex.size() == 6 ? 0xFF000000ul | value : value;
}

// Channel by channel product of two tints; "" (white) when both are white.
std::string multiplyTints(const std::string& a, const std::string& b) {
    if (a.empty())
        return b;
    if (b.empty())
        return a;
    const unsigned long x = colourOf(a), y = colourOf(b);
    unsigned long product = 0;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const unsigned long channel = ((x >> shift) & 0xFF) * ((y >> shift) & 0xFF);
        product |= ((channel + 127) / 255) << shift;
    }
    char text[10];
    std::snprintf(text, sizeof text, "#%08lx", product);
    return text;
}

} // namespace

TiledGroup TiledGroup::inner(const Tiled::Layer& own) const {
    TiledGroup group = *this;
    group.prefix_ = prefix_ + own.name + "/";
    group.visible_ = visible_ && own.visible;
    group.opacity_ = opacity_ * own.opacity;
    group.tint_ = multiplyTints(tint_, own.tint);
    group.offsetX_ = offsetX_ + own.offsetX;
    group.offsetY_ = offsetY_ + own.offsetY;
    group.parallaxX_ = parallaxX_ * own.parallaxX;
    group.parallaxY_ = parallaxY_ * own.parallaxY;
    group.depth_ = depth_ + 1;
    return group;
}

void TiledGroup::apply(Tiled::Layer& layer) const {
    layer.name = prefix_ + layer.name;
    layer.visible = visible_ && layer.visible;
    layer.opacity *= opacity_;
    layer.tint = multiplyTints(tint_, layer.tint);
    layer.offsetX += offsetX_;
    layer.offsetY += offsetY_;
    layer.parallaxX *= parallaxX_;
    layer.parallaxY *= parallaxY_;
}
