#include "map/MapTestSupport.h"

#include <vector>

using namespace MapLibrary;
using namespace maptest;

namespace {

using BlockAnimationTest = MapTest;
using Animation = MapImageBuilder::Animation;

// An animation over frames 4..7, unless `end` shortens it.
Animation anim(int type, int delay = 0, int end = 8) {
    Animation a;
    a.type = type;
    a.delay = delay;
    a.start = 4;
    a.end = end;
    return a;
}

// Loads a map of 8 blocks whose sequence is 0..7, so a frame index is its block too.
void load(const std::vector<Animation>& records) {
    MapImageBuilder b = solidHeader(2, 1, 2, 8);
    b.mphd().bkdt(std::vector<MapImageBuilder::Block>(8)).bgfx(Bytes(8 * 16, 1));
    ASSERT_EQ(decode(b.andt({0, 1, 2, 3, 4, 5, 6, 7}, records).layer("BODY", {-1, 0}).image()), 0)
        << lastErrorDetail();
}

// Type, current frame and counter of every record but the terminator.
std::vector<int> states() {
    std::vector<int> out;
    for (int i = 1; i < animationCount(); ++i)
        out.insert(out.end(), {animation(i)->type, animation(i)->current, animation(i)->counter});
    return out;
}

// Forward types start at start, backward ones at end - 1; the half types turn back.
TEST_F(BlockAnimationTest, LoadResetsEveryAnimation) {
    Animation fromFile = anim(8, 3);
    fromFile.counter = 1;
    load({anim(1), anim(2), anim(6), anim(0, 5), anim(7), fromFile, anim(9)});
    EXPECT_EQ(states(),
              (std::vector<int>{1, 4, 0, 2, 7, 0, 6, 7, 0, 0, 4, 5, 6, 7, 0, 5, 4, 3, 3, 4, 0}));
    EXPECT_EQ(blockOfCell(-5), 7); // a cell shows its animation's current frame
}

// Frames (and, where the type changes, types) after each update.
TEST_F(BlockAnimationTest, EachTypeStepsThroughItsFrames) {
    struct Row {
        int type, delay, end;
        std::vector<int> frames, types;
    };
    const Row rows[] = {
        {1, 2, 8, {4, 4, 5, 5, 5, 6, 6, 6, 7, 7, 7, 4, 4}, {}}, // each frame delay + 1 ticks
        {2, 0, 8, {6, 5, 4, 7, 6}, {}},                         // backward, wrapping to the end
        {5, 0, 8, {5, 6, 7, 6, 5, 4, 5, 6}, {5, 5, 5, 8, 8, 8, 5, 5}}, // ping-pong swaps types
        {6, 0, 8, {6, 5, 4, 5, 6, 7, 6}, {6, 6, 6, 7, 7, 7, 6}},
        {3, 0, 8, {5, 6, 7, 4, 4, 4}, {3, 3, 3, 9, 9, 9}}, // once, then rests on the first
        {4, 0, 8, {5, 6, 7, 7, 7, 7}, {}},                 // once, then rests on the last
        {5, 0, 5, {4, 4, 4, 4}, {}},                       // a single frame stays put
        {6, 0, 5, {4, 4, 4, 4}, {}},
        {1, 0, 4, {4, 4, 4, 4}, {}}, // no frames at all
        {2, 0, 4, {4, 4}, {}},
        {1, 0, 2, {4, 4}, {}}, // start above end: only start and end - 1 are ever shown
        {2, 0, 2, {1, 1}, {}},
        {5, 0, 2, {1, 4, 1, 4}, {8, 5, 8, 5}},
        {6, 0, 2, {4, 1, 4, 1}, {7, 6, 7, 6}},
        {0, 0, 8, {4, 4}, {}},  // still
        {42, 0, 8, {4, 4}, {}}, // unknown type
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "type " << row.type << " end " << row.end);
        load({anim(row.type, row.delay, row.end)});
        std::vector<int> frames, types;
        for (size_t i = 0; i < row.frames.size(); ++i) {
            updateAnimations();
            frames.push_back(animation(1)->current);
            types.push_back(animation(1)->type);
        }
        EXPECT_EQ(frames, row.frames);
        EXPECT_EQ(types, row.types.empty() ? types : row.types); // types only where given
    }
}

// A rested once-type starts again; the terminator is never touched, and no map is harmless.
TEST_F(BlockAnimationTest, ResetRestartsAndLeavesTheTerminator) {
    load({anim(3)});
    const BlockAnimation terminator = *animation(0);
    for (int i = 0; i < 4; ++i)
        updateAnimations();
    EXPECT_EQ(states(), (std::vector<int>{9, 4, 0}));
    resetAnimations();
    EXPECT_EQ(states(), (std::vector<int>{3, 4, 0}));
    EXPECT_EQ((std::vector<int>{animation(0)->type, animation(0)->current, animation(0)->counter}),
              (std::vector<int>{-1, terminator.current, terminator.counter}));
    freeMap();
    resetAnimations();
    updateAnimations();
    EXPECT_EQ(animationCount(), 0);
}

} // namespace
