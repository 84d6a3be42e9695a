#pragma once

#include <string>

// The conversation portraits of Quilla and Bramble and the scenic backdrop drawn under them.
bool writePortraitArt(const std::string& root);
