#pragma once

#include "CheckWorld.h"

#include <string>
#include <vector>

class CheckReport;

// What can be seen of a character without talking to it: whether its script file exists,
// whether a player can click it at all (its hit box inside the window and clear of the chat
// box area), and which picture a sprite name that falls back to the default picture was
// probably meant to name.
class CharacterChecks {
  public:
    // Reads the pictures in Data/Graphics/Characters once.
    CharacterChecks();

    // Adds to the game's own report on the character's sprite the picture its name was
    // probably meant to name, if there is one.
    void explain(const SpawnedCharacter& character, ScriptProblem& problem) const;

    // True when the character's script exists, so its conversations can be walked.
    bool check(const SpawnedCharacter& character, const std::string& pathText,
               CheckReport& report) const;

  private:
    void checkPlace(const SpawnedCharacter& character, const std::string& pathText,
                    CheckReport& report) const;
    // The name of a picture the character's sprite name was probably meant to be, with the
    // picture's path in brackets; empty when the name is fine or nothing is near it.
    std::string nearMiss(const SpawnedCharacter& character) const;

    std::vector<std::string> pictures_; // names of Data/Graphics/Characters/*.png
};
