#include "core/CommandLine.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// What the options made of a command line, and what they printed where.
struct Parsed {
    bool start;
    int status;
    std::string map;
    bool author;
    bool newGame;
    std::string out;
    std::string err;
};

Parsed parse(std::vector<const char*> words) {
    words.insert(words.begin(), "fennow-online");
    char* outText = nullptr;
    char* errText = nullptr;
    std::size_t outSize = 0, errSize = 0;
    std::FILE* out = open_memstream(&outText, &outSize);
    std::FILE* err = open_memstream(&errText, &errSize);
    CommandLine options;
    const bool start = options.parse(static_cast<int>(words.size()), words.data(), out, err);
    std::fclose(out);
    std::fclose(err);
    Parsed parsed{start,
                  options.exitStatus(),
                  options.map(),
                  options.authorMode(),
                  options.newGame(),
                  std::string(outText, outSize),
                  std::string(errText, errSize)};
    std::free(outText);
    std::free(errText);
    return parsed;
}

TEST(CommandLine, OptionsUsageAndRefusals) {
    struct Row {
        std::vector<const char*> words;
        bool start;
        int status;
        const char* map;
        bool author;
        const char* err; // the first line on the error stream, "" for none
    };
    const std::string usage = CommandLine::usage();
    const Row rows[] = {
        {{}, true, 0, "WillowCreekFarm", false, ""},
        {{"--map", "Meadow"}, true, 0, "Meadow", false, ""},
        {{"--author", "--map=Meadow"}, true, 0, "Meadow", true, ""},
        {{"--map", "--author"}, true, 0, "--author", false, ""},
        {{"--author", "--author"}, true, 0, "WillowCreekFarm", true, ""},
        {{"--map"}, false, 2, "", false, "fennow-online: --map needs a map name"},
        {{"--map="}, false, 2, "", false, "fennow-online: --map needs a map name"},
        {{"--map", "A", "--map", "B"}, false, 2, "", false, "fennow-online: --map is given twice"},
        {{"-x"}, false, 2, "", false, "fennow-online: unknown option \"-x\""},
        {{"Meadow"}, false, 2, "", false, "fennow-online: unknown option \"Meadow\""},
        {{"--author", "--Author"},
         false,
         2,
         "",
         false,
         "fennow-online: unknown option \"--Author\""},
    };
    for (const Row& row : rows) {
        const Parsed parsed = parse(row.words);
        const std::string context = row.words.empty() ? "(none)" : row.words[0];
        EXPECT_EQ(parsed.start, row.start) << context;
        EXPECT_EQ(parsed.status, row.status) << context;
        EXPECT_EQ(parsed.out, "") << context;
        if (row.start) {
            EXPECT_EQ(parsed.map, row.map) << context;
            EXPECT_EQ(parsed.author, row.author) << context;
            EXPECT_EQ(parsed.err, "") << context;
        } else {
            EXPECT_EQ(parsed.err, std::string(row.err) + "\n" + usage) << context;
        }
    }
    // --new-game is off unless given; the usage names it.
    EXPECT_FALSE(parse({"--author"}).newGame);
    const Parsed fresh = parse({"--new-game", "--map", "Meadow"});
    EXPECT_TRUE(fresh.start && fresh.newGame && fresh.map == "Meadow" && fresh.err.empty());
    EXPECT_NE(usage.find("  --new-game  start without the save FennowOnline.sav"),
              std::string::npos);
    // --help wins wherever it stands and prints on the output stream only.
    for (const auto& words : {std::vector<const char*>{"--help"}, {"--author", "-h", "--bad"}}) {
        const Parsed parsed = parse(words);
        EXPECT_FALSE(parsed.start);
        EXPECT_EQ(parsed.status, 0);
        EXPECT_EQ(parsed.out, usage);
        EXPECT_EQ(parsed.err, "");
    }
}

} // namespace
