#include "input/ConfigReader.h"

#include <allegro5/allegro.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

class KeyNameTable : public testing::Test {
  protected:
    ConfigReader reader{ConfigReader::TableOnly::Tag};
};

TEST_F(KeyNameTable, HoldsOneNoneAnd118UniqueKeys) {
    ASSERT_EQ(reader.keyNameTableSize(), 119);
    std::set<std::string> names;
    std::set<int> codes;
    for (int i = 0; i < reader.keyNameTableSize(); ++i) {
        names.insert(reader.keyName(i)->name);
        codes.insert(reader.keyName(i)->code);
    }
    EXPECT_EQ(names.size(), 119u);
    EXPECT_EQ(codes.size(), 119u);
    EXPECT_STREQ(reader.keyName(0)->name, "NONE");
    EXPECT_EQ(reader.keyName(0)->code, -1);
    // Every code 1 to 106 and 215 to 226 appears once.
    for (int code = 1; code <= 106; ++code)
        EXPECT_EQ(codes.count(code), 1u) << code;
    for (int code = 215; code <= 226; ++code)
        EXPECT_EQ(codes.count(code), 1u) << code;
    EXPECT_EQ(reader.keyName(-1), nullptr);
    EXPECT_EQ(reader.keyName(119), nullptr);
}

// The table's rows in order: first index, names, first code (codes run up by one).
struct Row {
    int firstIndex;
    std::vector<const char*> names;
    int firstCode;
};

TEST_F(KeyNameTable, KeepsTheRowsInOrderWithTheirCodes) {
    const Row rows[] = {
        {1, {"ARROW_UP"}, 84},
        {2, {"ARROW_RIGHT"}, 83},
        {3, {"ARROW_DOWN"}, 85},
        {4, {"ARROW_LEFT"}, 82},
        {5, {"LSHIFT", "RSHIFT"}, 215},
        {7,
         {"TILDE",      "MINUS",    "EQUALS",    "BACKSPACE", "TAB",       "OPENBRACE",
          "CLOSEBRACE", "ENTER",    "SEMICOLON", "QUOTE",     "BACKSLASH", "BACKSLASH2",
          "COMMA",      "FULLSTOP", "SLASH",     "SPACE",     "INSERT",    "DELETE",
          "HOME",       "END",      "PAGEUP",    "PAGEDOWN"},
         60},
        {29,
         {"PADSLASH", "PADASTERISK", "PADMINUS", "PADPLUS", "PADDELETE", "PADENTER", "PRINTSCREEN",
          "PAUSE", "ABNT_C1", "YEN", "KANA", "CONVERT", "NOCONVERT", "AT", "CIRCUMFLEX", "COLON2",
          "KANJI"},
         86},
        {46,
         {"LCONTROL", "RCONTROL", "ALT", "ALTGR", "LWINDOWS", "RWINDOWS", "MENU", "SCROLLLOCK",
          "NUMLOCK", "CAPSLOCK"},
         217},
        {56, {"PADEQUALS", "BACKQUOTE", "SEMICOLON2", "COMMAND"}, 103},
        {60, {"ESCAPE"}, 59},
    };
    for (const Row& row : rows) {
        for (size_t i = 0; i < row.names.size(); ++i) {
            const KeyNameEntry* entry = reader.keyName(row.firstIndex + static_cast<int>(i));
            ASSERT_NE(entry, nullptr);
            EXPECT_STREQ(entry->name, row.names[i]);
            EXPECT_EQ(entry->code, row.firstCode + static_cast<int>(i)) << row.names[i];
        }
    }
    for (int letter = 0; letter < 26; ++letter) {
        const KeyNameEntry* entry = reader.keyName(61 + letter);
        EXPECT_EQ(entry->name, std::string(1, static_cast<char>('A' + letter)));
        EXPECT_EQ(entry->code, 1 + letter);
    }
    for (int digit = 0; digit < 10; ++digit) {
        EXPECT_EQ(reader.keyName(87 + 2 * digit)->name, std::to_string(digit));
        EXPECT_EQ(reader.keyName(87 + 2 * digit)->code, 27 + digit);
        EXPECT_EQ(reader.keyName(88 + 2 * digit)->name, "PAD" + std::to_string(digit));
        EXPECT_EQ(reader.keyName(88 + 2 * digit)->code, 37 + digit);
    }
    for (int f = 1; f <= 12; ++f) {
        EXPECT_EQ(reader.keyName(106 + f)->name, "F" + std::to_string(f));
        EXPECT_EQ(reader.keyName(106 + f)->code, 46 + f);
    }
}

TEST_F(KeyNameTable, CodesAreAllegroKeyCodes) {
    EXPECT_EQ(reader.findKeyCode("ARROW_UP"), ALLEGRO_KEY_UP);
    EXPECT_EQ(reader.findKeyCode("PAGEDOWN"), ALLEGRO_KEY_PGDN);
    EXPECT_EQ(reader.findKeyCode("PADENTER"), ALLEGRO_KEY_PAD_ENTER);
    EXPECT_EQ(reader.findKeyCode("RWINDOWS"), ALLEGRO_KEY_RWIN);
    EXPECT_EQ(reader.findKeyCode("COMMAND"), ALLEGRO_KEY_COMMAND);
    EXPECT_EQ(reader.findKeyCode("Z"), ALLEGRO_KEY_Z);
    EXPECT_EQ(reader.findKeyCode("PAD9"), ALLEGRO_KEY_PAD_9);
    EXPECT_EQ(reader.findKeyCode("F12"), ALLEGRO_KEY_F12);
}

struct Lookup {
    const char* name;
    int code;
};

class KeyNameLookup : public testing::TestWithParam<Lookup> {};

TEST_P(KeyNameLookup, FindsTheCodeOrMinusTwo) {
    const ConfigReader reader{ConfigReader::TableOnly::Tag};
    EXPECT_EQ(reader.findKeyCode(GetParam().name), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(KnownNames, KeyNameLookup,
                         testing::Values(Lookup{"ARROW_UP", 84}, Lookup{"NONE", -1},
                                         Lookup{"PAD7", 44}, Lookup{"F10", 56}, Lookup{"A", 1},
                                         Lookup{"0", 27}, Lookup{"CAPSLOCK", 226},
                                         Lookup{"ESCAPE", 59}, Lookup{"RSHIFT", 216}));

// Allegro's own names for keys the table names its own way, wrong case and unknown names.
INSTANTIATE_TEST_SUITE_P(UnknownNames, KeyNameLookup,
                         testing::Values(Lookup{"UP", -2}, Lookup{"PGUP", -2}, Lookup{"PAD_0", -2},
                                         Lookup{"LCTRL", -2}, Lookup{"LWIN", -2},
                                         Lookup{"escape", -2}, Lookup{"a", -2}, Lookup{"F13", -2},
                                         Lookup{"SHIFT", -2}, Lookup{"CTRL", -2}, Lookup{"", -2},
                                         Lookup{"ESCAPE ", -2}));

TEST(KeyNameTableNull, NullNameIsNotFound) {
    const ConfigReader reader{ConfigReader::TableOnly::Tag};
    EXPECT_EQ(reader.findKeyCode(nullptr), -2);
}

} // namespace
