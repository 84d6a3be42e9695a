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

    static std::vector<int> frames(int ticks) {
        std::vector<int> out;
        for (const auto& step : run(ticks))
            out.push_back(step.first);
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

TEST_F(BlockAnimationTest, DelayHoldsEachFrameForDelayPlusOneTicks) {
    load({overFourToSeven(1, 2)});
    EXPECT_EQ(frames(13), (std::vector<int>{4, 4, 5, 5, 5, 6, 6, 6, 7, 7, 7, 4, 4}));
}

TEST_F(BlockAnimationTest, BackwardTypeWrapsToTheLastFrame) {
    load({overFourToSeven(2)});
    EXPECT_EQ(frames(5), (std::vector<int>{6, 5, 4, 7, 6}));
}

TEST_F(BlockAnimationTest, PingPongTypesTurnAndSwapTypes) {
    load({overFourToSeven(5)});
    const std::vector<std::pair<int, int>> five = {{5, 5}, {6, 5}, {7, 5}, {6, 8},
                                                   {5, 8}, {4, 8}, {5, 5}, {6, 5}};
    EXPECT_EQ(run(8), five);

    load({overFourToSeven(6)});
    const std::vector<std::pair<int, int>> six = {{6, 6}, {5, 6}, {4, 6}, {5, 7},
                                                  {6, 7}, {7, 7}, {6, 6}};
    EXPECT_EQ(run(7), six);
}

TEST_F(BlockAnimationTest, OnceTypesRestAfterOnePass) {
    load({overFourToSeven(3)});
    const std::vector<std::pair<int, int>> three = {{5, 3}, {6, 3}, {7, 3}, {4, 9}, {4, 9}, {4, 9}};
    EXPECT_EQ(run(6), three);

    load({overFourToSeven(4)});
    EXPECT_EQ(frames(6), (std::vector<int>{5, 6, 7, 7, 7, 7}));
}

TEST_F(BlockAnimationTest, OneFrameAndEmptyAnimationsStayPut) {
    MapImageBuilder::Animation single = overFourToSeven(5);
    single.end = 5;
    load({single});
    EXPECT_EQ(frames(6), (std::vector<int>{4, 4, 4, 4, 4, 4}));

    MapImageBuilder::Animation backward = overFourToSeven(6);
    backward.end = 5;
    load({backward});
    EXPECT_EQ(frames(6), (std::vector<int>{4, 4, 4, 4, 4, 4}));

    MapImageBuilder::Animation empty = overFourToSeven(1);
    empty.end = 4;
    load({empty});
    EXPECT_EQ(frames(4), (std::vector<int>{4, 4, 4, 4}));
}

TEST_F(BlockAnimationTest, StillAndUnknownTypesNeverMove) {
    load({overFourToSeven(0), overFourToSeven(42)});
    updateAnimations();
    updateAnimations();
    EXPECT_EQ(animation(1)->current, 4);
    EXPECT_EQ(animation(2)->current, 4);
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

    load({overFourToSeven(3)});
    run(4);
    EXPECT_EQ(animation(1)->type, 9);
    resetAnimations();
    EXPECT_EQ(animation(1)->type, 3);
    EXPECT_EQ(animation(1)->current, 4);
}

TEST_F(BlockAnimationTest, TerminatorIsNeverTouched) {
    load({overFourToSeven(1)});
    const BlockAnimation before = *animation(0);
    run(5);
    resetAnimations();
    EXPECT_EQ(animation(0)->type, -1);
    EXPECT_EQ(animation(0)->current, before.current);
    EXPECT_EQ(animation(0)->counter, before.counter);
}

TEST_F(BlockAnimationTest, NothingLoadedIsHarmless) {
    freeMap();
    resetAnimations();
    updateAnimations();
    EXPECT_EQ(animationCount(), 0);
}

} // namespace
