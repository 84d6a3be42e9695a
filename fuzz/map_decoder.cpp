// Feeds arbitrary bytes to the map decoder, with Allegro started but no display, as the map
// tool and the tests run it. Every input must be decoded or refused without a crash, a hang or
// an access outside the library's buffers.
#include "map/MapLibrary.h"

#include <allegro5/allegro.h>

#include <cstddef>
#include <cstdint>

namespace {

bool startAllegro() {
    if (!al_init())
        return false;
    al_set_new_bitmap_flags(ALLEGRO_MEMORY_BITMAP);
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool started = startAllegro();
    if (!started)
        return 0;
    // Both transparency settings take different roads through the graphics decoder.
    const int makeTransparent = size > 0 ? data[size - 1] & 1 : 1;
    if (MapLibrary::decodeMap(data, size, makeTransparent) == 0) {
        // Exercise what a loaded map offers: drawing into a small memory bitmap, animating.
        static ALLEGRO_BITMAP* target = al_create_bitmap(64, 48);
        al_set_target_bitmap(target);
        MapLibrary::updateAnimations();
        MapLibrary::drawBackground(size % 97, size % 53, 0, 0, 64, 48);
        for (int layer = 1; layer < MapLibrary::LayerSlots; ++layer)
            if (MapLibrary::selectLayer(layer) == layer)
                MapLibrary::drawBackground(-7, 5, 3, 2, 40, 40);
    }
    MapLibrary::freeMap();
    return 0;
}
