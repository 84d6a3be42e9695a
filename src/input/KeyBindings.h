#pragma once

// One action's two keys and the Player flags they write.
struct KeyBinding {
    int primaryKey;
    int secondaryKey;
    bool* primaryFlag;
    bool* secondaryFlag;
    char name[32];
};

// The six actions (Up, Right, Down, Left, Sprint, Quit) and their keys. Key events set the
// Player's pressed flags; the Quit keys raise the game's quit flag.
class KeyBindings {
  public:
    KeyBindings();
    ~KeyBindings();
    KeyBindings(const KeyBindings&) = delete;
    KeyBindings& operator=(const KeyBindings&) = delete;

    void addDefaultBindings();
    void setKeys(const char* name, int primaryKey, int secondaryKey);
    // mayQuit false: a Quit key sets the flags of any other action it holds, but does not quit
    // (friendly controls took it to close a conversation).
    void setKeyState(int keyCode, bool pressed, bool mayQuit = true);
    bool isQuitKey(int keyCode) const;

    int count() const { return count_; }
    const KeyBinding* binding(int index) const;

  private:
    void append(const char* name, int primaryKey, int secondaryKey, int flagIndex);

    KeyBinding** bindings_ = nullptr;
    int count_ = 0;
};
