#include "gui/PortraitStore.h"
PortraitStore::PortraitStore() {}
PortraitStore::~PortraitStore() {}
bool PortraitStore::load(const char*, const char*) { return false; }
ALLEGRO_BITMAP* PortraitStore::find(const char*) const { return nullptr; }
