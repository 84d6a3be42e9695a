#include "gfx/PictureProblem.h"

#include "core/HostPath.h"
#include "gfx/BitmapLibrary.h"

#include <allegro5/allegro.h>
#include <png.h>

#include <filesystem>
#include <system_error>
#include <vector>

namespace {

bool endsWith(const std::string& text, const std::string& tail) {
    if (text.size() < tail.size())
        return false;
    for (std::size_t i = 0; i < tail.size(); ++i) {
        const char c = text[text.size() - tail.size() + i];
        if ((c | 0x20) != tail[i])
            return false;
    }
    return true;
}

// libpng's simplified reader: header, then every pixel, so a cut or damaged file is named too.
std::string pngProblem(const std::string& hostFile) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, hostFile.c_str()))
        return image.message;
    image.format = PNG_FORMAT_RGBA;
    // A picture bigger than any the game draws is refused before its pixels are allocated.
    constexpr png_uint_32 largest = 16384;
    if (image.width > largest || image.height > largest) {
        png_image_free(&image);
        return "it is " + std::to_string(image.width) + "x" + std::to_string(image.height) +
               " pixels, larger than the game reads";
    }
    std::vector<png_byte> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr))
        return image.message;
    return "";
}

} // namespace

std::string pictureProblem(const std::string& gamePath) {
    const std::string hostFile = hostPath(gamePath);
    std::error_code error;
    if (!std::filesystem::exists(hostFile, error))
        return "there is no such file";
    if (std::filesystem::is_directory(hostFile, error))
        return "it is a folder";
    if (endsWith(gamePath, ".png")) {
        const std::string problem = pngProblem(hostFile);
        if (!problem.empty())
            return problem;
    }
    const int flags = al_get_new_bitmap_flags();
    al_set_new_bitmap_flags((flags & ~ALLEGRO_VIDEO_BITMAP) | ALLEGRO_MEMORY_BITMAP);
    ALLEGRO_BITMAP* picture = BitmapLibrary::loadFile(gamePath.c_str());
    al_set_new_bitmap_flags(flags);
    if (!picture)
        return "Allegro's image reader cannot decode it";
    al_destroy_bitmap(picture);
    return "";
}
