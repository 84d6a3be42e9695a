#include "core/HeadlessWorld.h"
#include "gui/ChatBox.h"
#include "gui/ChatLine.h"
#include "gui/GuiTestSupport.h"
#include "world/Npc.h"

#include <allegro5/allegro_ttf.h>

#include <initializer_list>
#include <memory>
#include <vector>

// The farm's shipped conversation, run through the real script host and the real managers
// exactly as the game runs it: start-up scripts, the map script, then clicks on characters
// and on response lines. The working directory is the repository root, which holds Data/.
namespace {

class ConversationScriptTest : public testing::Test {
  protected:
    void SetUp() override {
        const std::string out = capturedStderr([this] {
            headless = std::make_unique<HeadlessWorld>(HeadlessScope::Conversations);
            game.environment = new Environment(50, 50);
            game.scriptHost->runFile("Data\\Scripts\\RunOnce.lua");
            game.scriptHost->runFile("Data\\Scripts\\Maps\\WillowCreekFarm.lua");
        });
        ASSERT_EQ(out.find("Lua Error"), std::string::npos) << out;
        // The farm switches friendly controls on; these tests pick faster than any player, and
        // those controls would ignore such picks.
        EXPECT_TRUE(currentMapSettings().friendlyControls);
        currentMapSettings().friendlyControls = false;
        chat = game.gui->chatBox();
    }

    // Presses and releases at the point as the game does (the GUI first, then the world).
    static std::string clickAt(int x, int y) {
        return capturedStderr([x, y] {
            game.gui->setMouse(static_cast<float>(x), static_cast<float>(y));
            for (ButtonState state : {ButtonState::Press, ButtonState::Release})
                if (!game.gui->click(state))
                    game.environment->handleMouse(state, x, y);
        });
    }
    std::string clickCharacter(const char* name) {
        const Npc* npc = game.npcManager->findNpcByName(name);
        return clickAt((npc->left() + npc->right()) / 2, (npc->top() + npc->bottom()) / 2);
    }
    // Clicks the response with this text as the player would; returns the console.
    std::string pick(const std::string& text) {
        for (int i = 0; i < ChatBox::lineCount; ++i)
            if (chat->line(i)->isResponse() && text == chat->line(i)->text())
                return clickAt(300, chat->y() + 13 + 16 * i + 8);
        ADD_FAILURE() << "no response '" << text << "' in:\n" << shownText();
        return "";
    }
    // Every shown line, responses marked with "> ".
    std::string shownText() const {
        std::string text;
        for (int i = 0; i < ChatBox::lineCount; ++i) {
            const ChatLine* line = chat->line(i);
            if (line->shown())
                text += std::string(line->isResponse() ? "> " : "") + line->text() + "\n";
        }
        return text;
    }
    // Pairs of an action and a check: the action clicks a character ("@Name"), picks a
    // response or does nothing (""); then the chat box shows the fragment, or with a leading
    // "!" does not.
    void walk(std::initializer_list<const char*> steps) {
        for (auto step = steps.begin(); step != steps.end(); step += 2) {
            const char *action = step[0], *fragment = step[1];
            if (*action == '@')
                clickCharacter(action + 1);
            else if (*action)
                pick(action);
            const bool absent = *fragment == '!';
            EXPECT_TRUE(!*fragment ||
                        (shownText().find(fragment + absent) != std::string::npos) != absent)
                << action << " / " << fragment << ":\n"
                << shownText();
        }
    }

    ScopedGame scope;
    std::unique_ptr<HeadlessWorld> headless;
    ChatBox* chat = nullptr;
};

} // namespace

TEST_F(ConversationScriptTest, MapSpawnsThreeCharactersOnce) {
    capturedStderr([] { game.scriptHost->runFile("Data\\Scripts\\Maps\\WillowCreekFarm.lua"); });
    std::string spawned;
    for (int i = 0; i < game.npcManager->getNpcCount(); ++i) {
        const Npc* npc = game.npcManager->npc(i);
        spawned += npc->name() + " " + npc->getScriptPath() + " " + std::to_string(npc->x()) + "," +
                   std::to_string(npc->y()) + "\n";
    }
    EXPECT_EQ(spawned, "Quilla Data\\Scripts\\Quilla.lua 300,200\n"
                       "Bramble Data\\Scripts\\Bramble.lua 520,260\n"
                       "Fern Data\\Scripts\\Fern.lua 200,250\n");
    // Only Fern has a picture of her own; the others' come from a library this test lacks.
    EXPECT_NE(game.npcManager->findNpcByName("Fern")->bitmap(), nullptr);
    EXPECT_EQ(game.npcManager->findNpcByName("Bramble")->bitmap(), nullptr);
}

TEST_F(ConversationScriptTest, QuillaTalksThroughSeveralTurnsAndRemembersTheChoice) {
    walk({"@Quilla", "I'm Quilla"});
    EXPECT_EQ(chat->portrait(), game.portraits->find("Quilla"));
    EXPECT_EQ(pick("What grows here?"),
              "Line response was 1\nCalling Script: Data\\Scripts\\Quilla.lua with value 1\n");
    walk({"", "what would you grow?", "Sunflowers. Something tall!", "Sunflowers!",
          "Need a hand with anything?", "crows", "Shoo! Shoo! Off with you!", "scatter"});
    EXPECT_EQ(pick("All in a day's work. Bye!"), "Line response was -3\n");
    // The next conversation remembers the visit and the crop.
    walk({"@Quilla", "visit 2", "", "Still dreaming of sunflowers?", "Need a hand with anything?",
          "already chased off"});
    EXPECT_EQ(game.portraits->count(), 2); // loaded once, however often the scripts ran
}

TEST_F(ConversationScriptTest, BrambleKnowsWhatQuillaHeard) {
    walk({"@Bramble", "Name's Bramble", "", "!crows", "Tell me about the bees.", "", "Yes please!",
          "One jar of clover honey", "Tell me about your turnips.", "!Quilla says",
          "I'll leave you to it.", "",
          // Quilla hears about turnips and chases her crows off.
          "@Quilla", "", "What grows here?", "", "Turnips, to keep Bramble happy.", "",
          "Need a hand with anything?", "", "Shoo! Shoo! Off with you!", "",
          "All in a day's work. Bye!", "", "@Bramble", "Visit 2", "", "ran off her crows",
          "Are your turnips really the finest?", "you'd plant turnips too",
          "Tell me about the bees.", "", "Yes please!", "One jar per visitor"});
    EXPECT_EQ(game.portraits->count(), 3);
}

// Fern's egg hunt finds the egg in the day's hiding place only, once a day; the name the
// player gives her hen and the apple she gave are remembered on later visits.
TEST_F(ConversationScriptTest, FernRemembersTheHenTheEggAndTheApple) {
    ASSERT_EQ(luaL_dostring(game.scriptHost->state(), "Farm.day = 8 Farm.chore = 'feed the hens'"),
              0); // hidden behind the well on day 8
    walk({"@Fern", "I'm Fern", "", "Feeding the hens", "Tell me about the hens.", "no name",
          "Duchess.", "Duchess! She fluffed", "Let's look for eggs!", "They hide them",
          "In the hay by the barn.", "sleepy cat", "Behind the well.", "Your very first",
          "That apple tree looks heavy.", "Go on, take one.", "Thank you! *crunch*",
          "Quilla is wrong.", "Goodbye, Fern.", "",
          // The next visit, the same day: what she remembers.
          "@Fern", "visit 2", "", "Duchess keeps asking after you.", "Tell me about the hens.",
          "Duchess is the bossiest", "Let's look for eggs!", "found today's egg already",
          "That apple tree looks heavy.", "You've had your apple!"});
    EXPECT_EQ(chat->portrait(), game.portraits->find("Fern"));
    ASSERT_EQ(luaL_dostring(game.scriptHost->state(), "Farm.day = 9"), 0); // a new day, in the hay
    walk({"@Fern", "visit 3", "Tell me about the hens.", "", "Let's look for eggs!",
          "They hide them", "In the hay by the barn.", "2 eggs you've found"});
}

TEST_F(ConversationScriptTest, EveryLineFitsTheChatBox) {
    // The chat box's own font; the text column is 451 pixels wide.
    ALLEGRO_FONT* font = al_load_ttf_font("Data/Graphics/Fonts/Courier.ttf", 16, 0);
    ASSERT_NE(font, nullptr)
        << "Data/Graphics/Fonts/Courier.ttf links to FreeMono of fonts-freefont-ttf";
    // Walk the responses reachable from both greetings, a different path each round, through
    // every weather and every chore of the shared farm table, whatever the date.
    for (const char* name : {"Quilla", "Bramble", "Fern"}) {
        for (int round = 0; round < 12; ++round) {
            const std::string farmDay =
                "Farm.weather = Farm.weathers[" + std::to_string(round % 5 + 1) +
                "] Farm.chore = Farm.chores[" + std::to_string(round % 6 + 1) + "]";
            ASSERT_EQ(luaL_dostring(game.scriptHost->state(), farmDay.c_str()), 0);
            std::string out = clickCharacter(name);
            for (int depth = 0; depth < 4; ++depth) {
                std::vector<std::string> options;
                for (int i = 0; i < ChatBox::lineCount; ++i) {
                    const ChatLine* line = chat->line(i);
                    EXPECT_LE((line->isResponse() ? 16 : 0) + al_get_text_width(font, line->text()),
                              ChatBox::textRight - ChatBox::textLeft)
                        << line->text();
                    if (line->isResponse() && line->value() != -3)
                        options.push_back(line->text());
                }
                if (options.empty())
                    break;
                out += pick(options[(round + depth) % options.size()]);
            }
            // No script error, and nothing that had to be left out of a full chat box.
            EXPECT_EQ(out.find("Lua Error"), std::string::npos) << out;
            EXPECT_EQ(out.find("Talk: "), std::string::npos) << out;
        }
    }
    al_destroy_font(font);
}
