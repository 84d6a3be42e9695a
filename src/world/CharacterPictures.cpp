#include "world/CharacterPictures.h"

#include "core/HostPath.h"
#include "gfx/BitmapLibrary.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {

const char* const picturesFolder = "Data\\Graphics\\Characters\\";

// True when something is at the path, even something that cannot be read: a file that is
// there but unusable deserves a message, a file that is not there does not.
bool present(const std::string& path) {
    std::error_code error;
    const auto status = std::filesystem::status(hostPath(path), error);
    return std::filesystem::exists(status);
}

} // namespace

CharacterPictures::~CharacterPictures() {
    clear();
}

void CharacterPictures::clear() {
    for (auto& entry : pictures_) {
        if (entry.second != nullptr)
            al_destroy_bitmap(entry.second);
    }
    pictures_.clear();
}

bool CharacterPictures::isFileName(std::string_view spriteName) {
    return !spriteName.empty() && spriteName.size() <= maxNameBytes &&
           spriteName.find_first_of(std::string_view("\0/\\", 3)) == std::string_view::npos &&
           spriteName.find("..") == std::string_view::npos;
}

std::string CharacterPictures::pathFor(std::string_view spriteName) {
    return picturesFolder + std::string(spriteName) + ".png";
}

ALLEGRO_BITMAP* CharacterPictures::find(std::string_view spriteName) {
    if (!isFileName(spriteName))
        return nullptr;
    const auto known = pictures_.find(spriteName);
    if (known != pictures_.end())
        return known->second;
    const std::string path = pathFor(spriteName);
    if (!present(path))
        return nullptr;
    ALLEGRO_BITMAP* picture = BitmapLibrary::loadMagentaMasked(path.c_str());
    if (picture == nullptr)
        std::fprintf(stderr, "Could not load %s, using the default character sprite.\n",
                     path.c_str());
    pictures_.emplace(spriteName, picture);
    return picture;
}

bool CharacterPictures::hasPicture(std::string_view spriteName) {
    if (!isFileName(spriteName))
        return false;
    const std::string path = pathFor(spriteName);
    if (!present(path))
        return false;
    // Decoded into memory only, as a check: nothing is drawn with it.
    const int flags = al_get_new_bitmap_flags();
    al_set_new_bitmap_flags((flags & ~ALLEGRO_VIDEO_BITMAP) | ALLEGRO_MEMORY_BITMAP);
    ALLEGRO_BITMAP* picture = BitmapLibrary::loadFile(path.c_str());
    al_set_new_bitmap_flags(flags);
    if (picture == nullptr)
        return false;
    al_destroy_bitmap(picture);
    return true;
}
