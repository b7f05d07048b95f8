#include "platform/Platform.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace platform {

std::optional<CpuidRegs> Cpuid(std::uint32_t leaf) {
#if defined(__x86_64__) || defined(__i386__)
    CpuidRegs r;
    // __get_cpuid refuses leaves above the highest one reported; ask directly
    // so that the caller sees what the processor answers, as the game expects.
    __cpuid(leaf, r.eax, r.ebx, r.ecx, r.edx);
    return r;
#else
    (void)leaf;
    return std::nullopt;
#endif
}

}  // namespace platform
