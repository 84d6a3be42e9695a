#include "ScriptTestSupport.h"

#include "world/Npc.h"

#include <fstream>
#include <sstream>

namespace {

// The start-up script as the game runs it, then the Talk and Farm helpers it leaves, used on
// an active character Mare.
class StartupScriptsTest : public ScriptTest {
  protected:
    void SetUp() override {
        ScriptTest::SetUp();
        ASSERT_EQ(runFile("Data\\Scripts\\RunOnce.lua"), "");
        run("SpawnNPC(0, 0, 'Mare', 'Mare.lua', '')");
    }
    std::string lineText(int index) { return chat().line(index)->text(); }
};

} // namespace

TEST_F(ScriptTest, VersionBarkNamesTheGameAndItsVersion) {
    EXPECT_EQ(runFile("Data\\Scripts\\VersionBark.lua"),
              std::string("Fennow-Online version ") + FENNOW_VERSION + "\n");
}

TEST_F(StartupScriptsTest, TalkFillsLinesChoicesAndTheCloseResponse) {
    run("SetDialogueLine(11, 'left over')");
    game.conversation->setLastResponse(-2);
    EXPECT_EQ(values("return Talk.start('Mare')"), Values{"-2"});
    EXPECT_EQ(npcs().getActiveNpc()->name(), "Mare");
    run("Talk.lines{ 'Hello!', 'The hens have been fed, the fence is mended and the creek "
        "runs clear.' } Talk.blank() Talk.choices{ {'Tell me more', 1}, {'Any chores?', 2} } "
        "Talk.bye()");
    const std::pair<const char*, int> lines[] = {
        {"Hello!", -1},
        {"The hens have been fed, the fence is mended", -1},
        {"and the creek runs clear.", -1},
        {" ", -1},
        {"Tell me more", 1},
        {"Any chores?", 2},
        {"Goodbye.", -3},
        {"", -1}};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(std::make_pair(lineText(i), chat().responseOf(i).value_or(-1)),
                  std::make_pair(std::string(lines[i].first), lines[i].second));
    EXPECT_FALSE(chat().line(11)->shown());
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

// The complete character script of docs/scripting.md, read from there and run as the game runs
// a character's script.
TEST_F(StartupScriptsTest, DocumentedExampleCharacterTalks) {
    std::stringstream docs;
    docs << std::ifstream("docs/scripting.md").rdbuf();
    const std::string text = docs.str(), start = "-- Data\\Scripts\\Mare.lua\n";
    const size_t from = text.find(start);
    ASSERT_NE(from, std::string::npos);
    const std::string example = text.substr(from, text.find("```", from) - from);
    const std::pair<int, const char*> visits[] = {{-2, "Oh, a new face on Willow Creek Farm!"},
                                                  {1, "Today someone has to "},
                                                  {-2, "Back again?"}};
    for (const auto& [response, first] : visits) {
        game.conversation->setLastResponse(response);
        EXPECT_EQ(run(example), "");
        EXPECT_EQ(lineText(0).rfind(first, 0), 0u) << lineText(0);
        // Where the close line stands depends on the day's chore, whose line may wrap.
        int closing = 0;
        for (int line = 0; line < 12; ++line)
            closing += chat().responseOf(line) == -3;
        EXPECT_EQ(closing, 1);
    }
}
