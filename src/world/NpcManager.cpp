#include "world/NpcManager.h"
NpcManager::NpcManager() {}
NpcManager::~NpcManager() {}
Npc* NpcManager::addNpc(int, int, const char*, int, const char*, const char*) { return nullptr; }
Npc* NpcManager::npc(int) const { return nullptr; }
Npc* NpcManager::findNpcByName(const char*) const { return nullptr; }
Npc* NpcManager::findNpcByNumber(int) const { return nullptr; }
void NpcManager::setActiveNpcByName(const char*) {}
void NpcManager::setActiveNpcByNumber(int) {}
Npc* NpcManager::npcAt(int, int) const { return nullptr; }
void NpcManager::drawAll(ALLEGRO_BITMAP*) {}
