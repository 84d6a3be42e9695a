#pragma once

#include <lua.hpp>

#include <optional>
#include <string>
#include <string_view>

// Reading script arguments and checking their count, shared by every script function.
// Nothing here raises a Lua error: a wrong argument reads as 0 or as "no text", and a refused
// check prints its line and tells the caller to return no results.

// A double as a 32-bit int, truncated toward zero; NaN gives 0 and values beyond the int
// range saturate to INT_MIN or INT_MAX.
int truncateToInt(double value);
// A double narrowed to the nearest float (infinity beyond the largest float), without the
// undefined conversion of an out-of-range double.
float narrowToFloat(double value);

// Argument at a position read with lua_tonumber (numbers and numeric strings; else 0).
int argumentInt(lua_State* L, int position);
float argumentFloat(lua_State* L, int position);
// A string's bytes with their length, zero bytes included, or a number as Lua writes it; none
// for any other value or a missing one. The view lives as long as the argument on the stack,
// and Lua ends every string with a zero byte, so data() also serves where C text is wanted.
std::optional<std::string_view> argumentText(lua_State* L, int position);
// argumentText for an argument where a text belongs: nil, a table, a boolean or a function
// there is also a `text` warning to the problem listener, when one is set, at the calling
// line (a misspelt name is the usual cause).
std::optional<std::string_view> textArgument(lua_State* L, int position, const char* function);

// A switch: true or false, or a number (0 is off); none for any other value.
std::optional<bool> argumentSwitch(lua_State* L, int position);

// The dialogue and portrait functions' check: diagnostics in debug mode, then the count.
// False after printing the function's own refusal line.
bool checkDialogueArguments(lua_State* L, const char* name, int expected);
// Refusals are also handed to the script host's problem listener, when one is set, at the
// calling script line.
// The dialogue and portrait functions' refusal line; returns 0 for the caller to return.
int refuseDialogueCall(lua_State* L, const char* name);

// The character and variable functions' check: diagnostics, then the count; false after
// reportInsufficientArguments.
bool checkArguments(lua_State* L, const char* name, int expected);
// reportInsufficientArguments through the game's script host; returns 0.
int refuseCall(lua_State* L, const char* name);
// reportMissingNpc through the game's script host; returns 0.
int refuseMissingNpc(lua_State* L, const char* name);

// Refuses an argument of the wrong kind or value with the function's line (printed with a line
// feed added); returns 0.
int refuseArgument(lua_State* L, const std::string& line);

// Pushes the number 1, the result of every function that acted, and returns 1.
int pushAccepted(lua_State* L);
