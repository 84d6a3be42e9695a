#pragma once

#include "script/ScriptProblem.h"

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

// One finding of the content check, with the path of clicks that shows it.
struct CheckedFinding {
    ScriptProblem problem;
    std::string path;
};

// Author mode's content check: fennow-check walks the current map's conversations in a
// process of its own, at a lower priority, so the game never waits for it. Its JSON report is
// read a little at a time while the game runs; when the process ends, its findings are
// handed over once. Stopping (or destroying) ends a check still running.
class BackgroundCheck {
  public:
    BackgroundCheck() = default;
    ~BackgroundCheck();
    BackgroundCheck(const BackgroundCheck&) = delete;
    BackgroundCheck& operator=(const BackgroundCheck&) = delete;

    // Starts `program --data . --map MAP --json`; a check still running is stopped first.
    // False with a reason when it cannot start.
    bool start(const std::string& program, const std::string& mapName, std::string& error);
    void stop();
    bool running() const { return pid_ > 0; }
    // Reads what the check wrote so far. True once, when it has ended: then `findings` holds
    // what it found, or `error` says why there is no report.
    bool poll(std::vector<CheckedFinding>& findings, std::string& error);
    // Seconds from start to the end of the last check (or until now while it runs).
    double seconds() const;

    // The checker beside the game: $FENNOW_CHECK when set, else tools/fennow-check or
    // fennow-check in the game's own folder; "" when there is none.
    static std::string findProgram();
    // The findings of one JSON report; false with a reason when it is not one.
    static bool readReport(const std::string& json, std::vector<CheckedFinding>& findings,
                           std::string& error);

  private:
    pid_t pid_ = -1;
    int output_ = -1;
    std::string report_;
    std::chrono::steady_clock::time_point started_{};
    std::chrono::steady_clock::time_point ended_{};
};
