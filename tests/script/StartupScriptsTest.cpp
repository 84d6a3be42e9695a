#include "ScriptWorldSupport.h"

#include "gui/ChatBox.h"
#include "gui/ChatLine.h"
#include "world/Npc.h"

#include <string>

namespace {

// The start-up script as the game runs it, then the Talk and Farm helpers it leaves, used on
// an active character Mare.
class StartupScriptsTest : public ScriptWorldTest {
  protected:
    void SetUp() override {
        ScriptWorldTest::SetUp();
        ASSERT_EQ(runFile("Data\\Scripts\\RunOnce.lua"), "");
        run("SpawnNPC(0, 0, 'Mare', 'tests\\\\data\\\\script\\\\Mare.lua', '')");
    }

    ChatBox& chat() { return *game.gui->chatBox(); }
    std::string lineText(int index) { return chat().line(index)->text(); }
};

} // namespace

TEST_F(ScriptTest, VersionBarkNamesTheGameAndItsVersion) {
    EXPECT_EQ(runFile("Data\\Scripts\\VersionBark.lua"),
              std::string("Fennow-Online version ") + FENNOW_VERSION + "\n");
}

TEST_F(StartupScriptsTest, FarmFactsAreThereForLaterScripts) {
    EXPECT_EQ(values("local known = false "
                     "for _, w in ipairs(Farm.weathers) do known = known or w == Farm.weather end "
                     "return Farm.name, known, type(Farm.chore), Farm.weatherLine() == "
                     "'It is ' .. Farm.weather .. ' today on Willow Creek Farm.'"),
              (Values{"\"Willow Creek Farm\"", "true", "\"string\"", "true"}));
}

TEST_F(StartupScriptsTest, TalkFillsLinesChoicesAndTheCloseResponse) {
    run("SetDialogueLine(11, 'left over')");
    chat().setLastResponse(-2);
    EXPECT_EQ(values("return Talk.start('Mare')"), Values{"-2"});
    EXPECT_STREQ(npcs().getActiveNpc()->getName(), "Mare");
    EXPECT_FALSE(chat().line(11)->shown());
    run("Talk.lines{ 'Hello!', 'The hens have been fed, the fence is mended and the creek "
        "runs clear.' } Talk.blank() Talk.choices{ {'Tell me more', 1}, {'Any chores?', 2} } "
        "Talk.bye()");
    const char* const texts[] = {"Hello!",
                                 "The hens have been fed, the fence is mended",
                                 "and the creek runs clear.",
                                 " ",
                                 "Tell me more",
                                 "Any chores?",
                                 "Goodbye."};
    const int responses[] = {-1, -1, -1, -1, 1, 2, -3};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(lineText(i), texts[i]);
        EXPECT_EQ(chat().responseOf(i), responses[i]) << i;
    }
    EXPECT_EQ(values("return Talk.CLOSE, Talk.CLICKED, Talk.NONE"), (Values{"-3", "-2", "-1"}));

    // A full chat box warns instead of losing lines silently.
    run("for i = 8, 12 do Talk.say('line ' .. i) end");
    EXPECT_EQ(lineText(11), "line 12");
    EXPECT_EQ(run("Talk.say('thirteen')"),
              "Talk: the chat box is full; \"thirteen\" is not shown\n");
    EXPECT_EQ(run("Talk.choice('odd', -2)"), "Talk: response \"odd\" uses the reserved value -2\n"
                                             "Talk: the chat box is full; \"odd\" is not shown\n");
}

TEST_F(StartupScriptsTest, TalkWrapsByCharactersAndBytes) {
    const std::pair<const char*, Values> cases[] = {
        {"#Talk.wrap(''), Talk.wrap('')[1]", {"1", "\"\""}},
        {"unpack(Talk.wrap('aaa bbb ccc', 7))", {"\"aaa bbb\"", "\"ccc\""}},
        {"unpack(Talk.wrap('abcdefghij', 4))", {"\"abcd\"", "\"efgh\"", "\"ij\""}},
        // 39 two-byte characters fit the 79 bytes of a line, and no character is split.
        {"#Talk.wrap(string.rep('\\195\\164', 50), 100)[1]", {"78"}},
        {"#Talk.wrap('ab', 0), #Talk.wrap('ab', 0/0)", {"2", "2"}}}; // a width below one
    for (const auto& [code, result] : cases)
        EXPECT_EQ(values(std::string("return ") + code), result) << code;
}

// The example character of docs/scripting.md, run as the game runs it.
TEST_F(StartupScriptsTest, DocumentedExampleCharacterTalks) {
    chat().setLastResponse(-2);
    EXPECT_EQ(runFile("tests\\data\\script\\Mare.lua"), "");
    EXPECT_EQ(lineText(0), "Oh, a new face on Willow Creek Farm!");
    EXPECT_EQ(chat().responseOf(3), 1);
    EXPECT_EQ(chat().responseOf(5), -3);
    chat().setLastResponse(1);
    EXPECT_EQ(runFile("tests\\data\\script\\Mare.lua"), "");
    EXPECT_EQ(lineText(0).rfind("Today someone has to ", 0), 0u) << lineText(0);
    EXPECT_EQ(lineText(2), "I'll get to it.");
    EXPECT_EQ(chat().responseOf(2), -3);
    chat().setLastResponse(-2);
    EXPECT_EQ(runFile("tests\\data\\script\\Mare.lua"), "");
    EXPECT_EQ(lineText(0), "Back again?");
}
