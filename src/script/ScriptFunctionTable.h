#pragma once

#include "script/ScriptHost.h"

#include <vector>

// The globals scripts may call, in the order they are registered.
const std::vector<ScriptFunction>& scriptFunctionTable();
