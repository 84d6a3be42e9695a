#pragma once

#include "core/BackgroundCheck.h"
#include "script/ScriptProblem.h"
#include "world/Conversation.h"

#include <allegro5/allegro.h>
#include <allegro5/allegro_font.h>

#include <string>

class Npc;
class ScriptHost;

// `--author`: every script problem is also shown in the window's error panel, with the
// author's own line on the console after a refused call or an error inside a shared helper;
// a conversation can always be left; F5 loads the world again; at start and after each F5 the
// map's conversations are walked by fennow-check in the background, and its findings join the
// panel when it ends. Nothing of this exists in a run without the option.
class AuthorMode : public ConversationListener {
  public:
    static constexpr const char* closeText = "[Close] (added by author mode)";

    // Listens to a script host (the game's, and each new one after a reload).
    void attach(ScriptHost& host);
    // The console line after the game's own, and the panel.
    void report(const ScriptProblem& problem);
    // After a character's script ran for a click or a response: when it failed, or left the
    // chat box with no response line, a close line goes on the box's last free line.
    void scriptRan(const Npc& npc) override;

    // Starts the content check of a map in the background (stopping one still running).
    void startCheck(const std::string& mapName);
    // Once per frame drawn: counts the frame and collects the check's findings when it ends.
    void frameDrawn();
    // Adds the check's findings to the console and the panel, except those already there.
    void addFindings(const std::vector<CheckedFinding>& findings);

    // F2 shows or hides the map position and cell under the pointer.
    void togglePointerInfo() { pointerInfo_ = !pointerInfo_; }
    bool showsPointerInfo() const { return pointerInfo_; }
    // "map (X, Y), cell (COLUMN, ROW)" for a window point; the cell is left out where there is
    // no map, or the map is staggered.
    static std::string pointerText(int x, int y);
    // Draws the pointer's text beside it while F2 has it shown.
    void drawPointerInfo(ALLEGRO_BITMAP* target, ALLEGRO_FONT* font) const;

  private:
    BackgroundCheck check_;
    std::string checkedMap_;
    long long framesWhileChecking_ = 0;
    bool checkerMissingTold_ = false;
    bool pointerInfo_ = false;
};
