#include "gfx/BitmapLibrary.h"
BitmapLibrary::BitmapLibrary() {}
BitmapLibrary::~BitmapLibrary() {}
ALLEGRO_BITMAP* BitmapLibrary::bitmap(int slot) const { return slot >= 0 && slot < 120 ? bitmaps_[slot] : nullptr; }
ALLEGRO_FONT* BitmapLibrary::font(int slot) const { return slot >= 120 && slot < slotCount ? fonts_[slot - 120] : nullptr; }
ALLEGRO_BITMAP* BitmapLibrary::loadMasked(const char*, int, int, int) { return nullptr; }
ALLEGRO_BITMAP* BitmapLibrary::loadMagentaMasked(const char*) { return nullptr; }
