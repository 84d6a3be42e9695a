#pragma once

#include "world/Conversation.h"
#include "world/SaveFile.h"

#include <optional>
#include <string>

// The run's progress in FennowOnline.sav, for content that calls EnableSaving. The save is
// loaded in place of the start map and written on every map change, every close of the chat
// box and on quitting. A save that cannot be read is moved aside to FennowOnline.sav.broken
// and the game starts afresh; a save that cannot be written leaves the old one and the game
// plays on. Without EnableSaving no file is read or written.
class SaveManager : public ConversationListener {
  public:
    static constexpr const char* path = "FennowOnline.sav";
    static constexpr const char* brokenPath = "FennowOnline.sav.broken";

    // With `newGame` the save is not read; the first save of the run replaces it.
    explicit SaveManager(bool newGame);

    // EnableSaving: false once the start-up scripts have run, which is too late to load.
    bool enable();
    bool isEnabled() const { return enabled_; }
    // The start-up scripts are about to run, at start or again for a reload of the world:
    // saving is off until they call EnableSaving.
    void beginStartup();
    // They have run: EnableSaving is refused from now on.
    void endStartup() { startup_ = false; }

    // In place of loading the start map, after the start-up scripts (it ends the start-up):
    // true when saving is on and the save was loaded.
    bool loadAtStart();
    // Writes the save now, when saving is on. False, after one console line, when it could
    // not be written.
    bool save();

    void chatClosed() override { save(); }

  private:
    // The world as it is now.
    static SaveFile capture();
    // Puts the saved world in place of the start map; false when its map cannot be loaded.
    bool restore(const SaveFile& save);
    // The save read and checked against Data, or none after it was refused.
    std::optional<SaveFile> read();
    // The bad save's line (console and author mode's panel); the file is moved aside.
    void refuse(const std::string& problem);
    // A problem with the save's maps or characters in this Data, or "".
    static std::string checkAgainstData(const SaveFile& save);

    bool newGame_;
    bool enabled_ = false;
    bool startup_ = true;
};
