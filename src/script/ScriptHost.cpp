#include "script/ScriptHost.h"

#include "core/Console.h"
#include "core/HostPath.h"
#include "script/ScriptFunctionTable.h"

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

} // namespace

ScriptHost::ScriptHost() : ScriptHost(scriptFunctionTable()) {}

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
    if (loadScript(lua_, path ? path : "") == 0) {
        return true;
    }
    std::fprintf(stderr, "Lua Error during Loading: %s\n", errorText(lua_));
    lua_settop(lua_, -2);
    return false;
}

bool ScriptHost::execute() {
    const int base = lua_gettop(lua_) - 1;
    if (base < 0) {
        consoleWrite("Lua Error during Execution: no chunk to run\n");
        return false;
    }
    const auto limit = std::chrono::duration<double>(runTimeLimit_);
    const RunWatch watch{lua_,
                         std::chrono::steady_clock::now() +
                             std::chrono::duration_cast<std::chrono::steady_clock::duration>(limit),
                         runTimeLimit_};
    const RunWatch* outerWatch = activeWatch;
    activeWatch = &watch;
    lua_sethook(lua_, watchHook, LUA_MASKCOUNT, watchInterval);
    const int status = lua_pcall(lua_, 0, LUA_MULTRET, 0);
    lua_sethook(lua_, nullptr, 0, 0);
    activeWatch = outerWatch;
    if (status == 0) {
        lua_settop(lua_, base);
        return true;
    }
    std::fprintf(stderr, "Lua Error during Execution: %s\n", errorText(lua_));
    lua_settop(lua_, base);
    return false;
}

bool ScriptHost::runFile(const char* path) {
    if (!loadFile(path)) {
        return false;
    }
    return execute();
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
