#pragma once

#include "script/ScriptProblem.h"

#include <ostream>
#include <set>
#include <string>
#include <vector>

// One finding and the path of clicks that reproduces it.
struct CheckFinding {
    ScriptProblem problem;
    std::string path;
};

// Everything one run found, in the order it was found, each problem once (with the first,
// and so shortest, path that showed it), plus the notes on walks a bound cut short and the
// counts for the summary.
class CheckReport {
  public:
    void add(const ScriptProblem& problem, const std::string& path);
    void note(const std::string& text) { notes_.push_back(text); }

    int maps = 0;
    int characters = 0;
    long long states = 0;
    long long responses = 0;
    double seconds = 0.0;

    const std::vector<CheckFinding>& findings() const { return findings_; }
    const std::vector<std::string>& notes() const { return notes_; }

    // Each finding as "FILE:LINE: KIND: message" and "  path: ...", then the notes, then the
    // summary line.
    void writeText(std::ostream& out) const;
    void writeJson(std::ostream& out) const;

  private:
    std::vector<CheckFinding> findings_;
    std::set<std::string> seen_;
    std::vector<std::string> notes_;
};
