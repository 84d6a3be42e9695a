#include "world/Conversation.h"

#include "core/GameContext.h"
#include "script/ScriptHost.h"
#include "world/Npc.h"
#include "world/NpcManager.h"

#include <algorithm>
#include <cstdio>

void Conversation::addListener(ConversationListener& listener) {
    listeners_.push_back(&listener);
}

void Conversation::removeListener(ConversationListener& listener) {
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), &listener),
                     listeners_.end());
}

bool Conversation::clickCharacter(Npc& npc) {
    lastResponse_ = characterClicked;
    const bool ran = runScript(npc);
    lastResponse_ = noResponse;
    open();
    return ran;
}

bool Conversation::pick(int value) {
    lastResponse_ = value;
    std::fprintf(stderr, "Line response was %i\n", value);
    if (value == closeResponse) {
        setOpen(false);
        return true;
    }
    if (value == noResponse)
        return true;
    respondingNpc_ = game.npcManager ? game.npcManager->getActiveNpc() : nullptr;
    // Without an active character there is no script to answer; the pick is simply kept.
    if (!respondingNpc_)
        return true;
    std::fprintf(stderr, "Calling Script: %s with value %i\n", respondingNpc_->getScriptPath(),
                 value);
    return runScript(*respondingNpc_);
}

void Conversation::close() {
    lastResponse_ = closeResponse;
    setOpen(false);
}

void Conversation::open() {
    setOpen(true);
}

void Conversation::reset() {
    setOpen(false);
    lastResponse_ = noResponse;
    respondingNpc_ = nullptr;
}

bool Conversation::runScript(Npc& npc) {
    const bool ran = !game.scriptHost || game.scriptHost->runFile(npc.getScriptPath());
    // A listener may add or remove listeners.
    for (ConversationListener* listener : std::vector<ConversationListener*>(listeners_))
        listener->scriptRan(npc);
    return ran;
}

void Conversation::setOpen(bool open) {
    open_ = open;
    for (ConversationListener* listener : std::vector<ConversationListener*>(listeners_)) {
        if (open)
            listener->chatOpened();
        else
            listener->chatClosed();
    }
}
