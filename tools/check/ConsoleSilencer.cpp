#include "ConsoleSilencer.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

ConsoleSilencer::ConsoleSilencer(bool enabled) {
    if (!enabled)
        return;
    std::fflush(stderr);
    const int sink = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (sink < 0)
        return;
    saved_ = dup(STDERR_FILENO);
    if (saved_ >= 0)
        dup2(sink, STDERR_FILENO);
    close(sink);
}

ConsoleSilencer::~ConsoleSilencer() {
    if (saved_ < 0)
        return;
    std::fflush(stderr);
    dup2(saved_, STDERR_FILENO);
    close(saved_);
}
