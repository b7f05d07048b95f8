// Diagnostics for maintainers go to standard error; the player sees message
// boxes only where the game itself shows them.
#pragma once

#include <cstdarg>

void LogMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));
