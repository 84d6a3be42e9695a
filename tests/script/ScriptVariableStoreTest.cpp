#include "script/ScriptVariableStore.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>

TEST(ScriptVariableStore, FirstMatchWinsAndDeleteEmptiesEverySlotOfTheName) {
    ScriptVariableStore store;
    EXPECT_EQ(store.getIntVariable("x"), -100);
    EXPECT_EQ(store.getVariableName(0), nullptr);
    EXPECT_FALSE(store.setIntVariable("x", 1.0f)); // setters of missing names add nothing
    EXPECT_FALSE(store.setStringVariable("x", "a"));
    store.addIntVariable("x", 1.0f);
    store.addIntVariable("x", 2.0f);
    store.addIntVariable("X", 3.0f);
    EXPECT_EQ(store.getIntVariable("x"), 1);
    EXPECT_EQ(store.getIntVariable("X"), 3);
    EXPECT_EQ(store.getIntVariable("x "), -100);
    EXPECT_TRUE(store.setIntVariable("x", 5.0f));
    EXPECT_EQ(store.getVariableText(0), "5");
    EXPECT_EQ(store.getVariableText(1), "2");
    store.deleteVariable("x");
    EXPECT_EQ(store.getIntVariable("x"), -100);
    EXPECT_EQ(store.getVariableCount(), 3);
    EXPECT_EQ(store.getVariableName(0), nullptr);
    EXPECT_EQ(store.getVariableName(1), nullptr);
}

TEST(ScriptVariableStore, AdditionFillsTheLowestEmptySlotBeforeGrowing) {
    ScriptVariableStore store;
    for (const char* name : {"a", "b", "c"})
        store.addIntVariable(name, 1.0f);
    store.deleteVariable("b");
    store.deleteVariable("a");
    store.addStringVariable("d", "dee");
    store.addIntVariable("e", 2.0f);
    store.addIntVariable("f", 3.0f);
    EXPECT_EQ(store.getVariableCount(), 4);
    EXPECT_EQ(*store.getVariableName(0), "d");
    EXPECT_EQ(*store.getVariableName(1), "e");
    EXPECT_EQ(*store.getVariableName(2), "c");
    EXPECT_EQ(*store.getVariableName(3), "f");
    EXPECT_EQ(store.getIntVariable("c"), 1);
}

TEST(ScriptVariableStore, KindChanges) {
    ScriptVariableStore store;
    store.addIntVariable("v", 7.0f);
    EXPECT_EQ(store.getStringVariable("v"), nullptr);
    EXPECT_TRUE(store.setStringVariable("v", "seven"));
    EXPECT_EQ(store.getIntVariable("v"), 0);
    EXPECT_EQ(store.getVariableText(0), "seven");
    EXPECT_TRUE(store.setIntVariable("v", -5.0f));
    EXPECT_EQ(store.getStringVariable("v"), nullptr);
    EXPECT_EQ(store.getVariableText(0), "-5");
    EXPECT_EQ(store.getVariableText(-1), std::nullopt);
    store.addStringVariable("s", "");
    EXPECT_EQ(*store.getStringVariable("s"), ""); // an empty text is still a text
    const std::string longName(5000, 'n'), longText(100000, 't');
    store.addStringVariable(longName, longText);
    EXPECT_EQ(*store.getStringVariable(longName), longText);
}

// Numbers are stored as floats and read back truncated toward zero; out of range saturates
// and NaN reads as zero.
TEST(ScriptVariableStore, FloatStorageAndSoundIntConversion) {
    struct Case {
        float stored;
        int read;
    };
    const Case cases[] = {{2.9f, 2},
                          {-2.9f, -2},
                          {-0.5f, 0},
                          {static_cast<float>(16777217.0), 16777216},
                          {static_cast<float>(2.9999999), 3},
                          {2147483520.0f, 2147483520}, // the largest float below 2^31
                          {2147483648.0f, INT_MAX},
                          {-2147483648.0f, INT_MIN},
                          {-4294967296.0f, INT_MIN},
                          {1e30f, INT_MAX},
                          {INFINITY, INT_MAX},
                          {-INFINITY, INT_MIN},
                          {NAN, 0}};
    ScriptVariableStore store;
    for (const Case& c : cases) {
        store.deleteVariable("n");
        store.addIntVariable("n", c.stored);
        EXPECT_EQ(store.getIntVariable("n"), c.read) << c.stored;
        EXPECT_EQ(ScriptVariableStore::readInt(c.stored), c.read) << c.stored;
    }
    store.setIntVariable("n", 1e30f);
    EXPECT_EQ(store.getVariableText(0), "2147483647");
}
