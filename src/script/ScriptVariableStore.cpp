#include "script/ScriptVariableStore.h"
ScriptVariableStore::ScriptVariableStore() {}
ScriptVariableStore::~ScriptVariableStore() {}
void ScriptVariableStore::addIntVariable(const char*, float) {}
void ScriptVariableStore::addStringVariable(const char*, const char*) {}
void ScriptVariableStore::deleteVariable(const char*) {}
int ScriptVariableStore::getIntVariable(const char*) const { return -100; }
const char* ScriptVariableStore::getStringVariable(const char*) const { return nullptr; }
bool ScriptVariableStore::setIntVariable(const char*, float) { return false; }
bool ScriptVariableStore::setStringVariable(const char*, const char*) { return false; }
const char* ScriptVariableStore::getVariableName(int) const { return nullptr; }
const char* ScriptVariableStore::getVariableText(int) const { return nullptr; }
