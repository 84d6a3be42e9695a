#pragma once

#include <memory>
#include <string>
#include <vector>

// One named variable of a character. An integer variable keeps its value as a float (what the
// script functions hand over) and has no text; a string variable has a text and the value 0.
struct ScriptVariable {
    std::string name;
    float value = 0.0f;
    std::string text;
    bool isInteger = true;
};

// A character's named script variables. Removal empties a slot and the next addition takes
// the lowest empty slot, so every search (lowest slot first) may find a newer variable.
// Slots are never removed: the slot count only grows, by one whenever no slot is empty.
class ScriptVariableStore {
  public:
    ScriptVariableStore();
    ~ScriptVariableStore();
    ScriptVariableStore(const ScriptVariableStore&) = delete;
    ScriptVariableStore& operator=(const ScriptVariableStore&) = delete;

    void addIntVariable(const char* name, float value);
    void addStringVariable(const char* name, const char* text);
    void deleteVariable(const char* name);
    // -100 when no variable has the name; 0 for a string variable.
    int getIntVariable(const char* name) const;
    // Null when no variable has the name or the first one is an integer variable.
    const char* getStringVariable(const char* name) const;
    bool setIntVariable(const char* name, float value);
    bool setStringVariable(const char* name, const char* text);
    int getVariableCount() const { return static_cast<int>(slots_.size()); }
    const char* getVariableName(int slot) const;
    // The value as text; the returned pointer stays valid until the next call.
    const char* getVariableText(int slot) const;

    // The stored float as a 32-bit int, truncated toward zero; NaN reads as 0 and values
    // beyond the int range saturate, so no value can make the conversion undefined.
    static int readInt(float value);

  private:
    std::unique_ptr<ScriptVariable>& takeSlot();
    ScriptVariable* findFirst(const char* name) const;
    const ScriptVariable* variableAt(int slot) const;

    std::vector<std::unique_ptr<ScriptVariable>> slots_;
    mutable char numberText_[16] = {};
};
