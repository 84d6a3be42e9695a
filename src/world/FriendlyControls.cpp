#include "world/FriendlyControls.h"

#include "core/GameContext.h"
#include "player/Player.h"
#include "world/Npc.h"
#include "world/NpcManager.h"

#include <allegro5/allegro.h>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr float noDistance = -1.0f;

} // namespace

FriendlyControls::FriendlyControls(Clock clock) : clock_(std::move(clock)) {
    if (!clock_)
        clock_ = [] { return al_get_time(); };
    if (game.conversation)
        game.conversation->addListener(*this);
}

FriendlyControls::~FriendlyControls() {
    if (game.conversation)
        game.conversation->removeListener(*this);
}

bool FriendlyControls::on() const {
    return currentMapSettings().friendlyControls;
}

bool FriendlyControls::takeQuitKey(int keyCode, bool pressed) {
    if (!pressed && keyCode == closingKey_) {
        closingKey_ = -1;
        return true;
    }
    if (!on() || !game.conversation || !game.conversation->isOpen())
        return false;
    game.conversation->close();
    closingKey_ = pressed ? keyCode : -1;
    return true;
}

void FriendlyControls::tick() {
    if (!on() || !game.conversation || !game.conversation->isOpen())
        return;
    const float distance = activeDistance();
    if (distance > std::max(walkAwayDistance, distanceAtOpen_))
        game.conversation->close();
}

bool FriendlyControls::acceptsPick() const {
    return !on() || !pageChanged_ || clock_() - pageChangedAt_ >= pageSettleSeconds;
}

void FriendlyControls::scriptRan(const Npc&) {
    pageChangedAt_ = clock_();
    pageChanged_ = true;
}

void FriendlyControls::chatOpened() {
    pageChangedAt_ = clock_();
    pageChanged_ = true;
    distanceAtOpen_ = activeDistance();
}

float FriendlyControls::activeDistance() const {
    const Player* player = game.player;
    const Npc* npc = game.npcManager ? game.npcManager->getActiveNpc() : nullptr;
    if (!player || !npc)
        return noDistance;
    float px = player->x;
    float py = player->y;
    if (player->currentFrame) {
        px += static_cast<float>(al_get_bitmap_width(player->currentFrame)) / 2.0f;
        py += static_cast<float>(al_get_bitmap_height(player->currentFrame)) / 2.0f;
    }
    const float nx = static_cast<float>(npc->left() + npc->right()) / 2.0f;
    const float ny = static_cast<float>(npc->top() + npc->bottom()) / 2.0f;
    return std::hypot(px - nx, py - ny);
}
