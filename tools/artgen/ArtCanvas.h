#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One RGBA colour with eight bits per channel; alpha 0 marks an empty pixel of a canvas.
struct Rgba {
    uint8_t r = 0, g = 0, b = 0, a = 0;
};

constexpr Rgba rgb(int r, int g, int b) {
    return Rgba{static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b), 255};
}

// The colours the game turns into transparency when it loads a picture.
constexpr Rgba kMagenta = rgb(255, 0, 255);
constexpr Rgba kKeyGrey = rgb(64, 64, 64);
constexpr Rgba kKeyGreen = rgb(34, 177, 76);
constexpr Rgba kEmpty = Rgba{0, 0, 0, 0};

bool sameColour(Rgba a, Rgba b);
// Linear mix of two colours, t = 0 gives a, t = 1 gives b; the result is opaque.
Rgba mix(Rgba a, Rgba b, float t);
Rgba lighten(Rgba c, float t);
Rgba darken(Rgba c, float t);

// A point in canvas pixels; pixel x, y covers x..x+1, so its centre is x + 0.5.
struct Point {
    float x = 0, y = 0;
};

// A picture being drawn: a plain pixel grid that the generators paint with their own shapes,
// so every result is the same on every machine. Pixels with alpha 0 are empty; drawing
// writes opaque pixels and never blends, which keeps the colour keys exact.
class Canvas {
  public:
    Canvas(int width, int height, Rgba fill = kEmpty);

    int width() const { return width_; }
    int height() const { return height_; }
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    Rgba get(int x, int y) const;
    bool filled(int x, int y) const { return inside(x, y) && get(x, y).a != 0; }
    void set(int x, int y, Rgba c);
    // Sets the pixel at x, y taken modulo the canvas size (for seamless tile textures).
    void setWrapped(int x, int y, Rgba c);

    void fill(Rgba c);
    void fillRect(int x, int y, int w, int h, Rgba c);
    // Shapes cover the pixels whose centres lie inside them.
    void fillEllipse(float cx, float cy, float rx, float ry, Rgba c);
    void fillPolygon(const std::vector<Point>& points, Rgba c);
    void fillRoundRect(int x, int y, int w, int h, int radius, Rgba c);
    void line(float x0, float y0, float x1, float y1, float thickness, Rgba c);

    // Empty pixels next to a filled one (4-neighbourhood, up to `thickness` steps away) get a
    // dark version of that neighbour's colour: a soft, coloured outline.
    void outline(float strength = 0.72f, int thickness = 1);
    // Copies the filled pixels of `src` with its top-left corner at dx, dy.
    void blit(const Canvas& src, int dx, int dy);
    Canvas crop(int x, int y, int w, int h) const;
    // Filled pixels that hit a colour key exactly are moved one step away from it, so that
    // only the backgrounds turn transparent in the game.
    void avoidKeys();
    void fillEmpty(Rgba c);

    // Writes the canvas through Allegro (the format follows the file extension). The folders on
    // the way are created. Returns false after printing a message when the file cannot be saved.
    bool save(const std::string& path) const;

  private:
    int width_;
    int height_;
    std::vector<Rgba> pixels_;
};
