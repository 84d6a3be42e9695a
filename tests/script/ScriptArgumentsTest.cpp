#include "script/ScriptArguments.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>

TEST(ScriptArguments, IntsTruncateTowardZeroAndSaturate) {
    const double given[] = {1.9,      -0.9,          NAN,           2147483647.9,
                            INFINITY, -2147483647.5, -2147483648.9, -INFINITY};
    const int read[] = {1, 0, 0, INT_MAX, INT_MAX, -2147483647, INT_MIN, INT_MIN};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(truncateToInt(given[i]), read[i]) << given[i];
}

// Beyond the largest float the nearest one is still FLT_MAX up to half a step (2^103) above.
TEST(ScriptArguments, FloatsNarrowToNearestAndOverflowToInfinity) {
    const double max = FLT_MAX, step = std::ldexp(1.0, 103);
    const double given[] = {2.9999999, max + step / 2, -max - step / 2, max + step, -1e300};
    const float narrowed[] = {3.0f, FLT_MAX, -FLT_MAX, INFINITY, -INFINITY};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(narrowToFloat(given[i]), narrowed[i]) << given[i];
    EXPECT_TRUE(std::isnan(narrowToFloat(NAN)));
}
