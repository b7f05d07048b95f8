// Pictures for the extras rooms' tests: images whose every pixel tells
// where it came from, and the room opened from the main title's place.
#pragma once

#include "FrontendFixture.h"
#include "screenkit/Slots.h"

#include <functional>

namespace frontend_test {

inline constexpr std::uint32_t kOpaque = 0xFF000000;

// A 32-bit picture whose pixel (x, y) is `colour(x, y)` (alpha included).
inline void WriteImage(const std::filesystem::path& path, int w, int h,
                       const std::function<std::uint32_t(int, int)>& colour) {
    bmp_writer::BmpImage img;
    img.width = w;
    img.height = h;
    img.bitCount = 32;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.pixels.push_back(colour(x, y));
    std::filesystem::create_directories(path.parent_path());
    ASSERT_TRUE(bmp_writer::WriteBmp(path, img));
}

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
