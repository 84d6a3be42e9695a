#include "script/ScriptHost.h"
#include "script/ScriptFunctionTable.h"
ScriptHost::ScriptHost() : ScriptHost(scriptFunctionTable()) {}
ScriptHost::ScriptHost(const std::vector<ScriptFunction>&) { lua_ = luaL_newstate(); luaL_openlibs(lua_); }
ScriptHost::~ScriptHost() { lua_close(lua_); }
bool ScriptHost::loadFile(const char*) { return false; }
bool ScriptHost::execute() { return false; }
bool ScriptHost::runFile(const char*) { return false; }
void ScriptHost::printArgumentDiagnostics(const char*, int, int, lua_State*) {}
int ScriptHost::reportInsufficientArguments(const char*) { return 0; }
int ScriptHost::reportMissingNpc(const char*) { return 0; }
int luaActivateDebugMode(lua_State*) { return 0; }
int luaDeactivateDebugMode(lua_State*) { return 0; }
