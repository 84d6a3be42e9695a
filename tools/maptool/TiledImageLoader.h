#pragma once

#include "TiledMap.h"

#include <cstddef>
#include <string>

// Decodes the images a Tiled map names into RGBA pixels through Allegro, on memory bitmaps,
// and keys out a tileset's transparent colour.
class TiledImageLoader {
  public:
    // The most pixels one image may hold; larger images are refused before they are decoded
    // where the file's header tells their size (PNG), and after otherwise.
    static constexpr std::size_t maxPixels = std::size_t{1} << 24;

    // trans is "" or six hex digits with or without a leading '#'. False with a reason.
    bool load(const std::string& path, const std::string& trans, Tiled::Image& image);
    const std::string& error() const { return error_; }

  private:
    bool fail(const std::string& reason);
    std::string error_;
};
