#include "CheckOptions.h"
#include "ContentChecker.h"

#include <cstdio>
#include <exception>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include <unistd.h>

// fennow-check: walks every conversation of a map's characters without a window and reports
// what a player would run into.
int main(int argc, char** argv) {
    const std::vector<std::string> words(argv + 1, argv + argc);
    CheckOptions options;
    std::string error;
    if (!parseCheckOptions(words, options, error)) {
        std::fprintf(stderr, "fennow-check: %s\n%s", error.c_str(), checkUsage());
        return 2;
    }
    if (options.help) {
        std::fputs(checkUsage(), stdout);
        return 0;
    }
    try {
        ContentChecker checker(options);
        return checker.run(std::cout, std::cerr, isatty(STDERR_FILENO) == 1);
    } catch (const std::bad_alloc&) {
        std::fputs("fennow-check: out of memory\n", stderr);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "fennow-check: %s\n", e.what());
    }
    return 2;
}
