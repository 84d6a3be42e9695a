// Feeds whole Tiled map files, XML and JSON alike, through Tiled's own reader (as the map
// tool's loader calls it) into our conversion: broken markup, wrong types, huge sizes, bad
// base64, corrupt compressed streams, deep groups. Every input must be read or refused with
// one line naming the file, and what is read must be converted or refused with one line, never
// with a crash, a hang or memory taken without bound. The files it names are looked for in the
// corpus folder of the fuzzer's working directory, whose seeds include "tiles16.png", the image
// the seed maps name; other external tilesets, templates and images simply fail.

#include "TiledImport.h"
#include "TiledLoader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string path = "corpus/fuzz.tmx";
    TiledLoader reader;
    TiledModel::Map map;
    if (!reader.readText(text, path, map)) {
        const std::string& error = reader.error();
        if (error.compare(0, path.size(), path) != 0 || error.find('\n') != std::string::npos)
            std::abort();
        return 0;
    }
    TiledImport import;
    if (!import.convert(map, ImportOptions{}) &&
        (import.error().empty() || import.error().find('\n') != std::string::npos))
        std::abort();
    return 0;
}
