#pragma once

#include "input/ButtonState.h"

#include <allegro5/allegro.h>

#include <functional>

// A clickable rectangle of the GUI with an optional bitmap. Its hit rectangle includes all
// four edges, so a button of width 17 covers 18 columns. A click counts only when the press
// and the release both land inside; a press alone never completes anything.
class GuiButton {
  public:
    using ClickHandler = std::function<bool()>;

    GuiButton(int x, int y, int width, int height, ClickHandler onClick, ALLEGRO_BITMAP* bitmap);
    GuiButton(int x, int y, int width, int height, float angle, int drawFlags, ClickHandler onClick,
              ALLEGRO_BITMAP* bitmap);

    // True when a release completed a click (onClick has run).
    bool handleClick(ButtonState state, int x, int y);
    bool contains(int x, int y) const;
    void draw(ALLEGRO_BITMAP* target) const;

    int x() const { return x_; }
    int y() const { return y_; }
    int halfWidth() const { return halfWidth_; }
    int halfHeight() const { return halfHeight_; }
    int left() const { return left_; }
    int top() const { return top_; }
    int right() const { return right_; }
    int bottom() const { return bottom_; }
    float angle() const { return angle_; }
    int drawFlags() const { return drawFlags_; }
    ALLEGRO_BITMAP* bitmap() const { return bitmap_; }
    void setBitmap(ALLEGRO_BITMAP* bitmap) { bitmap_ = bitmap; }
    bool pressedInside() const { return pressedInside_; }
    bool releasedInside() const { return releasedInside_; }

  private:
    int x_;
    int y_;
    int halfWidth_;
    int halfHeight_;
    int left_, top_, right_, bottom_;
    ALLEGRO_BITMAP* bitmap_;
    float angle_;
    int drawFlags_;
    ClickHandler onClick_;
    bool pressedInside_ = false;
    bool releasedInside_ = false;
};
