#include "script/ScriptArguments.h"

#include "core/GameContext.h"
#include "script/ScriptHost.h"

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

// Hands a refusal to the problem listener, at the script line that made the call.
void reportRefusal(lua_State* L, const std::string& line) {
    ScriptHost* host = game.scriptHost;
    if (host && host->reportsProblems()) {
        host->reportProblem(L, ProblemKind::Refused, line);
    }
}

void printDiagnosticsIfDebugging(lua_State* L, const char* name, int given, int expected) {
    ScriptHost* host = game.scriptHost;
    if (host && host->isDebugMode()) {
        host->printArgumentDiagnostics(name, given, expected, L);
    }
}

} // namespace

std::optional<std::string_view> textArgument(lua_State* L, int position, const char* function) {
    const std::optional<std::string_view> text = argumentText(L, position);
    ScriptHost* host = game.scriptHost;
    if (text || !host || !host->reportsProblems() || lua_gettop(L) < position) {
        return text;
    }
    const int type = lua_type(L, position);
    const std::string given =
        type == LUA_TNIL ? std::string("nil") : std::string("a ") + lua_typename(L, type);
    host->reportProblem(L, ProblemKind::Text,
                        std::string(function) + " was given " + given +
                            " where a text belongs (argument " + std::to_string(position) + ")");
    return text;
}

int truncateToInt(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= 2147483647.0) {
        return INT_MAX;
    }
    if (value <= -2147483648.0) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

float narrowToFloat(double value) {
    if (std::isnan(value) || std::fabs(value) <= FLT_MAX) {
        return static_cast<float>(value);
    }
    // Beyond the largest float, rounding to nearest still gives it up to half a step above
    // (2^103 at that magnitude); further out the nearest float is infinity.
    const float nearest = std::fabs(value) < FLT_MAX + std::ldexp(1.0, 103) ? FLT_MAX : INFINITY;
    return value > 0 ? nearest : -nearest;
}

int argumentInt(lua_State* L, int position) {
    return truncateToInt(lua_tonumber(L, position));
}

float argumentFloat(lua_State* L, int position) {
    return narrowToFloat(lua_tonumber(L, position));
}

std::optional<std::string_view> argumentText(lua_State* L, int position) {
    const int type = lua_type(L, position);
    if (type != LUA_TSTRING && type != LUA_TNUMBER) {
        return std::nullopt;
    }
    size_t length = 0;
    const char* text = lua_tolstring(L, position, &length);
    return std::string_view(text, length);
}

bool checkDialogueArguments(lua_State* L, const char* name, int expected) {
    const int given = lua_gettop(L);
    printDiagnosticsIfDebugging(L, name, given, expected);
    if (given < expected) {
        refuseDialogueCall(L, name);
        return false;
    }
    return true;
}

int refuseDialogueCall(lua_State* L, const char* name) {
    std::fprintf(stderr, "Insufficient Arguments for %s, aborting.\n", name);
    reportRefusal(L, std::string("Insufficient Arguments for ") + name + ", aborting.");
    return 0;
}

bool checkArguments(lua_State* L, const char* name, int expected) {
    const int given = lua_gettop(L);
    printDiagnosticsIfDebugging(L, name, given, expected);
    if (given < expected) {
        refuseCall(L, name);
        return false;
    }
    return true;
}

int refuseCall(lua_State* L, const char* name) {
    if (!game.scriptHost) {
        return 0;
    }
    game.scriptHost->reportInsufficientArguments(name);
    reportRefusal(L, std::string("Insufficient Arguments for ") + name + ".  Aborting.");
    return 0;
}

int refuseMissingNpc(lua_State* L, const char* name) {
    if (!game.scriptHost) {
        return 0;
    }
    game.scriptHost->reportMissingNpc(name);
    reportRefusal(L,
                  std::string(name) + " tried to reference an NPC that doesn't exist.  Aborting.");
    return 0;
}

std::optional<bool> argumentSwitch(lua_State* L, int position) {
    switch (lua_type(L, position)) {
    case LUA_TBOOLEAN:
        return lua_toboolean(L, position) != 0;
    case LUA_TNUMBER:
        return lua_tonumber(L, position) != 0;
    default:
        return std::nullopt;
    }
}

int refuseArgument(lua_State* L, const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
    reportRefusal(L, line);
    return 0;
}

int pushAccepted(lua_State* L) {
    lua_pushnumber(L, 1);
    return 1;
}
