#include "world/NpcManager.h"

#include "core/Console.h"
#include "core/GameContext.h"
#include "gfx/BitmapLibrary.h"
#include "world/Npc.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr std::string_view quillaSpriteName = "QuillaTemp";

} // namespace

NpcManager::NpcManager() {
    consoleWrite("Creating NPC Manager - ");
    consoleWrite("done\n");
}

NpcManager::~NpcManager() {
    clear();
}

void NpcManager::clear() {
    removeCharacters();
    // A reloaded world reads the characters' pictures afresh, as a new start would.
    pictures_.clear();
}

void NpcManager::removeCharacters() {
    for (int i = 0; i < count_; ++i)
        delete npcs_[i];
    delete[] npcs_;
    npcs_ = nullptr;
    count_ = 0;
    active_ = nullptr;
}

int NpcManager::spriteSlotFor(std::string_view spriteName) {
    return spriteName == quillaSpriteName ? BitmapLibrary::npcQuillaSprite
                                          : BitmapLibrary::npcDefaultSprite;
}

Npc* NpcManager::addNpc(int x, int y, std::string_view name, int number, const char* scriptPath,
                        std::string_view spriteName) {
    if (!scriptPath)
        scriptPath = "";
    if (std::strlen(scriptPath) > static_cast<size_t>(Npc::maxScriptPath)) {
        std::fprintf(stderr,
                     "Script path of NPC %s is longer than %i bytes; the NPC was not created.\n",
                     std::string(name).c_str(), Npc::maxScriptPath);
        return nullptr;
    }

    Npc* npc = new Npc(x, y, name, number, scriptPath);
    Npc** grown = new Npc*[count_ + 1];
    for (int i = 0; i < count_; ++i)
        grown[i] = npcs_[i];
    grown[count_] = npc;
    delete[] npcs_;
    npcs_ = grown;
    ++count_;

    npc->setSpriteName(spriteName);
    npc->setBitmap(spriteFor(spriteName));
    return npc;
}

bool NpcManager::usesDefaultSprite(std::string_view spriteName) {
    return spriteName != quillaSpriteName && !CharacterPictures::hasPicture(spriteName);
}

ALLEGRO_BITMAP* NpcManager::spriteFor(std::string_view spriteName) {
    // Quilla's name never opens a file, so her look cannot be replaced by accident.
    if (spriteName != quillaSpriteName) {
        if (ALLEGRO_BITMAP* own = pictures_.find(spriteName))
            return own;
    }
    return game.bitmapLibrary ? game.bitmapLibrary->bitmap(spriteSlotFor(spriteName)) : nullptr;
}

Npc* NpcManager::npc(int index) const {
    if (index < 0 || index >= count_)
        return nullptr;
    return npcs_[index];
}

Npc* NpcManager::findNpcByName(std::string_view name) const {
    for (int i = 0; i < count_; ++i) {
        if (npcs_[i]->name() == name)
            return npcs_[i];
    }
    return nullptr;
}

Npc* NpcManager::findNpcByNumber(int number) const {
    for (int i = 0; i < count_; ++i) {
        if (npcs_[i]->number() == number)
            return npcs_[i];
    }
    return nullptr;
}

void NpcManager::setActiveNpcByName(std::string_view name) {
    active_ = findNpcByName(name);
}

void NpcManager::setActive(Npc* npc) {
    active_ = nullptr;
    for (int i = 0; i < count_; ++i) {
        if (npcs_[i] == npc)
            active_ = npc;
    }
}

void NpcManager::setActiveNpcByNumber(int number) {
    active_ = findNpcByNumber(number);
}

Npc* NpcManager::npcAt(int x, int y) const {
    // Earlier characters win where hit boxes overlap, although later ones are drawn on top.
    for (int i = 0; i < count_; ++i) {
        if (npcs_[i]->hitBoxContains(x, y))
            return npcs_[i];
    }
    return nullptr;
}

void NpcManager::drawAll(ALLEGRO_BITMAP* target) {
    al_set_target_bitmap(target);
    for (int i = 0; i < count_; ++i)
        npcs_[i]->draw(target);
}
