#include "gui/ChatBox.h"
#include "gui/ChatLine.h"
#include "gui/GuiTestSupport.h"

#include <allegro5/allegro_font.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>

namespace {

class ChatBoxTest : public testing::Test {
  protected:
    void SetUp() override {
        creation = capturedStderr([this] { chat = std::make_unique<ChatBox>(); });
    }

    // A press and a release at the same point relative to the corner; the row picked.
    std::optional<int> clickAt(int rx, int ry) {
        chat->click(ButtonState::Press, rx, ry);
        return chat->click(ButtonState::Release, rx, ry);
    }

    ScopedGame scope;
    std::unique_ptr<ChatBox> chat;
    std::string creation;
};

} // namespace

TEST_F(ChatBoxTest, StartsHiddenWithTwelveBlankLines) {
    std::string expected;
    for (int i = 0; i < 12; ++i) {
        expected += "Creating Chat line  \n";
        EXPECT_STREQ(chat->line(i)->text(), " ");
        EXPECT_TRUE(chat->line(i)->shown());
        EXPECT_EQ(chat->responseOf(i), std::nullopt);
    }
    EXPECT_EQ(creation, expected);
    EXPECT_FALSE(chat->isShown());
    EXPECT_EQ(chat->line(12), nullptr);
}

// Rows start 13 pixels down and are 16 high; the text column runs from 225 to 676.
TEST_F(ChatBoxTest, ReleaseAfterAPressPicksTheRowUnderIt) {
    const std::optional<int> none;
    const std::pair<std::pair<int, int>, std::optional<int>> cases[] = {
        {{225, 13}, 0},    {{300, 28}, 0},    {{300, 29}, 1},    {{300, 188}, 10},
        {{300, 189}, 11},  {{676, 204}, 11},  {{224, 13}, none}, {{225, 12}, none},
        {{677, 13}, none}, {{300, 205}, none}};
    for (const auto& [point, row] : cases) {
        SCOPED_TRACE(std::to_string(point.first) + "," + std::to_string(point.second));
        EXPECT_EQ(clickAt(point.first, point.second), row);
        EXPECT_EQ(chat->pressedInBox(), row.has_value());
    }
    // A release without a press picks nothing.
    chat->clearPressedInBox();
    EXPECT_EQ(chat->click(ButtonState::Release, 300, 13), none);
    EXPECT_EQ(chat->click(ButtonState::Press, 0, 0), none);
}

TEST_F(ChatBoxTest, ResponsesAndPlainLines) {
    chat->setResponse(3, "Bye", -3);
    EXPECT_EQ(chat->responseOf(3), -3);
    chat->setLine(3, "Bye"); // a line turns the response back into text
    EXPECT_EQ(chat->responseOf(3), std::nullopt);

    for (int index : {12, -1}) {
        chat->setLine(index, "no");
        chat->setResponse(index, "no", 4);
        EXPECT_EQ(chat->responseOf(index), std::nullopt);
    }
    EXPECT_STREQ(chat->line(11)->text(), " ");

    // Cleared lines are hidden, empty, and no responses.
    chat->setResponse(5, "r", 5);
    chat->clearAll();
    for (int i = 0; i < 12; ++i) {
        EXPECT_FALSE(chat->line(i)->shown());
        EXPECT_STREQ(chat->line(i)->text(), "");
        EXPECT_EQ(chat->responseOf(i), std::nullopt);
    }
}

// Texts are cut to 79 bytes without splitting a UTF-8 character; other bytes are cut at 79.
TEST(ChatLine, LongTextsAreCutWithoutSplittingACharacter) {
    const std::string a78(78, 'a');
    const std::pair<std::string, std::string> cases[] = {
        {std::string(100, 'a'), std::string(79, 'a')},
        {a78 + "\xC3\xA9tail", a78},
        {a78.substr(1) + "\xC3\xA9tail", a78.substr(1) + "\xC3\xA9"},
        {a78.substr(2) + "\xF0\x9F\x90\xB8x", a78.substr(2)},
        {std::string(90, '\x80'), std::string(79, '\x80')},
        {"100% sure %s", "100% sure %s"},
        // ~BLANK asks for an empty-looking line, exactly and case sensitively.
        {"~BLANK", " "},
        {"~BLANKET", "~BLANKET"},
        {"~blank", "~blank"}};
    const std::string out = capturedStderr([&] {
        ChatLine line(cases[0].first.c_str());
        EXPECT_EQ(line.text(), cases[0].second);
        for (const auto& [given, kept] : cases) {
            line.setText(given.c_str());
            EXPECT_EQ(line.text(), kept);
            line.setResponse(given.c_str(), 3);
            EXPECT_EQ(line.text(), kept);
        }
        line.clear(); // keeps the value but not the response
        EXPECT_FALSE(line.isResponse());
        EXPECT_EQ(line.value(), 3);
    });
    EXPECT_EQ(out, "Creating Chat line " + cases[0].first + "\n");
}

// Drawing: solid art in distinct colours so every layer can be told apart by its pixels.
class ChatBoxDrawTest : public ChatBoxTest {
  protected:
    void SetUp() override {
        ChatBoxTest::SetUp();
        chat->setBackground(background);
        chat->setResponseBubble(bubble);
        chat->setFont(font);
        chat->setTextColour(al_map_rgb(255, 255, 255));
        game.portraits = new PortraitStore();
    }
    void TearDown() override { al_destroy_font(font); }

    // Loads a solid picture into the store under the name, as only its pictures are drawn.
    void loadPortrait(const std::string& name, int size, ALLEGRO_COLOR colour) {
        testsupport::writeImage("Data/" + name + ".png", size, size,
                                [colour](int, int) { return colour; });
        ASSERT_TRUE(game.portraits->load(name.c_str(), ("Data/" + name + ".png").c_str()));
    }

    testsupport::ScratchDir dir;
    BitmapHolder background{solidBitmap(688, 220, al_map_rgb(0, 0, 128))};
    BitmapHolder bubble{solidBitmap(16, 16, al_map_rgb(255, 255, 0))};
    ALLEGRO_FONT* font = al_create_builtin_font();
    BitmapHolder frame{solidBitmap(800, 600, al_map_rgb(0, 0, 0))};
};

TEST_F(ChatBoxDrawTest, DrawsBackgroundPortraitsBubblesAndText) {
    ASSERT_NE(font, nullptr);
    loadPortrait("Back", 64, al_map_rgb(0, 255, 0));
    loadPortrait("Face", 32, al_map_rgb(255, 0, 0));
    chat->clearAll();
    chat->setLine(0, "MMMM");
    chat->setResponse(2, "MMMM", 4);
    chat->setPortraitBackground("Back");
    chat->setPortrait("Face");
    chat->drawIfShown(frame); // hidden: nothing
    EXPECT_EQ(pixelAt(frame, 0, 380), rgb(0, 0, 0));
    chat->show();
    chat->drawIfShown(frame);
    const Rgba navy = rgb(0, 0, 128), yellow = rgb(255, 255, 0);
    EXPECT_EQ(pixelAt(frame, 0, 379), rgb(0, 0, 0));
    EXPECT_EQ(pixelAt(frame, 0, 380), navy);
    EXPECT_EQ(pixelAt(frame, 10, 392), navy);
    EXPECT_EQ(pixelAt(frame, 11, 393), rgb(255, 0, 0)); // portrait over ...
    EXPECT_EQ(pixelAt(frame, 51, 433), rgb(0, 255, 0)); // ... its background
    EXPECT_EQ(pixelAt(frame, 75, 393), navy);
    // Line 0 at (225, 393); line 1 cleared; line 2 a bubble at (225, 425) with its text at 241.
    const std::string text = testsupport::textMask("MMMM", 40);
    EXPECT_EQ(testsupport::whiteMask(frame, 225, 393, 40, 8), text);
    EXPECT_EQ(testsupport::whiteMask(frame, 241, 425, 40, 8), text);
    EXPECT_EQ(pixelAt(frame, 225, 425), yellow);
    EXPECT_EQ(pixelAt(frame, 240, 440), yellow);
    const std::string panel = testsupport::whiteMask(frame, 0, 380, 688, 220);
    EXPECT_EQ(std::count(panel.begin(), panel.end(), '#'),
              2 * std::count(text.begin(), text.end(), '#'));

    // An unknown name empties that layer only.
    chat->setPortrait("Nobody");
    EXPECT_EQ(chat->portrait(), nullptr);
    chat->draw(frame);
    EXPECT_EQ(pixelAt(frame, 11, 393), rgb(0, 255, 0));
}
