#pragma once

#include "world/CharacterPictures.h"

#include <allegro5/allegro.h>

#include <string_view>

class Npc;

// Every non-player character, in spawning order, and the one that scripts made active. The
// list only grows; the active character, when there is one, is always one of the list.
// Names and sprite names are byte strings, compared by length and bytes. A sprite name picks
// the character's look: "QuillaTemp" the library's Quilla, a name with a picture of its own
// in Data\Graphics\Characters that picture (owned here, shared by every character of the
// name), any other name the library's default sprite.
class NpcManager {
  public:
    NpcManager();
    ~NpcManager();
    NpcManager(const NpcManager&) = delete;
    NpcManager& operator=(const NpcManager&) = delete;

    // Null when the character was refused (a script path longer than Npc::maxScriptPath).
    Npc* addNpc(int x, int y, std::string_view name, int number, const char* scriptPath,
                std::string_view spriteName);
    int getNpcCount() const { return count_; }
    Npc* npc(int index) const;
    Npc* findNpcByName(std::string_view name) const;
    Npc* findNpcByNumber(int number) const;
    void setActiveNpcByName(std::string_view name);
    void setActiveNpcByNumber(int number);
    Npc* getActiveNpc() const { return active_; }
    // A character of the list, or none.
    void setActive(Npc* npc);
    Npc* npcAt(int x, int y) const;
    void drawAll(ALLEGRO_BITMAP* target);
    // Removes every character (a reload of the world); none is active afterwards, and the
    // characters' own pictures are released, to be read again when next asked for.
    void clear();
    // Removes every character and the active one, keeping the pictures read (another map).
    void removeCharacters();

    // The bitmap library slot of a sprite name: "QuillaTemp" exactly, or the default sprite.
    static int spriteSlotFor(std::string_view spriteName);
    // True when a character of this sprite name is drawn with the default sprite: the name
    // is not "QuillaTemp", and it has no picture of its own or the picture cannot be decoded.
    // Looks at the file afresh, prints nothing.
    static bool usesDefaultSprite(std::string_view spriteName);
    // The name whose picture the default sprite is: asking for it by name is no mistake.
    static constexpr std::string_view defaultSpriteName = "BrambleTemp";

  private:
    ALLEGRO_BITMAP* spriteFor(std::string_view spriteName);

    CharacterPictures pictures_;
    Npc** npcs_ = nullptr;
    int count_ = 0;
    Npc* active_ = nullptr;
};
