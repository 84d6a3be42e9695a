#pragma once

#include "CheckWorld.h"

#include <string>
#include <vector>

class CheckReport;

// What can be seen of a character without talking to it: whether its script file exists,
// whether a player can click it at all (its hit box inside the window and clear of the chat
// box area), and whether a sprite name that falls back to the default picture was meant to
// name one of the pictures there are.
class CharacterChecks {
  public:
    // Reads the pictures in Data/Graphics/Characters once.
    CharacterChecks();

    // True when the character's script exists, so its conversations can be walked.
    bool check(const SpawnedCharacter& character, const std::string& pathText,
               CheckReport& report) const;

  private:
    void checkPlace(const SpawnedCharacter& character, const std::string& pathText,
                    CheckReport& report) const;
    void checkSprite(const SpawnedCharacter& character, const std::string& pathText,
                     CheckReport& report) const;

    std::vector<std::string> pictures_; // names of Data/Graphics/Characters/*.png
};
