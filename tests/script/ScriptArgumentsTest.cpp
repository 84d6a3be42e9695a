#include "script/ScriptArguments.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>

TEST(ScriptArguments, IntsTruncateTowardZeroAndSaturate) {
    EXPECT_EQ(truncateToInt(1.9), 1);
    EXPECT_EQ(truncateToInt(-3.7), -3);
    EXPECT_EQ(truncateToInt(-0.9), 0);
    EXPECT_EQ(truncateToInt(NAN), 0);
    EXPECT_EQ(truncateToInt(2147483647.9), INT_MAX);
    EXPECT_EQ(truncateToInt(2147483648.0), INT_MAX);
    EXPECT_EQ(truncateToInt(INFINITY), INT_MAX);
    EXPECT_EQ(truncateToInt(-2147483647.5), -2147483647);
    EXPECT_EQ(truncateToInt(-2147483648.9), INT_MIN);
    EXPECT_EQ(truncateToInt(-INFINITY), INT_MIN);
}

TEST(ScriptArguments, FloatsNarrowToNearestAndOverflowToInfinity) {
    EXPECT_EQ(narrowToFloat(2.9999999), 3.0f);
    EXPECT_EQ(narrowToFloat(16777217.0), 16777216.0f);
    EXPECT_EQ(narrowToFloat(static_cast<double>(FLT_MAX) + std::ldexp(1.0, 102)), FLT_MAX);
    EXPECT_EQ(narrowToFloat(-static_cast<double>(FLT_MAX) - std::ldexp(1.0, 102)), -FLT_MAX);
    EXPECT_EQ(narrowToFloat(static_cast<double>(FLT_MAX) + std::ldexp(1.0, 103)), INFINITY);
    EXPECT_EQ(narrowToFloat(-1e300), -INFINITY);
    EXPECT_TRUE(std::isnan(narrowToFloat(NAN)));
}
