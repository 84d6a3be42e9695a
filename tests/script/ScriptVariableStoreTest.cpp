#include "script/ScriptVariableStore.h"

#include <gtest/gtest.h>

// The script-visible behaviour (values, kinds, -100 and nil) is tested through the script
// functions; these tests cover the slots, which scripts cannot see.
// Deletion empties every slot of the name; additions fill the lowest empty slot, then grow.
TEST(ScriptVariableStore, DeletionEmptiesSlotsThatAdditionsFillLowestFirst) {
    ScriptVariableStore store;
    for (const char* name : {"a", "b", "c", "b"})
        store.addIntVariable(name, 1.0f);
    store.deleteVariable("b");
    store.deleteVariable("a");
    EXPECT_EQ(store.getVariableCount(), 4);
    EXPECT_EQ(store.getVariableName(3), nullptr);
    EXPECT_EQ(store.getVariableText(1), std::nullopt);
    store.addStringVariable("d", "dee");
    store.addIntVariable("e", -5.0f);
    store.addIntVariable("f", 3.0f);
    store.addIntVariable("g", 4.0f);
    ASSERT_EQ(store.getVariableCount(), 5);
    const char* const names[] = {"d", "e", "c", "f", "g"};
    const char* const texts[] = {"dee", "-5", "1", "3", "4"};
    for (int slot = 0; slot < 5; ++slot) {
        EXPECT_EQ(*store.getVariableName(slot), names[slot]);
        EXPECT_EQ(store.getVariableText(slot), texts[slot]);
    }
    EXPECT_EQ(store.getVariableText(-1), std::nullopt);
    EXPECT_EQ(store.getVariableText(5), std::nullopt);
}
