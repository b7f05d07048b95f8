// The game reads a button's state when its press arrives and again when its
// release does, and a frame runs only once no event waits. A press and its
// release that reach us together (a touchpad tap, a quick click) would both
// be taken before any frame saw the button down, and the click would be
// lost; so a release is handed on no sooner than a short while after its
// press, long enough for a frame to run in between.
#pragma once

#include "platform/Platform.h"

#include <array>
#include <cstdint>

namespace platform {

class PressHold {
public:
    static constexpr std::uint32_t kMinPressMs = 30;

    void Pressed(MouseButton button, std::uint32_t nowMs) {
        pressedAt_[Index(button)] = nowMs;
        down_[Index(button)] = true;
    }
    // True while the release of `button` must wait.
    bool MustWait(MouseButton button, std::uint32_t nowMs) const {
        return down_[Index(button)] && nowMs - pressedAt_[Index(button)] < kMinPressMs;
    }
    void Released(MouseButton button) { down_[Index(button)] = false; }

private:
    static std::size_t Index(MouseButton b) { return static_cast<std::size_t>(b); }
    std::array<std::uint32_t, static_cast<std::size_t>(MouseButton::Count)> pressedAt_{};
    std::array<bool, static_cast<std::size_t>(MouseButton::Count)> down_{};
};

} // namespace platform
