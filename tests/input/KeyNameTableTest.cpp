#include "input/ConfigReader.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

const ConfigReader reader{ConfigReader::TableOnly::Tag};

// The whole table in its order, as name and code pairs written out by hand, so that a swapped
// code, a misspelt or missing name or a changed order each fails its own entry.
const char* const expectedEntries =
    "NONE -1 ARROW_UP 84 ARROW_RIGHT 83 ARROW_DOWN 85 ARROW_LEFT 82 LSHIFT 215 RSHIFT 216 "
    "TILDE 60 MINUS 61 EQUALS 62 BACKSPACE 63 TAB 64 OPENBRACE 65 CLOSEBRACE 66 ENTER 67 "
    "SEMICOLON 68 QUOTE 69 BACKSLASH 70 BACKSLASH2 71 COMMA 72 FULLSTOP 73 SLASH 74 SPACE 75 "
    "INSERT 76 DELETE 77 HOME 78 END 79 PAGEUP 80 PAGEDOWN 81 "
    "PADSLASH 86 PADASTERISK 87 PADMINUS 88 PADPLUS 89 PADDELETE 90 PADENTER 91 PRINTSCREEN 92 "
    "PAUSE 93 ABNT_C1 94 YEN 95 KANA 96 CONVERT 97 NOCONVERT 98 AT 99 CIRCUMFLEX 100 COLON2 101 "
    "KANJI 102 LCONTROL 217 RCONTROL 218 ALT 219 ALTGR 220 LWINDOWS 221 RWINDOWS 222 MENU 223 "
    "SCROLLLOCK 224 NUMLOCK 225 CAPSLOCK 226 PADEQUALS 103 BACKQUOTE 104 SEMICOLON2 105 "
    "COMMAND 106 ESCAPE 59 "
    "A 1 B 2 C 3 D 4 E 5 F 6 G 7 H 8 I 9 J 10 K 11 L 12 M 13 N 14 O 15 P 16 Q 17 R 18 S 19 "
    "T 20 U 21 V 22 W 23 X 24 Y 25 Z 26 "
    "0 27 PAD0 37 1 28 PAD1 38 2 29 PAD2 39 3 30 PAD3 40 4 31 PAD4 41 5 32 PAD5 42 6 33 PAD6 43 "
    "7 34 PAD7 44 8 35 PAD8 45 9 36 PAD9 46 "
    "F1 47 F2 48 F3 49 F4 50 F5 51 F6 52 F7 53 F8 54 F9 55 F10 56 F11 57 F12 58";

TEST(KeyNameTable, EveryEntryHasItsNameAndCodeInTableOrder) {
    std::istringstream expected(expectedEntries);
    std::string name;
    int code = 0;
    int index = 0;
    for (; expected >> name >> code; ++index) {
        const KeyNameEntry* entry = reader.keyName(index);
        ASSERT_NE(entry, nullptr) << "entry " << index << " (" << name << ") is missing";
        EXPECT_EQ(entry->name, name) << "entry " << index;
        EXPECT_EQ(entry->code, code) << name;
        EXPECT_EQ(reader.findKeyCode(name.c_str()), code) << name;
    }
    EXPECT_EQ(index, 119);
    EXPECT_EQ(reader.keyNameTableSize(), 119);
    EXPECT_EQ(reader.keyName(119), nullptr);
    EXPECT_EQ(reader.keyName(-1), nullptr);
}

// Allegro's own spellings of keys the table names otherwise, lower case and near misses.
TEST(KeyNameTable, UnknownNamesGiveMinusTwo) {
    for (const char* name : {"UP", "PGUP", "PAD_0", "LCTRL", "LWIN", "escape", "a", "F13", "SHIFT",
                             "CTRL", "", "ESCAPE ", "PAD10"})
        EXPECT_EQ(reader.findKeyCode(name), -2) << name;
    EXPECT_EQ(reader.findKeyCode(nullptr), -2);
}

} // namespace
