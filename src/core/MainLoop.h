#pragma once

#include <allegro5/allegro.h>

// Steps 2 to 7 of the program: start the timer, then take and dispatch events until quit.
void runMainLoop();

// The start of the loop: clears quit, starts the timer and announces the loop. Returns the time
// that opens the first event-rate window.
double beginMainLoop();

// Hands one event to the subsystem it concerns. True when it asks for a redraw (a tick).
bool dispatchEvent(const ALLEGRO_EVENT& event);

// Draws the frame a tick asked for, once the waiting events are handled.
void drawAskedFrame();

// The end of the loop once quit is set: keeps the run's progress.
void endMainLoop();

// Counts one handled event at time now (seconds). Once a second or more has passed since
// windowStart, stores events per second in the game's measuredFps and starts a new window.
void countEvent(double now, double& windowStart, int& eventCount);
