#include "gui/ErrorPanel.h"
#include "gui/GuiTestSupport.h"

#include <allegro5/allegro_font.h>

#include <deque>
#include <string>

namespace {

// The panel keeps the newest messages, wraps them to its width, and is seen, clicked and
// dismissed only while it has something to say.
TEST(ErrorPanel, KeepsWrapsAndDismisses) {
    ALLEGRO_FONT* font = al_create_builtin_font();
    ASSERT_NE(font, nullptr);
    ErrorPanel panel;
    panel.setFont(font);
    EXPECT_FALSE(panel.isShown());
    EXPECT_FALSE(panel.contains(ErrorPanel::left + 5, ErrorPanel::top + 5));

    for (int i = 1; i <= 6; ++i)
        panel.add("message " + std::to_string(i));
    ASSERT_EQ(panel.messages().size(), 4u);
    EXPECT_EQ(panel.messages().front(), "message 3");
    EXPECT_EQ(panel.rows().size(), 5u) << "a title and one row per short message";

    // A path has no blank to break at; a sentence breaks at its blanks; no row is too wide.
    const std::string path = "Data\\Scripts\\" + std::string(80, 'p') + ".lua:12: error: oops";
    panel.add(path);
    panel.add("word " + std::string(10, 'w') + " word word word word word word word word word");
    std::string joined;
    for (std::size_t i = 1; i < panel.rows().size(); ++i) {
        EXPECT_LE(al_get_text_width(font, panel.rows()[i].c_str()), ErrorPanel::width - 10);
        joined += panel.rows()[i];
    }
    EXPECT_NE(joined.find(path), std::string::npos) << "a path is wrapped without losing bytes";
    for (int i = 0; i < 10; ++i)
        panel.add(std::string(300, 'x'));
    EXPECT_EQ(static_cast<int>(panel.rows().size()), ErrorPanel::maxRows);

    EXPECT_TRUE(panel.contains(ErrorPanel::left, ErrorPanel::top));
    EXPECT_FALSE(panel.contains(ErrorPanel::left - 1, ErrorPanel::top));
    EXPECT_FALSE(panel.contains(ErrorPanel::left, ErrorPanel::top + panel.height()));
    panel.dismiss();
    EXPECT_FALSE(panel.contains(ErrorPanel::left, ErrorPanel::top));
    panel.add("again");
    EXPECT_TRUE(panel.isShown());
    panel.clear();
    EXPECT_FALSE(panel.isShown());
    EXPECT_TRUE(panel.messages().empty());
    // A mended file takes its own entries away, and the last one gone hides the panel.
    panel.add("fern's", "Fern.lua");
    panel.add("map's", "Map.lua");
    panel.add("fern's again", "Fern.lua");
    panel.forget("Fern.lua");
    EXPECT_EQ(panel.messages(), std::deque<std::string>{"map's"});
    EXPECT_EQ(panel.rows().size(), 2u);
    EXPECT_TRUE(panel.isShown());
    panel.forget("Map.lua");
    EXPECT_FALSE(panel.isShown());
    panel.setFont(nullptr);
    al_destroy_font(font);
}

TEST(ErrorPanel, DrawsABorderedBoxAtTheTopRightOnlyWhileShown) {
    BitmapHolder target(al_create_bitmap(800, 600));
    al_set_target_bitmap(target);
    al_clear_to_color(al_map_rgb(0, 0, 255));
    ErrorPanel panel;
    panel.draw(target);
    EXPECT_EQ(pixelAt(target, ErrorPanel::left, ErrorPanel::top), (Rgba{0, 0, 255, 255}));
    panel.add("a problem");
    panel.draw(target);
    EXPECT_EQ(pixelAt(target, ErrorPanel::left, ErrorPanel::top), (Rgba{200, 60, 50, 255}));
    EXPECT_EQ(pixelAt(target, ErrorPanel::left + 3, ErrorPanel::top + 3), (Rgba{36, 20, 20, 255}));
    EXPECT_EQ(pixelAt(target, ErrorPanel::left - 1, ErrorPanel::top), (Rgba{0, 0, 255, 255}));
    // At most the window's right quarter, four pixels from its edge.
    EXPECT_EQ(pixelAt(target, 595, ErrorPanel::top), (Rgba{0, 0, 255, 255}));
    EXPECT_EQ(pixelAt(target, 795, ErrorPanel::top), (Rgba{200, 60, 50, 255}));
    EXPECT_EQ(pixelAt(target, 796, ErrorPanel::top), (Rgba{0, 0, 255, 255}));
    EXPECT_EQ(pixelAt(target, ErrorPanel::left, ErrorPanel::top + panel.height()),
              (Rgba{0, 0, 255, 255}));
    EXPECT_EQ(pixelAt(target, 0, 599), (Rgba{0, 0, 255, 255})) << "the clipping is restored";
}

// The Gui gives a shown panel the clicks on it, and lets them through once it is dismissed.
TEST(ErrorPanel, TheGuiTakesClicksOnAShownPanel) {
    ScopedGame scope;
    capturedStderr([] { game.gui = new Gui(); });
    Gui& gui = *game.gui;
    gui.setMouse(ErrorPanel::left + 10, ErrorPanel::top + 5);
    EXPECT_FALSE(gui.click(ButtonState::Press));
    gui.errorPanel()->add("a problem");
    EXPECT_TRUE(gui.click(ButtonState::Press));
    EXPECT_TRUE(gui.errorPanel()->isShown()) << "a press alone keeps it";
    EXPECT_TRUE(gui.click(ButtonState::Release));
    EXPECT_FALSE(gui.errorPanel()->isShown());
    EXPECT_FALSE(gui.click(ButtonState::Press));
}

} // namespace
