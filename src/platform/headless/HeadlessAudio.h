// Between the headless clock and the headless audio device.
#pragma once

#include <cstdint>

namespace platform::headless_internal {

// Moves every play cursor to virtual time `ms` (clock mode only).
void AdvanceAudioTo(std::uint64_t ms);
// Clock back at 0, clock mode, device available.
void ResetAudio();

}  // namespace platform::headless_internal
