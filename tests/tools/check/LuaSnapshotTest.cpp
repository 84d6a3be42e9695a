#include "LuaSnapshot.h"

#include <gtest/gtest.h>

#include <lua.hpp>

#include <ostream>
#include <string>

namespace {

// The snapshot of the globals a chunk leaves in a fresh Lua state.
std::string snapshotAfter(const char* chunk) {
    lua_State* L = luaL_newstate();
    luaL_openlibs(L);
    const std::set<std::string> builtins = LuaSnapshot::globalNames(L);
    EXPECT_EQ(luaL_dostring(L, chunk), 0) << chunk;
    const int top = lua_gettop(L);
    std::string text = LuaSnapshot::globals(L, builtins);
    EXPECT_EQ(lua_gettop(L), top) << "the stack is left as it was";
    lua_close(L);
    return text;
}

struct SnapshotCase {
    const char* name;
    const char* first;
    const char* second;
    bool same;
};

void PrintTo(const SnapshotCase& c, std::ostream* out) {
    *out << c.name;
}

class Snapshot : public testing::TestWithParam<SnapshotCase> {};

// Two states are one exactly when their plain data is.
TEST_P(Snapshot, TellsStatesApartByTheirPlainData) {
    EXPECT_EQ(snapshotAfter(GetParam().first) == snapshotAfter(GetParam().second), GetParam().same);
}

const SnapshotCase snapshotCases[] = {
    {"OrderOfAssignment", "a = 1 b = {x = 1, y = 2}", "b = {y = 2, x = 1} a = 1", true},
    {"FunctionsLeftOut", "t = {n = 1}", "t = {n = 1, f = print} g = function() end", true},
    {"StandardLibrariesLeftOut", "string.extra = 1", "", true},
    {"NestedNumber", "t = {inner = {n = 1}}", "t = {inner = {n = 2}}", false},
    {"StringAgainstNumber", "v = '1'", "v = 1", false},
    {"BooleanKeys", "t = {[true] = 1}", "t = {[false] = 1}", false},
    {"FullPrecision", "v = 0.1 + 0.2", "v = 0.3", false},
    {"ZeroByteKept", "v = 'a\\0b'", "v = 'a\\0c'", false},
    {"CycleEnds", "t = {} t.self = t", "t = {} t.self = t", true},
    {"ListLength", "t = {1, 2}", "t = {1, 2, 3}", false},
};

INSTANTIATE_TEST_SUITE_P(Cases, Snapshot, testing::ValuesIn(snapshotCases),
                         [](const testing::TestParamInfo<SnapshotCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
