#pragma once

#include <allegro5/allegro.h>

#include <map>
#include <string>

// Every fresh world loads the same portraits and character pictures again, and decoding them
// was most of a replay's time. While a cache lives, Allegro's PNG and BMP loading goes through
// it: each file is decoded once by Allegro's own decoder, and every later load of the same
// file with the same flags gets its own copy of that picture, so the game's code goes on
// owning, masking and freeing what it loads exactly as before. One cache at a time.
class PictureCache {
  public:
    PictureCache();
    ~PictureCache();
    PictureCache(const PictureCache&) = delete;
    PictureCache& operator=(const PictureCache&) = delete;

  private:
    static ALLEGRO_BITMAP* load(const char* filename, int flags);

    std::map<std::string, ALLEGRO_BITMAP*> pictures_; // null: the file could not be decoded
};
