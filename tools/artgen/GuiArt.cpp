#include "GuiArt.h"

#include "ArtCanvas.h"
#include "ArtNoise.h"
#include "BlobScene.h"

#include <cmath>

namespace {

const Rgba kInk = rgb(58, 36, 30);
const Rgba kFrameWood = rgb(158, 110, 66);
const Rgba kPanel = rgb(62, 44, 38);
const Rgba kCream = rgb(246, 234, 200);

// Wood with a grain that runs along x (or y), drawn into a rectangle.
void woodRect(Canvas& c, int x, int y, int w, int h, Rgba base, bool alongX, uint32_t seed) {
    for (int yy = y; yy < y + h; ++yy)
        for (int xx = x; xx < x + w; ++xx) {
            const int across = alongX ? yy : xx, along = alongX ? xx : yy;
            const float grain = periodicNoise(along * 0.15f, across * 1.0f, 64, 8, seed);
            const float streak = hashUnit(across, along / 9, seed + 1);
            float t = (grain - 0.5f) * 0.35f + (streak < 0.15f ? -0.12f : 0.0f);
            c.set(xx, yy, t >= 0 ? lighten(base, t) : darken(base, -t));
        }
}

// A raised bevel: light on the top and left edges, dark on the bottom and right.
void bevel(Canvas& c, int x, int y, int w, int h, Rgba base, bool raised) {
    const Rgba hi = lighten(base, 0.35f), lo = darken(base, 0.4f);
    c.fillRect(x, y, w, 1, raised ? hi : lo);
    c.fillRect(x, y, 1, h, raised ? hi : lo);
    c.fillRect(x, y + h - 1, w, 1, raised ? lo : hi);
    c.fillRect(x + w - 1, y, 1, h, raised ? lo : hi);
}

void nail(Canvas& c, int x, int y) {
    shadedEllipse(c, x + 0.5f, y + 0.5f, 2.2f, 2.2f, makeRamp(rgb(200, 168, 92)));
}

Canvas chatBox() {
    // 688 x 220: a wooden frame with a portrait well (inner area from 11, 13, 200 x 194) and a
    // dark panel for the white text column (x 225 to 676, twelve 16-pixel rows from y 13).
    Canvas c(688, 220);
    c.fillRoundRect(0, 0, 688, 220, 9, kInk);
    Canvas wood(688, 220);
    woodRect(wood, 0, 0, 688, 220, kFrameWood, true, 5);
    for (int y = 1; y < 219; ++y)
        for (int x = 1; x < 687; ++x)
            if (c.filled(x, y) && c.filled(x - 1, y) && c.filled(x + 1, y) && c.filled(x, y - 1) &&
                c.filled(x, y + 1))
                c.set(x, y, wood.get(x, y));
    bevel(c, 2, 2, 684, 216, kFrameWood, true);

    // Portrait well.
    c.fillRect(7, 9, 208, 202, darken(kFrameWood, 0.45f));
    bevel(c, 7, 9, 208, 202, kFrameWood, false);
    c.fillRect(9, 11, 204, 198, rgb(86, 64, 52));
    c.fillRect(11, 13, 200, 194, rgb(44, 34, 32));

    // Text panel, dark so the white text reads well, with faint row guides.
    c.fillRect(219, 7, 464, 206, darken(kFrameWood, 0.45f));
    bevel(c, 219, 7, 464, 206, kFrameWood, false);
    for (int y = 9; y < 211; ++y)
        for (int x = 221; x < 681; ++x) {
            const float n = periodicNoise(x * 0.25f, y * 1.0f, 64, 16, 9);
            c.set(x, y, mix(kPanel, rgb(76, 56, 46), n * 0.6f));
        }
    for (int row = 1; row < 12; ++row)
        c.fillRect(225, 13 + 16 * row - 1, 452, 1, rgb(72, 53, 45));

    for (int x : {4, 679})
        for (int y : {4, 211})
            nail(c, x + 2, y + 2);
    nail(c, 214, 4);
    nail(c, 214, 212);
    c.avoidKeys();
    c.fillEmpty(kMagenta);
    return c;
}

void bubble(Canvas& c, int ox, int dots) {
    const Rgba white = rgb(250, 248, 240), shade = rgb(206, 200, 190);
    c.fillRoundRect(ox + 2, 3, 28, 20, 7, white);
    c.fillPolygon({{ox + 7.0f, 20}, {ox + 14.0f, 20}, {ox + 5.0f, 29}}, white);
    c.fillRect(ox + 5, 20, 24, 2, shade);
    for (int i = 0; i < dots; ++i)
        c.fillEllipse(ox + 10.0f + 6.0f * i, 13.0f, 2.0f, 2.0f, rgb(90, 70, 64));
}

Canvas chatBubble() {
    Canvas c(160, 40);
    for (int i = 0; i < 4; ++i) {
        Canvas cell(40, 40);
        bubble(cell, 0, i);
        cell.outline(0.85f);
        c.blit(cell, 40 * i, 0);
    }
    c.avoidKeys();
    c.fillEmpty(kMagenta);
    return c;
}

Canvas responseBubble() {
    Canvas c(16, 16);
    shadedEllipse(c, 7.5f, 7.5f, 6.5f, 6.5f, makeRamp(rgb(236, 188, 72)));
    c.fillPolygon({{6, 4.5f}, {11, 8}, {6, 11.5f}}, rgb(110, 58, 34));
    c.outline(0.85f);
    c.avoidKeys();
    c.fillEmpty(kMagenta);
    return c;
}

Canvas arrowUp() {
    Canvas c(17, 17);
    const std::vector<Point> arrow = {{8.5f, 1.5f},  {15.5f, 8.5f}, {11.5f, 8.5f}, {11.5f, 15.5f},
                                      {5.5f, 15.5f}, {5.5f, 8.5f},  {1.5f, 8.5f}};
    c.fillPolygon(arrow, kCream);
    // Shade the right half, light the left edge.
    for (int y = 0; y < 17; ++y)
        for (int x = 9; x < 17; ++x)
            if (c.filled(x, y))
                c.set(x, y, rgb(214, 192, 140));
    c.outline(0.9f);
    c.avoidKeys();
    c.fillEmpty(kMagenta);
    return c;
}

Canvas mousePointer() {
    Canvas c(16, 16);
    c.fillPolygon({{1, 1}, {1, 13}, {4.5f, 10}, {7, 15}, {9, 14}, {6.8f, 9.2f}, {11, 9}},
                  rgb(252, 250, 244));
    c.outline(0.9f);
    c.avoidKeys();
    c.fillEmpty(kMagenta);
    return c;
}

} // namespace

bool writeGuiArt(const std::string& root) {
    const std::string gui = root + "/Data/Graphics/GUI/";
    bool ok = chatBox().save(gui + "ChatBox.png");
    ok = chatBubble().save(gui + "ChatBubble.png") && ok;
    ok = responseBubble().save(gui + "ResponseBubble.png") && ok;
    ok = arrowUp().save(gui + "DirectionalToggleUp.png") && ok;
    ok = mousePointer().save(root + "/Data/Graphics/Misc/MouseImg.bmp") && ok;
    return ok;
}
