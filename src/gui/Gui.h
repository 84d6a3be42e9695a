#pragma once

#include <allegro5/allegro.h>

class ChatBox;
class ErrorPanel;
class GuiButton;
class Npc;

// The screen-space layer over the world: the twelve speed buttons and the chat box. It keeps
// the last pointer position and decides for every press and release whether it takes it.
// Buttons are hit-tested and drawn in the order they were added; the chat box and the open
// flag are always shown or hidden together.
class Gui {
  public:
    Gui();
    ~Gui();
    Gui(const Gui&) = delete;
    Gui& operator=(const Gui&) = delete;

    GuiButton* addButton(GuiButton* button);
    void setMouse(float x, float y);
    float mouseX() const { return mouseX_; }
    float mouseY() const { return mouseY_; }
    // kind 0: press, 1: release. True when the GUI took the event.
    bool click(int kind);
    void draw(ALLEGRO_BITMAP* target);
    void openChat();
    void closeChat();
    bool chatOpen() const { return chatOpen_; }
    ChatBox* chatBox() const { return chatBox_; }
    // Author mode's panel of script problems; it stays hidden while it has no message.
    ErrorPanel* errorPanel() const { return errorPanel_; }
    // A chat box as at start-up: closed, empty, no portraits, no responding character.
    void resetChat();
    Npc* respondingNpc() const { return respondingNpc_; }
    int buttonCount() const { return buttonCount_; }
    GuiButton* button(int index) const;

    static void stepWalkSpeed(float step);
    static void stepSprintSpeed(float step);

  private:
    void runRespondingScript();

    Npc* respondingNpc_ = nullptr;
    GuiButton** buttons_ = nullptr;
    int buttonCount_ = 0;
    float mouseX_ = 320.0f;
    float mouseY_ = 240.0f;
    bool chatOpen_ = false;
    ChatBox* chatBox_ = nullptr;
    ErrorPanel* errorPanel_ = nullptr;
};
