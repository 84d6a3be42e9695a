#pragma once

#include "script/ScriptProblem.h"
#include "world/Conversation.h"

class Npc;
class ScriptHost;

// `--author`: every script problem is also shown in the window's error panel, with the
// author's own line on the console after a refused call or an error inside a shared helper;
// a conversation can always be left; F5 loads the world again. Nothing of this exists in a
// run without the option.
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
};
