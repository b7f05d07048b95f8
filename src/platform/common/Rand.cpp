#include "platform/Platform.h"

#include <atomic>

namespace platform {
namespace {
std::atomic<std::uint32_t> g_randState{1};
}

void Srand(std::uint32_t seed) { g_randState.store(seed, std::memory_order_relaxed); }

int Rand() {
    std::uint32_t s = g_randState.load(std::memory_order_relaxed) * 214013u + 2531011u;
    g_randState.store(s, std::memory_order_relaxed);
    return static_cast<int>((s >> 16) & 0x7FFF);
}

}  // namespace platform
