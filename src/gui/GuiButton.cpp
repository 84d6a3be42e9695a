#include "gui/GuiButton.h"

#include <utility>

GuiButton::GuiButton(int x, int y, int width, int height, ClickHandler onClick,
                     ALLEGRO_BITMAP* bitmap)
    : GuiButton(x, y, width, height, 0.0f, 0, std::move(onClick), bitmap) {}

GuiButton::GuiButton(int x, int y, int width, int height, float angle, int drawFlags,
                     ClickHandler onClick, ALLEGRO_BITMAP* bitmap)
    : x_(x), y_(y), halfWidth_(width / 2), halfHeight_(height / 2), left_(x), top_(y),
      right_(x + width), bottom_(y + height), bitmap_(bitmap), angle_(angle), drawFlags_(drawFlags),
      onClick_(std::move(onClick)) {}

bool GuiButton::contains(int x, int y) const {
    return left_ <= x && x <= right_ && top_ <= y && y <= bottom_;
}

bool GuiButton::handleClick(ButtonState state, int x, int y) {
    if (state == ButtonState::Press) {
        pressedInside_ = contains(x, y);
        return false;
    }
    releasedInside_ = contains(x, y);
    const bool completed = pressedInside_ && releasedInside_;
    pressedInside_ = false;
    releasedInside_ = false;
    if (!completed)
        return false;
    if (onClick_)
        onClick_(); // its answer is not used: the release is taken either way
    return true;
}

void GuiButton::draw(ALLEGRO_BITMAP* target) const {
    if (!bitmap_)
        return;
    al_set_target_bitmap(target);
    if (angle_ == 0.0f) {
        al_draw_bitmap(bitmap_, static_cast<float>(x_), static_cast<float>(y_), drawFlags_);
        return;
    }
    // The pivot comes from the button's own size, whatever the bitmap's size.
    al_draw_rotated_bitmap(bitmap_, static_cast<float>(halfWidth_), static_cast<float>(halfHeight_),
                           static_cast<float>(x_ + halfWidth_),
                           static_cast<float>(y_ + halfHeight_), angle_, drawFlags_);
}
