#pragma once

#include "script/ScriptProblem.h"
#include "world/Conversation.h"

#include <allegro5/allegro.h>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

class HeadlessWorld;

// A character as the map's script spawned it, with the line of the SpawnNPC call.
struct SpawnedCharacter {
    std::string name;
    std::string scriptPath;
    std::string spriteName;
    int x = 0;
    int y = 0;
    int left = 0, top = 0, right = 0, bottom = 0; // the hit box, edges included
    std::string file; // the script that spawned it, as the game names it
    int line = 0;
};

// One response line the player could pick: its row in the chat box, value and text, and
// whether the script gave that value as a number (any other value counts as 0).
struct ChatChoice {
    int row = 0;
    int value = 0;
    std::string text;
    bool numeric = true;
};

// The author's line of the script call that last wrote a chat box row.
struct RowSite {
    std::string file;
    int line = 0;
    bool numeric = true; // a response whose value was a number, or a plain line
};

// One fresh game as far as conversations reach: the real script host with every script
// function, the portrait store, the characters and the GUI with its chat box, built into the
// global game context without a window. The bitmap library already in the context is shared
// (it is only read). Scripts run exactly as in the game; a player's clicks and picks go
// through the game's own conversation. Several worlds may exist, but only the active one (the
// last made or activated) is in the game context, and only it may run scripts.
class CheckWorld : public ConversationListener {
  public:
    using ProblemSink = std::function<void(const ScriptProblem&)>;

    CheckWorld(double scriptLimit, ProblemSink sink);
    ~CheckWorld() override;
    CheckWorld(const CheckWorld&) = delete;
    CheckWorld& operator=(const CheckWorld&) = delete;

    // Puts this world's managers into the game context.
    void activate();

    // The two start-up scripts, as the game runs them.
    void runStartupScripts();
    // The script of Data\Maps\<name>.fmp; false when it failed.
    bool runMapScript(const std::string& name);
    // A click on the character spawned at `index`. False when the script failed.
    bool clickCharacter(int index);
    // A pick of a chat box row. False when a script ran and failed.
    bool clickRow(int row);

    bool chatShown() const;
    // Every response line shown, top to bottom (value -1 included).
    std::vector<ChatChoice> responseLines() const;
    // The text of every line shown, top to bottom.
    std::vector<std::string> pageLines() const;
    // Where the call that wrote a row was; empty when no script call of this world wrote it.
    RowSite rowSite(int row) const;
    // The site of the last row shown, where the page was finished.
    RowSite lastRowSite() const;
    // What tells this state apart from every other: the chat box, the active character,
    // every character's variables, the plain data in Lua's globals.
    // `memoryStart`, when given, gets where the part that outlives a visit begins: every
    // character's variables and the plain data in Lua's globals.
    std::string stateKey(std::size_t* memoryStart = nullptr) const;
    const std::vector<SpawnedCharacter>& spawned() const { return spawned_; }
    // Every place SetPlayerPosition put the player, in order.
    const std::vector<std::pair<int, int>>& placements() const { return placements_; }

    // Notes whether the script of a click or a pick failed.
    void scriptRan(const Npc& npc) override;

  private:
    void leaveForAnotherMap();
    std::uint64_t pictureHash(ALLEGRO_BITMAP* bitmap) const;

    std::unique_ptr<HeadlessWorld> world_;
    bool scriptFailed_ = false;
    std::vector<SpawnedCharacter> spawned_;
    std::vector<std::pair<int, int>> placements_;
    std::map<int, RowSite> rowSites_;
    std::set<std::string> builtinGlobals_;
    mutable std::map<ALLEGRO_BITMAP*, std::uint64_t> pictureHashes_;
};

// Data\Scripts\Maps\<name>.lua
std::string mapScriptPath(const std::string& mapName);
