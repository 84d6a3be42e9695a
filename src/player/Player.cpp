#include "player/Player.h"
Player::Player(float startX, float startY) : x(startX), y(startY) {}
void Player::update() {}
void Player::draw(ALLEGRO_BITMAP*) {}
void Player::combineKeys() {}
void Player::updateMotionState() {}
