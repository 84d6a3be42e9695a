#include "gui/ChatBox.h"
#include "gui/ChatLine.h"
#include "gui/Gui.h"
#include "gui/GuiTestSupport.h"
#include "gui/PortraitStore.h"
#include "script/ScriptHost.h"
#include "world/Environment.h"
#include "world/Npc.h"
#include "world/NpcManager.h"

#include <allegro5/allegro_ttf.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

// The farm's shipped conversation, run through the real script host and the real managers
// exactly as the game runs it: start-up scripts, the map script, then clicks on characters
// and on response lines. The working directory is the repository root, which holds Data/.
namespace {

class ConversationScriptTest : public testing::Test {
  protected:
    void SetUp() override {
        const std::string out = capturedStderr([] {
            game.scriptHost = new ScriptHost();
            game.portraits = new PortraitStore();
            game.npcManager = new NpcManager();
            game.gui = new Gui();
            game.environment = new Environment(50, 50);
            game.scriptHost->runFile("Data\\Scripts\\RunOnce.lua");
            game.scriptHost->runFile("Data\\Scripts\\Maps\\WillowCreekFarm.lua");
        });
        ASSERT_EQ(out.find("Lua Error"), std::string::npos) << out;
        chat = game.gui->chatBox();
    }

    // Presses and releases in the middle of a character's hit box; returns the console.
    std::string clickCharacter(const char* name) {
        const Npc* npc = game.npcManager->findNpcByName(name);
        EXPECT_NE(npc, nullptr) << name;
        if (!npc)
            return "";
        const int x = (npc->left() + npc->right()) / 2;
        const int y = (npc->top() + npc->bottom()) / 2;
        return capturedStderr([x, y] {
            game.gui->setMouse(static_cast<float>(x), static_cast<float>(y));
            if (!game.gui->click(0))
                game.environment->handleMouse(0, x, y);
            if (!game.gui->click(1))
                game.environment->handleMouse(1, x, y);
        });
    }

    // The line index of the response with this text, or -1.
    int responseLine(const std::string& text) const {
        for (int i = 0; i < ChatBox::lineCount; ++i) {
            const ChatLine* line = chat->line(i);
            if (line->isResponse() && text == line->text())
                return i;
        }
        return -1;
    }

    // Clicks the response with this text as the player would; returns the console.
    std::string pick(const std::string& text) {
        const int index = responseLine(text);
        EXPECT_GE(index, 0) << "no response '" << text << "' in:\n" << shownText();
        if (index < 0)
            return "";
        const float y = static_cast<float>(chat->y() + 13 + 16 * index + 8);
        return capturedStderr([y] {
            game.gui->setMouse(300.0f, y);
            EXPECT_TRUE(game.gui->click(0));
            EXPECT_TRUE(game.gui->click(1));
        });
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

    bool shows(const std::string& fragment) const {
        return shownText().find(fragment) != std::string::npos;
    }

    ScopedGame scope;
    ChatBox* chat = nullptr;
};

} // namespace

TEST_F(ConversationScriptTest, MapSpawnsTwoCharactersWithTheirOwnScripts) {
    ASSERT_EQ(game.npcManager->getNpcCount(), 2);
    const Npc* quilla = game.npcManager->findNpcByName("Quilla");
    const Npc* bramble = game.npcManager->findNpcByName("Bramble");
    ASSERT_NE(quilla, nullptr);
    ASSERT_NE(bramble, nullptr);
    EXPECT_STREQ(quilla->getScriptPath(), "Data\\Scripts\\Quilla.lua");
    EXPECT_STREQ(bramble->getScriptPath(), "Data\\Scripts\\Bramble.lua");
    EXPECT_EQ(quilla->x(), 300);
    EXPECT_EQ(quilla->y(), 200);
    EXPECT_EQ(bramble->x(), 520);
    EXPECT_EQ(bramble->y(), 260);

    // Loading the map again spawns nobody twice.
    capturedStderr([] { game.scriptHost->runFile("Data\\Scripts\\Maps\\WillowCreekFarm.lua"); });
    EXPECT_EQ(game.npcManager->getNpcCount(), 2);
}

TEST_F(ConversationScriptTest, QuillaTalksThroughSeveralTurnsAndRemembersTheChoice) {
    clickCharacter("Quilla");
    EXPECT_TRUE(game.gui->chatOpen());
    EXPECT_TRUE(shows("I'm Quilla")) << shownText();
    EXPECT_NE(chat->portrait(), nullptr);
    EXPECT_NE(chat->portraitBackground(), nullptr);
    EXPECT_EQ(chat->portrait(), game.portraits->find("Quilla"));
    EXPECT_EQ(game.npcManager->getActiveNpc(), game.npcManager->findNpcByName("Quilla"));

    EXPECT_EQ(pick("What grows here?"),
              "Line response was 1\nCalling Script: Data\\Scripts\\Quilla.lua with value 1\n");
    EXPECT_TRUE(shows("what would you grow?")) << shownText();
    pick("Sunflowers. Something tall!");
    EXPECT_TRUE(shows("Sunflowers!")) << shownText();
    pick("Need a hand with anything?");
    EXPECT_TRUE(shows("crows")) << shownText();
    pick("Shoo! Shoo! Off with you!");
    EXPECT_TRUE(shows("scatter")) << shownText();
    EXPECT_EQ(pick("All in a day's work. Bye!"), "Line response was -3\n");
    EXPECT_FALSE(game.gui->chatOpen());

    // The next conversation remembers the visit and the crop.
    clickCharacter("Quilla");
    EXPECT_TRUE(shows("visit 2")) << shownText();
    EXPECT_TRUE(shows("Still dreaming of sunflowers?")) << shownText();
    pick("Need a hand with anything?");
    EXPECT_TRUE(shows("already chased off")) << shownText();

    // Portraits were loaded once, however often the scripts ran.
    EXPECT_EQ(game.portraits->count(), 2);
}

TEST_F(ConversationScriptTest, BrambleKnowsWhatQuillaHeard) {
    clickCharacter("Bramble");
    EXPECT_TRUE(shows("Name's Bramble")) << shownText();
    EXPECT_FALSE(shows("crows")) << shownText();
    EXPECT_EQ(chat->portrait(), game.portraits->find("Bramble"));
    pick("Tell me about the bees.");
    pick("Yes please!");
    EXPECT_TRUE(shows("One jar of clover honey")) << shownText();
    pick("Tell me about your turnips.");
    EXPECT_FALSE(shows("Quilla says")) << shownText();
    pick("I'll leave you to it.");
    EXPECT_FALSE(game.gui->chatOpen());

    clickCharacter("Quilla");
    pick("What grows here?");
    pick("Turnips, to keep Bramble happy.");
    pick("Need a hand with anything?");
    pick("Shoo! Shoo! Off with you!");
    pick("All in a day's work. Bye!");

    clickCharacter("Bramble");
    EXPECT_TRUE(shows("Visit 2")) << shownText();
    EXPECT_TRUE(shows("ran off her crows")) << shownText();
    pick("Are your turnips really the finest?");
    EXPECT_TRUE(shows("you'd plant turnips too")) << shownText();
    pick("Tell me about the bees.");
    pick("Yes please!");
    EXPECT_TRUE(shows("One jar per visitor")) << shownText();
    EXPECT_EQ(game.portraits->count(), 3);
}

TEST_F(ConversationScriptTest, EveryLineFitsTheChatBox) {
    // The chat box's own font; the text column is 451 pixels wide.
    ALLEGRO_FONT* font = al_load_ttf_font("Data/Graphics/Fonts/Courier.ttf", 16, 0);
    ASSERT_NE(font, nullptr) << "the build copies Courier.ttf into Data/Graphics/Fonts";
    const auto checkWidths = [this, font] {
        for (int i = 0; i < ChatBox::lineCount; ++i) {
            const ChatLine* line = chat->line(i);
            const int indent = line->isResponse() ? 16 : 0;
            EXPECT_LE(indent + al_get_text_width(font, line->text()),
                      ChatBox::textRight - ChatBox::textLeft)
                << line->text();
        }
    };
    // Walk the responses reachable from both greetings, a different path each round.
    for (const char* name : {"Quilla", "Bramble"}) {
        for (int round = 0; round < 12; ++round) {
            // Every weather and every chore of the shared farm table, whatever the date.
            const std::string farmDay =
                "Farm.weather = Farm.weathers[" + std::to_string(round % 5 + 1) +
                "] Farm.chore = Farm.chores[" + std::to_string(round % 6 + 1) + "]";
            ASSERT_EQ(luaL_dostring(game.scriptHost->state(), farmDay.c_str()), 0);
            std::string out = clickCharacter(name);
            for (int depth = 0; depth < 4; ++depth) {
                checkWidths();
                std::vector<std::string> options;
                for (int i = 0; i < ChatBox::lineCount; ++i)
                    if (chat->line(i)->isResponse() && chat->line(i)->value() != -3)
                        options.push_back(chat->line(i)->text());
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
