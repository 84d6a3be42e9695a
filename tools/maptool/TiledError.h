#pragma once

#include <stdexcept>
#include <string>

// The one-line reason a Tiled file cannot be read ("FILE: ELEMENT: what"). The readers throw
// it from deep inside and TiledReader turns it into its error() text.
class TiledError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};
