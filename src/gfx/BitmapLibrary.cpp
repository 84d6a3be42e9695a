#include "gfx/BitmapLibrary.h"

#include "core/HostPath.h"

#include <allegro5/allegro_image.h>
#include <allegro5/allegro_ttf.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

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

bool hasBmpExtension(const std::string& file) {
    const std::size_t dot = file.rfind('.');
    if (dot == std::string::npos || file.size() - dot != 4) {
        return false;
    }
    return std::tolower(static_cast<unsigned char>(file[dot + 1])) == 'b' &&
           std::tolower(static_cast<unsigned char>(file[dot + 2])) == 'm' &&
           std::tolower(static_cast<unsigned char>(file[dot + 3])) == 'p';
}

std::uint32_t littleEndian32(const unsigned char* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

// Allegro's BMP reader accepts a file that ends inside its pixel rows and leaves the rows it
// could not read black, so such a file would pass for a good picture. True when the headers
// of an uncompressed BMP promise more pixel bytes than the file holds. Run-length compressed
// files and files with headers the reader will refuse anyway are left to the reader.
bool bmpCutShort(const std::string& file) {
    std::FILE* stream = std::fopen(file.c_str(), "rb");
    if (stream == nullptr) {
        return false;
    }
    unsigned char head[34] = {};
    const std::size_t got = std::fread(head, 1, sizeof head, stream);
    const bool sized = std::fseek(stream, 0, SEEK_END) == 0;
    const long fileSize = sized ? std::ftell(stream) : -1;
    std::fclose(stream);
    if (got < 26 || head[0] != 'B' || head[1] != 'M' || fileSize < 0) {
        return false;
    }
    const std::uint32_t pixelOffset = littleEndian32(head + 10);
    const std::uint32_t infoSize = littleEndian32(head + 14);
    long long width = 0;
    long long height = 0;
    long long bitsPerPixel = 0;
    if (infoSize == 12) {
        width = head[18] | head[19] << 8;
        height = head[20] | head[21] << 8;
        bitsPerPixel = head[24] | head[25] << 8;
    } else if (infoSize >= 40 && got == sizeof head) {
        width = static_cast<std::int32_t>(littleEndian32(head + 18));
        height = static_cast<std::int32_t>(littleEndian32(head + 22));
        bitsPerPixel = head[28] | head[29] << 8;
        const std::uint32_t compression = littleEndian32(head + 30);
        if (compression != 0 && compression != 3 && compression != 6) {
            return false;
        }
    } else {
        return false;
    }
    if (width <= 0 || bitsPerPixel <= 0) {
        return false;
    }
    const long long rowBytes = (width * bitsPerPixel + 31) / 32 * 4;
    const long long needed = pixelOffset + rowBytes * (height < 0 ? -height : height);
    return fileSize < needed;
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

// The characters from space to tilde, which every text the game draws is made of.
constexpr int printableFirst = 32;
constexpr int printableCount = 95;

// How many characters from space on the font holds without a gap.
int characterCount(ALLEGRO_FONT* font) {
    const int rangeCount = al_get_font_ranges(font, 0, nullptr);
    std::vector<int> ranges(2 * static_cast<std::size_t>(rangeCount > 0 ? rangeCount : 0));
    al_get_font_ranges(font, rangeCount, ranges.data());
    int next = printableFirst;
    for (bool grown = true; grown;) {
        grown = false;
        for (int i = 0; i < rangeCount; ++i) {
            if (ranges[2 * i] <= next && ranges[2 * i + 1] >= next) {
                next = ranges[2 * i + 1] + 1;
                grown = true;
            }
        }
    }
    return next - printableFirst;
}

// Whether a line of text drawn with the font shows at least one pixel.
bool drawsText(ALLEGRO_FONT* font) {
    ALLEGRO_STATE state;
    al_store_state(&state, ALLEGRO_STATE_NEW_BITMAP_PARAMETERS | ALLEGRO_STATE_TARGET_BITMAP |
                               ALLEGRO_STATE_BLENDER);
    al_set_new_bitmap_flags(ALLEGRO_MEMORY_BITMAP);
    al_set_new_bitmap_format(ALLEGRO_PIXEL_FORMAT_ABGR_8888_LE);
    ALLEGRO_BITMAP* probe = al_create_bitmap(256, 64);
    bool shows = false;
    if (probe != nullptr) {
        al_set_target_bitmap(probe);
        al_clear_to_color(al_map_rgba(0, 0, 0, 0));
        al_set_blender(ALLEGRO_ADD, ALLEGRO_ONE, ALLEGRO_INVERSE_ALPHA);
        al_draw_text(font, al_map_rgb(255, 255, 255), 0, 0, 0, "Hello 0123 ABC xyz");
        ALLEGRO_LOCKED_REGION* region =
            al_lock_bitmap(probe, ALLEGRO_PIXEL_FORMAT_ABGR_8888_LE, ALLEGRO_LOCK_READONLY);
        for (int y = 0; region != nullptr && y < 64 && !shows; ++y) {
            const auto* row = static_cast<const unsigned char*>(region->data) + y * region->pitch;
            for (int x = 0; x < 256 && !shows; ++x) {
                shows = row[4 * x + 3] != 0;
            }
        }
        if (region != nullptr) {
            al_unlock_bitmap(probe);
        }
        al_destroy_bitmap(probe);
    }
    al_restore_state(&state);
    return shows;
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

ALLEGRO_BITMAP* BitmapLibrary::loadFile(const char* path) {
    if (path == nullptr) {
        return nullptr;
    }
    const std::string file = hostPath(path);
    if (hasBmpExtension(file) && bmpCutShort(file)) {
        return nullptr;
    }
    // Always decoded into a memory bitmap: when Allegro's PNG reader gives up halfway through
    // a display bitmap, the half-made bitmap stays on the display's list and the display
    // hangs when it is destroyed. The finished picture moves to the display afterwards.
    const int flags = al_get_new_bitmap_flags();
    al_set_new_bitmap_flags((flags & ~ALLEGRO_VIDEO_BITMAP) | ALLEGRO_MEMORY_BITMAP);
    ALLEGRO_BITMAP* bitmap = al_load_bitmap(file.c_str());
    al_set_new_bitmap_flags(flags);
    if (bitmap != nullptr && (flags & ALLEGRO_MEMORY_BITMAP) == 0 &&
        al_get_current_display() != nullptr) {
        al_convert_bitmap(bitmap);
    }
    return bitmap;
}

ALLEGRO_BITMAP* BitmapLibrary::loadMasked(const char* path, int r, int g, int b) {
    if (path == nullptr) {
        return nullptr;
    }
    ALLEGRO_BITMAP* bitmap = loadFile(path);
    maskColours(bitmap, {{64, 64, 64}, {r, g, b}});
    return bitmap;
}

ALLEGRO_BITMAP* BitmapLibrary::loadMagentaMasked(const char* path) {
    return loadMasked(path, 255, 0, 255);
}

ALLEGRO_BITMAP* BitmapLibrary::placeholder(int width, int height) {
    return makePlaceholder(width, height);
}

ALLEGRO_BITMAP* BitmapLibrary::loadOrPlaceholder(const char* path, int width, int height) {
    ALLEGRO_BITMAP* bitmap = loadFile(path);
    if (bitmap == nullptr) {
        notices_ += std::string("Could not load ") + path + ", using a placeholder.\n";
        bitmap = makePlaceholder(width, height);
    }
    return bitmap;
}

ALLEGRO_BITMAP* BitmapLibrary::loadSheet(const char* path, int width, int height) {
    ALLEGRO_BITMAP* sheet = loadOrPlaceholder(path, width, height);
    const int sheetWidth = sheet != nullptr ? al_get_bitmap_width(sheet) : width;
    const int sheetHeight = sheet != nullptr ? al_get_bitmap_height(sheet) : height;
    if (sheetWidth >= width && sheetHeight >= height) {
        return sheet;
    }
    // Frames cut from a sheet that is too small would come out partly or wholly empty: a
    // player could not tell a broken sheet from a missing character.
    char text[64];
    std::snprintf(text, sizeof text, " is %i x %i pixels, smaller than %i x %i", sheetWidth,
                  sheetHeight, width, height);
    notices_ += std::string(path) + text + ", using a placeholder.\n";
    al_destroy_bitmap(sheet);
    return makePlaceholder(width, height);
}

ALLEGRO_FONT* BitmapLibrary::loadFontOrBuiltin(const char* path, bool trueType) {
    const std::string file = hostPath(path);
    ALLEGRO_FONT* font =
        trueType ? al_load_ttf_font(file.c_str(), fontSize, 0) : al_load_bitmap_font(file.c_str());
    if (font == nullptr) {
        notices_ += std::string("Could not load ") + path + ", using the built-in font.\n";
        return al_create_builtin_font();
    }
    std::string problem;
    if (!trueType) {
        const int count = characterCount(font);
        if (count < printableCount) {
            problem = " holds " + std::to_string(count) + " characters, not the " +
                      std::to_string(printableCount) + " from space to tilde";
        }
    }
    // A file cut short may still open: Allegro fills a display bitmap from a short TGA file,
    // and a TrueType file keeps its glyphs in the part that went missing.
    if (problem.empty() && !drawsText(font)) {
        problem = " draws no text";
    }
    if (!problem.empty()) {
        notices_ += std::string(path) + problem + ", using the built-in font.\n";
        al_destroy_font(font);
        return al_create_builtin_font();
    }
    return font;
}

void BitmapLibrary::flushNotices() {
    // Load problems are told after the progress line they interrupt, so that line stays whole.
    print(notices_.c_str());
    notices_.clear();
}

// The common end of every ripping step: the sheet is no longer needed once its frames are cut.
void BitmapLibrary::finishSheet(ALLEGRO_BITMAP* sheet) {
    print(" ");
    print("D ");
    if (sheet != nullptr) {
        al_destroy_bitmap(sheet);
    }
    print("done\n");
    flushNotices();
}

void BitmapLibrary::ripMudTiles(const char* path) {
    print("Ripping Mud Tiles - ");
    print("L");
    ALLEGRO_BITMAP* sheet = loadSheet(path, 3 * tileSize, 2 * tileSize);
    print(" ");
    for (int k = 0; k < 6; ++k) {
        std::fprintf(stderr, "%i", k);
        bitmaps_[mudTileFirst + k] = cutFrame(sheet, tileSize * (k % 3), tileSize * (k / 3),
                                              tileSize, tileSize, tileSize, tileSize);
    }
    finishSheet(sheet);
}

void BitmapLibrary::ripStances(const char* path) {
    print("Ripping Vornel Stances - ");
    print("L");
    ALLEGRO_BITMAP* sheet = loadSheet(path, 30 * frameSize, 3 * frameSize);
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
    finishSheet(sheet);
}

void BitmapLibrary::ripChatBubble(const char* path) {
    print("Ripping Chat Bubble - ");
    print("L");
    // The last frame reads only the top-left corner of its cell.
    ALLEGRO_BITMAP* sheet = loadSheet(path, 3 * bubbleCell + bubbleFrame, bubbleFrame);
    print(" ");
    for (int i = 0; i < 4; ++i) {
        std::fprintf(stderr, "%i", i);
        // The frame is smaller than the cell: it keeps the cell's top-left corner.
        bitmaps_[chatBubbleFirst + i] =
            cutFrame(sheet, bubbleCell * i, 0, bubbleCell, bubbleCell, bubbleFrame, bubbleFrame);
    }
    finishSheet(sheet);
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
