#include "gui/ChatLine.h"

#include <cstdio>
#include <cstring>

namespace {

// Scripts write this to ask for an empty-looking line.
constexpr const char* blankMarker = "~BLANK";

bool isContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Length of the longest prefix of text that fits in limit bytes and ends on a character
// boundary: a cut never leaves half of a multi-byte UTF-8 character behind. A UTF-8 character
// has at most three continuation bytes; text that is not UTF-8 is simply cut at the limit.
size_t fittingLength(const char* text, size_t limit) {
    const size_t length = std::strlen(text);
    if (length <= limit)
        return length;
    for (size_t cut = limit; cut + 3 >= limit && cut > 0; --cut) {
        if (!isContinuationByte(text[cut]))
            return cut;
    }
    return limit;
}

} // namespace

ChatLine::ChatLine(const char* text) {
    std::fprintf(stderr, "Creating Chat line %s\n", text ? text : "");
    setText(text);
}

void ChatLine::storeText(const char* text) {
    if (!text)
        text = "";
    if (std::strcmp(text, blankMarker) == 0)
        text = " ";
    const size_t length = fittingLength(text, maxText);
    std::memcpy(text_, text, length);
    std::memset(text_ + length, 0, bufferSize - length);
}

void ChatLine::setText(const char* text) {
    storeText(text);
    shown_ = true;
    isResponse_ = false;
}

void ChatLine::setResponse(const char* text, int value) {
    storeText(text);
    shown_ = true;
    isResponse_ = true;
    value_ = value;
}

void ChatLine::clear() {
    std::memset(text_, 0, bufferSize);
    shown_ = false;
    isResponse_ = false;
}

void ChatLine::draw(ALLEGRO_FONT* font, ALLEGRO_COLOR colour, int x, int y, int flags,
                    ALLEGRO_BITMAP* bubble, int indent) const {
    if (!shown_)
        return;
    if (isResponse_) {
        if (bubble)
            al_draw_bitmap(bubble, static_cast<float>(x), static_cast<float>(y), 0);
        x += indent;
    }
    if (font)
        al_draw_textf(font, colour, static_cast<float>(x), static_cast<float>(y), flags, "%s",
                      text_);
}
