#include <allegro5/allegro.h>
#include <allegro5/allegro_font.h>
#include <allegro5/allegro_image.h>
#include <allegro5/allegro_ttf.h>
#include <gtest/gtest.h>

// Allegro starts without a display: bitmaps are memory bitmaps, so drawing can be read back.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (!al_init()) {
        fprintf(stderr, "Allegro failed to initialize\n");
        return 1;
    }
    al_init_font_addon();
    al_init_image_addon();
    al_init_ttf_addon();
    al_set_new_bitmap_flags(ALLEGRO_MEMORY_BITMAP);
    return RUN_ALL_TESTS();
}
