#include "core/TestArt.h"
#include "gfx/BitmapLibrary.h"
#include "gui/GuiTestSupport.h"
#include "world/Npc.h"

#include <filesystem>
#include <memory>
#include <string>

// How a sprite name picks a character's look, in a scratch working folder with a Data/ tree of
// its own: the library's small test pictures (default sprite 13, 14, 15; Quilla 16, 17, 18) and
// whatever each test puts into Data/Graphics/Characters.
namespace {

using testsupport::Rgba;

const char* const folder = "Data/Graphics/Characters/";
const Rgba ownColour = rgb(40, 120, 200);
const Rgba otherColour = rgb(200, 60, 30);

// A 96 x 96 character picture of one colour with both colour keys at (1, 1) and (2, 1).
void writePicture(const std::string& path, Rgba colour = ownColour) {
    testart::writeKeyedPicture(path, 96, 96, al_map_rgb(colour.r, colour.g, colour.b));
}

class NpcSpriteTest : public testing::Test {
  protected:
    NpcSpriteTest() {
        testart::writeAllPictures();
        capturedStderr([this] {
            library = std::make_unique<BitmapLibrary>();
            npcs = std::make_unique<NpcManager>();
        });
        game.bitmapLibrary = library.get();
    }
    ~NpcSpriteTest() override { game.bitmapLibrary = nullptr; }

    // Spawns a character as SpawnNPC does and returns what the console said meanwhile.
    std::string spawn(std::string_view sprite, Npc** npc = nullptr) {
        return capturedStderr([&] {
            Npc* added = npcs->addNpc(100, 100, "Someone", npcs->getNpcCount(), "S.lua", sprite);
            if (npc != nullptr)
                *npc = added;
        });
    }
    ALLEGRO_BITMAP* slot(int i) const { return library->bitmap(i); }

    ScopedGame scope;
    testsupport::ScratchDir dir;
    std::unique_ptr<BitmapLibrary> library;
    std::unique_ptr<NpcManager> npcs;
};

enum class Look { Default, Quilla, Own };

struct Case {
    const char* why;
    std::string sprite;
    std::string planted; // a good picture here, relative to the working folder, or nothing
    Look look;
};

std::string characters(const std::string& file) {
    return folder + file;
}

} // namespace

// Names that are no file names never open one, even where a careless path would find a picture.
TEST_F(NpcSpriteTest, SpriteNameSelectsQuillaAPictureOfItsOwnOrTheDefaultSilently) {
    const std::string longest(CharacterPictures::maxNameBytes, 'a');
    const Case cases[] = {
        {"Quilla's name, even beside a picture of that name", "QuillaTemp",
         characters("QuillaTemp.png"), Look::Quilla},
        {"an empty name", "", characters(".png"), Look::Default},
        {"a name with no picture", "Nobody", "", Look::Default},
        {"a name with a picture", "Fern", characters("Fern.png"), Look::Own},
        {"letter case counts", "fern", characters("Fern.png"), Look::Default},
        {"a trailing blank counts", "Fern ", characters("Fern.png"), Look::Default},
        {"the longest name", longest, characters(longest + ".png"), Look::Own},
        {"a name too long for a file", longest + "a", "", Look::Default},
        {"a slash", "Sub/Fern", characters("Sub/Fern.png"), Look::Default},
        {"a backslash", "Sub\\Fern", characters("Sub/Fern.png"), Look::Default},
        {"a way up", "..", characters("...png"), Look::Default},
        {"two dots inside", "Fern..Old", characters("Fern..Old.png"), Look::Default},
        {"a zero byte", std::string("Fern\0Old", 8), characters("Fern"), Look::Default},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        if (!c.planted.empty()) {
            // A picture without an extension is written as PNG first, then renamed.
            const bool bare = c.planted.rfind(".png") != c.planted.size() - 4;
            writePicture(bare ? c.planted + ".png" : c.planted);
            if (bare)
                std::filesystem::rename(c.planted + ".png", c.planted);
        }
        Npc* npc = nullptr;
        EXPECT_EQ(spawn(c.sprite, &npc), "");
        ASSERT_NE(npc, nullptr);
        EXPECT_EQ(NpcManager::usesDefaultSprite(c.sprite), c.look == Look::Default);
        switch (c.look) {
        case Look::Default:
            EXPECT_EQ(npc->bitmap(), slot(BitmapLibrary::npcDefaultSprite));
            break;
        case Look::Quilla:
            EXPECT_EQ(npc->bitmap(), slot(BitmapLibrary::npcQuillaSprite));
            break;
        case Look::Own:
            ASSERT_NE(npc->bitmap(), nullptr);
            EXPECT_EQ(pixelAt(npc->bitmap(), 50, 50), ownColour);
            break;
        }
    }
}

// One picture per name: masked like the shipped sprites, shared, and never read again.
TEST_F(NpcSpriteTest, PictureIsMaskedSharedAndLoadedOnce) {
    writePicture(characters("Fern.png"));
    writePicture(characters("Sage.png"), otherColour);
    Npc *first = nullptr, *second = nullptr, *other = nullptr, *later = nullptr;
    spawn("Fern", &first);
    spawn("Sage", &other);
    spawn("Fern", &second);
    ASSERT_NE(first->bitmap(), nullptr);
    EXPECT_EQ(second->bitmap(), first->bitmap());
    EXPECT_NE(other->bitmap(), first->bitmap());
    EXPECT_EQ(al_get_bitmap_width(first->bitmap()), 96);
    EXPECT_EQ(pixelAt(first->bitmap(), 1, 1).a, 0); // grey 64, 64, 64
    EXPECT_EQ(pixelAt(first->bitmap(), 2, 1).a, 0); // magenta
    EXPECT_EQ(pixelAt(first->bitmap(), 3, 1), ownColour);
    EXPECT_EQ(pixelAt(other->bitmap(), 3, 1), otherColour);

    // The file is not read again: a damaged copy changes nothing and says nothing.
    testsupport::writeFile(characters("Fern.png"), "no longer a picture");
    EXPECT_EQ(spawn("Fern", &later), "");
    EXPECT_EQ(later->bitmap(), first->bitmap());

    // Drawn whole at the character's corner, the keyed pixels letting the ground show.
    BitmapHolder frame(solidBitmap(300, 300, al_map_rgb(0, 90, 0)));
    npcs->drawAll(frame);
    EXPECT_EQ(pixelAt(frame, 101, 101), rgb(0, 90, 0));
    EXPECT_EQ(pixelAt(frame, 103, 101), ownColour); // the last one spawned, Fern, on top
}

// A reload of the world clears the characters and reads their pictures again.
TEST_F(NpcSpriteTest, ClearedManagerReadsPicturesAgain) {
    Npc* npc = nullptr;
    writePicture(characters("Fern.png"));
    spawn("Fern", &npc);
    writePicture(characters("Fern.png"), otherColour);
    npcs->clear();
    EXPECT_EQ(spawn("Fern", &npc), "");
    ASSERT_NE(npc->bitmap(), nullptr);
    EXPECT_EQ(pixelAt(npc->bitmap(), 50, 50), otherColour);
}

// A picture added while the game runs is found by the next character that asks for it.
TEST_F(NpcSpriteTest, MissingPictureIsLookedForAgain) {
    Npc *before = nullptr, *after = nullptr;
    spawn("Late", &before);
    EXPECT_EQ(before->bitmap(), slot(BitmapLibrary::npcDefaultSprite));
    writePicture(characters("Late.png"));
    spawn("Late", &after);
    ASSERT_NE(after->bitmap(), nullptr);
    EXPECT_EQ(pixelAt(after->bitmap(), 50, 50), ownColour);
}

// A picture that is there but cannot be used is named once, and the default sprite drawn.
TEST_F(NpcSpriteTest, UndecodablePictureIsNamedOnceAndTheDefaultUsed) {
    // Cut inside its header: Allegro's PNG reader leaks its buffers when a file ends among the
    // pixel rows, so that case is left to the end-to-end test of damaged files.
    const auto cutShort = [](const std::string& path) {
        writePicture(path);
        testsupport::writeFile(path, testsupport::readFile(path).substr(0, 20));
    };
    struct Broken {
        const char* name;
        std::function<void(const std::string&)> damage;
    };
    const Broken broken[] = {
        {"Text", [](const std::string& p) { testsupport::writeFile(p, "just some text\n"); }},
        {"Empty", [](const std::string& p) { testsupport::writeFile(p, ""); }},
        {"Half", cutShort},
        {"Folder", [](const std::string& p) { std::filesystem::create_directories(p); }},
    };
    for (const Broken& b : broken) {
        SCOPED_TRACE(b.name);
        b.damage(characters(std::string(b.name) + ".png"));
        Npc *first = nullptr, *second = nullptr;
        EXPECT_EQ(spawn(b.name, &first),
                  std::string("Could not load Data\\Graphics\\Characters\\") + b.name +
                      ".png, using the default character sprite.\n");
        EXPECT_EQ(spawn(b.name, &second), "");
        EXPECT_EQ(first->bitmap(), slot(BitmapLibrary::npcDefaultSprite));
        EXPECT_EQ(second->bitmap(), slot(BitmapLibrary::npcDefaultSprite));
        EXPECT_TRUE(NpcManager::usesDefaultSprite(b.name));
    }
}
