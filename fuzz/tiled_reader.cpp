// Feeds whole Tiled map files, XML and JSON alike, through Tiled's own reader (as the map
// tool's loader calls it) into our conversion: broken markup, wrong types, huge sizes, bad
// base64, corrupt compressed streams, deep groups. Every input must be read or refused with
// one line naming the file, and what is read must be converted or refused with one line, never
// with a crash, a hang or memory taken without bound. The files it names are looked for in a
// scratch folder that holds one 64 x 32 image, "tiles16.png", as the seed maps name it; other
// external tilesets, templates and images simply fail.

#include "TiledImport.h"
#include "TiledLoader.h"

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

// The scratch folder, made on the first input and removed when the fuzzer ends.
class Scratch {
  public:
    Scratch() {
        const char* base = std::getenv("TMPDIR");
        std::string name =
            std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/fuzz-tiled.XXXXXX";
        if (mkdtemp(name.data()) == nullptr)
            std::abort();
        folder_ = name;
        TiledLoader().readText("", folder_ + "/start.tmx", map_); // starts Qt
        QImage image(64, 32, QImage::Format_ARGB32);
        image.fill(qRgba(90, 140, 60, 255));
        if (!image.save(QString::fromStdString(folder_ + "/tiles16.png")))
            std::abort();
    }
    ~Scratch() { std::filesystem::remove_all(folder_); }
    std::string map() const { return folder_ + "/fuzz.tmx"; }

  private:
    std::string folder_;
    TiledModel::Map map_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    static const Scratch scratch;
    const std::string path = scratch.map();
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
