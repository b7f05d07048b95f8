// Pictures for the extras rooms' tests: images whose every pixel tells
// where it came from, and the room opened from the main title's place.
#pragma once

#include "FrontendFixture.h"
#include "screenkit/Slots.h"

namespace frontend_test {

inline constexpr std::uint32_t kOpaque = 0xFF000000;

class ExtrasTest : public FrontendTest {
protected:
    // The room opens as the main title leaves it; the fade-in is cut short.
    void Enter(std::uint8_t mode) {
        g_gameApp->returnMode = 1;
        g_gameApp->mode = mode;
        Frame();
        g_scenario->skipEffects = 1;
        Frame();
        g_scenario->skipEffects = 0;
    }
    // A click as the window procedure delivers it, then one frame.
    void ClickAt(int x, int y) {
        MoveTo(x, y);
        Press(platform::MouseButton::Left);
        Frame();
        Release(platform::MouseButton::Left);
    }
    void RightClick() {
        Press(platform::MouseButton::Right);
        Frame();
        Release(platform::MouseButton::Right);
    }
    // Frames with the skip key held until `done`.
    void SkipUntil(const std::function<bool()>& done) {
        g_mouse->skip = 1;
        for (int i = 0; i < 20 && !done(); ++i)
            Frame();
        g_mouse->skip = 0;
    }
};

} // namespace frontend_test
