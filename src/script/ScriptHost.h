#pragma once

#include "script/ScriptProblem.h"

#include <lua.hpp>

#include <functional>
#include <string>
#include <utility>
#include <vector>

// One entry of the list of functions that scripts can call: a global name and its C function.
struct ScriptFunction {
    const char* name;
    lua_CFunction function;
};

// Owns the one Lua state, registers the script functions as globals, and runs whole script
// files. Also holds the debug flag that makes the checked functions print their arguments.
// A run that exceeds the run-time limit is stopped like any other run-time error.
// Every public operation leaves the Lua stack as it found it (loadFile on success leaves
// exactly the compiled chunk, which execute consumes).
class ScriptHost {
  public:
    // Registers exactly the given list: the game's scriptFunctionTable(), or a shorter one.
    explicit ScriptHost(const std::vector<ScriptFunction>& functions);
    ~ScriptHost();
    ScriptHost(const ScriptHost&) = delete;
    ScriptHost& operator=(const ScriptHost&) = delete;

    // Compiles a script file named as the game writes it ("Data\Scripts\RunOnce.lua") and
    // leaves the chunk on the stack; on failure prints Lua's message and leaves nothing.
    bool loadFile(const char* path);
    // Runs the chunk on top of the stack and drops it with whatever it returned.
    bool execute();
    bool runFile(const char* path);

    bool isDebugMode() const { return debugMode_; }
    void activateDebugMode() { debugMode_ = true; }
    void deactivateDebugMode() { debugMode_ = false; }

    void printArgumentDiagnostics(const char* name, int given, int expected, lua_State* L);
    int reportInsufficientArguments(const char* name);
    int reportMissingNpc(const char* name);

    lua_State* state() const { return lua_; }

    // Problems are reported only while a listener is set (author mode, the content checker);
    // without one nothing of this runs and the console stays as it is.
    using ProblemListener = std::function<void(const ScriptProblem&)>;
    // While a listener is set, scripts also see ReportScriptProblem(kind, message), through
    // which RunOnce.lua's helpers report what only they notice (a full chat box).
    void setProblemListener(ProblemListener listener);
    bool reportsProblems() const { return static_cast<bool>(listener_); }
    // Told after every runFile whether the file ran to its end with no problem reported while
    // it ran (author mode forgets that file's old problems then).
    using RunListener = std::function<void(const std::string& path, bool clean)>;
    void setRunListener(RunListener listener) { runListener_ = std::move(listener); }
    // Reports a problem found by a script function, at the line of the running script that
    // called it (and the author's line, when that was inside a shared helper).
    void reportProblem(lua_State* L, ProblemKind kind, const std::string& message);
    // Where the running script is, as a problem found now would be placed.
    static ScriptProblem siteOf(lua_State* L);
    // Reports a problem with a location already known (or none).
    void reportProblem(const ScriptProblem& problem);
    // True when the last runFile, loadFile or execute failed.
    bool lastRunFailed() const { return lastRunFailed_; }

    // A script still running after this many seconds is stopped with an execution error, so
    // an endless loop in a script cannot freeze the game for good.
    static constexpr double defaultRunTimeLimit = 5.0;
    void setRunTimeLimit(double seconds) { runTimeLimit_ = seconds; }
    double runTimeLimit() const { return runTimeLimit_; }

  private:
    lua_State* lua_ = nullptr;
    bool debugMode_ = false;
    double runTimeLimit_ = defaultRunTimeLimit;
    ProblemListener listener_;
    RunListener runListener_;
    long long problemsReported_ = 0;
    bool lastRunFailed_ = false;
};

// The debug functions, registered first (defined in DebugFunctions.cpp).
// Activate_Debug_Mode() -> 1
int luaActivateDebugMode(lua_State* L);
// Deactivate_Debug_Mode() -> 1
int luaDeactivateDebugMode(lua_State* L);
