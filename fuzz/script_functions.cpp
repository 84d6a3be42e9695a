// Calls the script functions through a real Lua state in random sequences with random
// arguments. Each input is a list of calls: a function byte, an argument-count byte, then per
// argument a kind byte and the bytes that kind needs. A Lua error raised by one of our
// functions, more than one result, or an unbalanced stack aborts. Run it with
// -close_fd_mask=2 to keep the functions' console lines out of the fuzzer's report.

#include "core/GameContext.h"
#include "core/HeadlessWorld.h"
#include "script/ScriptFunctionTable.h"
#include "script/ScriptHost.h"

#include <allegro5/allegro.h>
#include <allegro5/allegro_image.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

class InputReader {
  public:
    InputReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool done() const { return position_ >= size_; }
    uint8_t byte() { return done() ? 0 : data_[position_++]; }
    double number() {
        double value = 0.0;
        uint8_t bytes[sizeof value] = {};
        for (uint8_t& b : bytes) {
            b = byte();
        }
        std::memcpy(&value, bytes, sizeof value);
        return value;
    }
    // Path separators are left out, so a portrait path never leaves the working directory.
    std::string text(size_t length) {
        std::string result;
        for (size_t i = 0; i < length && !done(); ++i) {
            const char c = static_cast<char>(byte());
            result += (c == '/' || c == '\\') ? '_' : c;
        }
        return result;
    }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};

const double specialNumbers[] = {NAN,          INFINITY,      -INFINITY,  1e308, -1e308,
                                 2147483648.0, -2147483649.0, 16777217.0, 1.9,   -3.7,
                                 -0.5,         0.0,           -1.0,       -2.0,  -3.0};
const char* const numericTexts[] = {"12",   "0x10", " 3 ",    "1e999", "-1e999", "nan",       "inf",
                                    "-3.7", "",     "~BLANK", "%s%n",  "1.9",    "0x7fffffff"};
// Names shared by spawning, selecting, variables and portraits, so calls meet each other.
const char* const knownNames[] = {"Mare", "Quilla", "gold", "mood", "Face", "QuillaTemp", ""};

template <typename T, size_t N> const T& pick(const T (&items)[N], uint8_t b) {
    return items[b % N];
}

int pushArgument(lua_State* L, InputReader& in) {
    switch (in.byte() % 12) {
    case 0:
        lua_pushnil(L);
        break;
    case 1:
        lua_pushboolean(L, in.byte() & 1);
        break;
    case 2:
        lua_pushnumber(L, static_cast<int8_t>(in.byte()));
        break;
    case 3:
        lua_pushnumber(L, in.number());
        break;
    case 4:
        lua_pushnumber(L, pick(specialNumbers, in.byte()));
        break;
    case 5: {
        const std::string text = in.text(in.byte() % 32);
        lua_pushlstring(L, text.data(), text.size());
        break;
    }
    case 6:
        lua_pushstring(L, pick(numericTexts, in.byte()));
        break;
    case 7: {
        // Long texts: past a chat line, past a script path, past any small buffer.
        const size_t length = (in.byte() | (in.byte() << 8)) % 5000;
        const std::string text(length, static_cast<char>('a' + in.byte() % 26));
        lua_pushlstring(L, text.data(), text.size());
        break;
    }
    case 8:
        lua_newtable(L);
        break;
    case 9:
        lua_getglobal(L, "print");
        break;
    case 10:
        lua_pushlightuserdata(L, L);
        break;
    default:
        lua_pushstring(L, pick(knownNames, in.byte()));
        break;
    }
    return 1;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (!al_init()) {
        std::fprintf(stderr, "Allegro failed to initialize\n");
        std::abort();
    }
    al_init_image_addon();
    al_set_new_bitmap_flags(ALLEGRO_MEMORY_BITMAP);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const HeadlessWorld world(HeadlessScope::Conversations);
    lua_State* L = game.scriptHost->state();
    const auto& functions = scriptFunctionTable();
    InputReader in(data, size);
    for (int calls = 0; calls < 128 && !in.done(); ++calls) {
        const ScriptFunction& entry = functions[in.byte() % functions.size()];
        const int base = lua_gettop(L);
        lua_getglobal(L, entry.name);
        const int count = in.byte() % 8;
        for (int i = 0; i < count; ++i) {
            pushArgument(L, in);
        }
        if (lua_pcall(L, count, LUA_MULTRET, 0) != 0) {
            std::fprintf(stderr, "%s raised a Lua error: %s\n", entry.name,
                         lua_isstring(L, -1) ? lua_tostring(L, -1) : "(not a string)");
            std::abort();
        }
        if (lua_gettop(L) - base > 1) {
            std::fprintf(stderr, "%s returned %d results\n", entry.name, lua_gettop(L) - base);
            std::abort();
        }
        lua_settop(L, base);
    }
    if (lua_gettop(L) != 0) {
        std::abort();
    }

    return 0;
}
