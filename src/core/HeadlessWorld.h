#pragma once

#include "core/GameContext.h"
#include "script/ScriptHost.h"

#include <vector>

// How much of the game a world without a window holds.
enum class HeadlessScope {
    // The game's art alone, which worlds of conversations made after it share.
    Art,
    // What conversations need: the script host, the portraits, the characters, the
    // conversation and the GUI; the art is whatever the context holds.
    Conversations,
    // Every manager of the game, in start-up order; frames are composed into memory bitmaps.
    Game,
};

// The game context without a window, for the content checker, the tests and the benchmarks.
// It is built into the global context, keeping what that holds already (shared art), and
// taken down with the world: what it made is deleted and its slots emptied. The last world
// made or activated is the one in the context.
class HeadlessWorld {
  public:
    explicit HeadlessWorld(HeadlessScope scope = HeadlessScope::Game);
    // A script host with exactly these functions.
    HeadlessWorld(HeadlessScope scope, const std::vector<ScriptFunction>& functions);
    ~HeadlessWorld();
    HeadlessWorld(const HeadlessWorld&) = delete;
    HeadlessWorld& operator=(const HeadlessWorld&) = delete;

    // Puts this world's managers into the context again, after another world was there.
    void activate();

  private:
    GameContext made_;
};
