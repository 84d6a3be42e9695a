#pragma once

#include <string>

// The game writes data paths with backslashes ("Data\Graphics\Fonts\a4_font.tga"). This is
// the one place that turns them into the host's form, right where a file is opened; messages
// keep the path as the game built it.
std::string hostPath(const std::string& path);
