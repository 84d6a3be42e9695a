#include "map/MapTestSupport.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace MapLibrary;
using namespace maptest;

namespace {

class BlockAnimationTest : public MapTest {
  protected:
    // Loads a map of 8 blocks whose sequence is 0..7, so a frame index is its block too.
    void load(const std::vector<MapImageBuilder::Animation>& records) {
        MapImageBuilder b = solidHeader(2, 1, 2, 8);
        b.mphd();
        b.bkdt(std::vector<MapImageBuilder::Block>(8)).bgfx(std::vector<uint8_t>(8 * 16, 1));
        b.andt({0, 1, 2, 3, 4, 5, 6, 7}, records);
        b.layer("BODY", {-1, 0});
        ASSERT_EQ(decode(b.image()), 0) << lastErrorDetail();
    }

    static MapImageBuilder::Animation overFourToSeven(int type, int delay = 0) {
        MapImageBuilder::Animation a;
        a.type = type;
        a.delay = delay;
        a.start = 4;
        a.end = 8;
        return a;
    }

    // The frame and type after each of `ticks` updates of the last record.
    static std::vector<std::pair<int, int>> run(int ticks) {
        std::vector<std::pair<int, int>> out;
        const BlockAnimation* a = animation(animationCount() - 1);
        for (int i = 0; i < ticks; ++i) {
            updateAnimations();
            out.push_back({a->current, a->type});
        }
        return out;
    }
};

TEST_F(BlockAnimationTest, ResetStartsForwardTypesAtStartAndBackwardOnesAtTheEnd) {
    load({overFourToSeven(1), overFourToSeven(2), overFourToSeven(6), overFourToSeven(0, 5)});
    EXPECT_EQ(animation(1)->current, 4);
    EXPECT_EQ(animation(2)->current, 7);
    EXPECT_EQ(animation(3)->current, 7);
    EXPECT_EQ(animation(4)->current, 4);
    EXPECT_EQ(animation(4)->counter, 5);
    EXPECT_EQ(blockOfCell(-3), 7); // the cell shows its animation's current frame
}

// Frames (and, where the type changes, types) after each update of an animation over frames
// 4..7 with this type and delay; an `end` other than 8 shortens it.
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
        MapImageBuilder::Animation a = overFourToSeven(row.type, row.delay);
        a.end = row.end;
        load({a});
        std::vector<int> frames, types;
        for (const auto& [frame, type] : run(int(row.frames.size()))) {
            frames.push_back(frame);
            types.push_back(type);
        }
        EXPECT_EQ(frames, row.frames);
        if (!row.types.empty()) {
            EXPECT_EQ(types, row.types);
        }
    }
}

TEST_F(BlockAnimationTest, ResetTurnsTheHalfTypesBack) {
    MapImageBuilder::Animation fromFile = overFourToSeven(8, 3);
    fromFile.counter = 1;
    load({overFourToSeven(7), fromFile, overFourToSeven(9)});
    // The load resets them already.
    EXPECT_EQ(animation(1)->type, 6);
    EXPECT_EQ(animation(1)->current, 7);
    EXPECT_EQ(animation(2)->type, 5);
    EXPECT_EQ(animation(2)->counter, 3);
    EXPECT_EQ(animation(3)->type, 3);

    // Resetting a rested once-type starts it again; the terminator is never touched.
    load({overFourToSeven(3)});
    const BlockAnimation terminator = *animation(0);
    run(4);
    EXPECT_EQ(animation(1)->type, 9);
    resetAnimations();
    EXPECT_EQ(animation(1)->type, 3);
    EXPECT_EQ(animation(1)->current, 4);
    EXPECT_EQ(animation(0)->type, -1);
    EXPECT_EQ(animation(0)->current, terminator.current);
    EXPECT_EQ(animation(0)->counter, terminator.counter);
}

TEST_F(BlockAnimationTest, NothingLoadedIsHarmless) {
    freeMap();
    resetAnimations();
    updateAnimations();
    EXPECT_EQ(animationCount(), 0);
}

} // namespace
