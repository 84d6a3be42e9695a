#include "script/ScriptVariableStore.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

ScriptVariableStore::ScriptVariableStore() = default;
ScriptVariableStore::~ScriptVariableStore() = default;

int ScriptVariableStore::readInt(float value) {
    if (std::isnan(value)) {
        return 0;
    }
    // 2147483648 is a power of two, so both bounds are exact floats.
    if (value >= 2147483648.0f) {
        return INT_MAX;
    }
    if (value < -2147483648.0f) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

std::unique_ptr<ScriptVariable>& ScriptVariableStore::takeSlot() {
    for (auto& slot : slots_) {
        if (!slot) {
            return slot;
        }
    }
    slots_.emplace_back();
    return slots_.back();
}

ScriptVariable* ScriptVariableStore::findFirst(const char* name) const {
    for (const auto& slot : slots_) {
        if (slot && slot->name == name) {
            return slot.get();
        }
    }
    return nullptr;
}

const ScriptVariable* ScriptVariableStore::variableAt(int slot) const {
    if (slot < 0 || slot >= getVariableCount()) {
        return nullptr;
    }
    return slots_[static_cast<size_t>(slot)].get();
}

void ScriptVariableStore::addIntVariable(const char* name, float value) {
    auto variable = std::make_unique<ScriptVariable>();
    variable->name = name;
    variable->value = value;
    variable->isInteger = true;
    takeSlot() = std::move(variable);
}

void ScriptVariableStore::addStringVariable(const char* name, const char* text) {
    auto variable = std::make_unique<ScriptVariable>();
    variable->name = name;
    variable->text = text;
    variable->isInteger = false;
    takeSlot() = std::move(variable);
}

void ScriptVariableStore::deleteVariable(const char* name) {
    for (auto& slot : slots_) {
        if (slot && slot->name == name) {
            slot.reset();
        }
    }
}

int ScriptVariableStore::getIntVariable(const char* name) const {
    const ScriptVariable* variable = findFirst(name);
    if (!variable) {
        return -100;
    }
    return variable->isInteger ? readInt(variable->value) : 0;
}

const char* ScriptVariableStore::getStringVariable(const char* name) const {
    const ScriptVariable* variable = findFirst(name);
    if (!variable || variable->isInteger) {
        return nullptr;
    }
    return variable->text.c_str();
}

bool ScriptVariableStore::setIntVariable(const char* name, float value) {
    ScriptVariable* variable = findFirst(name);
    if (!variable) {
        return false;
    }
    variable->text.clear();
    variable->text.shrink_to_fit();
    variable->value = value;
    variable->isInteger = true;
    return true;
}

bool ScriptVariableStore::setStringVariable(const char* name, const char* text) {
    ScriptVariable* variable = findFirst(name);
    if (!variable) {
        return false;
    }
    variable->value = 0.0f;
    variable->text = text;
    variable->isInteger = false;
    return true;
}

const char* ScriptVariableStore::getVariableName(int slot) const {
    const ScriptVariable* variable = variableAt(slot);
    return variable ? variable->name.c_str() : nullptr;
}

const char* ScriptVariableStore::getVariableText(int slot) const {
    const ScriptVariable* variable = variableAt(slot);
    if (!variable) {
        return nullptr;
    }
    if (!variable->isInteger) {
        return variable->text.c_str();
    }
    std::snprintf(numberText_, sizeof numberText_, "%d", readInt(variable->value));
    return numberText_;
}
