#include "map/MapLibrary.h"
#include "map/MapState.h"

#include <allegro5/allegro.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace MapLibrary {

namespace {

// Atlas pages stay within this size when no display tells us its limit.
constexpr int DefaultAtlasSize = 8192;

struct Rgb {
    unsigned char r, g, b;
};

unsigned char expand5(unsigned c) {
    return (unsigned char)((c << 3) | (c >> 2));
}
unsigned char expand6(unsigned c) {
    return (unsigned char)((c << 2) | (c >> 4));
}

// Decodes pixel p of the BGFX data by the map's depth and applies the rule that turns the
// depth's transparent colour into magenta. Depths other than the five known ones are read by
// their pixel size as the known depth of that size (four bytes for any larger size); a pixel
// of no bytes reads as black.
Rgb decodePixel(const unsigned char* p, int pixelSize, int depth, bool makeTransparent,
                const std::vector<unsigned char>& palette) {
    const Rgb magenta{255, 0, 255};
    Rgb c{0, 0, 0};
    switch (pixelSize) {
    case 1:
        if (makeTransparent && p[0] == 0)
            return magenta;
        c = {palette[3 * p[0]], palette[3 * p[0] + 1], palette[3 * p[0] + 2]};
        return c;
    case 2: {
        const unsigned v = p[0] << 8 | p[1];
        if (depth == 15)
            c = {expand5((v >> 10) & 31), expand5((v >> 5) & 31), expand5(v & 31)};
        else
            c = {expand5(v >> 11), expand6((v >> 5) & 63), expand5(v & 31)};
        break;
    }
    case 0:
        break;
    case 3:
        c = {p[0], p[1], p[2]};
        break;
    default:
        c = {p[1], p[2], p[3]};
        if (!makeTransparent)
            return c;
        break;
    }
    const bool black = c.r == 0 && c.g == 0 && c.b == 0;
    return black ? magenta : c;
}

bool isMasked(const unsigned char* rgb) {
    const bool magenta = rgb[0] == 255 && rgb[1] == 0 && rgb[2] == 255;
    const bool grey = rgb[0] == 64 && rgb[1] == 64 && rgb[2] == 64;
    return magenta || grey;
}

int backBufferBits() {
    ALLEGRO_DISPLAY* display = al_get_current_display();
    if (!display)
        return 32; // tools and tests: decode as for a 32-bit back buffer
    return al_get_pixel_format_bits(al_get_bitmap_format(al_get_backbuffer(display)));
}

int largestBitmap() {
    ALLEGRO_DISPLAY* display = al_get_current_display();
    if (!display || (al_get_new_bitmap_flags() & ALLEGRO_MEMORY_BITMAP))
        return DefaultAtlasSize;
    const int size = al_get_display_option(display, ALLEGRO_MAX_BITMAP_SIZE);
    return size > 0 ? size : DefaultAtlasSize;
}

int failAndFree(int code, const std::string& detail) {
    freeMap();
    return fail(code, detail);
}

// Copies the decoded colours of graphics [first, first + count) into a page laid out as a grid
// of `columns` graphics per row, masking the transparent colours when asked.
bool fillPage(ALLEGRO_BITMAP* page, int first, int count, int columns, bool makeTransparent) {
    const MapState& s = mapState();
    const int w = s.header.blockWidth;
    const int h = s.header.blockHeight;
    ALLEGRO_LOCKED_REGION* region =
        al_lock_bitmap(page, ALLEGRO_PIXEL_FORMAT_ABGR_8888_LE, ALLEGRO_LOCK_WRITEONLY);
    if (!region)
        return false;
    unsigned char* base = static_cast<unsigned char*>(region->data);
    for (int i = 0; i < count; ++i) {
        const unsigned char* source = s.colours.data() + size_t(first + i) * w * h * 3;
        const int left = (i % columns) * w;
        const int top = (i / columns) * h;
        for (int y = 0; y < h; ++y) {
            unsigned char* out = base + (long long)(top + y) * region->pitch + 4LL * left;
            for (int x = 0; x < w; ++x, source += 3, out += 4) {
                if (makeTransparent && isMasked(source)) {
                    out[0] = out[1] = out[2] = out[3] = 0;
                } else {
                    out[0] = source[0];
                    out[1] = source[1];
                    out[2] = source[2];
                    out[3] = 255;
                }
            }
        }
    }
    al_unlock_bitmap(page);
    return true;
}

} // namespace

int convertGraphics(int makeTransparent, int graphicCount, int blockCount,
                    const unsigned char* /*palette: read with its size from the map state*/) {
    if (!al_is_system_installed())
        return failAndFree(MapNoSystem, "Allegro is not installed");
    MapState& s = mapState();
    const MapHeader& h = s.header;
    const int bits = backBufferBits();
    const int pixelSize = MapFormat::pixelBytes(h.blockDepth);
    const size_t pixels = size_t(graphicCount) * h.blockWidth * h.blockHeight;
    if (pixels > 0 && bits == 8)
        return failAndFree(MapUnsupported, "the display's back buffer has 8 bits per pixel");
    if (pixelSize == 1) {
        const size_t entries = s.palette.size() / 3;
        for (size_t i = 0; i < pixels; ++i)
            if (s.graphics[i] >= entries)
                return failAndFree(MapBadFile, "a pixel names the palette entry " +
                                                   std::to_string(s.graphics[i]) + " of " +
                                                   std::to_string(entries));
    }
    s.colours.resize(pixels * 3);
    unsigned char* out = s.colours.data();
    for (size_t i = 0; i < pixels; ++i, out += 3) {
        const unsigned char* in = s.graphics.data() + i * pixelSize;
        const Rgb c = decodePixel(in, pixelSize, h.blockDepth, makeTransparent != 0, s.palette);
        out[0] = c.r;
        out[1] = c.g;
        out[2] = c.b;
    }
    std::vector<unsigned char>().swap(s.graphics);
    return makeBlockBitmaps(makeTransparent, graphicCount, blockCount);
}

int makeBlockBitmaps(int makeTransparent, int graphicCount, int blockCount) {
    MapState& s = mapState();
    const int w = s.header.blockWidth;
    const int h = s.header.blockHeight;
    s.blockBitmaps.assign(size_t(graphicCount) + 1, nullptr);

    // All graphics live in as few atlas pages as possible (one for any ordinary map), so that
    // drawing a layer never switches textures.
    if (graphicCount > 0) {
        const int limit = largestBitmap();
        const int maxColumns = std::max(1, limit / w);
        const int maxRows = std::max(1, limit / h);
        const int columns =
            std::min(maxColumns, std::max(1, int(std::ceil(std::sqrt(double(graphicCount))))));
        const int rows = std::min(maxRows, (graphicCount + columns - 1) / columns);
        const int perPage = columns * rows;
        for (int first = 0; first < graphicCount; first += perPage) {
            const int count = std::min(perPage, graphicCount - first);
            const int pageRows = (count + columns - 1) / columns;
            const int pageColumns = std::min(columns, count);
            ALLEGRO_BITMAP* page = al_create_bitmap(pageColumns * w, pageRows * h);
            if (!page)
                return failAndFree(MapNoBitmap, "cannot create a bitmap of " +
                                                    std::to_string(pageColumns * w) + " x " +
                                                    std::to_string(pageRows * h));
            s.atlasPages.push_back(page);
            saveDrawState(page);
            const bool filled = fillPage(page, first, count, columns, makeTransparent != 0);
            restoreDrawState();
            if (!filled)
                return failAndFree(MapNoBitmap, "cannot write into a block bitmap");
            for (int i = 0; i < count; ++i) {
                ALLEGRO_BITMAP* graphic =
                    al_create_sub_bitmap(page, (i % columns) * w, (i / columns) * h, w, h);
                if (!graphic)
                    return failAndFree(MapNoBitmap, "cannot create a block bitmap");
                s.blockBitmaps[first + i] = graphic;
            }
        }
    }
    std::vector<unsigned char>().swap(s.colours);

    for (int i = 0; i < blockCount && i < int(s.blocks.size()); ++i) {
        BlockStructure& b = s.blocks[i];
        const MapFormat::BlockRecord& r = b.record;
        b.background = s.blockBitmaps[r.background];
        b.foreground1 = r.foreground1 ? s.blockBitmaps[r.foreground1] : nullptr;
        b.foreground2 = r.foreground2 ? s.blockBitmaps[r.foreground2] : nullptr;
        b.foreground3 = r.foreground3 ? s.blockBitmaps[r.foreground3] : nullptr;
    }
    s.loaded = true;
    return 0;
}

ALLEGRO_BITMAP* saveDrawState(ALLEGRO_BITMAP* bitmap) {
    MapState& s = mapState();
    al_store_state(&s.drawState, ALLEGRO_STATE_DISPLAY | ALLEGRO_STATE_TARGET_BITMAP);
    s.drawStateSaved = true;
    if (!bitmap)
        return al_get_target_bitmap();
    al_set_target_bitmap(bitmap);
    return bitmap;
}

void restoreDrawState() {
    MapState& s = mapState();
    if (s.drawStateSaved)
        al_restore_state(&s.drawState);
    s.drawStateSaved = false;
}

} // namespace MapLibrary
