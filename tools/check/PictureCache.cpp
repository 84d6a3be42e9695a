#include "PictureCache.h"

#include <cstring>

namespace {

PictureCache* activeCache = nullptr;
const char* const cachedExtensions[] = {".png", ".bmp"};

// Allegro's own decoder for the file, reached through its stream loader so that this cache's
// file loader is not called again.
ALLEGRO_BITMAP* decode(const char* filename, int flags) {
    ALLEGRO_FILE* file = al_fopen(filename, "rb");
    if (!file)
        return nullptr;
    const char* kind = al_identify_bitmap_f(file);
    if (!kind)
        kind = std::strrchr(filename, '.');
    ALLEGRO_BITMAP* bitmap = kind ? al_load_bitmap_flags_f(file, kind, flags) : nullptr;
    al_fclose(file);
    return bitmap;
}

// Without a cache (after the run) files are decoded every time, as Allegro does.
ALLEGRO_BITMAP* decodeEveryTime(const char* filename, int flags) {
    return decode(filename, flags);
}

} // namespace

PictureCache::PictureCache() {
    activeCache = this;
    for (const char* extension : cachedExtensions)
        al_register_bitmap_loader(extension, load);
}

PictureCache::~PictureCache() {
    for (const char* extension : cachedExtensions)
        al_register_bitmap_loader(extension, decodeEveryTime);
    activeCache = nullptr;
    for (auto& entry : pictures_)
        al_destroy_bitmap(entry.second);
}

ALLEGRO_BITMAP* PictureCache::load(const char* filename, int flags) {
    if (!activeCache)
        return decode(filename, flags);
    const std::string key = std::to_string(flags) + ":" + filename;
    auto found = activeCache->pictures_.find(key);
    if (found == activeCache->pictures_.end())
        found = activeCache->pictures_.emplace(key, decode(filename, flags)).first;
    return found->second ? al_clone_bitmap(found->second) : nullptr;
}
