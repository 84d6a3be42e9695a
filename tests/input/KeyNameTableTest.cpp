#include "input/ConfigReader.h"

#include <allegro5/allegro.h>
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

namespace {

const ConfigReader reader{ConfigReader::TableOnly::Tag};

TEST(KeyNameTable, HoldsNoneAnd118UniqueKeysWithTheirCodeRanges) {
    ASSERT_EQ(reader.keyNameTableSize(), 119);
    std::set<std::string> names;
    std::set<int> codes;
    for (int i = 0; i < reader.keyNameTableSize(); ++i) {
        names.insert(reader.keyName(i)->name);
        codes.insert(reader.keyName(i)->code);
    }
    std::set<int> expected{-1};
    for (int code = 1; code <= 106; ++code)
        expected.insert(code);
    for (int code = 215; code <= 226; ++code)
        expected.insert(code);
    EXPECT_EQ(names.size(), 119u);
    EXPECT_EQ(codes, expected);
    EXPECT_STREQ(reader.keyName(0)->name, "NONE");
    EXPECT_EQ(reader.keyName(-1), nullptr);
    EXPECT_EQ(reader.keyName(119), nullptr);
}

// The first and last name of each run of codes, Allegro's own codes, and names that are not
// in the table: Allegro's own spellings, lower case, near misses.
TEST(KeyNameTable, FindsTheCodeOrMinusTwo) {
    std::istringstream cases(
        "ARROW_UP 84 NONE -1 PAD7 44 F10 56 A 1 Z 26 0 27 9 36 PAD0 37 F1 47 F12 58 ESCAPE 59 "
        "TILDE 60 PAGEDOWN 81 ARROW_LEFT 82 PADSLASH 86 KANJI 102 PADEQUALS 103 COMMAND 106 "
        "LSHIFT 215 RSHIFT 216 LCONTROL 217 CAPSLOCK 226 "
        "UP -2 PGUP -2 PAD_0 -2 LCTRL -2 escape -2 a -2 F13 -2");
    std::string name;
    int code = 0;
    while (cases >> name >> code)
        EXPECT_EQ(reader.findKeyCode(name.c_str()), code) << name;
    EXPECT_EQ(reader.findKeyCode("PAGEDOWN"), ALLEGRO_KEY_PGDN);
    EXPECT_EQ(reader.findKeyCode("RWINDOWS"), ALLEGRO_KEY_RWIN);
    EXPECT_EQ(reader.findKeyCode("ESCAPE "), -2);
    EXPECT_EQ(reader.findKeyCode(""), -2);
    EXPECT_EQ(reader.findKeyCode(nullptr), -2);
}

} // namespace
