// Drives the GUI and the world with random pointer positions, presses and releases, chat
// lines and responses. Each input is a list of operations: an operation byte, then the bytes
// that operation needs. Pointer positions are raw floats (not-a-number, infinities and values
// far beyond the int range included). A crash or a sanitizer report is a finding; so is a
// chat box whose shown state and the GUI's open flag disagree, or a line longer than 79 bytes.
// Run it with -close_fd_mask=2 to keep the console lines out of the fuzzer's report.

#include "core/GameContext.h"
#include "gui/ChatBox.h"
#include "gui/ChatLine.h"
#include "gui/Gui.h"
#include "world/Conversation.h"
#include "world/Environment.h"
#include "world/NpcManager.h"

#include <allegro5/allegro.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

class InputReader {
  public:
    InputReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool done() const { return position_ >= size_; }
    uint8_t byte() { return done() ? 0 : data_[position_++]; }
    template <typename T> T value() {
        uint8_t bytes[sizeof(T)] = {};
        for (uint8_t& b : bytes)
            b = byte();
        T result;
        std::memcpy(&result, bytes, sizeof result);
        return result;
    }
    std::string text(size_t length) {
        std::string result;
        for (size_t i = 0; i < length && !done(); ++i) {
            const char c = static_cast<char>(byte());
            result += c == '\0' ? ' ' : c;
        }
        return result;
    }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};

void check(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (!al_init())
        std::abort();
    al_set_new_bitmap_flags(ALLEGRO_MEMORY_BITMAP);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    game = GameContext{};
    game.npcManager = new NpcManager();
    game.conversation = new Conversation();
    game.gui = new Gui();
    game.environment = new Environment(4, 4);
    game.npcManager->addNpc(100, 100, "A", 0, "a.lua", "QuillaTemp");
    game.npcManager->addNpc(110, 110, "B", 1, "b.lua", "");
    ChatBox* chat = game.gui->chatBox();

    InputReader in(data, size);
    while (!in.done()) {
        switch (in.byte() % 8) {
        case 0: {
            const float x = in.value<float>();
            const float y = in.value<float>();
            game.gui->setMouse(x, y);
            break;
        }
        case 1:
            game.gui->click(in.byte() % 2 ? ButtonState::Release : ButtonState::Press);
            break;
        case 2: {
            const int index = static_cast<int8_t>(in.byte());
            chat->setLine(index, in.text(in.byte()).c_str());
            break;
        }
        case 3: {
            const int index = static_cast<int8_t>(in.byte());
            const std::string text = in.text(in.byte());
            chat->setResponse(index, text.c_str(), in.value<int32_t>());
            break;
        }
        case 4:
            chat->clearAll();
            break;
        case 5: {
            const ButtonState state = in.byte() % 2 ? ButtonState::Release : ButtonState::Press;
            const int x = in.value<int32_t>();
            game.environment->handleMouse(state, x, in.value<int32_t>());
            break;
        }
        case 6:
            game.npcManager->setActiveNpcByNumber(in.byte() % 3);
            break;
        default:
            if (in.byte() % 2)
                game.conversation->open();
            else
                game.conversation->close();
            break;
        }
        check(chat->isShown() == game.conversation->isOpen());
        for (int i = 0; i < ChatBox::lineCount; ++i)
            check(std::strlen(chat->line(i)->text()) <= ChatLine::maxText);
    }

    deleteManagers(game);
    return 0;
}
