#include "ConversationWalker.h"

#include "CheckReport.h"

#include "world/Conversation.h"

#include <cstdio>
#include <ctime>
#include <functional>
#include <map>

namespace {

constexpr int closeValue = Conversation::closeResponse;
constexpr int noResponse = Conversation::noResponse;
// A parked world holds a Lua state and its pictures, up to half a megabyte; more than a few
// hundred save no replays that matter.
constexpr std::size_t parkedLimit = 256;
// A walk this long shows its progress, at most this often.
constexpr std::chrono::seconds progressDelay{2};
constexpr std::chrono::milliseconds progressInterval{500};

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// The first line of a page that shows something, to name the page in a finding.
std::string pageName(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        if (line.find_first_not_of(' ') != std::string::npos)
            return "page " + quoted(line);
    }
    return "an empty page";
}

} // namespace

ConversationWalker::ConversationWalker(const Settings& settings, int characterIndex,
                                       const SpawnedCharacter& character, CheckReport& report)
    : settings_(settings), characterIndex_(characterIndex), character_(character), report_(report) {
}

std::string ConversationWalker::describe(const std::vector<WalkStep>& path) const {
    std::string text = settings_.pathPrefix + character_.name + ":";
    for (std::size_t i = 0; i < path.size(); ++i) {
        text += i == 0 ? " " : " > ";
        text += path[i].click ? "click" : quoted(path[i].text);
    }
    return text;
}

void ConversationWalker::report(ProblemKind kind, const std::string& message,
                                const std::string& pathText, const RowSite& site) {
    ScriptProblem problem;
    problem.kind = kind;
    problem.message = message;
    problem.file = site.file.empty() ? character_.scriptPath : site.file;
    problem.line = site.file.empty() ? 0 : site.line;
    report_.add(problem, pathText);
}

bool ConversationWalker::overBudget() {
    const auto now = std::chrono::steady_clock::now();
    if (settings_.progress && now - started_ >= progressDelay &&
        now - lastProgress_ >= progressInterval) {
        lastProgress_ = now;
        showProgress(false);
    }
    // Processor time, so that a machine busy with other work cuts no walk short.
    const double used = static_cast<double>(std::clock() - startedClock_) / CLOCKS_PER_SEC;
    if (used < settings_.timeLimit)
        return false;
    cutByTime_ = true;
    return true;
}

void ConversationWalker::showProgress(bool last) {
    std::ostream& out = *settings_.progress;
    if (last) {
        if (progressShown_ && settings_.terminal)
            out << "\r\x1b[K" << std::flush;
        return;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
    char elapsed[32];
    std::snprintf(elapsed, sizeof elapsed, "%.1f", seconds);
    out << (settings_.terminal ? "\r\x1b[K" : "") << "fennow-check: " << settings_.pathPrefix
        << character_.name << ": " << nodes_.size() << " states, " << responses_
        << " responses walked, " << elapsed << " s" << (settings_.terminal ? "" : "\n")
        << std::flush;
    progressShown_ = true;
}

bool ConversationWalker::apply(CheckWorld& world, const WalkStep& step) {
    return step.click ? world.clickCharacter(characterIndex_) : world.clickRow(step.row);
}

bool ConversationWalker::offers(const CheckWorld& world, const WalkStep& step) {
    for (const ChatChoice& line : world.responseLines()) {
        if (line.row == step.row)
            return line.text == step.text;
    }
    return false;
}

std::unique_ptr<CheckWorld> ConversationWalker::replay(const std::vector<WalkStep>& path) {
    // What the start-up and map scripts do was reported when the map was set up.
    auto world =
        std::make_unique<CheckWorld>(settings_.scriptLimit, [this](const ScriptProblem& problem) {
            if (!settingUp_)
                report_.add(problem, context_);
        });
    settingUp_ = true;
    context_ = settings_.pathPrefix + "start-up";
    world->runStartupScripts();
    context_ = "map " + settings_.mapName;
    world->runMapScript(settings_.mapName);
    settingUp_ = false;
    std::vector<WalkStep> done;
    lastFailed_ = false;
    for (const WalkStep& step : path) {
        if (!step.click && !offers(*world, step))
            diverged_ = true;
        done.push_back(step);
        context_ = describe(done);
        lastFailed_ = !apply(*world, step);
    }
    return world;
}

void ConversationWalker::walk() {
    const std::vector<WalkStep> first{WalkStep{}};
    std::unique_ptr<CheckWorld> world = replay({});
    context_ = describe(first);
    const bool ran = apply(*world, first.front());
    addState(std::move(world), first, 1, -1, !ran, false);
    for (std::size_t index = 0; index < nodes_.size() && !overBudget(); ++index)
        expand(static_cast<int>(index));
    if (settings_.progress)
        showProgress(true);
    reportStuck();
    writeNotes();
}

void ConversationWalker::writeNotes() {
    const std::string who = settings_.pathPrefix + character_.name;
    const std::string walked = std::to_string(nodes_.size()) + " states and " +
                               std::to_string(responses_) + " responses walked";
    if (cutByTime_) {
        char limit[32];
        std::snprintf(limit, sizeof limit, "%g", settings_.timeLimit);
        report_.note(who + ": the walk stopped after " + limit +
                     " s of processor time (--time-limit), " + walked +
                     "; the rest was not walked");
    }
    if (cutByStates_)
        report_.note(who + ": the walk stopped at " + std::to_string(settings_.states) +
                     " states (--states), " + std::to_string(responses_) +
                     " responses walked; the rest was not walked");
    if (diverged_)
        report_.note(who + ": a replayed path did not offer the same responses again (does the "
                           "conversation depend on the time or on chance?); the walk may be "
                           "incomplete");
    if (cutByDepth_)
        report_.note(who + ": paths were cut after " + std::to_string(settings_.depth) +
                     (settings_.depth == 1 ? " step" : " steps") + " (--depth)");
    bool changed = false;
    for (const std::size_t memory : lastMemories_)
        changed = changed || earlierMemories_.count(memory) == 0;
    if (changed && !cutByTime_ && !cutByStates_)
        report_.note(who + ": its memory still changed on visit " +
                     std::to_string(settings_.visits) +
                     ", the last walked; a later visit may differ (try --visits " +
                     std::to_string(settings_.visits + 1) + ")");
}

void ConversationWalker::noteMemory(const std::string& memoryKey, int visit) {
    const std::size_t memory = std::hash<std::string>{}(memoryKey);
    if (visit < settings_.visits)
        earlierMemories_.insert(memory);
    else
        lastMemories_.push_back(memory);
}

int ConversationWalker::addState(std::unique_ptr<CheckWorld> parkable,
                                 const std::vector<WalkStep>& path, int visit, int parent,
                                 bool failed, bool linked) {
    const CheckWorld& world = *parkable;
    std::size_t memoryStart = 0;
    const std::string state = world.stateKey(&memoryStart);
    const std::string key = "visit " + std::to_string(visit) + "|" + state;
    const auto found = known_.find(key);
    if (found != known_.end()) {
        if (linked)
            nodes_[parent].children.push_back(found->second);
        park(found->second, parkable);
        return found->second;
    }
    if (static_cast<int>(nodes_.size()) >= settings_.states) {
        cutByStates_ = true;
        return -1;
    }
    Node node;
    node.path = path;
    node.visit = visit;
    node.parent = parent;
    node.failed = failed;
    std::map<int, bool> offered;
    for (const ChatChoice& line : world.responseLines()) {
        // A value that is not a number was reported where it was set; what picking it does is
        // the script's accident, not its design.
        if (!line.numeric) {
            node.unfollowed = true;
            continue;
        }
        // Rows with one value lead to one state: the script sees only the value.
        if (line.value != noResponse && offered.emplace(line.value, true).second)
            node.choices.push_back(line);
    }
    for (const ChatChoice& choice : node.choices) {
        if (!isLastGoodbye(node, choice))
            ++node.worldsNeeded;
    }
    node.page = pageName(world.pageLines());
    node.pageSite = world.lastRowSite();
    noteMemory(state.substr(memoryStart), visit);
    const int index = static_cast<int>(nodes_.size());
    known_.emplace(key, index);
    if (linked)
        nodes_[parent].children.push_back(index);
    checkPage(world, node, describe(path));
    nodes_.push_back(std::move(node));
    park(index, parkable);
    return index;
}

bool ConversationWalker::isLastGoodbye(const Node& node, const ChatChoice& choice) const {
    return choice.value == closeValue && node.visit >= settings_.visits;
}

bool ConversationWalker::needsWorld(int index) const {
    const Node& node = nodes_[index];
    if (node.walked || node.failed || parkedCount_ >= parkedLimit)
        return false;
    const auto pool = parked_.find(index);
    return pool == parked_.end() || pool->second.size() < node.worldsNeeded;
}

void ConversationWalker::park(int index, std::unique_ptr<CheckWorld>& world) {
    if (!needsWorld(index)) {
        relocate(index, world);
        return;
    }
    parked_[index].push_back(std::move(world));
    ++parkedCount_;
}

void ConversationWalker::relocate(int from, std::unique_ptr<CheckWorld>& world) {
    // A world in a state that needs none is walked along known picks to the nearest state
    // that does: a few script runs cost far less than a replay from the start.
    constexpr int hopLimit = 4;
    std::vector<int> cameFrom(nodes_.size(), -2);
    std::vector<const Edge*> via(nodes_.size(), nullptr);
    std::vector<int> frontier{from};
    cameFrom[from] = -1;
    int goal = -1;
    for (int hop = 0; hop < hopLimit && goal < 0 && !frontier.empty(); ++hop) {
        std::vector<int> next;
        for (const int index : frontier) {
            for (const Edge& edge : nodes_[index].edges) {
                if (cameFrom[edge.target] != -2)
                    continue;
                cameFrom[edge.target] = index;
                via[edge.target] = &edge;
                if (needsWorld(edge.target)) {
                    goal = edge.target;
                    break;
                }
                next.push_back(edge.target);
            }
            if (goal >= 0)
                break;
        }
        frontier = std::move(next);
    }
    if (goal < 0)
        return;
    std::vector<const Edge*> steps;
    for (int at = goal; at != from; at = cameFrom[at])
        steps.insert(steps.begin(), via[at]);
    world->activate();
    context_ = describe(nodes_[goal].path);
    for (const Edge* edge : steps) {
        if (!world->clickRow(edge->row) ||
            (edge->clickAfter && !world->clickCharacter(characterIndex_)))
            return;
    }
    const auto arrived =
        known_.find("visit " + std::to_string(nodes_[goal].visit) + "|" + world->stateKey());
    if (arrived == known_.end() || arrived->second != goal)
        return;
    parked_[goal].push_back(std::move(world));
    ++parkedCount_;
}

void ConversationWalker::unpark(int index) {
    const auto found = parked_.find(index);
    if (found == parked_.end())
        return;
    parkedCount_ -= found->second.size();
    parked_.erase(found);
}

std::unique_ptr<CheckWorld> ConversationWalker::worldAfterPick(int index, const ChatChoice& choice,
                                                               const std::vector<WalkStep>& path) {
    const auto parked = parked_.find(index);
    if (parked == parked_.end() || parked->second.empty())
        return replay(path);
    std::unique_ptr<CheckWorld> world = std::move(parked->second.back());
    parked->second.pop_back();
    --parkedCount_;
    world->activate();
    context_ = describe(path);
    lastFailed_ = !world->clickRow(choice.row);
    return world;
}

void ConversationWalker::checkPage(const CheckWorld& world, const Node& node,
                                   const std::string& pathText) {
    const std::vector<ChatChoice> lines = world.responseLines();
    std::map<int, const ChatChoice*> firstOfValue;
    for (const ChatChoice& line : lines) {
        if (line.value == noResponse || line.value == closeValue || !line.numeric)
            continue;
        const auto [entry, added] = firstOfValue.emplace(line.value, &line);
        if (!added && entry->second->text != line.text)
            report(ProblemKind::Value,
                   "responses " + quoted(entry->second->text) + " and " + quoted(line.text) +
                       " on one page have the same value " + std::to_string(line.value),
                   pathText, world.rowSite(line.row));
    }
    if (node.choices.empty() && !node.failed && !node.unfollowed)
        report(ProblemKind::Stuck,
               "the chat box is open with no response line to pick (" + node.page + ")", pathText,
               node.pageSite);
}

void ConversationWalker::expand(int index) {
    nodes_[index].walked = true;
    if (nodes_[index].failed || nodes_[index].choices.empty()) {
        unpark(index);
        return;
    }
    if (static_cast<int>(nodes_[index].path.size()) >= settings_.depth) {
        unpark(index);
        cutByDepth_ = true;
        return;
    }
    const std::vector<ChatChoice> choices = nodes_[index].choices;
    bool complete = true;
    for (const ChatChoice& choice : choices) {
        if (isLastGoodbye(nodes_[index], choice)) {
            // The game closes the box and runs nothing: the visit ends, and it was the last.
            ++responses_;
            nodes_[index].closes = true;
            continue;
        }
        std::vector<WalkStep> path = nodes_[index].path;
        path.push_back(WalkStep{false, choice.row, choice.text});
        std::unique_ptr<CheckWorld> world = worldAfterPick(index, choice, path);
        ++responses_;
        const int visit = nodes_[index].visit;
        if (!world->chatShown()) {
            nodes_[index].closes = true;
            if (visit >= settings_.visits)
                continue;
            if (static_cast<int>(path.size()) >= settings_.depth) {
                cutByDepth_ = true;
                continue;
            }
            path.push_back(WalkStep{});
            context_ = describe(path);
            const bool clicked = world->clickCharacter(characterIndex_);
            const int target = addState(std::move(world), path, visit + 1, index, !clicked, false);
            if (target >= 0 && clicked)
                nodes_[index].edges.push_back(Edge{choice.row, true, target});
            continue;
        }
        const bool ran = !lastFailed_;
        const int target = addState(std::move(world), path, visit, index, lastFailed_, true);
        complete = target >= 0 && complete;
        if (target >= 0 && ran)
            nodes_[index].edges.push_back(Edge{choice.row, false, target});
    }
    // A page whose next state was not kept (--states) might still lead to a close.
    nodes_[index].expanded = complete;
    unpark(index);
}

void ConversationWalker::reportStuck() {
    // A page can be left when one of its responses closes the chat box, or leads to a page
    // that can be left. Pages whose script failed, pages with nothing to pick and pages the
    // walk did not finish are not held against the pages before them: they are reported
    // themselves, or not known.
    std::vector<bool> leaves(nodes_.size());
    for (std::size_t i = 0; i < nodes_.size(); ++i) {
        const Node& node = nodes_[i];
        leaves[i] =
            node.closes || node.failed || node.choices.empty() || !node.expanded || node.unfollowed;
    }
    for (bool changed = true; changed;) {
        changed = false;
        for (std::size_t i = 0; i < nodes_.size(); ++i) {
            if (leaves[i])
                continue;
            for (const int child : nodes_[i].children) {
                if (leaves[child]) {
                    leaves[i] = true;
                    changed = true;
                    break;
                }
            }
        }
    }
    for (std::size_t i = 0; i < nodes_.size(); ++i) {
        const Node& node = nodes_[i];
        // Only the first trapped page of a path is named; those after it follow from it.
        if (leaves[i] || (node.parent >= 0 && !leaves[node.parent]))
            continue;
        report(ProblemKind::Stuck,
               "no choice from here ever leads to a close response (" + node.page + ")",
               describe(node.path), node.pageSite);
    }
}
