#pragma once

#include "CheckWorld.h"

#include <chrono>
#include <ctime>
#include <memory>
#include <ostream>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class CheckReport;

// One step of a player's path: a click on the character, or a pick of a chat box row.
struct WalkStep {
    bool click = true;
    int row = 0;
    std::string text; // the picked response's text
};

// Walks every conversation of one character breadth first, as a player could: click it, pick
// each response offered, and after a close click it again, up to a number of visits. Every
// state is reached by replay in a fresh world, so nothing leaks from one path into another;
// states are told apart by CheckWorld::stateKey. Problems the game reports while a path runs
// are findings with that path; the walk's own findings are pages the player cannot leave and
// responses that share a value, each at the line of the call that wrote the page. A response
// whose value is not a number is reported where it is set and not followed. A walk cut by a
// bound (time, states, depth) or one whose memory still changed on its last visit ends in a
// note.
class ConversationWalker {
  public:
    struct Settings {
        std::string mapName;
        std::string pathPrefix;   // put before every path ("" or "map NAME, ")
        double timeLimit = 10.0;  // seconds of processor time for the whole walk
        double scriptLimit = 5.0; // seconds for one script run
        // Where progress goes once the walk runs longer than progressDelay; null for nowhere.
        // On a terminal one line is rewritten in place.
        std::ostream* progress = nullptr;
        bool terminal = false;
        int visits = 3;
        int depth = 60;
        int states = 20000;
    };

    ConversationWalker(const Settings& settings, int characterIndex,
                       const SpawnedCharacter& character, CheckReport& report);
    void walk();

    long long states() const { return static_cast<long long>(nodes_.size()); }
    long long responses() const { return responses_; }

  private:
    // A walked pick between two known states (with a click after it when it closed the box).
    struct Edge {
        int row = 0;
        bool clickAfter = false;
        int target = 0;
    };

    struct Node {
        std::vector<WalkStep> path;
        int visit = 1;
        int parent = -1;
        bool failed = false;   // the run that made it failed (its error is the finding)
        bool closes = false;   // a response here closes the chat box
        bool expanded = false; // every choice was walked
        bool walked = false;   // its choices were walked, or it has none to walk
        std::vector<ChatChoice> choices;
        std::size_t worldsNeeded = 0; // the choices that must be played in a world
        std::vector<int> children;
        std::vector<Edge> edges;
        std::string page;
        RowSite pageSite;        // the call that wrote the page's last line
        bool unfollowed = false; // a response whose value is not a number was left out
    };

    std::unique_ptr<CheckWorld> replay(const std::vector<WalkStep>& path);
    bool apply(CheckWorld& world, const WalkStep& step);
    // True when the world shows the step's response on the step's row, as when it was found.
    static bool offers(const CheckWorld& world, const WalkStep& step);
    // The state's index; -1 when it is new but a bound kept it out.
    int addState(std::unique_ptr<CheckWorld> world, const std::vector<WalkStep>& path, int visit,
                 int parent, bool failed, bool linked);
    void park(int index, std::unique_ptr<CheckWorld>& world);
    bool needsWorld(int index) const;
    // A goodbye in the last visit: its outcome is known without playing it.
    bool isLastGoodbye(const Node& node, const ChatChoice& choice) const;
    void relocate(int from, std::unique_ptr<CheckWorld>& world);
    void unpark(int index);
    std::unique_ptr<CheckWorld> worldAfterPick(int index, const ChatChoice& choice,
                                               const std::vector<WalkStep>& path);
    void expand(int index);
    void checkPage(const CheckWorld& world, const Node& node, const std::string& pathText);
    void reportStuck();
    void report(ProblemKind kind, const std::string& message, const std::string& pathText,
                const RowSite& site);
    void noteMemory(const std::string& memory, int visit);
    bool overBudget();
    void showProgress(bool last);
    void writeNotes();
    std::string describe(const std::vector<WalkStep>& path) const;

    Settings settings_;
    int characterIndex_;
    SpawnedCharacter character_;
    CheckReport& report_;
    std::string context_; // the path of what is running now, for the game's own problems
    std::vector<Node> nodes_;
    std::unordered_map<std::string, int> known_;
    // Worlds left standing in states not yet expanded: each saves one of its picks a replay.
    std::unordered_map<int, std::vector<std::unique_ptr<CheckWorld>>> parked_;
    std::size_t parkedCount_ = 0;
    long long responses_ = 0;
    bool lastFailed_ = false; // the last step of the last replay ran a script that failed
    std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
    std::clock_t startedClock_ = std::clock();
    std::chrono::steady_clock::time_point lastProgress_{};
    bool progressShown_ = false;
    // The memories seen before the last visit, and the last visit's, as hashes.
    std::unordered_set<std::size_t> earlierMemories_;
    std::vector<std::size_t> lastMemories_;
    bool cutByTime_ = false;
    bool cutByStates_ = false;
    bool cutByDepth_ = false;
    bool diverged_ = false;
    bool settingUp_ = false; // the start-up and map scripts of a replay are running
};
