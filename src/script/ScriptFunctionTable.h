#pragma once

#include "script/ScriptHost.h"

#include <vector>

// The globals scripts may call, in the order they are registered: the 19 of the plain game,
// then the switches of powers that content turns on.
const std::vector<ScriptFunction>& scriptFunctionTable();
