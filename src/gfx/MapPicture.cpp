#include "gfx/MapPicture.h"

#include <cstdio>

MapPicture::MapPicture(int width, int height, ALLEGRO_COLOR background)
    : width_(width), height_(height), background_(background) {}

MapPicture::~MapPicture() {
    if (bitmap_ != nullptr)
        al_destroy_bitmap(bitmap_);
}

// A memory picture copied onto the window every frame would cost more than the layers it
// stands in for, so unless memory bitmaps are asked for (tests, tools) it must be a display
// bitmap or nothing.
bool MapPicture::makeBitmap() {
    const int flags = al_get_new_bitmap_flags();
    al_set_new_bitmap_flags((flags & ALLEGRO_MEMORY_BITMAP) != 0 ? flags
                                                                 : flags | ALLEGRO_VIDEO_BITMAP);
    bitmap_ = al_create_bitmap(width_, height_);
    al_set_new_bitmap_flags(flags);
    if (bitmap_ == nullptr) {
        std::fprintf(stderr,
                     "The display cannot hold the %i by %i map picture; the map is drawn layer "
                     "by layer.\n",
                     width_, height_);
        unavailable_ = true;
    }
    return bitmap_ != nullptr;
}

void MapPicture::repaint(const std::vector<Area>& areas,
                         const std::function<void(ALLEGRO_BITMAP*, const Area&)>& paint) {
    if (bitmap_ == nullptr || stale_ || areas.empty())
        return;
    ALLEGRO_STATE state;
    al_store_state(&state, ALLEGRO_STATE_TARGET_BITMAP);
    al_set_target_bitmap(bitmap_);
    int clipX, clipY, clipWidth, clipHeight;
    al_get_clipping_rectangle(&clipX, &clipY, &clipWidth, &clipHeight);
    for (const Area& area : areas) {
        al_set_clipping_rectangle(area.x, area.y, area.width, area.height);
        al_clear_to_color(background_);
        paint(bitmap_, area);
    }
    al_set_clipping_rectangle(clipX, clipY, clipWidth, clipHeight);
    al_restore_state(&state);
}

bool MapPicture::draw(ALLEGRO_BITMAP* target, const Painter& paint) {
    if (unavailable_ || target == nullptr || al_get_bitmap_width(target) != width_ ||
        al_get_bitmap_height(target) != height_)
        return false;
    if (bitmap_ == nullptr && !makeBitmap())
        return false;
    if (stale_) {
        // The same start as the frame's: where the painter leaves pixels alone, or lets them
        // show through, the picture keeps the frame's cleared colour.
        al_set_target_bitmap(bitmap_);
        al_clear_to_color(background_);
        paint(bitmap_);
        stale_ = false;
    }
    al_set_target_bitmap(target);
    ALLEGRO_STATE blending;
    al_store_state(&blending, ALLEGRO_STATE_BLENDER);
    al_set_blender(ALLEGRO_ADD, ALLEGRO_ONE, ALLEGRO_ZERO);
    al_draw_bitmap(bitmap_, 0.0f, 0.0f, 0);
    al_restore_state(&blending);
    return true;
}
