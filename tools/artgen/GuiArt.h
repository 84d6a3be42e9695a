#pragma once

#include <string>

// The chat box panel, its bubbles and markers, the speed-button arrow and the mouse pointer.
bool writeGuiArt(const std::string& root);
