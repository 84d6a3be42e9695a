#include "map/MapLibrary.h"
namespace MapLibrary {
int loadMap(const char*, int) {
    return -1;
}
int decodeMap(const unsigned char*, std::size_t, int) {
    return -1;
}
void freeMap() {}
int lastError() {
    return 0;
}
const char* errorName(int) {
    return "MapOk";
}
int selectLayer(int) {
    return -1;
}
void drawBackground(int, int, int, int, int, int) {}
void resetAnimations() {}
void updateAnimations() {}
} // namespace MapLibrary
