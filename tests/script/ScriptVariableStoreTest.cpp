#include "script/ScriptVariableStore.h"

#include <gtest/gtest.h>

// The script-visible behaviour (values, kinds, -100 and nil) is tested through the script
// functions; these tests cover the slots, which scripts cannot see.
TEST(ScriptVariableStore, FirstMatchWinsAndDeleteEmptiesEverySlotOfTheName) {
    ScriptVariableStore store;
    EXPECT_EQ(store.getVariableName(0), nullptr);
    EXPECT_FALSE(store.setIntVariable("x", 1.0f)); // setters of missing names add nothing
    EXPECT_FALSE(store.setStringVariable("x", "a"));
    store.addIntVariable("x", 1.0f);
    store.addIntVariable("x", 2.0f);
    store.addIntVariable("X", 3.0f);
    EXPECT_TRUE(store.setIntVariable("x", 5.0f));
    EXPECT_EQ(store.getVariableText(0), "5");
    EXPECT_EQ(store.getVariableText(1), "2");
    store.deleteVariable("x");
    EXPECT_EQ(store.getVariableCount(), 3);
    EXPECT_EQ(store.getVariableName(1), nullptr);
    EXPECT_EQ(store.getVariableText(0), std::nullopt);
    EXPECT_EQ(*store.getVariableName(2), "X");
}

TEST(ScriptVariableStore, AdditionFillsTheLowestEmptySlotBeforeGrowing) {
    ScriptVariableStore store;
    for (const char* name : {"a", "b", "c"})
        store.addIntVariable(name, 1.0f);
    store.deleteVariable("b");
    store.deleteVariable("a");
    store.addStringVariable("d", "dee");
    store.addIntVariable("e", -5.0f);
    store.addIntVariable("f", 3.0f);
    ASSERT_EQ(store.getVariableCount(), 4);
    const char* const names[] = {"d", "e", "c", "f"};
    const char* const texts[] = {"dee", "-5", "1", "3"};
    for (int slot = 0; slot < 4; ++slot) {
        EXPECT_EQ(*store.getVariableName(slot), names[slot]);
        EXPECT_EQ(store.getVariableText(slot), texts[slot]);
    }
    EXPECT_EQ(store.getVariableText(-1), std::nullopt);
    EXPECT_EQ(store.getVariableText(4), std::nullopt);
}
