#pragma once

// Sends the standard error stream to /dev/null while it lives, so the game's own console
// lines stay out of the checker's output; a disabled silencer changes nothing (--verbose).
class ConsoleSilencer {
  public:
    explicit ConsoleSilencer(bool enabled);
    ~ConsoleSilencer();
    ConsoleSilencer(const ConsoleSilencer&) = delete;
    ConsoleSilencer& operator=(const ConsoleSilencer&) = delete;

  private:
    int saved_ = -1;
};
