#include "app/DebugLog.h"

#include <cstdio>
#include <memory>

bool DebugLog(std::string_view text) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen("Debug.Log", "a+"),
                                                               &std::fclose);
    if (!file) return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), file.get()) == text.size() &&
                         std::fputc('\n', file.get()) != EOF;
    return written;
}
