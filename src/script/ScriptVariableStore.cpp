#include "script/ScriptVariableStore.h"

#include <climits>
#include <cmath>

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

ScriptVariable* ScriptVariableStore::findFirst(std::string_view name) const {
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

std::vector<std::optional<ScriptVariable>> ScriptVariableStore::slots() const {
    std::vector<std::optional<ScriptVariable>> copies;
    copies.reserve(slots_.size());
    for (const auto& slot : slots_)
        copies.push_back(slot ? std::optional<ScriptVariable>(*slot) : std::nullopt);
    return copies;
}

void ScriptVariableStore::setSlots(const std::vector<std::optional<ScriptVariable>>& slots) {
    slots_.clear();
    for (const auto& slot : slots)
        slots_.push_back(slot ? std::make_unique<ScriptVariable>(*slot) : nullptr);
}

void ScriptVariableStore::addIntVariable(std::string_view name, float value) {
    auto variable = std::make_unique<ScriptVariable>();
    variable->name = name;
    variable->value = value;
    variable->isInteger = true;
    takeSlot() = std::move(variable);
}

void ScriptVariableStore::addStringVariable(std::string_view name, std::string_view text) {
    auto variable = std::make_unique<ScriptVariable>();
    variable->name = name;
    variable->text = text;
    variable->isInteger = false;
    takeSlot() = std::move(variable);
}

void ScriptVariableStore::deleteVariable(std::string_view name) {
    for (auto& slot : slots_) {
        if (slot && slot->name == name) {
            slot.reset();
        }
    }
}

int ScriptVariableStore::getIntVariable(std::string_view name) const {
    const ScriptVariable* variable = findFirst(name);
    if (!variable) {
        return -100;
    }
    return variable->isInteger ? readInt(variable->value) : 0;
}

const std::string* ScriptVariableStore::getStringVariable(std::string_view name) const {
    const ScriptVariable* variable = findFirst(name);
    if (!variable || variable->isInteger) {
        return nullptr;
    }
    return &variable->text;
}

bool ScriptVariableStore::setIntVariable(std::string_view name, float value) {
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

bool ScriptVariableStore::setStringVariable(std::string_view name, std::string_view text) {
    ScriptVariable* variable = findFirst(name);
    if (!variable) {
        return false;
    }
    variable->value = 0.0f;
    variable->text = text;
    variable->isInteger = false;
    return true;
}

const std::string* ScriptVariableStore::getVariableName(int slot) const {
    const ScriptVariable* variable = variableAt(slot);
    return variable ? &variable->name : nullptr;
}

std::optional<std::string> ScriptVariableStore::getVariableText(int slot) const {
    const ScriptVariable* variable = variableAt(slot);
    if (!variable) {
        return std::nullopt;
    }
    return variable->isInteger ? std::to_string(readInt(variable->value)) : variable->text;
}
