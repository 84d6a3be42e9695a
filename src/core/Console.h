#pragma once

#include <cstdio>
#include <cstring>

// Console text goes to the standard error stream as raw bytes, without adding anything.
inline void consoleWrite(const char* text) {
    std::fwrite(text, 1, std::strlen(text), stderr);
}
