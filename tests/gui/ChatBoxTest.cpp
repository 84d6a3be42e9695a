#include "gui/ChatBox.h"
#include "gui/ChatLine.h"
#include "gui/GuiTestSupport.h"

#include <allegro5/allegro_font.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

class ChatBoxTest : public testing::Test {
  protected:
    void SetUp() override {
        creation = capturedStderr([this] { chat = std::make_unique<ChatBox>(); });
    }

    // A press and a release at the same point relative to the corner; the release's answer.
    int clickAt(int rx, int ry) {
        chat->click(0, rx, ry);
        int answer = -99;
        lastOutput = capturedStderr([&] { answer = chat->click(1, rx, ry); });
        return answer;
    }

    ScopedGame scope;
    std::unique_ptr<ChatBox> chat;
    std::string creation;
    std::string lastOutput;
};

} // namespace

TEST_F(ChatBoxTest, StartsHiddenWithTwelveBlankLines) {
    std::string expected;
    for (int i = 0; i < 12; ++i)
        expected += "Creating Chat line  \n";
    EXPECT_EQ(creation, expected);
    EXPECT_FALSE(chat->isShown());
    EXPECT_EQ(chat->x(), 0);
    EXPECT_EQ(chat->y(), 380);
    EXPECT_EQ(chat->right(), 688);
    EXPECT_EQ(chat->bottom(), 600);
    EXPECT_EQ(chat->lastResponse(), -1);
    EXPECT_FALSE(chat->pressedInBox());
    EXPECT_EQ(chat->lineHeight(), 16);
    for (int i = 0; i < 12; ++i) {
        ASSERT_NE(chat->line(i), nullptr);
        EXPECT_STREQ(chat->line(i)->text(), " ");
        EXPECT_TRUE(chat->line(i)->shown());
        EXPECT_EQ(chat->responseOf(i), -1);
    }
    EXPECT_EQ(chat->line(12), nullptr);
    EXPECT_EQ(chat->portrait(), nullptr);
    EXPECT_EQ(chat->portraitBackground(), nullptr);
}

TEST_F(ChatBoxTest, ReleaseOnAResponseRecordsItsValue) {
    chat->setResponse(0, "Yes", 7);
    EXPECT_EQ(clickAt(225, 13), 1);
    EXPECT_EQ(lastOutput, "Line response was 7\n");
    EXPECT_EQ(chat->lastResponse(), 7);
    EXPECT_TRUE(chat->pressedInBox());

    chat->setLastResponse(-1);
    for (auto [rx, ry] : {std::pair{224, 13}, {225, 12}, {677, 13}, {300, 205}}) {
        EXPECT_EQ(clickAt(rx, ry), 0) << rx << "," << ry;
        EXPECT_EQ(lastOutput, "");
        EXPECT_FALSE(chat->pressedInBox());
        EXPECT_EQ(chat->lastResponse(), -1);
    }
    EXPECT_EQ(clickAt(676, 28), 1);
}

TEST_F(ChatBoxTest, RowsAreSixteenPixelsHigh) {
    for (int i = 0; i < 12; ++i)
        chat->setResponse(i, "r", 100 + i);
    const std::pair<int, int> cases[] = {{13, 100},  {28, 100},  {29, 101},
                                         {204, 111}, {189, 111}, {188, 110}};
    for (auto [ry, value] : cases) {
        EXPECT_EQ(clickAt(300, ry), 1) << ry;
        EXPECT_EQ(chat->lastResponse(), value) << ry;
    }
}

TEST_F(ChatBoxTest, ReleaseWithoutPressOrOfOtherKindsDoesNothing) {
    chat->setResponse(0, "Yes", 7);
    EXPECT_EQ(chat->click(1, 300, 13), 0);
    EXPECT_EQ(chat->lastResponse(), -1);
    EXPECT_EQ(chat->click(0, 0, 0), 0);
    EXPECT_TRUE(chat->pressedInBox());
    EXPECT_EQ(chat->click(5, 300, 13), 0);
    EXPECT_EQ(chat->lastResponse(), -1);
}

TEST_F(ChatBoxTest, CloseResponseAnswersTwoAndPlainLinesReset) {
    chat->setResponse(3, "Bye", -3);
    EXPECT_EQ(clickAt(300, 13 + 48), 2);
    EXPECT_EQ(lastOutput, "Line response was -3\n");
    EXPECT_EQ(chat->lastResponse(), -3);

    chat->setLine(4, "Just talk");
    EXPECT_EQ(clickAt(300, 13 + 64), 0);
    EXPECT_EQ(lastOutput, "Line response was -1\n");
    EXPECT_EQ(chat->lastResponse(), -1);
    EXPECT_FALSE(chat->pressedInBox());
}

TEST_F(ChatBoxTest, BlankMarkerIsExactAndCaseSensitive) {
    chat->setLine(0, "~BLANK");
    chat->setResponse(1, "~BLANK", 5);
    chat->setLine(2, "~BLANKET");
    chat->setLine(3, "~blank");
    EXPECT_STREQ(chat->line(0)->text(), " ");
    EXPECT_STREQ(chat->line(1)->text(), " ");
    EXPECT_TRUE(chat->line(1)->isResponse());
    EXPECT_EQ(clickAt(300, 13 + 16), 1);
    EXPECT_EQ(chat->lastResponse(), 5);
    EXPECT_STREQ(chat->line(2)->text(), "~BLANKET");
    EXPECT_STREQ(chat->line(3)->text(), "~blank");
}

TEST_F(ChatBoxTest, IndicesOutsideTheTwelveLinesAreIgnored) {
    chat->setLine(12, "no");
    chat->setLine(-1, "no");
    chat->setResponse(12, "no", 4);
    chat->setResponse(-1, "no", 4);
    for (int i = 0; i < 12; ++i)
        EXPECT_STREQ(chat->line(i)->text(), " ");
    EXPECT_EQ(chat->responseOf(12), -1);
    EXPECT_EQ(chat->responseOf(-1), -1);
}

TEST_F(ChatBoxTest, ClearAllEmptiesEveryLine) {
    chat->setResponse(0, "Yes", 7);
    chat->clearAll();
    for (int i = 0; i < 12; ++i) {
        EXPECT_FALSE(chat->line(i)->shown());
        EXPECT_FALSE(chat->line(i)->isResponse());
        EXPECT_STREQ(chat->line(i)->text(), "");
    }
    chat->setLastResponse(9);
    EXPECT_EQ(clickAt(300, 13), 0);
    EXPECT_EQ(chat->lastResponse(), -1);
}

TEST_F(ChatBoxTest, SetLineTurnsAResponseIntoPlainText) {
    chat->setResponse(2, "Yes", 7);
    chat->setLine(2, "Plain");
    EXPECT_EQ(chat->responseOf(2), -1);
    EXPECT_FALSE(chat->line(2)->isResponse());
    EXPECT_STREQ(chat->line(2)->text(), "Plain");
}

TEST(ChatLine, LongTextsAreCutWithoutSplittingACharacter) {
    const std::string ascii(100, 'a');
    std::string out;
    out = capturedStderr([&] {
        ChatLine line(ascii.c_str());
        EXPECT_EQ(std::strlen(line.text()), 79u);

        // 78 bytes and a two-byte character: the character does not fit and is left out.
        const std::string twoByte = std::string(78, 'a') + "\xC3\xA9" + "tail";
        line.setText(twoByte.c_str());
        EXPECT_EQ(std::string(line.text()), std::string(78, 'a'));

        // 77 bytes and the same character: exactly 79 bytes fit.
        const std::string fits = std::string(77, 'a') + "\xC3\xA9" + "tail";
        line.setResponse(fits.c_str(), 3);
        EXPECT_EQ(std::string(line.text()), std::string(77, 'a') + "\xC3\xA9");

        // A four-byte character across the limit is dropped whole.
        const std::string fourByte = std::string(76, 'a') + "\xF0\x9F\x90\xB8" + "x";
        line.setText(fourByte.c_str());
        EXPECT_EQ(std::string(line.text()), std::string(76, 'a'));

        // Bytes that are not UTF-8 are simply cut at the limit.
        const std::string junk(90, '\x80');
        line.setText(junk.c_str());
        EXPECT_EQ(std::strlen(line.text()), 79u);

        line.setText("100% sure %s");
        EXPECT_STREQ(line.text(), "100% sure %s");
    });
    EXPECT_EQ(out, "Creating Chat line " + ascii + "\n");
}

TEST(ChatLine, ClearKeepsTheValueButNotTheResponse) {
    capturedStderr([] {
        ChatLine line("x");
        line.setResponse("y", 42);
        EXPECT_EQ(line.response(), 42);
        line.clear();
        EXPECT_EQ(line.response(), -1);
        EXPECT_EQ(line.value(), 42);
        EXPECT_FALSE(line.shown());
    });
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

    // Whether any pixel of the rectangle has the colour.
    static bool anyPixel(ALLEGRO_BITMAP* b, int x0, int y0, int x1, int y1, Rgba colour) {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                if (pixelAt(b, x, y) == colour)
                    return true;
        return false;
    }

    BitmapHolder background{solidBitmap(688, 220, al_map_rgb(0, 0, 128))};
    BitmapHolder bubble{solidBitmap(16, 16, al_map_rgb(255, 255, 0))};
    ALLEGRO_FONT* font = al_create_builtin_font();
    BitmapHolder frame{solidBitmap(800, 600, al_map_rgb(0, 0, 0))};
};

TEST_F(ChatBoxDrawTest, DrawsBackgroundPortraitsBubblesAndText) {
    ASSERT_NE(font, nullptr);
    BitmapHolder portraitBackground(solidBitmap(64, 64, al_map_rgb(0, 255, 0)));
    BitmapHolder portrait(solidBitmap(32, 32, al_map_rgb(255, 0, 0)));
    chat->clearAll();
    chat->setLine(0, "MMMM");
    chat->setResponse(2, "MMMM", 4);

    // Only the store's pictures can be selected, so the test draws through it.
    const std::string dir = testing::TempDir();
    ASSERT_TRUE(al_save_bitmap((dir + "pbg.png").c_str(), portraitBackground));
    ASSERT_TRUE(al_save_bitmap((dir + "p.png").c_str(), portrait));
    ASSERT_TRUE(game.portraits->load("Back", (dir + "pbg.png").c_str()));
    ASSERT_TRUE(game.portraits->load("Face", (dir + "p.png").c_str()));
    chat->setPortraitBackground("Back");
    chat->setPortrait("Face");

    chat->draw(frame);
    const Rgba navy = rgb(0, 0, 128), white = rgb(255, 255, 255), yellow = rgb(255, 255, 0);
    EXPECT_EQ(pixelAt(frame, 0, 379), rgb(0, 0, 0));
    EXPECT_EQ(pixelAt(frame, 0, 380), navy);
    EXPECT_EQ(pixelAt(frame, 687, 599), navy);
    EXPECT_EQ(pixelAt(frame, 10, 392), navy);
    EXPECT_EQ(pixelAt(frame, 11, 393), rgb(255, 0, 0));           // portrait over ...
    EXPECT_EQ(pixelAt(frame, 11 + 40, 393 + 40), rgb(0, 255, 0)); // ... its background
    EXPECT_EQ(pixelAt(frame, 11 + 64, 393), navy);

    // Line 0: text at 225, 393. Line 1 was cleared. Line 2: bubble at 225, 425, text at 241.
    EXPECT_TRUE(anyPixel(frame, 225, 393, 257, 400, white));
    EXPECT_FALSE(anyPixel(frame, 225, 409, 400, 424, white));
    EXPECT_EQ(pixelAt(frame, 225, 425), yellow);
    EXPECT_EQ(pixelAt(frame, 240, 440), yellow);
    EXPECT_FALSE(anyPixel(frame, 225, 425, 240, 440, white));
    EXPECT_TRUE(anyPixel(frame, 241, 425, 273, 432, white));
    EXPECT_FALSE(anyPixel(frame, 225, 441, 687, 599, white));
}

TEST_F(ChatBoxDrawTest, UnknownPortraitNameEmptiesThatLayerOnly) {
    BitmapHolder portraitBackground(solidBitmap(64, 64, al_map_rgb(0, 255, 0)));
    const std::string path = testing::TempDir() + "pbg2.png";
    ASSERT_TRUE(al_save_bitmap(path.c_str(), portraitBackground));
    ASSERT_TRUE(game.portraits->load("Back", path.c_str()));
    chat->setPortraitBackground("Back");
    chat->setPortrait("Nobody");
    EXPECT_EQ(chat->portrait(), nullptr);
    chat->draw(frame);
    EXPECT_EQ(pixelAt(frame, 11, 393), rgb(0, 255, 0));
}

TEST_F(ChatBoxDrawTest, DrawIfShownDrawsOnlyWhenShown) {
    chat->drawIfShown(frame);
    EXPECT_EQ(pixelAt(frame, 0, 380), rgb(0, 0, 0));
    chat->show();
    chat->drawIfShown(frame);
    EXPECT_EQ(pixelAt(frame, 0, 380), rgb(0, 0, 128));
}
