#include "ScriptWorldSupport.h"

#include "gui/ChatBox.h"
#include "gui/ChatLine.h"
#include "world/Npc.h"

#include <string>
#include <vector>

namespace {

// The two start-up scripts as the game runs them, then the Talk and Farm helpers they leave.
class StartupScriptsTest : public ScriptWorldTest {
  protected:
    void SetUp() override {
        ScriptWorldTest::SetUp();
        testing::internal::CaptureStderr();
        ASSERT_TRUE(host().runFile("Data\\Scripts\\RunOnce.lua"));
        ASSERT_EQ(testing::internal::GetCapturedStderr(), "");
    }

    ChatBox& chat() { return *game.gui->chatBox(); }
    std::string lineText(int index) { return chat().line(index)->text(); }
    bool lineShown(int index) { return chat().line(index)->shown(); }
};

} // namespace

TEST_F(ScriptTest, VersionBarkNamesTheGameAndItsVersion) {
    testing::internal::CaptureStderr();
    EXPECT_TRUE(host().runFile("Data\\Scripts\\VersionBark.lua"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              std::string("Fennow-Online version ") + FENNOW_VERSION + "\n");
}

TEST_F(StartupScriptsTest, FarmFactsAreThereForLaterScripts) {
    EXPECT_EQ(call("return Farm.name").values, std::vector<std::string>{"\"Willow Creek Farm\""});
    const ScriptOutcome weather = call("for _, w in ipairs(Farm.weathers) do "
                                       "if w == Farm.weather then return true end end "
                                       "return false");
    EXPECT_EQ(weather.values, std::vector<std::string>{"true"});
    EXPECT_EQ(call("return Farm.weatherLine() == 'It is ' .. Farm.weather .. ' today on "
                   "Willow Creek Farm.'")
                  .values,
              std::vector<std::string>{"true"});
    EXPECT_EQ(call("return type(Farm.chore)").values, std::vector<std::string>{"\"string\""});
}

TEST_F(StartupScriptsTest, TalkFillsLinesChoicesAndTheCloseResponse) {
    run("SpawnNPC(0, 0, 'Mare', 'm.lua', '') SetDialogueLine(11, 'left over')");
    chat().setLastResponse(-2);
    EXPECT_EQ(call("return Talk.start('Mare')").values, std::vector<std::string>{"-2"});
    EXPECT_STREQ(npcs().getActiveNpc()->getName(), "Mare");
    EXPECT_FALSE(lineShown(11));

    run("Talk.lines{ 'Hello!', 'The hens have been fed, the fence is mended and the creek "
        "runs clear.' }");
    EXPECT_EQ(lineText(0), "Hello!");
    EXPECT_EQ(lineText(1), "The hens have been fed, the fence is mended");
    EXPECT_EQ(lineText(2), "and the creek runs clear.");
    run("Talk.blank() Talk.choices{ {'Tell me more', 1}, {'Any chores?', 2} } Talk.bye()");
    EXPECT_EQ(lineText(3), " ");
    EXPECT_EQ(chat().responseOf(4), 1);
    EXPECT_EQ(chat().responseOf(5), 2);
    EXPECT_EQ(lineText(6), "Goodbye.");
    EXPECT_EQ(chat().responseOf(6), -3);
    EXPECT_EQ(call("return Talk.CLOSE, Talk.CLICKED, Talk.NONE").values,
              (std::vector<std::string>{"-3", "-2", "-1"}));
}

TEST_F(StartupScriptsTest, TalkWarnsWhenTheChatBoxIsFull) {
    run("SpawnNPC(0, 0, 'Mare', 'm.lua', '') Talk.start('Mare')");
    run("for i = 1, 12 do Talk.say('line ' .. i) end");
    EXPECT_EQ(lineText(11), "line 12");
    EXPECT_EQ(run("Talk.say('thirteen')"),
              "Talk: the chat box is full; \"thirteen\" is not shown\n");
    EXPECT_EQ(run("Talk.bye()"), "Talk: the chat box is full; \"Goodbye.\" is not shown\n");
    EXPECT_EQ(run("Talk.choice('odd', -2)"), "Talk: response \"odd\" uses the reserved value -2\n"
                                             "Talk: the chat box is full; \"odd\" is not shown\n");
}

TEST_F(StartupScriptsTest, TalkWrapsByCharactersAndBytes) {
    EXPECT_EQ(call("return #Talk.wrap(''), Talk.wrap('')[1]").values,
              (std::vector<std::string>{"1", "\"\""}));
    EXPECT_EQ(call("return unpack(Talk.wrap('aaa bbb ccc', 7))").values,
              (std::vector<std::string>{"\"aaa bbb\"", "\"ccc\""}));
    EXPECT_EQ(call("return unpack(Talk.wrap('abcdefghij', 4))").values,
              (std::vector<std::string>{"\"abcd\"", "\"efgh\"", "\"ij\""}));
    // 50 two-byte characters: 39 fit the 79 bytes of a line, and no character is split.
    EXPECT_EQ(
        call("local l = Talk.wrap(string.rep('\\195\\164', 50), 100) return #l[1], #l[2]").values,
        (std::vector<std::string>{"78", "22"}));
    // A width below one still makes progress.
    EXPECT_EQ(call("return #Talk.wrap('ab', 0), #Talk.wrap('ab', 0/0)").values,
              (std::vector<std::string>{"2", "2"}));
}

TEST_F(StartupScriptsTest, TalkRemembersNumbersAndTextsOnTheActiveCharacter) {
    run("SpawnNPC(0, 0, 'Mare', 'm.lua', '') Talk.start('Mare')");
    EXPECT_EQ(call("return Talk.get('visits'), Talk.get('visits', 0)").values,
              (std::vector<std::string>{"nil", "0"}));
    EXPECT_EQ(call("return Talk.count('visits'), Talk.count('visits')").values,
              (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(npcs().getActiveNpc()->variables().getVariableCount(), 1);
    run("Talk.set('visits', 10)");
    EXPECT_EQ(call("return Talk.get('visits')").values, std::vector<std::string>{"10"});
    EXPECT_EQ(call("return Talk.getText('mood', 'calm')").values,
              std::vector<std::string>{"\"calm\""});
    run("Talk.setText('mood', 'glad')");
    EXPECT_EQ(call("return Talk.getText('mood')").values, std::vector<std::string>{"\"glad\""});
}

// The example character of docs/scripting.md, run as the game runs it.
TEST_F(StartupScriptsTest, DocumentedExampleCharacterTalks) {
    run("SpawnNPC(300, 200, 'Mare', 'tests\\\\data\\\\script\\\\Mare.lua', '')");
    chat().setLastResponse(-2);
    testing::internal::CaptureStderr();
    EXPECT_TRUE(host().runFile("tests\\data\\script\\Mare.lua"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(lineText(0), "Oh, a new face on Willow Creek Farm!");
    EXPECT_EQ(chat().responseOf(3), 1);
    EXPECT_EQ(chat().responseOf(5), -3);

    chat().setLastResponse(1);
    EXPECT_TRUE(host().runFile("tests\\data\\script\\Mare.lua"));
    EXPECT_EQ(lineText(0).rfind("Today someone has to ", 0), 0u) << lineText(0);
    int closing = -1;
    for (int i = 0; i < ChatBox::lineCount; ++i) {
        closing = chat().responseOf(i) == -3 ? i : closing;
    }
    EXPECT_GT(closing, 1);
    EXPECT_EQ(lineText(closing), "I'll get to it.");

    chat().setLastResponse(-2);
    EXPECT_TRUE(host().runFile("tests\\data\\script\\Mare.lua"));
    EXPECT_EQ(lineText(0), "Back again?");
}
