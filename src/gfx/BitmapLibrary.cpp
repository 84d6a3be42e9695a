#include "gfx/BitmapLibrary.h"

#include "core/HostPath.h"

#include <allegro5/allegro_image.h>
#include <allegro5/allegro_ttf.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>

namespace {

constexpr int frameSize = 96;
constexpr int tileSize = 32;
constexpr int bubbleCell = 40;
constexpr int bubbleFrame = 32;
constexpr int fontSize = 16;

const char* const mudTilesPath = "Data\\Graphics\\Tiles\\MudTiles.bmp";
const char* const playerSheetPath = "Data\\Graphics\\Vornels\\MareSprite.png";
const char* const chatBubblePath = "Data\\Graphics\\GUI\\ChatBubble.png";
const char* const bitmapFontPath = "Data\\Graphics\\Fonts\\a4_font.tga";
const char* const marwickPath = "Data\\Graphics\\Fonts\\MarwickMedium.ttf";
const char* const courierPath = "Data\\Graphics\\Fonts\\Courier.ttf";

// The bitmaps loaded whole, in loading order, with the size of the stand-in for a missing file.
struct DirectBitmap {
    int slot;
    const char* path;
    int width;
    int height;
};

const DirectBitmap directBitmaps[] = {
    {BitmapLibrary::speedArrow, "Data\\Graphics\\GUI\\DirectionalToggleUp.png", 17, 17},
    {BitmapLibrary::mouseImage, "Data\\Graphics\\Misc\\MouseImg.bmp", 16, 16},
    {BitmapLibrary::chatBox, "Data\\Graphics\\GUI\\ChatBox.png", 688, 220},
    {BitmapLibrary::responseBubble, "Data\\Graphics\\GUI\\ResponseBubble.png", 16, 16},
    {BitmapLibrary::npcDefaultSprite, "Data\\Graphics\\Vornels\\BrambleTemp.png", 96, 96},
    {BitmapLibrary::npcQuillaSprite, "Data\\Graphics\\Vornels\\QuillaTemp.png", 96, 96},
};

void print(const char* text) {
    std::fputs(text, stderr);
}

// A stand-in for a missing picture: a yellow and dark blue checkerboard nobody can mistake
// for art, in colours no colour key touches. Written through one lock, which is far cheaper
// than many small clears on a display bitmap.
ALLEGRO_BITMAP* makePlaceholder(int width, int height) {
    ALLEGRO_BITMAP* bitmap = al_create_bitmap(width, height);
    if (bitmap == nullptr) {
        return nullptr;
    }
    ALLEGRO_LOCKED_REGION* region =
        al_lock_bitmap(bitmap, ALLEGRO_PIXEL_FORMAT_ABGR_8888_LE, ALLEGRO_LOCK_WRITEONLY);
    if (region == nullptr) {
        return bitmap;
    }
    constexpr int square = 16;
    const unsigned char yellow[4] = {255, 230, 0, 255};
    const unsigned char blue[4] = {0, 0, 160, 255};
    for (int y = 0; y < height; ++y) {
        auto* row = static_cast<unsigned char*>(region->data) + y * region->pitch;
        for (int x = 0; x < width; ++x) {
            const bool dark = (x / square + y / square) % 2 == 0;
            std::memcpy(row + 4 * x, dark ? blue : yellow, 4);
        }
    }
    al_unlock_bitmap(bitmap);
    return bitmap;
}

// A new frame, fully transparent, so the sheet's transparent parts stay transparent in it.
ALLEGRO_BITMAP* newFrame(int width, int height) {
    ALLEGRO_BITMAP* frame = al_create_bitmap(width, height);
    if (frame != nullptr) {
        al_set_target_bitmap(frame);
        al_clear_to_color(al_map_rgba(0, 0, 0, 0));
    }
    return frame;
}

ALLEGRO_BITMAP* cutFrame(ALLEGRO_BITMAP* sheet, int x, int y, int width, int height, int frameWidth,
                         int frameHeight) {
    ALLEGRO_BITMAP* frame = newFrame(frameWidth, frameHeight);
    if (frame != nullptr && sheet != nullptr) {
        al_draw_bitmap_region(sheet, x, y, width, height, 0, 0, 0);
    }
    return frame;
}

ALLEGRO_BITMAP* mirrorFrame(ALLEGRO_BITMAP* source) {
    ALLEGRO_BITMAP* frame = newFrame(frameSize, frameSize);
    if (frame != nullptr && source != nullptr) {
        al_draw_bitmap(source, 0, 0, ALLEGRO_FLIP_HORIZONTAL);
    }
    return frame;
}

struct Rgb {
    int r;
    int g;
    int b;
};

// Byte offsets of red, green, blue and alpha in one 32-bit pixel of a locked region.
struct ByteOrder {
    int r;
    int g;
    int b;
    int a;
};

// Turns every pixel of exactly one of the colours into transparent, as one
// al_convert_mask_to_alpha per colour does, but through one lock for all of them. The lock
// keeps the bitmap's own format where it is one of the two 32-bit layouts Allegro loads into,
// so locking and unlocking copy no pixels; any other format is locked as ABGR_8888_LE.
void maskColours(ALLEGRO_BITMAP* bitmap, std::initializer_list<Rgb> colours) {
    if (bitmap == nullptr) {
        return;
    }
    const int own = al_get_bitmap_format(bitmap);
    const bool argb = own == ALLEGRO_PIXEL_FORMAT_ARGB_8888;
    const int lockFormat = argb ? own : ALLEGRO_PIXEL_FORMAT_ABGR_8888_LE;
    const ByteOrder order = argb ? ByteOrder{2, 1, 0, 3} : ByteOrder{0, 1, 2, 3};
    ALLEGRO_LOCKED_REGION* region = al_lock_bitmap(bitmap, lockFormat, ALLEGRO_LOCK_READWRITE);
    if (region == nullptr) {
        for (const Rgb& c : colours) {
            al_convert_mask_to_alpha(bitmap, al_map_rgb(c.r & 0xff, c.g & 0xff, c.b & 0xff));
        }
        return;
    }
    const int width = al_get_bitmap_width(bitmap);
    const int height = al_get_bitmap_height(bitmap);
    for (int y = 0; y < height; ++y) {
        auto* pixel = static_cast<unsigned char*>(region->data) + y * region->pitch;
        for (int x = 0; x < width; ++x, pixel += 4) {
            // Only opaque pixels can match: the colour of a see-through pixel is no key.
            if (pixel[order.a] != 255) {
                continue;
            }
            for (const Rgb& c : colours) {
                if (pixel[order.r] == (c.r & 0xff) && pixel[order.g] == (c.g & 0xff) &&
                    pixel[order.b] == (c.b & 0xff)) {
                    std::memset(pixel, 0, 4);
                    break;
                }
            }
        }
    }
    al_unlock_bitmap(bitmap);
}

} // namespace

BitmapLibrary::BitmapLibrary() {
    print("Creating bitmap library\n");
    // Sheets are loaded, keyed and cut in memory, where reading pixels back is free; the
    // finished frames then go to the display in one upload each. Cutting on display bitmaps
    // instead costs a read-back per colour key and a render target per frame.
    const int flags = al_get_new_bitmap_flags();
    al_set_new_bitmap_flags((flags & ~ALLEGRO_VIDEO_BITMAP) | ALLEGRO_MEMORY_BITMAP);
    // Every frame starts fully transparent, so copying the source gives the very pixels that
    // blending it on would, on the blitter's fast path.
    ALLEGRO_STATE drawing;
    al_store_state(&drawing, ALLEGRO_STATE_BLENDER | ALLEGRO_STATE_TARGET_BITMAP);
    al_set_blender(ALLEGRO_ADD, ALLEGRO_ONE, ALLEGRO_ZERO);
    ripMudTiles(mudTilesPath);
    ripStances(playerSheetPath);
    ripChatBubble(chatBubblePath);
    print("Ripping Bitmaps Directly - ");
    loadDirectBitmaps();
    al_restore_state(&drawing);
    al_set_new_bitmap_flags(flags);
    if ((flags & ALLEGRO_MEMORY_BITMAP) == 0 && al_get_current_display() != nullptr) {
        for (ALLEGRO_BITMAP* bitmap : bitmaps_) {
            if (bitmap != nullptr) {
                al_convert_bitmap(bitmap);
            }
        }
    }
    loadFonts();
    print("done\n");
    flushNotices();
}

BitmapLibrary::~BitmapLibrary() {
    for (ALLEGRO_BITMAP*& bitmap : bitmaps_) {
        if (bitmap != nullptr) {
            al_destroy_bitmap(bitmap);
            bitmap = nullptr;
        }
    }
    for (ALLEGRO_FONT*& font : fonts_) {
        if (font != nullptr) {
            al_destroy_font(font);
            font = nullptr;
        }
    }
}

ALLEGRO_BITMAP* BitmapLibrary::bitmap(int slot) const {
    return slot >= 0 && slot < bitmapSlotCount ? bitmaps_[slot] : nullptr;
}

ALLEGRO_FONT* BitmapLibrary::font(int slot) const {
    return slot >= bitmapFont && slot < slotCount ? fonts_[slot - bitmapFont] : nullptr;
}

ALLEGRO_BITMAP* BitmapLibrary::loadMasked(const char* path, int r, int g, int b) {
    if (path == nullptr) {
        return nullptr;
    }
    ALLEGRO_BITMAP* bitmap = al_load_bitmap(hostPath(path).c_str());
    maskColours(bitmap, {{64, 64, 64}, {r, g, b}});
    return bitmap;
}

ALLEGRO_BITMAP* BitmapLibrary::loadMagentaMasked(const char* path) {
    return loadMasked(path, 255, 0, 255);
}

ALLEGRO_BITMAP* BitmapLibrary::loadOrPlaceholder(const char* path, int width, int height) {
    ALLEGRO_BITMAP* bitmap = al_load_bitmap(hostPath(path).c_str());
    if (bitmap == nullptr) {
        notices_ += std::string("Could not load ") + path + ", using a placeholder.\n";
        bitmap = makePlaceholder(width, height);
    }
    return bitmap;
}

ALLEGRO_FONT* BitmapLibrary::loadFontOrBuiltin(const char* path, bool trueType) {
    const std::string file = hostPath(path);
    ALLEGRO_FONT* font =
        trueType ? al_load_ttf_font(file.c_str(), fontSize, 0) : al_load_bitmap_font(file.c_str());
    if (font == nullptr) {
        notices_ += std::string("Could not load ") + path + ", using the built-in font.\n";
        font = al_create_builtin_font();
    }
    return font;
}

void BitmapLibrary::flushNotices() {
    // Load problems are told after the progress line they interrupt, so that line stays whole.
    print(notices_.c_str());
    notices_.clear();
}

void BitmapLibrary::ripMudTiles(const char* path) {
    print("Ripping Mud Tiles - ");
    print("L");
    ALLEGRO_BITMAP* sheet = loadOrPlaceholder(path, 3 * tileSize, 2 * tileSize);
    print(" ");
    for (int k = 0; k < 6; ++k) {
        std::fprintf(stderr, "%i", k);
        bitmaps_[mudTileFirst + k] = cutFrame(sheet, tileSize * (k % 3), tileSize * (k / 3),
                                              tileSize, tileSize, tileSize, tileSize);
    }
    print(" ");
    print("D ");
    if (sheet != nullptr) {
        al_destroy_bitmap(sheet);
    }
    print("done\n");
    flushNotices();
}

void BitmapLibrary::ripStances(const char* path) {
    print("Ripping Vornel Stances - ");
    print("L");
    ALLEGRO_BITMAP* sheet = loadOrPlaceholder(path, 30 * frameSize, 3 * frameSize);
    print("C");
    maskColours(sheet, {{64, 64, 64}, {34, 177, 76}});
    print("\n");

    for (int d = 0; d < 5; ++d) {
        std::fprintf(stderr, "%2i", d);
        bitmaps_[standingFirst + d] =
            cutFrame(sheet, frameSize * d, 0, frameSize, frameSize, frameSize, frameSize);
    }
    for (int d = 5; d < 8; ++d) {
        std::fprintf(stderr, "%2i", d);
        bitmaps_[standingFirst + d] = mirrorFrame(bitmaps_[standingFirst + 8 - d]);
    }
    print(" S!");
    print("\n");

    for (int d = 0; d < 5; ++d) {
        for (int f = 0; f < 6; ++f) {
            std::fprintf(stderr, " %2i ", 5 * d + f);
            const int x = 6 * frameSize * d + frameSize * f;
            bitmaps_[walkingFirst + 6 * d + f] =
                cutFrame(sheet, x, frameSize, frameSize, frameSize, frameSize, frameSize);
            bitmaps_[sprintingFirst + 6 * d + f] =
                cutFrame(sheet, x, 2 * frameSize, frameSize, frameSize, frameSize, frameSize);
        }
        print("\n");
    }
    for (int d = 5; d < 8; ++d) {
        for (int f = 0; f < 6; ++f) {
            std::fprintf(stderr, " %2i ", 5 * d + f);
            bitmaps_[walkingFirst + 6 * d + f] =
                mirrorFrame(bitmaps_[walkingFirst + 6 * (8 - d) + f]);
            bitmaps_[sprintingFirst + 6 * d + f] =
                mirrorFrame(bitmaps_[sprintingFirst + 6 * (8 - d) + f]);
        }
        print("\n");
    }
    print(" ");
    print("D ");
    if (sheet != nullptr) {
        al_destroy_bitmap(sheet);
    }
    print("done\n");
    flushNotices();
}

void BitmapLibrary::ripChatBubble(const char* path) {
    print("Ripping Chat Bubble - ");
    print("L");
    ALLEGRO_BITMAP* sheet = loadOrPlaceholder(path, 4 * bubbleCell, bubbleCell);
    print(" ");
    for (int i = 0; i < 4; ++i) {
        std::fprintf(stderr, "%i", i);
        // The frame is smaller than the cell: it keeps the cell's top-left corner.
        bitmaps_[chatBubbleFirst + i] =
            cutFrame(sheet, bubbleCell * i, 0, bubbleCell, bubbleCell, bubbleFrame, bubbleFrame);
    }
    print(" ");
    print("D ");
    if (sheet != nullptr) {
        al_destroy_bitmap(sheet);
    }
    print("done\n");
    flushNotices();
}

void BitmapLibrary::loadDirectBitmaps() {
    for (const DirectBitmap& direct : directBitmaps) {
        ALLEGRO_BITMAP* bitmap = loadOrPlaceholder(direct.path, direct.width, direct.height);
        maskColours(bitmap, {{64, 64, 64}, {255, 0, 255}});
        bitmaps_[direct.slot] = bitmap;
    }
}

void BitmapLibrary::loadFonts() {
    fonts_[bitmapFont - bitmapFont] = loadFontOrBuiltin(bitmapFontPath, false);
    fonts_[marwickFont - bitmapFont] = loadFontOrBuiltin(marwickPath, true);
    fonts_[courierFont - bitmapFont] = loadFontOrBuiltin(courierPath, true);
}
