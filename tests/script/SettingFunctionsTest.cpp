#include "ScriptTestSupport.h"

namespace {

// The switches a map's script turns on: 1 or true on, 0 or false off, each returning 1; no
// switch or any other value is refused with a line, returns nothing and changes nothing.
TEST_F(ScriptTest, SettingSwitchesTakeNumbersAndBooleansOnly) {
    const struct {
        const char* name;
        bool MapSettings::*setting;
    } switches[] = {{"SetFriendlyControls", &MapSettings::friendlyControls},
                    {"SetMapAnimation", &MapSettings::mapAnimation}};
    for (const auto& s : switches) {
        SCOPED_TRACE(s.name);
        const std::string name = s.name;
        for (const auto& [argument, on] : {std::pair{"1", true},
                                           {"0", false},
                                           {"true", true},
                                           {"false", false},
                                           {"-2.5", true}}) {
            EXPECT_EQ(values("return " + name + "(" + argument + ")"), Values{"1"}) << argument;
            EXPECT_EQ(currentMapSettings().*s.setting, on) << argument;
        }
        const std::string wrongKind = name + " takes 1 or 0, true or false.  Aborting.\n";
        for (const char* argument : {"'1'", "nil", "{}", "print"}) {
            const ScriptOutcome outcome = call("return " + name + "(" + argument + ")");
            EXPECT_EQ(outcome.console, wrongKind) << argument;
            EXPECT_EQ(outcome.values, Values{}) << argument;
            EXPECT_TRUE(currentMapSettings().*s.setting) << "unchanged by " << argument;
        }
        const ScriptOutcome none = call("return " + name + "()");
        EXPECT_EQ(none.console, "Insufficient Arguments for " + name + ".  Aborting.\n");
        EXPECT_EQ(none.values, Values{});
    }
    EXPECT_TRUE(currentMapSettings().friendlyControls);
    EXPECT_TRUE(currentMapSettings().mapAnimation);
}

} // namespace
