#pragma once

#include <allegro5/allegro.h>

#include <map>
#include <string>
#include <string_view>

// The pictures of characters that have one of their own: for a sprite name N, the file
// Data\Graphics\Characters\N.png, with the same colour keys as the shipped sprites (grey
// 64, 64, 64 and magenta 255, 0, 255) made transparent. A picture is loaded the first time a
// name asks for it and shared by every later request; a file that cannot be decoded is told
// once on the console and remembered as unusable. A missing file is looked for again on every
// request, so a picture added while the game runs is found by the next character. Owns every
// picture it loaded and releases them when destroyed.
class CharacterPictures {
  public:
    CharacterPictures() = default;
    ~CharacterPictures();
    CharacterPictures(const CharacterPictures&) = delete;
    CharacterPictures& operator=(const CharacterPictures&) = delete;

    // The picture of a sprite name, or null when it has none: a name that cannot be a file
    // name, no such file, or a file that cannot be decoded.
    ALLEGRO_BITMAP* find(std::string_view spriteName);
    // Releases every picture, so the next request reads its file again (a reload of the world).
    void clear();

    // Whether the name's file exists and decodes, checked afresh and without a console line.
    static bool hasPicture(std::string_view spriteName);
    // A name that could be a file name of its own: not empty, at most maxNameBytes bytes, with
    // no zero byte, slash, backslash or "..". Other names never open a file.
    static bool isFileName(std::string_view spriteName);
    // Data\Graphics\Characters\<name>.png, as the game writes its paths.
    static std::string pathFor(std::string_view spriteName);

    // Leaves room for ".png" in a file name of 255 bytes.
    static constexpr std::size_t maxNameBytes = 251;

  private:
    // Loaded pictures by name; null for a file that could not be decoded.
    std::map<std::string, ALLEGRO_BITMAP*, std::less<>> pictures_;
};
