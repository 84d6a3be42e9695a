#pragma once

#include <cstdio>
#include <string>

// What a run of the game is asked for on its command line. With no option, the game starts
// exactly as it always has.
class CommandLine {
  public:
    static constexpr const char* defaultMap = "WillowCreekFarm";

    // Reads the options. False when the program should end at once with exitStatus(): after
    // --help (usage on `out`, status 0) or a bad option (message and usage on `err`,
    // status 2).
    bool parse(int argc, const char* const* argv, std::FILE* out, std::FILE* err);

    const std::string& map() const { return map_; }
    bool authorMode() const { return authorMode_; }
    // Content that saves starts afresh, without reading its save.
    bool newGame() const { return newGame_; }
    int exitStatus() const { return exitStatus_; }

    static const char* usage();

  private:
    bool refuse(std::FILE* err, const std::string& message);

    std::string map_ = defaultMap;
    bool authorMode_ = false;
    bool newGame_ = false;
    int exitStatus_ = 0;
};
