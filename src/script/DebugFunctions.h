#pragma once

// The two debug functions, luaActivateDebugMode and luaDeactivateDebugMode, are declared
// beside the host whose flag they switch.
#include "script/ScriptHost.h"
