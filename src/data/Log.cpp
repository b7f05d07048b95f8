#include "data/Log.h"

#include <cstdio>

void LogMessage(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::fputs("norvane: ", stderr);
    std::vfprintf(stderr, format, args);
    std::fputc('\n', stderr);
    va_end(args);
}
