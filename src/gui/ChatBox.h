#pragma once

#include <allegro5/allegro.h>
#include <allegro5/allegro_font.h>

#include <optional>
#include <string_view>

#include "input/ButtonState.h"

class ChatLine;

// The dialogue panel at the bottom left: a background, two portrait layers and twelve text
// lines that scripts fill; response lines carry a value that a click picks. It always holds
// exactly lineCount lines; its corner is fixed at construction, 220 pixels above the bottom
// of the window. Lines and portraits survive hiding.
class ChatBox {
  public:
    static constexpr int areaWidth = 688;
    static constexpr int areaHeight = 220;
    static constexpr int lineCount = 12;
    // The column of text lines that a release can pick from, relative to the corner.
    static constexpr int textLeft = 225;
    static constexpr int textRight = 676;
    static constexpr int textTop = 13;
    static constexpr int textBottom = 204;
    static constexpr int textColumnWidth = textRight - textLeft;
    static constexpr int portraitX = 11;
    static constexpr int portraitY = 13;
    // The portrait well's inner area.
    static constexpr int portraitWidth = 200;
    static constexpr int portraitHeight = 194;

    ChatBox();
    ~ChatBox();
    ChatBox(const ChatBox&) = delete;
    ChatBox& operator=(const ChatBox&) = delete;

    void setLine(int index, const char* text);
    void setResponse(int index, const char* text, int value);
    void clearAll();
    // The value of a response line; nothing for any other line.
    std::optional<int> responseOf(int index) const;
    const ChatLine* line(int index) const;
    // How far a shown line reaches to the right of the text column's left edge in the chat
    // font, a response's bubble included; 0 for a hidden line or without a font.
    int lineWidth(int index) const;

    bool pressedInBox() const { return pressedInBox_; }
    void clearPressedInBox() { pressedInBox_ = false; }

    void show() { shown_ = true; }
    void hide() { shown_ = false; }
    bool isShown() const { return shown_; }

    int x() const { return x_; }
    int y() const { return y_; }
    int right() const { return x_ + areaWidth; }
    int bottom() const { return y_ + areaHeight; }
    int lineHeight() const { return lineHeight_; }

    // The row a release picks after a press in the box, if it lies on the column of lines.
    std::optional<int> click(ButtonState state, int relativeX, int relativeY);
    // The row of the column of lines at a point relative to the corner, if any.
    std::optional<int> rowAt(int relativeX, int relativeY) const;
    // A highlighted row draws its text in highlightColour.
    void draw(ALLEGRO_BITMAP* target, std::optional<int> highlighted = std::nullopt);
    void drawIfShown(ALLEGRO_BITMAP* target, std::optional<int> highlighted = std::nullopt);
    static ALLEGRO_COLOR highlightColour() { return al_map_rgb(255, 214, 92); }

    void setPortrait(std::string_view name);
    void setPortraitBackground(std::string_view name);
    void clearPortraits() {
        portrait_ = nullptr;
        portraitBackground_ = nullptr;
    }
    ALLEGRO_BITMAP* portrait() const { return portrait_; }
    ALLEGRO_BITMAP* portraitBackground() const { return portraitBackground_; }

    // The art is taken from the bitmap library at construction; tests without the game's art
    // hand in their own.
    void setBackground(ALLEGRO_BITMAP* background) { background_ = background; }
    void setResponseBubble(ALLEGRO_BITMAP* bubble) { responseBubble_ = bubble; }
    void setFont(ALLEGRO_FONT* font) { font_ = font; }
    void setTextColour(ALLEGRO_COLOR colour) { textColour_ = colour; }

  private:
    bool shown_ = false;
    int x_ = 0;
    int y_ = 0;
    ALLEGRO_BITMAP* background_ = nullptr;
    ALLEGRO_BITMAP* portraitBackground_ = nullptr;
    ALLEGRO_BITMAP* portrait_ = nullptr;
    ALLEGRO_BITMAP* responseBubble_ = nullptr;
    ALLEGRO_FONT* font_ = nullptr;
    ALLEGRO_COLOR textColour_{};
    ChatLine** lines_ = nullptr;
    int lineCount_ = 0;
    bool pressedInBox_ = false;
    int lineHeight_ = 16;
};
