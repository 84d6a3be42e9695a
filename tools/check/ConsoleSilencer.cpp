#include "ConsoleSilencer.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

void flushBoth() {
    std::fflush(stdout);
    std::fflush(stderr);
}

} // namespace

ConsoleSilencer::ConsoleSilencer(bool showConsole) {
    flushBoth();
    savedOut_ = dup(STDOUT_FILENO);
    if (showConsole) {
        if (savedOut_ >= 0)
            dup2(STDERR_FILENO, STDOUT_FILENO);
        return;
    }
    const int sink = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (sink < 0)
        return;
    savedErr_ = dup(STDERR_FILENO);
    if (savedOut_ >= 0)
        dup2(sink, STDOUT_FILENO);
    if (savedErr_ >= 0)
        dup2(sink, STDERR_FILENO);
    close(sink);
}

ConsoleSilencer::~ConsoleSilencer() {
    // What the scripts left in the stream buffers goes where they wrote it, not to the report.
    flushBoth();
    if (savedOut_ >= 0) {
        dup2(savedOut_, STDOUT_FILENO);
        close(savedOut_);
    }
    if (savedErr_ >= 0) {
        dup2(savedErr_, STDERR_FILENO);
        close(savedErr_);
    }
}
