#pragma once

#include <allegro5/allegro.h>

#include <functional>
#include <vector>

// The unchanging bottom of every frame (the map's layers, or the mud ground when no map is
// loaded), composed once into one bitmap of the window's size and copied onto each frame.
// It is composed onto the colour the frame is cleared to and copied without blending, so the
// frame gets the very pixels that painting straight onto the cleared frame would give.
// remake() is the one call for whatever changes the picture; the next draw composes it anew.
class MapPicture {
  public:
    // Paints the picture's content onto the bitmap it is given, which is also the target.
    using Painter = std::function<void(ALLEGRO_BITMAP*)>;

    MapPicture(int width, int height, ALLEGRO_COLOR background);
    ~MapPicture();
    MapPicture(const MapPicture&) = delete;
    MapPicture& operator=(const MapPicture&) = delete;

    void remake() { stale_ = true; }
    struct Area {
        int x;
        int y;
        int width;
        int height;
    };
    // Paints each area anew onto the background colour, paint clipped to it, so that the
    // picture stays what composing it whole would give. Nothing while the picture is stale: the
    // next draw composes all of it.
    void repaint(const std::vector<Area>& areas,
                 const std::function<void(ALLEGRO_BITMAP*, const Area&)>& paint);

    // Copies the picture onto target, composing it first with paint when it is stale; target is
    // the target afterwards. target must just have been cleared to the background colour. False,
    // with target untouched, when the picture cannot stand in for paint: a target of another
    // size, or a display that could not hold the bitmap (said once on the console). The caller
    // then paints the target itself.
    bool draw(ALLEGRO_BITMAP* target, const Painter& paint);

  private:
    bool makeBitmap();

    int width_;
    int height_;
    ALLEGRO_COLOR background_;
    ALLEGRO_BITMAP* bitmap_ = nullptr;
    bool stale_ = true;
    bool unavailable_ = false;
};
