#include "input/KeyBindings.h"
KeyBindings::KeyBindings() {}
KeyBindings::~KeyBindings() {}
void KeyBindings::addDefaultBindings() {}
void KeyBindings::setKeys(const char*, int, int) {}
void KeyBindings::setKeyState(int, bool) {}
const KeyBinding* KeyBindings::binding(int) const { return nullptr; }
void KeyBindings::append(const char*, int, int, int) {}
