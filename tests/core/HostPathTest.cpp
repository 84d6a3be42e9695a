#include "core/HostPath.h"

#include <gtest/gtest.h>

TEST(HostPath, TurnsBackslashesIntoSlashes) {
    EXPECT_EQ(hostPath("Data\\Graphics\\Vornels\\MareSprite.png"),
              "Data/Graphics/Vornels/MareSprite.png");
    EXPECT_EQ(hostPath("plain.lua"), "plain.lua");
    EXPECT_EQ(hostPath(""), "");
}
