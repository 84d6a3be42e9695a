#pragma once

#include <string>

// The conversation portraits of the farm's characters and the scenic backdrop drawn under them.
bool writePortraitArt(const std::string& root);
