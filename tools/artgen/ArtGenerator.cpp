// fennow-artgen ROOT: draws every picture the game ships and writes it under ROOT (the
// repository root). No window is opened and nothing random is left to chance: running it
// twice writes the same bytes.
#include "CharacterArt.h"
#include "FontArt.h"
#include "GuiArt.h"
#include "IconArt.h"
#include "PortraitArt.h"
#include "TileArt.h"

#include <allegro5/allegro.h>
#include <allegro5/allegro_font.h>
#include <allegro5/allegro_image.h>
#include <allegro5/allegro_ttf.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: fennow-artgen ROOT\n");
        return 2;
    }
    if (!al_init() || !al_init_image_addon() || !al_init_font_addon() || !al_init_ttf_addon()) {
        fprintf(stderr, "Allegro failed to initialize\n");
        return 1;
    }
    al_set_new_bitmap_flags(ALLEGRO_MEMORY_BITMAP);
    const std::string root = argv[1];
    bool ok = true;
    ok = writeCharacterArt(root) && ok;
    ok = writeMudTiles(root) && ok;
    ok = writeFarmTiles(root) && ok;
    ok = writeGuiArt(root) && ok;
    ok = writeFontArt(root) && ok;
    ok = writePortraitArt(root) && ok;
    ok = writeIconArt(root) && ok;
    if (!ok) {
        fprintf(stderr, "Some pictures could not be written\n");
        return 1;
    }
    fprintf(stderr, "Art written under %s\n", root.c_str());
    return 0;
}
