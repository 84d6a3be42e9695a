#include "core/HostPath.h"

#include <algorithm>

std::string hostPath(const std::string& path) {
#ifdef _WIN32
    return path;
#else
    std::string converted = path;
    std::replace(converted.begin(), converted.end(), '\\', '/');
    return converted;
#endif
}
