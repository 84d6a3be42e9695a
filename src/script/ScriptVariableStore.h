#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
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
// Names and texts are byte strings: a zero byte is part of them like any other.
class ScriptVariableStore {
  public:
    ScriptVariableStore();
    ~ScriptVariableStore();
    ScriptVariableStore(const ScriptVariableStore&) = delete;
    ScriptVariableStore& operator=(const ScriptVariableStore&) = delete;

    void addIntVariable(std::string_view name, float value);
    void addStringVariable(std::string_view name, std::string_view text);
    void deleteVariable(std::string_view name);
    // -100 when no variable has the name; 0 for a string variable.
    int getIntVariable(std::string_view name) const;
    // Null when no variable has the name or the first one is an integer variable.
    const std::string* getStringVariable(std::string_view name) const;
    bool setIntVariable(std::string_view name, float value);
    bool setStringVariable(std::string_view name, std::string_view text);
    int getVariableCount() const { return static_cast<int>(slots_.size()); }
    // Null for an empty slot or an index outside the slots.
    const std::string* getVariableName(int slot) const;
    // Every slot in order, an empty one as none: all a character's variables, to be kept
    // and given back with setSlots exactly as they were.
    std::vector<std::optional<ScriptVariable>> slots() const;
    void setSlots(const std::vector<std::optional<ScriptVariable>>& slots);
    // The value as text (an integer in decimal); none for an empty slot or outside the slots.
    std::optional<std::string> getVariableText(int slot) const;

    // The stored float as a 32-bit int, truncated toward zero; NaN reads as 0 and values
    // beyond the int range saturate, so no value can make the conversion undefined.
    static int readInt(float value);

  private:
    std::unique_ptr<ScriptVariable>& takeSlot();
    ScriptVariable* findFirst(std::string_view name) const;
    const ScriptVariable* variableAt(int slot) const;

    std::vector<std::unique_ptr<ScriptVariable>> slots_;
};
