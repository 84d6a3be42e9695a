#include "map/MapLibrary.h"
#include "map/MapState.h"

#include <allegro5/allegro.h>

#include <algorithm>

namespace MapLibrary {

namespace {

// Whole steps needed to cover `length` pixels, 0 when there is nothing to cover.
long long stepsOver(long long length, long long step) {
    return length > 0 ? (length + step - 1) / step : 0;
}

// The bitmap a cell shows, or null when its animation points outside the sequence.
ALLEGRO_BITMAP* backgroundOf(const MapState& s, int16_t value) {
    if (value >= 0)
        return s.blocks[value].background;
    const BlockAnimation& a = s.animations[s.animations.size() + value];
    if (a.current < 0 || a.current >= int(s.sequence.size()))
        return nullptr;
    return s.blocks[s.sequence[a.current]].background;
}

// Draws `count` cells of map row `mapRow`, the first at map column `column` and pixel x,
// skipping the columns that lie outside the map.
void drawRow(const MapState& s, long long mapRow, long long column, long long x, long long y,
             long long count, bool staggered) {
    const MapHeader& h = s.header;
    if (mapRow < 0 || mapRow >= h.mapHeight)
        return;
    const long long first = std::max(0LL, -column);
    const long long last = std::min(count, h.mapWidth - column);
    const int16_t* cells = s.layers[s.currentLayer].data() + mapRow * h.mapWidth;
    ALLEGRO_BITMAP* graphicZero = s.blockBitmaps[0];
    for (long long j = first; j < last; ++j) {
        ALLEGRO_BITMAP* bitmap = backgroundOf(s, cells[column + j]);
        const float px = float(x + j * h.columnStep);
        if (!bitmap)
            continue;
        if (!staggered)
            al_draw_bitmap_region(bitmap, 0, 0, h.blockWidth, h.blockHeight, px, float(y), 0);
        else if (bitmap != graphicZero)
            al_draw_bitmap(bitmap, px, float(y), 0);
    }
}

} // namespace

void drawBackground(int mapX, int mapY, int screenX, int screenY, int screenWidth,
                    int screenHeight) {
    const MapState& s = mapState();
    if (!s.loaded || s.currentLayer < 0)
        return;
    const MapHeader& h = s.header;

    saveDrawState(nullptr);
    int clipX, clipY, clipWidth, clipHeight;
    al_get_clipping_rectangle(&clipX, &clipY, &clipWidth, &clipHeight);
    al_set_clipping_rectangle(screenX, screenY, screenWidth, screenHeight);
    const bool alreadyHeld = al_is_bitmap_drawing_held();
    if (!alreadyHeld)
        al_hold_bitmap_drawing(true);

    // 64-bit arithmetic: no argument can overflow it, and the loops below cover only the
    // cells that exist, however large the view.
    const long long right = (long long)screenX + screenWidth;
    const long long bottom = (long long)screenY + screenHeight;
    const long long ax = (long long)mapX - h.staggerX;
    const long long ay = (long long)mapY - h.staggerY;
    const long long column = ax / h.columnStep;
    const long long row = ay / h.rowStep;
    const bool staggered = h.staggerX != 0 || h.staggerY != 0;
    const long long x0 = screenX - ax % h.columnStep - (staggered ? h.columnStep : 0);
    const long long y0 = screenY - ay % h.rowStep - (staggered ? h.rowStep : 0);

    // A staggered screen row shows two map rows: its own and, offset, the next one.
    const long long rowsPerScreenRow = staggered ? 2 : 1;
    const long long screenRows = stepsOver(bottom - y0, h.rowStep);
    const long long mapScreenRows = (h.mapHeight + rowsPerScreenRow - 1) / rowsPerScreenRow;
    const long long firstRow = std::max(0LL, -row);
    const long long lastRow = std::min(screenRows, mapScreenRows - row);
    const long long columns = stepsOver(right - x0, h.columnStep);
    const long long staggeredColumns = stepsOver(right - x0 - h.staggerX, h.columnStep);
    for (long long k = firstRow; k < lastRow; ++k) {
        const long long mapRow = (row + k) * rowsPerScreenRow;
        const long long y = y0 + k * h.rowStep;
        drawRow(s, mapRow, column, x0, y, columns, staggered);
        if (staggered)
            drawRow(s, mapRow + 1, column, x0 + h.staggerX, y + h.staggerY, staggeredColumns, true);
    }

    if (!alreadyHeld)
        al_hold_bitmap_drawing(false);
    al_set_clipping_rectangle(clipX, clipY, clipWidth, clipHeight);
    restoreDrawState();
}

} // namespace MapLibrary
