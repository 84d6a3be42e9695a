#include "FontArt.h"

#include "ArtCanvas.h"

#include <allegro5/allegro.h>
#include <allegro5/allegro_font.h>
#include <allegro5/allegro_ttf.h>

#include <cstdio>

namespace {

const char* const kFontFiles[] = {"/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf",
                                  "/usr/share/fonts/truetype/freefont/FreeMono.ttf"};
constexpr int kFontSize = 12;
constexpr int kFirst = 32, kLast = 126; // the printable ASCII glyphs al_load_bitmap_font maps
constexpr int kPerRow = 16;
// The colour between glyph boxes; the loader takes it from the top-left pixel.
constexpr Rgba kSeparator = rgb(255, 255, 0);

} // namespace

bool writeFontArt(const std::string& root) {
    ALLEGRO_FONT* font = nullptr;
    for (const char* file : kFontFiles)
        if (!font)
            font = al_load_ttf_font(file, kFontSize, 0);
    if (!font) {
        fprintf(stderr, "No TrueType font found: install fonts-dejavu-core (scripts/setup.sh)\n");
        return false;
    }
    const int cellW = al_get_text_width(font, "M");
    const int cellH = al_get_font_line_height(font);
    const int count = kLast - kFirst + 1;
    const int rows = (count + kPerRow - 1) / kPerRow;
    Canvas sheet(1 + kPerRow * (cellW + 1), 1 + rows * (cellH + 1), kSeparator);

    al_set_new_bitmap_flags(ALLEGRO_MEMORY_BITMAP);
    al_set_new_bitmap_format(ALLEGRO_PIXEL_FORMAT_ABGR_8888_LE);
    ALLEGRO_BITMAP* glyph = al_create_bitmap(cellW, cellH);
    ALLEGRO_STATE state;
    al_store_state(&state, ALLEGRO_STATE_TARGET_BITMAP | ALLEGRO_STATE_BLENDER);
    al_set_target_bitmap(glyph);
    for (int i = 0; i < count; ++i) {
        const int ox = 1 + (i % kPerRow) * (cellW + 1), oy = 1 + (i / kPerRow) * (cellH + 1);
        al_clear_to_color(al_map_rgba(0, 0, 0, 0));
        const char text[2] = {static_cast<char>(kFirst + i), 0};
        al_draw_text(font, al_map_rgb(255, 255, 255), 0, 0, 0, text);
        // Glyphs are stored as white with coverage in alpha (not premultiplied; loading
        // premultiplies), and the rest of each box fully transparent.
        for (int y = 0; y < cellH; ++y)
            for (int x = 0; x < cellW; ++x) {
                unsigned char r, g, b, a;
                al_unmap_rgba(al_get_pixel(glyph, x, y), &r, &g, &b, &a);
                sheet.set(ox + x, oy + y, Rgba{255, 255, 255, a});
            }
    }
    al_restore_state(&state);
    al_destroy_bitmap(glyph);
    al_destroy_font(font);
    return sheet.save(root + "/Data/Graphics/Fonts/a4_font.tga");
}
