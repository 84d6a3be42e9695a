#include "world/NpcManager.h"

#include "core/Console.h"
#include "core/GameContext.h"
#include "gfx/BitmapLibrary.h"
#include "world/Npc.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* quillaSpriteName = "QuillaTemp";

} // namespace

NpcManager::NpcManager() {
    consoleWrite("Creating NPC Manager - ");
    consoleWrite("done\n");
}

NpcManager::~NpcManager() {
    for (int i = 0; i < count_; ++i)
        delete npcs_[i];
    delete[] npcs_;
}

int NpcManager::spriteSlotFor(const char* spriteName) {
    if (spriteName && std::strcmp(spriteName, quillaSpriteName) == 0)
        return BitmapLibrary::npcQuillaSprite;
    return BitmapLibrary::npcDefaultSprite;
}

Npc* NpcManager::addNpc(int x, int y, const char* name, int number, const char* scriptPath,
                        const char* spriteName) {
    if (!name)
        name = "";
    if (!scriptPath)
        scriptPath = "";
    if (std::strlen(scriptPath) > static_cast<size_t>(Npc::maxScriptPath)) {
        std::fprintf(stderr,
                     "Script path of NPC %s is longer than %i bytes; the NPC was not created.\n",
                     name, Npc::maxScriptPath);
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

    // The sprite name picks one of two library bitmaps; it never names a file.
    npc->setBitmap(game.bitmapLibrary ? game.bitmapLibrary->bitmap(spriteSlotFor(spriteName))
                                      : nullptr);
    return npc;
}

Npc* NpcManager::npc(int index) const {
    if (index < 0 || index >= count_)
        return nullptr;
    return npcs_[index];
}

Npc* NpcManager::findNpcByName(const char* name) const {
    if (!name)
        return nullptr;
    for (int i = 0; i < count_; ++i) {
        if (std::strcmp(npcs_[i]->getName(), name) == 0)
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

void NpcManager::setActiveNpcByName(const char* name) {
    active_ = findNpcByName(name);
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
