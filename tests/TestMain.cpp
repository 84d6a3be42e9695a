#include <allegro5/allegro.h>
#include <allegro5/allegro_font.h>
#include <allegro5/allegro_image.h>
#include <allegro5/allegro_ttf.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

// Gives every test a scratch folder of its own under $TMPDIR, made before it starts and
// removed when it ends, pass or fail. testing::TempDir() names it (through TEST_TMPDIR), so
// whatever a test writes there can never meet another test's files or outlive the run.
class ScratchFolderPerTest : public testing::EmptyTestEventListener {
  public:
    void OnTestStart(const testing::TestInfo&) override {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "fennow-unit.XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            fprintf(stderr, "could not make a scratch folder under %s\n", pattern.c_str());
            std::exit(1);
        }
        folder_ = pattern;
        setenv("TEST_TMPDIR", (folder_ + "/").c_str(), 1);
    }
    void OnTestEnd(const testing::TestInfo&) override {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
        unsetenv("TEST_TMPDIR");
    }

  private:
    std::string folder_;
};

} // namespace

// Allegro starts without a display: bitmaps are memory bitmaps, so drawing can be read back.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new ScratchFolderPerTest);
    if (!al_init()) {
        fprintf(stderr, "Allegro failed to initialize\n");
        return 1;
    }
    al_init_font_addon();
    al_init_image_addon();
    al_init_ttf_addon();
    al_set_new_bitmap_flags(ALLEGRO_MEMORY_BITMAP);
    return RUN_ALL_TESTS();
}
