#pragma once

#include <allegro5/allegro.h>
#include <allegro5/allegro_font.h>

// One line of the chat box: plain text or a clickable response carrying a value. The text is
// always zero-terminated and at most maxText bytes long; a longer text is cut at a UTF-8
// character boundary so that no character is ever split.
class ChatLine {
  public:
    static constexpr int bufferSize = 80;
    static constexpr int maxText = bufferSize - 1;

    explicit ChatLine(const char* text);

    void setText(const char* text);
    void setResponse(const char* text, int value);
    void clear();

    bool shown() const { return shown_; }
    bool isResponse() const { return isResponse_; }
    int value() const { return value_; }
    const char* text() const { return text_; }

    // A response line draws the bubble at x, y and its text indent pixels further right.
    void draw(ALLEGRO_FONT* font, ALLEGRO_COLOR colour, int x, int y, int flags,
              ALLEGRO_BITMAP* bubble, int indent) const;

  private:
    void storeText(const char* text);

    bool shown_ = false;
    bool isResponse_ = false;
    int value_ = 0;
    char text_[bufferSize] = {};
};
