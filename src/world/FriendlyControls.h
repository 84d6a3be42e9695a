#pragma once

#include "world/Conversation.h"

#include <functional>

// Conversations that are easy to leave, while the map's script has switched them on
// (MapSettings::friendlyControls): a Quit key closes an open chat box, as the close response
// does, and quits only when no box is open; walking away from the active character closes the
// box; and a response picked hard on the heels of a new page is ignored, so that a double click
// never picks a line on a page that was never read. Switched off, it takes nothing and closes
// nothing. The clock is given, so that tests need not wait.
class FriendlyControls : public ConversationListener {
  public:
    // How far the player may stand from the active character: between the middle of the
    // player's picture and the middle of the character's hit box.
    static constexpr float walkAwayDistance = 160.0f;
    // How long after a page changes a picked response is ignored.
    static constexpr double pageSettleSeconds = 0.3;
    using Clock = std::function<double()>;

    // Without a clock, Allegro's.
    explicit FriendlyControls(Clock clock = {});
    ~FriendlyControls() override;
    FriendlyControls(const FriendlyControls&) = delete;
    FriendlyControls& operator=(const FriendlyControls&) = delete;

    bool on() const;
    // A press or release of a Quit key. True when it is taken here and must not quit: its press
    // closed a chat box, or it is the release of that press.
    bool takeQuitKey(int keyCode, bool pressed);
    // Once per tick, after the player moved: closes the chat box once the player stands farther
    // from the active character than walkAwayDistance and than when the box opened.
    void tick();
    // False for a pick within pageSettleSeconds of the page changing.
    bool acceptsPick() const;

    void scriptRan(const Npc& npc) override;
    void chatOpened() override;

  private:
    // From the player to the active character, or none without either.
    float activeDistance() const;

    Clock clock_;
    double pageChangedAt_ = 0.0;
    bool pageChanged_ = false;
    // The Quit key whose press closed a chat box, until its release.
    int closingKey_ = -1;
    float distanceAtOpen_ = 0.0f;
};
