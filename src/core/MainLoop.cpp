#include "core/MainLoop.h"
void runMainLoop() {}
