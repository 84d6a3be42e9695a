#include "map/MapState.h"

namespace MapLibrary {

MapState& mapState() {
    static MapState state;
    return state;
}

int fail(int code, const std::string& detail) {
    MapState& s = mapState();
    s.lastError = code;
    s.errorDetail = detail;
    return -1;
}

} // namespace MapLibrary
