#pragma once

// Keeps what scripts and the game print out of the checker's own output while it lives: the
// console (standard error) and anything a script prints to standard output go to /dev/null,
// or, when the console is wanted (--verbose), both go to the console.
class ConsoleSilencer {
  public:
    explicit ConsoleSilencer(bool showConsole);
    ~ConsoleSilencer();
    ConsoleSilencer(const ConsoleSilencer&) = delete;
    ConsoleSilencer& operator=(const ConsoleSilencer&) = delete;

  private:
    int savedOut_ = -1;
    int savedErr_ = -1;
};
