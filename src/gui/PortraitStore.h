#pragma once

#include <allegro5/allegro.h>

#include <string_view>

struct Portrait;

// Pictures that scripts load under names of their choosing, kept for the whole run.
// Several entries may share a name; the earliest one is the one found. Names are compared
// byte for byte over their whole length, zero bytes included.
class PortraitStore {
  public:
    PortraitStore();
    ~PortraitStore();
    PortraitStore(const PortraitStore&) = delete;
    PortraitStore& operator=(const PortraitStore&) = delete;

    // False (and nothing added) when the file cannot be loaded.
    bool load(std::string_view name, const char* path);
    // Keeps the placeholder picture of the given size under the name, so that a portrait that
    // could not be loaded is plain to see (author mode).
    void addPlaceholder(std::string_view name, int width, int height);
    ALLEGRO_BITMAP* find(std::string_view name) const;
    int count() const { return count_; }
    // Releases every portrait (a reload of the world).
    void clear();

  private:
    void add(std::string_view name, ALLEGRO_BITMAP* bitmap);

    Portrait** items_ = nullptr;
    int count_ = 0;
};
