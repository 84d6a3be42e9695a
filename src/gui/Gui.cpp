#include "gui/Gui.h"
Gui::Gui() {}
Gui::~Gui() {}
GuiButton* Gui::addButton(GuiButton* button) { return button; }
void Gui::setMouse(float x, float y) { mouseX_ = x; mouseY_ = y; }
bool Gui::click(int) { return false; }
void Gui::draw(ALLEGRO_BITMAP*) {}
void Gui::openChat() { chatOpen_ = true; }
void Gui::closeChat() { chatOpen_ = false; }
GuiButton* Gui::button(int) const { return nullptr; }
void Gui::stepWalkSpeed(float) {}
void Gui::stepSprintSpeed(float) {}
