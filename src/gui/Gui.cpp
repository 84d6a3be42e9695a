#include "gui/Gui.h"

#include "core/GameContext.h"
#include "gfx/BitmapLibrary.h"
#include "gui/ChatBox.h"
#include "gui/ErrorPanel.h"
#include "gui/GuiButton.h"
#include "player/Player.h"
#include "world/FriendlyControls.h"

#include <cmath>

namespace {

constexpr int speedButtonSize = 17;
constexpr float pointDown = 3.1415927f;

struct SpeedButton {
    int x;
    int y;
    float angle;
    bool sprint;
    float step;
};

// The twelve speed buttons in list order: walk speed up, walk down, sprint up, sprint down.
constexpr SpeedButton speedButtons[] = {
    {0, 0, 0.0f, false, 1.0f},         {17, 0, 0.0f, false, 0.1f},
    {34, 0, 0.0f, false, 0.01f},       {0, 34, pointDown, false, -1.0f},
    {17, 34, pointDown, false, -0.1f}, {34, 34, pointDown, false, -0.01f},
    {68, 0, 0.0f, true, 1.0f},         {85, 0, 0.0f, true, 0.1f},
    {102, 0, 0.0f, true, 0.01f},       {68, 34, pointDown, true, -1.0f},
    {85, 34, pointDown, true, -0.1f},  {102, 34, pointDown, true, -0.01f},
};

float steppedSpeed(float speed, float step) {
    const float sum = speed + step;
    return sum < 0.0f ? 0.0f : sum;
}

// Truncates toward zero like a plain conversion, but stays defined for any float.
int truncateToInt(float value) {
    if (std::isnan(value))
        return 0;
    if (value >= 2147483647.0f)
        return 2147483647;
    if (value <= -2147483648.0f)
        return -2147483647 - 1;
    return static_cast<int>(value);
}

} // namespace

Gui::Gui() {
    ALLEGRO_BITMAP* arrow =
        game.bitmapLibrary ? game.bitmapLibrary->bitmap(BitmapLibrary::speedArrow) : nullptr;
    for (const SpeedButton& row : speedButtons) {
        const float step = row.step;
        GuiButton::ClickHandler onClick;
        if (row.sprint)
            onClick = [step] {
                stepSprintSpeed(step);
                return true;
            };
        else
            onClick = [step] {
                stepWalkSpeed(step);
                return true;
            };
        addButton(new GuiButton(row.x, row.y, speedButtonSize, speedButtonSize, row.angle, 0,
                                onClick, arrow));
    }
    chatBox_ = new ChatBox();
    errorPanel_ = new ErrorPanel();
    if (game.bitmapLibrary)
        errorPanel_->setFont(game.bitmapLibrary->font(BitmapLibrary::bitmapFont));
    if (game.conversation)
        game.conversation->addListener(*this);
}

Gui::~Gui() {
    if (game.conversation)
        game.conversation->removeListener(*this);
    for (int i = 0; i < buttonCount_; ++i)
        delete buttons_[i];
    delete[] buttons_;
    delete chatBox_;
    delete errorPanel_;
}

GuiButton* Gui::addButton(GuiButton* button) {
    GuiButton** grown = new GuiButton*[buttonCount_ + 1];
    for (int i = 0; i < buttonCount_; ++i)
        grown[i] = buttons_[i];
    grown[buttonCount_] = button;
    delete[] buttons_;
    buttons_ = grown;
    ++buttonCount_;
    return button;
}

GuiButton* Gui::button(int index) const {
    if (index < 0 || index >= buttonCount_)
        return nullptr;
    return buttons_[index];
}

void Gui::setMouse(float x, float y) {
    mouseX_ = x;
    mouseY_ = y;
}

bool Gui::click(ButtonState state) {
    if (state == ButtonState::Press)
        chatBox_->clearPressedInBox();

    const int x = truncateToInt(mouseX_);
    const int y = truncateToInt(mouseY_);
    for (int i = 0; i < buttonCount_; ++i) {
        if (buttons_[i]->handleClick(state, x, y))
            return true;
    }

    // A shown error panel takes the clicks on it; a release there dismisses it.
    if (errorPanel_->contains(mouseX_, mouseY_)) {
        if (state == ButtonState::Release)
            errorPanel_->dismiss();
        return true;
    }

    // The chat box area takes every press and release inside it, shown or not.
    const float cx = static_cast<float>(chatBox_->x());
    const float cy = static_cast<float>(chatBox_->y());
    const bool inChatArea = cx <= mouseX_ && mouseX_ <= cx + ChatBox::areaWidth && cy <= mouseY_ &&
                            mouseY_ <= cy + ChatBox::areaHeight;
    if (!inChatArea)
        return false;

    const std::optional<int> row =
        chatBox_->click(state, truncateToInt(mouseX_ - cx), truncateToInt(mouseY_ - cy));
    if (!row)
        return true;
    const int value = chatBox_->responseOf(*row).value_or(Conversation::noResponse);
    // A response picked right after a new page came up was meant for the page before it.
    if (value != Conversation::noResponse && game.friendlyControls &&
        !game.friendlyControls->acceptsPick())
        return true;
    // A release on a line that is no response keeps nothing of the press.
    if (value == Conversation::noResponse)
        chatBox_->clearPressedInBox();
    if (game.conversation)
        game.conversation->pick(value);
    return true;
}

void Gui::draw(ALLEGRO_BITMAP* target) {
    al_set_target_bitmap(target);
    for (int i = 0; i < buttonCount_; ++i)
        buttons_[i]->draw(target);
    chatBox_->drawIfShown(target, highlightedRow());
    errorPanel_->draw(target);
}

void Gui::resetChat() {
    chatBox_->hide();
    chatBox_->clearAll();
    chatBox_->clearPortraits();
    chatBox_->clearPressedInBox();
}

void Gui::chatOpened() {
    chatBox_->show();
}

void Gui::chatClosed() {
    chatBox_->hide();
}

bool Gui::chatOpen() const {
    return chatBox_->isShown();
}

std::optional<int> Gui::highlightedRow() const {
    if (!currentMapSettings().friendlyControls || !chatBox_->isShown())
        return std::nullopt;
    const std::optional<int> row =
        chatBox_->rowAt(truncateToInt(mouseX_ - static_cast<float>(chatBox_->x())),
                        truncateToInt(mouseY_ - static_cast<float>(chatBox_->y())));
    if (!row || !chatBox_->responseOf(*row))
        return std::nullopt;
    return row;
}

void Gui::stepWalkSpeed(float step) {
    if (game.player)
        game.player->setWalkSpeed(steppedSpeed(game.player->walkSpeed(), step));
}

void Gui::stepSprintSpeed(float step) {
    if (game.player)
        game.player->setSprintSpeed(steppedSpeed(game.player->sprintSpeed(), step));
}
