#include "script/ScriptHost.h"

#include "core/Console.h"
#include "core/HostPath.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// Shown where Lua's error object is neither a string nor a number (error({}), error(nil)).
const char* const errorObjectPlaceholder = "(error object is not a string)";

// The text of the value on top of the stack, never null.
const char* errorText(lua_State* L) {
    const int type = lua_type(L, -1);
    if (type == LUA_TSTRING || type == LUA_TNUMBER) {
        return lua_tostring(L, -1);
    }
    return errorObjectPlaceholder;
}

// Feeds a script file to lua_load the way luaL_loadfile does, but opens the host's form of
// the path while Lua keeps the game's form for its chunk name and messages.
struct FileReader {
    std::FILE* file = nullptr;
    bool extraLine = false;
    int readError = 0;
    char buffer[BUFSIZ];
};

const char* readChunk(lua_State*, void* data, size_t* size) {
    auto* reader = static_cast<FileReader*>(data);
    if (reader->extraLine) {
        // Stands in for a skipped '#' line, so line numbers in messages stay right.
        reader->extraLine = false;
        *size = 1;
        return "\n";
    }
    if (std::feof(reader->file)) {
        return nullptr;
    }
    *size = std::fread(reader->buffer, 1, sizeof reader->buffer, reader->file);
    if (*size == 0 && std::ferror(reader->file)) {
        reader->readError = errno;
    }
    return *size > 0 ? reader->buffer : nullptr;
}

// Pushes "cannot WHAT PATH: reason" as luaL_loadfile words it.
int fileError(lua_State* L, const char* what, const char* path, int error) {
    lua_pushfstring(L, "cannot %s %s: %s", what, path, std::strerror(error));
    return LUA_ERRFILE;
}

int loadScript(lua_State* L, const char* path) {
    FileReader reader;
    reader.file = std::fopen(hostPath(path).c_str(), "rb");
    if (!reader.file) {
        return fileError(L, "open", path, errno);
    }
    int c = std::getc(reader.file);
    if (c == EOF && std::ferror(reader.file)) {
        // A directory opens but cannot be read.
        const int error = errno;
        std::fclose(reader.file);
        return fileError(L, "read", path, error);
    }
    if (c == '#') {
        reader.extraLine = true;
        while (c != EOF && c != '\n') {
            c = std::getc(reader.file);
        }
    } else if (c == LUA_SIGNATURE[0]) {
        // Lua 5.1 loads precompiled chunks without verifying them, and a damaged one can
        // crash the interpreter; scripts are text.
        std::fclose(reader.file);
        lua_pushfstring(L, "cannot load %s: precompiled chunks are not accepted", path);
        return LUA_ERRSYNTAX;
    } else if (c != EOF) {
        std::ungetc(c, reader.file);
    }
    const std::string chunkName = std::string("@") + path;
    const int status = lua_load(L, readChunk, &reader, chunkName.c_str());
    std::fclose(reader.file);
    if (reader.readError != 0) {
        lua_pop(L, 1);
        return fileError(L, "read", path, reader.readError);
    }
    return status;
}

// How often, in Lua instructions, a running script looks at the clock: rare enough to cost
// nothing measurable, often enough to stop an endless loop within milliseconds of its limit.
constexpr int watchInterval = 1000000;

// The run being watched; execute is never re-entered, and everything runs on one thread.
struct RunWatch {
    lua_State* mainThread;
    std::chrono::steady_clock::time_point deadline;
    double limit;
};
const RunWatch* activeWatch = nullptr;

void watchHook(lua_State* L, lua_Debug*) {
    if (!activeWatch || std::chrono::steady_clock::now() <= activeWatch->deadline) {
        return;
    }
    // From now on every instruction raises the error again, in this thread and in the main
    // one, so a script that catches it with pcall or runs its loop in coroutines still ends.
    lua_sethook(activeWatch->mainThread, watchHook, LUA_MASKCOUNT, 1);
    lua_sethook(L, watchHook, LUA_MASKCOUNT, 1);
    luaL_where(L, 0);
    lua_pushfstring(L, "script stopped after running for %f seconds", activeWatch->limit);
    lua_concat(L, 2);
    lua_error(L);
}

// RunOnce.lua holds the helpers every character shares; a problem inside one of them belongs
// to the line of the script that called it.
bool isSharedHelperFile(const std::string& file) {
    const std::size_t slash = file.find_last_of("\\/");
    return file.compare(slash == std::string::npos ? 0 : slash + 1, std::string::npos,
                        "RunOnce.lua") == 0;
}

// Fills in where the running script is: the innermost Lua line from `level` outwards, and, when
// that line is inside a shared helper, the first line outside the helpers that led to it.
void locate(lua_State* L, int level, ScriptProblem& problem) {
    lua_Debug frame;
    for (; lua_getstack(L, level, &frame); ++level) {
        if (!lua_getinfo(L, "Sl", &frame) || frame.currentline <= 0) {
            continue; // C functions have no line
        }
        const std::string file = frame.source[0] == '@' ? frame.source + 1 : frame.short_src;
        if (!isSharedHelperFile(file)) {
            problem.file = file;
            problem.line = frame.currentline;
            return;
        }
        if (problem.helperFile.empty()) {
            problem.helperFile = file;
            problem.helperLine = frame.currentline;
        }
    }
    // Only helper lines (RunOnce.lua running on its own): that line is the author's.
    if (problem.file.empty() && !problem.helperFile.empty()) {
        problem.file = problem.helperFile;
        problem.line = problem.helperLine;
        problem.helperFile.clear();
        problem.helperLine = 0;
    }
}

// Lua starts a message with "place:LINE: "; when LINE is the line already known, the rest is
// the message itself.
std::string withoutLocation(const std::string& message, int line) {
    const std::string marker = ":" + std::to_string(line) + ": ";
    const std::size_t at = message.find(marker);
    if (line <= 0 || at == std::string::npos || message.find('\n') < at) {
        return message;
    }
    return message.substr(at + marker.size());
}

// The first "place:LINE: " of a load error's message, which names the faulty line.
int lineOfMessage(const std::string& message, const std::string& file) {
    const std::string head = file + ":";
    std::size_t at = message.find(':');
    if (message.compare(0, head.size(), head) == 0) {
        at = head.size() - 1;
    }
    if (at == std::string::npos) {
        return 0;
    }
    int line = 0;
    std::size_t i = at + 1;
    for (; i < message.size() && message[i] >= '0' && message[i] <= '9' && line < 100000000; ++i) {
        line = line * 10 + (message[i] - '0');
    }
    return i < message.size() && message[i] == ':' ? line : 0;
}

// The error handler of a watched run: notes where the error was raised and passes the
// message on untouched.
int noteErrorSite(lua_State* L) {
    auto* site = static_cast<ScriptProblem*>(lua_touserdata(L, lua_upvalueindex(1)));
    *site = ScriptProblem{};
    locate(L, 1, *site);
    return 1;
}

// ReportScriptProblem(kind, message): a problem a script noticed itself, at the line that
// made it (its caller's, for RunOnce.lua's helpers). Kinds are the names problemKindName
// gives; anything else counts as "text".
int reportScriptProblem(lua_State* L) {
    auto* host = static_cast<ScriptHost*>(lua_touserdata(L, lua_upvalueindex(1)));
    const char* kindName = lua_isstring(L, 1) ? lua_tostring(L, 1) : "";
    const char* message = lua_isstring(L, 2) ? lua_tostring(L, 2) : "";
    host->reportProblem(L, problemKindFromName(kindName).value_or(ProblemKind::Text), message);
    return 0;
}

} // namespace

ScriptHost::ScriptHost(const std::vector<ScriptFunction>& functions) {
    lua_ = luaL_newstate();
    luaL_openlibs(lua_);
    debugMode_ = false;
    for (const ScriptFunction& entry : functions) {
        lua_pushcclosure(lua_, entry.function, 0);
        lua_setfield(lua_, LUA_GLOBALSINDEX, entry.name);
    }
}

ScriptHost::~ScriptHost() {
    lua_close(lua_);
}

bool ScriptHost::loadFile(const char* path) {
    if (!path) {
        path = "";
    }
    lastRunFailed_ = false;
    if (loadScript(lua_, path) == 0) {
        return true;
    }
    lastRunFailed_ = true;
    std::fprintf(stderr, "Lua Error during Loading: %s\n", errorText(lua_));
    if (reportsProblems()) {
        ScriptProblem problem;
        problem.file = path;
        problem.line = lineOfMessage(errorText(lua_), path);
        problem.message = withoutLocation(errorText(lua_), problem.line);
        reportProblem(problem);
    }
    lua_settop(lua_, -2);
    return false;
}

bool ScriptHost::execute() {
    const int base = lua_gettop(lua_) - 1;
    if (base < 0) {
        consoleWrite("Lua Error during Execution: no chunk to run\n");
        lastRunFailed_ = true;
        return false;
    }
    const auto limit = std::chrono::duration<double>(runTimeLimit_);
    const RunWatch watch{lua_,
                         std::chrono::steady_clock::now() +
                             std::chrono::duration_cast<std::chrono::steady_clock::duration>(limit),
                         runTimeLimit_};
    const RunWatch* outerWatch = activeWatch;
    activeWatch = &watch;
    // With a listener, an error handler below the chunk notes where an error was raised.
    ScriptProblem site;
    int handler = 0;
    if (reportsProblems()) {
        lua_pushlightuserdata(lua_, &site);
        lua_pushcclosure(lua_, noteErrorSite, 1);
        lua_insert(lua_, base + 1);
        handler = base + 1;
    }
    lua_sethook(lua_, watchHook, LUA_MASKCOUNT, watchInterval);
    const int status = lua_pcall(lua_, 0, LUA_MULTRET, handler);
    lua_sethook(lua_, nullptr, 0, 0);
    activeWatch = outerWatch;
    lastRunFailed_ = status != 0;
    if (status == 0) {
        lua_settop(lua_, base);
        return true;
    }
    std::fprintf(stderr, "Lua Error during Execution: %s\n", errorText(lua_));
    if (handler != 0) {
        const int raisedAt = site.helperFile.empty() ? site.line : site.helperLine;
        site.kind = ProblemKind::Error;
        site.message = withoutLocation(errorText(lua_), raisedAt);
        reportProblem(site);
    }
    lua_settop(lua_, base);
    return false;
}

void ScriptHost::setProblemListener(ProblemListener listener) {
    listener_ = std::move(listener);
    if (listener_) {
        lua_pushlightuserdata(lua_, this);
        lua_pushcclosure(lua_, reportScriptProblem, 1);
    } else {
        lua_pushnil(lua_);
    }
    lua_setfield(lua_, LUA_GLOBALSINDEX, "ReportScriptProblem");
}

void ScriptHost::reportProblem(lua_State* L, ProblemKind kind, const std::string& message) {
    if (!listener_) {
        return;
    }
    ScriptProblem problem;
    problem.kind = kind;
    problem.message = message;
    locate(L, 0, problem);
    ++problemsReported_;
    listener_(problem);
}

ScriptProblem ScriptHost::siteOf(lua_State* L) {
    ScriptProblem site;
    locate(L, 0, site);
    return site;
}

void ScriptHost::reportProblem(const ScriptProblem& problem) {
    if (listener_) {
        ++problemsReported_;
        listener_(problem);
    }
}

bool ScriptHost::runFile(const char* path) {
    const long long before = problemsReported_;
    const bool ran = loadFile(path) && execute();
    if (runListener_) {
        runListener_(path ? path : "", ran && problemsReported_ == before);
    }
    return ran;
}

void ScriptHost::printArgumentDiagnostics(const char* name, int given, int expected, lua_State* L) {
    std::fprintf(stderr, "%s called with %i arguments.\n", name, given);
    std::fprintf(stderr, "%s expects %i argument.\n", name, expected);
    for (int i = 1; i <= given; ++i) {
        const int type = lua_type(L, i);
        if (type == LUA_TSTRING || type == LUA_TNUMBER) {
            // A copy, so that a number argument stays a number for the function itself.
            lua_pushvalue(L, i);
            std::fprintf(stderr, "-Arg %i: %s\n", i, lua_tostring(L, -1));
            lua_pop(L, 1);
        } else if (type == LUA_TBOOLEAN) {
            std::fprintf(stderr, "-Arg %i: %s\n", i, lua_toboolean(L, i) ? "(true)" : "(false)");
        } else if (type == LUA_TNONE) {
            std::fprintf(stderr, "-Arg %i: (none)\n", i);
        } else {
            std::fprintf(stderr, "-Arg %i: (%s)\n", i, lua_typename(L, type));
        }
    }
}

int ScriptHost::reportInsufficientArguments(const char* name) {
    std::fprintf(stderr, "Insufficient Arguments for %s.  Aborting.\n", name);
    return 0;
}

int ScriptHost::reportMissingNpc(const char* name) {
    std::fprintf(stderr, "%s tried to reference an NPC that doesn't exist.  Aborting.\n", name);
    return 0;
}
