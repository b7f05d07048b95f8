// A started program on the headless machine, with tiny pictures and sounds
// of known colours and lengths written by the test, for the screen tests of
// the front end.
#pragma once

#include "TestSupport.h"
#include "app/Config.h"
#include "app/GameApp.h"
#include "app/Input.h"
#include "app/Shell.h"
#include "gfx/Dib.h"
#include "lib/BmpWriter.h"
#include "lib/OggWriter.h"
#include "scenario/Scenario.h"
#include "sound/SoundChannel.h"

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace frontend_test {

namespace hl = platform::headless;

// One colour per row band of `rowHeight`, `width` wide; 32 bits keeps the
// fourth byte as the alpha the screens blend with.
inline void WriteBands(const std::filesystem::path& path, int width, int rowHeight,
                       const std::vector<std::uint32_t>& argb) {
    bmp_writer::BmpImage img;
    img.width = width;
    img.height = rowHeight * static_cast<int>(argb.size());
    img.bitCount = 32;
    img.pixels.reserve(static_cast<std::size_t>(img.width) * img.height);
    for (std::uint32_t c : argb)
        for (int i = 0; i < width * rowHeight; ++i)
            img.pixels.push_back(c);
    std::filesystem::create_directories(path.parent_path());
    ASSERT_TRUE(bmp_writer::WriteBmp(path, img));
}

inline void WriteSolid(const std::filesystem::path& path, int w, int h, std::uint32_t argb) {
    WriteBands(path, w, h, {argb});
}

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

// A tone of `tenths` tenths of a second, so a test can tell which file a
// channel holds by its length.
inline void WriteTone(const std::filesystem::path& path, int tenths) {
    std::filesystem::create_directories(path.parent_path());
    tools::ToneSpec t;
    t.rate = 8000;
    t.samples = static_cast<std::uint32_t>(800 * tenths);
    ASSERT_TRUE(tools::WriteOggTone(path, t));
}

inline int TenthsOf(CSoundChannel* c) {
    return c ? static_cast<int>(std::lround(c->GetLengthSeconds() * 10)) : -1;
}

// out = (s·o >> 8) + (d·(255 − o) >> 8) per channel, capped at 255: the
// cross-fade at progress o, and an opaque pixel blended at opacity o.
inline std::uint32_t Mix(std::uint32_t s, std::uint32_t d, std::uint32_t o) {
    std::uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const std::uint32_t sc = (s >> shift) & 0xFF, dc = (d >> shift) & 0xFF;
        const std::uint32_t v = std::min<std::uint32_t>(255, (sc * o >> 8) + (dc * (255 - o) >> 8));
        out |= v << shift;
    }
    return out;
}

class FrontendTest : public testing_support::HeadlessTest {
protected:
    void SetUp() override {
        std::filesystem::create_directories("save");
        ASSERT_TRUE(platform::CreateMainWindow(g_windowTitle));
        OnCreate(platform::WindowHandle::Main);
        ASSERT_NE(g_gameApp, nullptr);
        ASSERT_NE(g_scenario, nullptr);
    }
    void TearDown() override { OnDestroy(); }

    // One frame of the mode manager, as the main loop runs it.
    void Frame() { g_gameApp->RunFrame(); }
    void Frames(int n) {
        for (int i = 0; i < n; ++i)
            Frame();
    }
    std::uint32_t Now() const { return platform::TimeGetTime(); }
    // Moves the clock forward to `t`; every frame itself sleeps 8 ms.
    void AdvanceTo(std::uint32_t t) {
        ASSERT_GE(t, Now());
        hl::AdvanceClock(t - Now());
    }
    std::uint32_t Pixel(int x, int y) const { return g_backBuffer->GetPixel(x, y) & 0xFFFFFF; }
    static std::uint32_t PixelOf(const CDib* d, int x, int y) {
        return d->GetPixel(x, y) & 0xFFFFFF;
    }

    // Input as the window procedure delivers it.
    void MoveTo(int x, int y) {
        WndProc(platform::Event{platform::EventKind::MouseMove, {}, {}, x, y, 0});
    }
    void Press(platform::MouseButton b) {
        hl::PushButton(b, true, g_mouse->x, g_mouse->y);
        Pump();
    }
    void Release(platform::MouseButton b) {
        hl::PushButton(b, false, g_mouse->x, g_mouse->y);
        Pump();
    }
    void Pump() {
        platform::Event e;
        while (platform::PeekEvent(e))
            WndProc(e);
    }
};

} // namespace frontend_test
