#include "gui/PortraitStore.h"

#include "gfx/BitmapLibrary.h"

#include <cstdio>
#include <string>

// One loaded portrait: the name the script chose and the picture, owned.
struct Portrait {
    std::string name;
    ALLEGRO_BITMAP* bitmap;
};

PortraitStore::PortraitStore() = default;

PortraitStore::~PortraitStore() {
    clear();
}

void PortraitStore::clear() {
    for (int i = 0; i < count_; ++i) {
        al_destroy_bitmap(items_[i]->bitmap);
        delete items_[i];
    }
    delete[] items_;
    items_ = nullptr;
    count_ = 0;
}

bool PortraitStore::load(std::string_view name, const char* path) {
    if (!path)
        path = "";
    ALLEGRO_BITMAP* bitmap = BitmapLibrary::loadFile(path);
    if (!bitmap) {
        std::fprintf(stderr, "Could not load portrait %s.\n", path);
        return false;
    }
    // Only magenta is a colour key here: portraits may use dark grey as a real colour.
    al_convert_mask_to_alpha(bitmap, al_map_rgb(255, 0, 255));
    add(name, bitmap);
    return true;
}

void PortraitStore::addPlaceholder(std::string_view name, int width, int height) {
    if (ALLEGRO_BITMAP* bitmap = BitmapLibrary::placeholder(width, height))
        add(name, bitmap);
}

void PortraitStore::add(std::string_view name, ALLEGRO_BITMAP* bitmap) {
    Portrait** grown = new Portrait*[count_ + 1];
    for (int i = 0; i < count_; ++i)
        grown[i] = items_[i];
    grown[count_] = new Portrait{std::string(name), bitmap};
    delete[] items_;
    items_ = grown;
    ++count_;
}

ALLEGRO_BITMAP* PortraitStore::find(std::string_view name) const {
    for (int i = 0; i < count_; ++i) {
        if (items_[i]->name == name)
            return items_[i]->bitmap;
    }
    return nullptr;
}
