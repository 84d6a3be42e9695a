#include "world/Npc.h"
Npc::Npc(int x, int y, const char* name, int number, const char*) : number_(number), name_(name), x_(x), y_(y), left_(x + 32), top_(y + 18), right_(x + 64), bottom_(y + 86) {}
bool Npc::hitBoxContains(int, int) const { return false; }
void Npc::draw(ALLEGRO_BITMAP*) {}
