#pragma once

#include "core/GameContext.h"

#include <allegro5/allegro.h>
#include <allegro5/allegro_font.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

// Helpers shared by the unit tests of several folders.
namespace testsupport {

// A fresh temporary directory that is the working directory while the object lives.
class ScratchDir {
  public:
    ScratchDir() : previous_(std::filesystem::current_path()) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "fennow-test.XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            ADD_FAILURE() << "mkdtemp failed";
            return;
        }
        path_ = pattern;
        std::filesystem::current_path(path_);
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
        if (!path_.empty()) {
            std::filesystem::remove_all(path_, ignored);
        }
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

inline void writeFile(const std::string& path, const std::string& content) {
    const std::filesystem::path file(path);
    if (file.has_parent_path()) {
        std::filesystem::create_directories(file.parent_path());
    }
    std::ofstream out(file, std::ios::binary);
    out << content;
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Writes an image file (format from the extension) whose pixels paint() chooses.
inline void writeImage(const std::string& path, int width, int height,
                       const std::function<ALLEGRO_COLOR(int, int)>& paint) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    ALLEGRO_BITMAP* bitmap = al_create_bitmap(width, height);
    ASSERT_NE(bitmap, nullptr);
    ALLEGRO_BITMAP* previous = al_get_target_bitmap();
    al_set_target_bitmap(bitmap);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            al_put_pixel(x, y, paint(x, y));
    al_set_target_bitmap(previous);
    ASSERT_TRUE(al_save_bitmap(path.c_str(), bitmap)) << path;
    al_destroy_bitmap(bitmap);
}

struct Rgba {
    int r, g, b, a;
    bool operator==(const Rgba& other) const {
        return r == other.r && g == other.g && b == other.b && a == other.a;
    }
};

inline std::ostream& operator<<(std::ostream& out, const Rgba& c) {
    return out << "(" << c.r << "," << c.g << "," << c.b << "," << c.a << ")";
}

inline Rgba pixel(ALLEGRO_BITMAP* bitmap, int x, int y) {
    unsigned char r, g, b, a;
    al_unmap_rgba(al_get_pixel(bitmap, x, y), &r, &g, &b, &a);
    return {r, g, b, a};
}

inline Rgba opaque(int r, int g, int b) {
    return {r, g, b, 255};
}

// The white pixels of a rectangle, one character per pixel.
inline std::string whiteMask(ALLEGRO_BITMAP* bitmap, int left, int top, int width, int height) {
    std::string mask;
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x)
            mask += pixel(bitmap, x, y) == opaque(255, 255, 255) ? '#' : '.';
    return mask;
}

// What the text looks like in Allegro's built-in 8 x 8 font, drawn at the rectangle's corner.
inline std::string textMask(const char* text, int width) {
    ALLEGRO_FONT* font = al_create_builtin_font();
    ALLEGRO_BITMAP* bitmap = al_create_bitmap(width, 8);
    ALLEGRO_BITMAP* previous = al_get_target_bitmap();
    al_set_target_bitmap(bitmap);
    al_clear_to_color(al_map_rgb(0, 0, 0));
    al_draw_text(font, al_map_rgb(255, 255, 255), 0, 0, 0, text);
    al_set_target_bitmap(previous);
    const std::string mask = whiteMask(bitmap, 0, 0, width, 8);
    al_destroy_bitmap(bitmap);
    al_destroy_font(font);
    return mask;
}

// Puts the game context back to empty when a test ends; the test owns what it created.
class ContextGuard {
  public:
    ContextGuard() { game = GameContext{}; }
    ~ContextGuard() { game = GameContext{}; }
};

} // namespace testsupport
