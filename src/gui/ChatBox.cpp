#include "gui/ChatBox.h"
ChatBox::ChatBox() {}
ChatBox::~ChatBox() {}
void ChatBox::setLine(int, const char*) {}
void ChatBox::setResponse(int, const char*, int) {}
void ChatBox::clearAll() {}
int ChatBox::responseOf(int) const { return -1; }
const ChatLine* ChatBox::line(int) const { return nullptr; }
int ChatBox::click(int, int, int) { return 0; }
void ChatBox::draw(ALLEGRO_BITMAP*) {}
void ChatBox::drawIfShown(ALLEGRO_BITMAP*) {}
void ChatBox::setPortrait(const char*) {}
void ChatBox::setPortraitBackground(const char*) {}
