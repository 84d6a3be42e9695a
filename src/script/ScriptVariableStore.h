#pragma once

struct ScriptVariable;

// A character's named script variables. Removal empties a slot and the next addition takes
// the lowest empty slot, so every search (lowest slot first) may find a newer variable.
class ScriptVariableStore {
public:
    ScriptVariableStore();
    ~ScriptVariableStore();
    ScriptVariableStore(const ScriptVariableStore&) = delete;
    ScriptVariableStore& operator=(const ScriptVariableStore&) = delete;

    void addIntVariable(const char* name, float value);
    void addStringVariable(const char* name, const char* text);
    void deleteVariable(const char* name);
    int getIntVariable(const char* name) const;
    const char* getStringVariable(const char* name) const;
    bool setIntVariable(const char* name, float value);
    bool setStringVariable(const char* name, const char* text);
    int getVariableCount() const { return slotCount_; }
    const char* getVariableName(int slot) const;
    // The value as text; the returned pointer stays valid until the next call.
    const char* getVariableText(int slot) const;

private:
    ScriptVariable** slots_ = nullptr;
    int slotCount_ = 0;
};
