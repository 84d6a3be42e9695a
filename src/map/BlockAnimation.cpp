#include "map/MapLibrary.h"
#include "map/MapState.h"

namespace MapLibrary {

namespace {

// One tick of an animation whose delay has run out. The comparisons use >= and < rather than
// equality so that a record can never run away from its frames.
void step(BlockAnimation& a) {
    switch (a.type) {
    case 1:
        if (++a.current >= a.end)
            a.current = a.start;
        break;
    case 2:
        if (--a.current < a.start)
            a.current = a.end - 1;
        break;
    case 3:
        if (++a.current >= a.end) {
            a.current = a.start;
            a.type = 9;
        }
        break;
    case 4:
        if (a.current < a.end - 1)
            ++a.current;
        break;
    case 5:
    case 7:
        if (++a.current >= a.end) {
            a.current = a.end - 2;
            a.type = a.type == 5 ? 8 : 6;
            if (a.current < a.start) // a single frame
                a.current = a.end - 1;
        }
        break;
    case 6:
    case 8:
        if (--a.current < a.start) {
            a.current = a.start + 1;
            a.type = a.type == 6 ? 7 : 5;
            if (a.current >= a.end) // a single frame
                a.current = a.start;
        }
        break;
    default: // 9 and unknown types rest
        break;
    }
}

} // namespace

void resetAnimations() {
    auto& animations = mapState().animations;
    // Record 0 is the terminator and is not touched.
    for (size_t i = animations.size(); i-- > 1;) {
        BlockAnimation& a = animations[i];
        if (a.type == 8)
            a.type = 5;
        else if (a.type == 7)
            a.type = 6;
        else if (a.type == 9)
            a.type = 3;
        a.current = a.start;
        if ((a.type == 2 || a.type == 6) && a.start != a.end)
            a.current = a.end - 1;
        a.counter = a.delay;
    }
}

void updateAnimations() {
    auto& animations = mapState().animations;
    for (size_t i = animations.size(); i-- > 1;) {
        BlockAnimation& a = animations[i];
        if (a.type == 0)
            continue;
        const int counter = a.counter - 1;
        if (counter >= 0) {
            a.counter = int8_t(counter);
            continue;
        }
        a.counter = a.delay;
        if (a.start == a.end)
            continue;
        step(a);
    }
}

} // namespace MapLibrary
