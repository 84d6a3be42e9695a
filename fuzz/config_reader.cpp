// Feeds whole key-binding files to the configuration reader: long lines, tabs, CR LF line
// ends, missing and overlong words, binary bytes. Every input must be applied or refused with
// a console line, never with a crash or an access outside the reader's buffers. Afterwards
// every binding must still hold a key code the key name table knows, and every action name
// must be terminated within its buffer. Run it with -close_fd_mask=2 to keep the reader's
// console lines out of the fuzzer's report.

#include "core/GameContext.h"
#include "input/ConfigReader.h"
#include "input/KeyBindings.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void check(bool condition) {
    if (!condition)
        std::abort();
}

bool knownCode(const ConfigReader& reader, int code) {
    if (code == -1)
        return true;
    for (int i = 0; i < reader.keyNameTableSize(); ++i)
        if (reader.keyName(i)->code == code)
            return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    KeyBindings bindings;
    game.keyBindings = &bindings;
    ConfigReader reader(ConfigReader::TableOnly::Tag);
    reader.readText(reinterpret_cast<const char*>(data), size);
    for (int i = 0; i < bindings.count(); ++i) {
        const KeyBinding* binding = bindings.binding(i);
        check(binding != nullptr);
        check(std::memchr(binding->name, '\0', sizeof binding->name) != nullptr);
        check(knownCode(reader, binding->primaryKey));
        check(knownCode(reader, binding->secondaryKey));
    }
    game.keyBindings = nullptr;
    return 0;
}
