#pragma once

#include <string>

// Why a picture file cannot be used, in words for an author: "there is no such file", or what
// the image reader said about it ("Not a PNG file"). Empty when it decodes. Takes a path as the
// game writes it. PNG files are read with libpng, which names the fault; for other formats
// only Allegro's verdict is known.
std::string pictureProblem(const std::string& gamePath);
