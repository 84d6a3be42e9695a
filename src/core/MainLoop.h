#pragma once

// Steps 2 to 7 of the program: start the timer, then take and dispatch events until quit.
void runMainLoop();
