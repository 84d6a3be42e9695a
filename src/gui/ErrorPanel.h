#pragma once

#include <allegro5/allegro.h>
#include <allegro5/allegro_font.h>

#include <deque>
#include <string>
#include <vector>

// Author mode's panel of script problems at the top right of the window, clear of the speed
// readings at the top left and of the chat box at the bottom. It holds the last few messages;
// a click on it dismisses it until the next message arrives. Each message belongs to the
// script file that caused it, and leaves when that file next runs without a problem. It is at
// most a quarter of the window wide, so most of the map stays in view.
class ErrorPanel {
  public:
    static constexpr int width = 200;
    static constexpr int left = 800 - 4 - width;
    static constexpr int top = 4;
    static constexpr int maxMessages = 4;
    static constexpr int maxRows = 14;

    void add(const std::string& message, const std::string& file = "");
    // Drops the messages of a file; the panel hides when none are left.
    void forget(const std::string& file);
    void dismiss() { shown_ = false; }
    // Forgets every message (a reload of the world starts a clean slate).
    void clear();
    bool isShown() const { return shown_; }
    const std::deque<std::string>& messages() const { return messages_; }

    // The rows drawn: a title, then each message wrapped to the panel's width in `font` (by
    // characters when there is no font), newest last, the oldest rows dropped past maxRows.
    const std::vector<std::string>& rows() const { return rows_; }
    int height() const;
    bool contains(float x, float y) const;
    void draw(ALLEGRO_BITMAP* target) const;

    void setFont(ALLEGRO_FONT* font);

  private:
    int textWidth(const std::string& text) const;
    void wrapInto(const std::string& message, std::vector<std::string>& rows) const;
    // Wrapping measures text, so it is done when the messages or the font change, not per
    // frame.
    void layOut();

    std::deque<std::string> messages_;
    std::deque<std::string> files_; // the file of each message
    bool shown_ = false;
    ALLEGRO_FONT* font_ = nullptr;
    std::vector<std::string> rows_;
};
