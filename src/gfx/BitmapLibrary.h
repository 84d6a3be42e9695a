#pragma once

#include <allegro5/allegro.h>
#include <allegro5/allegro_font.h>

#include <string>

// Every fixed graphic and font of the game, loaded and cut once at start-up into 123
// numbered slots that the rest of the game reads by number and never writes. Every slot holds
// a bitmap or font after construction: a file that cannot be loaded, or a sheet too small for
// its frames, is reported by name and replaced by a visible placeholder of the expected size
// (or Allegro's built-in font). The library owns everything in its slots and releases it when
// destroyed.
class BitmapLibrary {
  public:
    static constexpr int slotCount = 123;
    static constexpr int bitmapSlotCount = 120;
    // Slot numbers read outside this class.
    static constexpr int standingFirst = 0;
    static constexpr int walkingFirst = 8;
    static constexpr int sprintingFirst = 56;
    static constexpr int npcDefaultSprite = 104;
    static constexpr int npcQuillaSprite = 105;
    static constexpr int mudTileFirst = 106;
    static constexpr int speedArrow = 112;
    static constexpr int mouseImage = 113;
    static constexpr int chatBox = 114;
    static constexpr int chatBubbleFirst = 115;
    static constexpr int responseBubble = 119;
    static constexpr int bitmapFont = 120;
    static constexpr int marwickFont = 121;
    static constexpr int courierFont = 122;

    BitmapLibrary();
    ~BitmapLibrary();
    BitmapLibrary(const BitmapLibrary&) = delete;
    BitmapLibrary& operator=(const BitmapLibrary&) = delete;

    // Slots 0 to 119; null outside that range.
    ALLEGRO_BITMAP* bitmap(int slot) const;
    // Slots 120 to 122; null outside that range.
    ALLEGRO_FONT* font(int slot) const;

    // al_load_bitmap on the host's form of a data path, safe for damaged files; null also for
    // a BMP file that ends before its last pixel row, which Allegro would load with black rows.
    static ALLEGRO_BITMAP* loadFile(const char* path);
    static ALLEGRO_BITMAP* loadMasked(const char* path, int r, int g, int b);
    static ALLEGRO_BITMAP* loadMagentaMasked(const char* path);
    // The stand-in for a picture that cannot be loaded: a yellow and dark blue checkerboard.
    static ALLEGRO_BITMAP* placeholder(int width, int height);

  private:
    ALLEGRO_BITMAP* loadOrPlaceholder(const char* path, int width, int height);
    // A sheet to cut frames from: smaller than width x height it is replaced, with a notice.
    ALLEGRO_BITMAP* loadSheet(const char* path, int width, int height);
    // A font file that cannot be opened, lacks characters or draws nothing is reported and
    // replaced by Allegro's built-in font.
    ALLEGRO_FONT* loadFontOrBuiltin(const char* path, bool trueType);
    void flushNotices();
    void finishSheet(ALLEGRO_BITMAP* sheet);
    void ripMudTiles(const char* path);
    void ripStances(const char* path);
    void ripChatBubble(const char* path);
    void loadDirectBitmaps();
    void loadFonts();

    // Load problems waiting to be printed after the current progress line.
    std::string notices_;
    ALLEGRO_BITMAP* bitmaps_[120] = {};
    ALLEGRO_FONT* fonts_[3] = {};
};
