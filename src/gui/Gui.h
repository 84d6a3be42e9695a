#pragma once

#include "input/ButtonState.h"
#include "world/Conversation.h"

#include <allegro5/allegro.h>

#include <optional>

class ChatBox;
class ErrorPanel;
class GuiButton;

// The screen-space layer over the world: the twelve speed buttons and the chat box. It keeps
// the last pointer position and decides for every press and release whether it takes it.
// Buttons are hit-tested and drawn in the order they were added. A response picked on the chat
// box goes to the conversation, which tells the GUI when to show or hide the box.
class Gui : public ConversationListener {
  public:
    Gui();
    ~Gui();
    Gui(const Gui&) = delete;
    Gui& operator=(const Gui&) = delete;

    GuiButton* addButton(GuiButton* button);
    void setMouse(float x, float y);
    float mouseX() const { return mouseX_; }
    float mouseY() const { return mouseY_; }
    // True when the GUI took the event.
    bool click(ButtonState state);
    void draw(ALLEGRO_BITMAP* target);
    void chatOpened() override;
    void chatClosed() override;
    bool chatOpen() const;
    // With friendly controls, the response line under the pointer while the box is shown.
    std::optional<int> highlightedRow() const;
    ChatBox* chatBox() const { return chatBox_; }
    // Author mode's panel of script problems; it stays hidden while it has no message.
    ErrorPanel* errorPanel() const { return errorPanel_; }
    // A chat box as at start-up: closed, empty, no portraits.
    void resetChat();
    int buttonCount() const { return buttonCount_; }
    GuiButton* button(int index) const;

    static void stepWalkSpeed(float step);
    static void stepSprintSpeed(float step);

  private:
    GuiButton** buttons_ = nullptr;
    int buttonCount_ = 0;
    float mouseX_ = 320.0f;
    float mouseY_ = 240.0f;
    ChatBox* chatBox_ = nullptr;
    ErrorPanel* errorPanel_ = nullptr;
};
