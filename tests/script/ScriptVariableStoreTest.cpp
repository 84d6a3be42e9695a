#include "script/ScriptVariableStore.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>

TEST(ScriptVariableStore, EmptyStoreFindsNothingAndAddsNothing) {
    ScriptVariableStore store;
    EXPECT_EQ(store.getIntVariable("x"), -100);
    EXPECT_EQ(store.getStringVariable("x"), nullptr);
    EXPECT_FALSE(store.setIntVariable("x", 1.0f));
    EXPECT_FALSE(store.setStringVariable("x", "a"));
    EXPECT_EQ(store.getVariableCount(), 0);
    EXPECT_EQ(store.getVariableName(0), nullptr);
    EXPECT_EQ(store.getVariableText(0), nullptr);
}

TEST(ScriptVariableStore, SameNameTwiceKeepsBothAndFirstWins) {
    ScriptVariableStore store;
    store.addIntVariable("x", 1.0f);
    store.addIntVariable("x", 2.0f);
    EXPECT_EQ(store.getVariableCount(), 2);
    EXPECT_EQ(store.getIntVariable("x"), 1);
    EXPECT_TRUE(store.setIntVariable("x", 5.0f));
    EXPECT_STREQ(store.getVariableText(0), "5");
    EXPECT_STREQ(store.getVariableText(1), "2");
    store.deleteVariable("x");
    EXPECT_EQ(store.getIntVariable("x"), -100);
    EXPECT_EQ(store.getVariableCount(), 2);
    EXPECT_EQ(store.getVariableName(0), nullptr);
    EXPECT_EQ(store.getVariableName(1), nullptr);
}

TEST(ScriptVariableStore, AdditionTakesLowestEmptySlot) {
    ScriptVariableStore store;
    store.addIntVariable("a", 1.0f);
    store.addIntVariable("x", 1.0f);
    store.deleteVariable("a");
    store.addIntVariable("x", 2.0f);
    EXPECT_EQ(store.getVariableCount(), 2);
    EXPECT_STREQ(store.getVariableName(0), "x");
    EXPECT_EQ(store.getIntVariable("x"), 2);

    // A hole in the middle is filled before the array grows.
    store.addIntVariable("b", 3.0f);
    store.addIntVariable("c", 4.0f);
    store.deleteVariable("b");
    EXPECT_EQ(store.getIntVariable("c"), 4);
    store.addStringVariable("d", "dee");
    EXPECT_EQ(store.getVariableCount(), 4);
    EXPECT_STREQ(store.getVariableName(2), "d");
    store.addStringVariable("e", "ee");
    EXPECT_EQ(store.getVariableCount(), 5);
    EXPECT_STREQ(store.getVariableName(4), "e");
}

TEST(ScriptVariableStore, KindChanges) {
    ScriptVariableStore store;
    store.addIntVariable("v", 7.0f);
    EXPECT_EQ(store.getStringVariable("v"), nullptr);
    EXPECT_TRUE(store.setStringVariable("v", "seven"));
    EXPECT_EQ(store.getIntVariable("v"), 0);
    EXPECT_STREQ(store.getStringVariable("v"), "seven");
    EXPECT_STREQ(store.getVariableText(0), "seven");
    EXPECT_TRUE(store.setStringVariable("v", "again"));
    EXPECT_STREQ(store.getStringVariable("v"), "again");
    EXPECT_TRUE(store.setIntVariable("v", -5.0f));
    EXPECT_EQ(store.getStringVariable("v"), nullptr);
    EXPECT_EQ(store.getIntVariable("v"), -5);
    EXPECT_STREQ(store.getVariableText(0), "-5");
    EXPECT_EQ(store.getVariableText(-1), nullptr);
    EXPECT_EQ(store.getVariableText(1), nullptr);
}

TEST(ScriptVariableStore, StringVariableReadsAsZeroAndEmptyTextIsAText) {
    ScriptVariableStore store;
    store.addStringVariable("s", "");
    EXPECT_EQ(store.getIntVariable("s"), 0);
    ASSERT_NE(store.getStringVariable("s"), nullptr);
    EXPECT_STREQ(store.getStringVariable("s"), "");
}

TEST(ScriptVariableStore, NamesAreCaseSensitiveAndExact) {
    ScriptVariableStore store;
    store.addIntVariable("Gold", 1.0f);
    store.addIntVariable("gold", 2.0f);
    EXPECT_EQ(store.getIntVariable("Gold"), 1);
    EXPECT_EQ(store.getIntVariable("gold"), 2);
    EXPECT_EQ(store.getIntVariable("Gold "), -100);
    EXPECT_EQ(store.getIntVariable("Gol"), -100);
}

TEST(ScriptVariableStore, FloatStorageAndTruncation) {
    ScriptVariableStore store;
    const struct {
        double given;
        int read;
    } cases[] = {
        {2.9, 2},
        {-2.9, -2},
        {16777216.0, 16777216},
        {16777217.0, 16777216},
        {2.9999999, 3},
        {-0.5, 0},
        {-16777216.0, -16777216},
        {2147483520.0, 2147483520}, // the largest float below 2^31
    };
    for (const auto& c : cases) {
        store.deleteVariable("n");
        store.addIntVariable("n", static_cast<float>(c.given));
        EXPECT_EQ(store.getIntVariable("n"), c.read) << c.given;
    }
}

TEST(ScriptVariableStore, OutOfRangeFloatsSaturateAndNanReadsZero) {
    EXPECT_EQ(ScriptVariableStore::readInt(NAN), 0);
    EXPECT_EQ(ScriptVariableStore::readInt(INFINITY), INT_MAX);
    EXPECT_EQ(ScriptVariableStore::readInt(-INFINITY), INT_MIN);
    EXPECT_EQ(ScriptVariableStore::readInt(2147483648.0f), INT_MAX);
    EXPECT_EQ(ScriptVariableStore::readInt(-2147483648.0f), INT_MIN);
    EXPECT_EQ(ScriptVariableStore::readInt(-4294967296.0f), INT_MIN);
    EXPECT_EQ(ScriptVariableStore::readInt(1e30f), INT_MAX);

    ScriptVariableStore store;
    store.addIntVariable("big", 1e30f);
    EXPECT_EQ(store.getIntVariable("big"), INT_MAX);
    EXPECT_STREQ(store.getVariableText(0), "2147483647");
    store.addIntVariable("nan", NAN);
    EXPECT_EQ(store.getIntVariable("nan"), 0);
}

TEST(ScriptVariableStore, LongTextsAndNamesAreKeptWhole) {
    ScriptVariableStore store;
    const std::string longName(5000, 'n');
    const std::string longText(100000, 't');
    store.addStringVariable(longName.c_str(), longText.c_str());
    EXPECT_EQ(std::string(store.getStringVariable(longName.c_str())), longText);
}
