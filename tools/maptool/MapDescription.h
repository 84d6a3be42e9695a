#pragma once

#include "MapWriter.h"

#include <optional>
#include <string>
#include <utility>

// Command-line choices of `make` that override the description's own.
struct MakeOptions {
    std::optional<int> mapType;
    std::optional<int> depth;
    std::optional<MapWriter::ByteOrder> byteOrder;
    std::optional<std::pair<int, int>> stagger;
    std::optional<std::pair<int, int>> steps;
    std::optional<std::string> note;
    bool shortHeader = false;
};

// A map as its author describes it in JSON: a tile sheet, named blocks, named animations and
// layers of rows. Reading one resolves every name and tile into the writer's MapContent; the
// sheet's graphics are cut once, with graphic 0 always the empty (transparent) graphic.
class MapDescription {
  public:
    // False with a one-line reason in error() when the file, its JSON or any value is wrong.
    bool read(const std::string& path, const MakeOptions& options);

    const MapWriter::MapContent& content() const { return content_; }
    const std::string& error() const { return error_; }
    // Opaque pixels of grey 64,64,64 in the used tiles; the game keys that colour out.
    int greyKeyPixels() const { return greyKeyPixels_; }

  private:
    MapWriter::MapContent content_;
    std::string error_;
    int greyKeyPixels_ = 0;
};
