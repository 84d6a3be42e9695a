#include "input/KeyBindings.h"

#include "core/GameContext.h"
#include "player/Player.h"

#include <allegro5/allegro.h>

#include <cstdlib>
#include <cstring>

namespace {

// Copies a name into a fixed buffer, cut to fit and always terminated.
void copyName(char* destination, std::size_t size, const char* name) {
    std::size_t i = 0;
    for (; name[i] != '\0' && i + 1 < size; ++i) {
        destination[i] = name[i];
    }
    destination[i] = '\0';
}

// Flags of a binding when there is no Player to write (tests that build only the bindings).
bool unusedFlags[2][Player::ActionCount] = {};

} // namespace

KeyBindings::KeyBindings() {
    addDefaultBindings();
}

KeyBindings::~KeyBindings() {
    for (int i = 0; i < count_; ++i) {
        delete bindings_[i];
    }
    std::free(bindings_);
}

void KeyBindings::addDefaultBindings() {
    append("Up", ALLEGRO_KEY_UP, -1, Player::Up);
    append("Right", ALLEGRO_KEY_RIGHT, -1, Player::Right);
    append("Down", ALLEGRO_KEY_DOWN, -1, Player::Down);
    append("Left", ALLEGRO_KEY_LEFT, -1, Player::Left);
    append("Sprint", ALLEGRO_KEY_LSHIFT, ALLEGRO_KEY_RSHIFT, Player::Sprint);
    append("Quit", ALLEGRO_KEY_ESCAPE, -1, Player::Quit);
}

void KeyBindings::setKeys(const char* name, int primaryKey, int secondaryKey) {
    if (name == nullptr) {
        return;
    }
    for (int i = 0; i < count_; ++i) {
        if (std::strcmp(bindings_[i]->name, name) == 0) {
            bindings_[i]->primaryKey = primaryKey;
            bindings_[i]->secondaryKey = secondaryKey;
            return;
        }
    }
}

bool KeyBindings::isQuitKey(int keyCode) const {
    if (count_ == 0 || keyCode < 0)
        return false;
    const KeyBinding* quit = bindings_[count_ - 1];
    return keyCode == quit->primaryKey || keyCode == quit->secondaryKey;
}

void KeyBindings::setKeyState(int keyCode, bool pressed, bool mayQuit) {
    // -1 marks an empty slot; no keyboard event carries a negative code.
    if (count_ == 0 || keyCode < 0) {
        return;
    }
    // The Quit keys act on release too, so a press missed before the window had the focus
    // still ends the game.
    if (mayQuit && isQuitKey(keyCode)) {
        game.quit = true;
    }
    for (int i = 0; i < count_ - 1; ++i) {
        KeyBinding* binding = bindings_[i];
        if (binding->primaryKey == keyCode) {
            *binding->primaryFlag = pressed;
        } else if (binding->secondaryKey == keyCode) {
            *binding->secondaryFlag = pressed;
        }
    }
}

const KeyBinding* KeyBindings::binding(int index) const {
    return index >= 0 && index < count_ ? bindings_[index] : nullptr;
}

void KeyBindings::append(const char* name, int primaryKey, int secondaryKey, int flagIndex) {
    auto* binding = new KeyBinding{};
    binding->primaryKey = primaryKey;
    binding->secondaryKey = secondaryKey;
    if (game.player != nullptr) {
        binding->primaryFlag = &game.player->primaryKeys[flagIndex];
        binding->secondaryFlag = &game.player->secondaryKeys[flagIndex];
    } else {
        binding->primaryFlag = &unusedFlags[0][flagIndex];
        binding->secondaryFlag = &unusedFlags[1][flagIndex];
    }
    copyName(binding->name, sizeof binding->name, name);

    auto** grown =
        static_cast<KeyBinding**>(std::realloc(bindings_, sizeof(KeyBinding*) * (count_ + 1)));
    if (grown == nullptr) {
        delete binding;
        return;
    }
    bindings_ = grown;
    bindings_[count_++] = binding;
}
