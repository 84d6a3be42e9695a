#include "TiledImageLoader.h"

#include "core/HostPath.h"

#include <allegro5/allegro.h>
#include <allegro5/allegro_image.h>

#include <cstdint>
#include <fstream>
#include <memory>
#include <sys/stat.h>

namespace {

struct BitmapDeleter {
    void operator()(ALLEGRO_BITMAP* bitmap) const { al_destroy_bitmap(bitmap); }
};

// The size a PNG file declares in its header, so that a huge one is refused before Allegro
// tries to hold it. False when the file is not a PNG.
bool pngSize(const std::string& file, std::uint64_t& width, std::uint64_t& height) {
    std::ifstream in(file, std::ios::binary);
    unsigned char header[24] = {};
    if (!in.read(reinterpret_cast<char*>(header), sizeof header))
        return false;
    static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    for (int i = 0; i < 8; ++i)
        if (header[i] != signature[i])
            return false;
    const auto big = [&](int at) {
        return std::uint64_t{header[at]} << 24 | std::uint64_t{header[at + 1]} << 16 |
               std::uint64_t{header[at + 2]} << 8 | std::uint64_t{header[at + 3]};
    };
    width = big(16);
    height = big(20);
    return true;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

bool TiledImageLoader::fail(const std::string& reason) {
    error_ = reason;
    return false;
}

bool TiledImageLoader::load(const std::string& path, const std::string& trans,
                            Tiled::Image& image) {
    std::string key = trans.size() > 0 && trans[0] == '#' ? trans.substr(1) : trans;
    int keyRgb[3] = {-1, -1, -1};
    if (!key.empty()) {
        for (std::size_t i = 0; i < key.size(); ++i)
            if (key.size() != 6 || hexDigit(key[i]) < 0)
                return fail("the transparent colour \"" + trans + "\" is not RRGGBB hex");
        for (int c = 0; c < 3; ++c)
            keyRgb[c] = hexDigit(key[2 * c]) * 16 + hexDigit(key[2 * c + 1]);
    }

    // Tiled writes slashes; a backslash path came from elsewhere and needs the host's form.
    const std::string file = path.find('\\') == std::string::npos ? path : hostPath(path);
    struct stat info {};
    if (stat(file.c_str(), &info) != 0)
        return fail("the image \"" + path + "\" does not exist");
    if (!S_ISREG(info.st_mode))
        return fail("the image \"" + path + "\" is not a file");
    if (info.st_size == 0)
        return fail("the image \"" + path + "\" is empty");
    std::uint64_t declaredWidth = 0, declaredHeight = 0;
    if (pngSize(file, declaredWidth, declaredHeight) && declaredWidth * declaredHeight > maxPixels)
        return fail("the image \"" + path + "\" is " + std::to_string(declaredWidth) + " x " +
                    std::to_string(declaredHeight) + " pixels, more than the " +
                    std::to_string(maxPixels) + " allowed");

    if (!al_is_system_installed() && !al_init())
        return fail("cannot start Allegro to read \"" + path + "\"");
    if (!al_is_image_addon_initialized() && !al_init_image_addon())
        return fail("cannot start Allegro's image reader for \"" + path + "\"");
    const int flags = al_get_new_bitmap_flags();
    al_set_new_bitmap_flags(ALLEGRO_MEMORY_BITMAP);
    std::unique_ptr<ALLEGRO_BITMAP, BitmapDeleter> bitmap(
        al_load_bitmap_flags(file.c_str(), ALLEGRO_NO_PREMULTIPLIED_ALPHA));
    al_set_new_bitmap_flags(flags);
    if (!bitmap)
        return fail("the image \"" + path + "\" cannot be decoded");

    const int width = al_get_bitmap_width(bitmap.get());
    const int height = al_get_bitmap_height(bitmap.get());
    if (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > maxPixels)
        return fail("the image \"" + path + "\" is " + std::to_string(width) + " x " +
                    std::to_string(height) + " pixels, more than the " + std::to_string(maxPixels) +
                    " allowed");
    ALLEGRO_LOCKED_REGION* region =
        al_lock_bitmap(bitmap.get(), ALLEGRO_PIXEL_FORMAT_ABGR_8888_LE, ALLEGRO_LOCK_READONLY);
    if (region == nullptr)
        return fail("the image \"" + path + "\" cannot be read back");
    image.path = path;
    image.width = width;
    image.height = height;
    image.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), {});
    for (int y = 0; y < height; ++y) {
        const auto* row = static_cast<const unsigned char*>(region->data) +
                          static_cast<std::ptrdiff_t>(y) * region->pitch;
        for (int x = 0; x < width; ++x) {
            const unsigned char* p = row + 4 * x;
            Tiled::Rgba pixel{p[0], p[1], p[2], p[3]};
            if (p[0] == keyRgb[0] && p[1] == keyRgb[1] && p[2] == keyRgb[2])
                pixel = Tiled::Rgba{0, 0, 0, 0};
            image.pixels[static_cast<std::size_t>(y) * width + x] = pixel;
        }
    }
    al_unlock_bitmap(bitmap.get());
    return true;
}
