// Feeds whole Tiled map files, XML and JSON alike, to the Tiled reader: broken markup, wrong
// types, huge sizes, bad base64, corrupt compressed streams, deep groups. Every input must be
// read or refused with one line naming the file, never with a crash, a hang or memory taken
// without bound. The files it names are looked for in a folder that does not exist, so
// external tilesets and images simply fail.

#include "TiledLoader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string path = "no-such-folder/fuzz.tmx";
    TiledLoader reader;
    TiledModel::Map map;
    if (!reader.readText(text, path, map)) {
        const std::string& error = reader.error();
        if (error.compare(0, path.size(), path) != 0 || error.find('\n') != std::string::npos)
            std::abort();
    }
    return 0;
}
