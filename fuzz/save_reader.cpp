// Feeds whole save files to the save reader: cut short, not JSON, wrong kinds, odd numbers,
// deep nesting, texts with any bytes. Every input must be read or refused with a problem,
// never a crash; a save that is read must write out and read back to the same text.

#include "world/SaveFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const SaveReadResult read =
        readSaveText(std::string_view(reinterpret_cast<const char*>(data), size));
    if (read.save.has_value() == !read.problem.empty())
        std::abort();
    if (read.save) {
        const std::string written = writeSaveText(*read.save);
        const SaveReadResult again = readSaveText(written);
        if (!again.save || writeSaveText(*again.save) != written)
            std::abort();
    }
    return 0;
}
