#include "gui/ChatBox.h"

#include "core/GameContext.h"
#include "gfx/BitmapLibrary.h"
#include "gui/ChatLine.h"
#include "gui/PortraitStore.h"

namespace {

// Used before a display manager sets the view (tools and tests): the game's window height.
constexpr int defaultDisplayHeight = 600;
// The column of lines is this tall; the line count follows from it and the line height.
constexpr int lineColumnHeight = 192;

} // namespace

ChatBox::ChatBox() {
    y_ = (game.viewHeight > 0 ? game.viewHeight : defaultDisplayHeight) - areaHeight;
    if (game.bitmapLibrary) {
        background_ = game.bitmapLibrary->bitmap(BitmapLibrary::chatBox);
        responseBubble_ = game.bitmapLibrary->bitmap(BitmapLibrary::responseBubble);
        font_ = game.bitmapLibrary->font(BitmapLibrary::courierFont);
    }
    textColour_ = al_map_rgb(255, 255, 255);
    while (lineCount_ < lineColumnHeight / lineHeight_) {
        ChatLine** grown = new ChatLine*[lineCount_ + 1];
        for (int i = 0; i < lineCount_; ++i)
            grown[i] = lines_[i];
        grown[lineCount_] = new ChatLine(" ");
        delete[] lines_;
        lines_ = grown;
        ++lineCount_;
    }
}

ChatBox::~ChatBox() {
    for (int i = 0; i < lineCount_; ++i)
        delete lines_[i];
    delete[] lines_;
}

void ChatBox::setLine(int index, const char* text) {
    if (index < 0 || index >= lineCount_)
        return;
    lines_[index]->clear();
    lines_[index]->setText(text);
}

void ChatBox::setResponse(int index, const char* text, int value) {
    if (index < 0 || index >= lineCount_)
        return;
    lines_[index]->clear();
    lines_[index]->setResponse(text, value);
}

void ChatBox::clearAll() {
    for (int i = 0; i < lineCount_; ++i)
        lines_[i]->clear();
}

std::optional<int> ChatBox::responseOf(int index) const {
    if (index < 0 || index >= lineCount_ || !lines_[index]->isResponse())
        return std::nullopt;
    return lines_[index]->value();
}

const ChatLine* ChatBox::line(int index) const {
    if (index < 0 || index >= lineCount_)
        return nullptr;
    return lines_[index];
}

int ChatBox::lineWidth(int index) const {
    const ChatLine* shown = line(index);
    if (!shown || !shown->shown() || !font_)
        return 0;
    return al_get_text_width(font_, shown->text()) + (shown->isResponse() ? lineHeight_ : 0);
}

std::optional<int> ChatBox::click(ButtonState state, int relativeX, int relativeY) {
    if (state == ButtonState::Press) {
        pressedInBox_ = true;
        return std::nullopt;
    }
    if (!pressedInBox_)
        return std::nullopt;
    const std::optional<int> row = rowAt(relativeX, relativeY);
    if (!row)
        pressedInBox_ = false;
    return row;
}

std::optional<int> ChatBox::rowAt(int relativeX, int relativeY) const {
    if (relativeX < textLeft || relativeX > textRight || relativeY < textTop ||
        relativeY > textBottom)
        return std::nullopt;
    return (relativeY - textTop) / lineHeight_;
}

void ChatBox::draw(ALLEGRO_BITMAP* target, std::optional<int> highlighted) {
    al_set_target_bitmap(target);
    if (background_)
        al_draw_bitmap(background_, static_cast<float>(x_), static_cast<float>(y_), 0);
    // The portrait goes over its background; either may be missing.
    const float px = static_cast<float>(x_ + portraitX);
    const float py = static_cast<float>(y_ + portraitY);
    if (portraitBackground_)
        al_draw_bitmap(portraitBackground_, px, py, 0);
    if (portrait_)
        al_draw_bitmap(portrait_, px, py, 0);
    const ALLEGRO_COLOR highlight = highlightColour();
    for (int i = 0; i < lineCount_; ++i)
        lines_[i]->draw(font_, highlighted == i ? highlight : textColour_, x_ + textLeft,
                        y_ + textTop + lineHeight_ * i, 0, responseBubble_, lineHeight_);
}

void ChatBox::drawIfShown(ALLEGRO_BITMAP* target, std::optional<int> highlighted) {
    if (shown_)
        draw(target, highlighted);
}

void ChatBox::setPortrait(std::string_view name) {
    portrait_ = game.portraits ? game.portraits->find(name) : nullptr;
}

void ChatBox::setPortraitBackground(std::string_view name) {
    portraitBackground_ = game.portraits ? game.portraits->find(name) : nullptr;
}
