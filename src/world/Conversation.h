#pragma once

#include <vector>

class Npc;

// Told how a conversation goes: after every script run for a click or a pick, and when the
// chat box opens or closes.
class ConversationListener {
  public:
    virtual ~ConversationListener() = default;
    virtual void scriptRan(const Npc&) {}
    virtual void chatOpened() {}
    virtual void chatClosed() {}
};

// The road of every conversation: a click on a character runs its script and opens the chat
// box; a picked response runs the active character's script with its value, or closes the
// box. The last response is the value scripts read through GetLastChatResponse.
class Conversation {
  public:
    // The last response when no line was picked, while the script of a clicked character
    // runs, and the value of a line that closes the chat box.
    static constexpr int noResponse = -1;
    static constexpr int characterClicked = -2;
    static constexpr int closeResponse = -3;

    void addListener(ConversationListener& listener);
    void removeListener(ConversationListener& listener);

    // A press and release on the same character. False when its script failed.
    bool clickCharacter(Npc& npc);
    // The value of the chat line the player picked (noResponse for a line that is no
    // response). False when a script ran for it and failed.
    bool pick(int value);
    // Closes the chat box as a pick of the close response does.
    void close();
    void open();
    // As at start-up: closed, no last response, no responding character.
    void reset();

    bool isOpen() const { return open_; }
    int lastResponse() const { return lastResponse_; }
    void setLastResponse(int value) { lastResponse_ = value; }
    // The character whose script answered the last pick.
    Npc* respondingNpc() const { return respondingNpc_; }

  private:
    bool runScript(Npc& npc);
    void setOpen(bool open);

    std::vector<ConversationListener*> listeners_;
    int lastResponse_ = noResponse;
    Npc* respondingNpc_ = nullptr;
    bool open_ = false;
};
