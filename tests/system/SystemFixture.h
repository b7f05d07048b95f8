// The system menu and the settings screen opened over a story picture of one
// known colour, with the pictures and click sounds they load written by the
// test, and pictures of each screen saved into build/test/system-shots/.
#pragma once

#include "../frontend/ExtrasFixture.h"
#include "gfx/Blit.h"

#include <memory>
#include <string>

namespace system_test {

using namespace frontend_test;

inline constexpr std::uint32_t kStory = 0x204060;

// The back buffer as a bitmap for people to look at, in system-shots/.
inline void SystemShot(const std::string& name) {
    const auto dir = std::filesystem::path(NORVANE_TEST_BIN_DIR) / ".." / "system-shots";
    std::filesystem::create_directories(dir);
    bmp_writer::BmpImage image;
    image.width = 800;
    image.height = 600;
    image.bitCount = 24;
    image.pixels.assign(g_backBuffer->GetBits(), g_backBuffer->GetBits() + 800 * 600);
    EXPECT_TRUE(bmp_writer::WriteBmp(dir / name, image));
}

inline std::uint32_t Opaque(std::uint32_t rgb) {
    return 0xFF000000u | rgb;
}

// An opaque `s` added at opacity o: sat(d + ((s·255 >> 8)·o >> 8)).
inline std::uint32_t Added(std::uint32_t d, std::uint32_t s, std::uint32_t o) {
    std::uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8)
        out |= std::min(255u, (d >> shift & 0xFF) + ((s >> shift & 0xFF) * 255 >> 8) * o / 256)
               << shift;
    return out;
}

class SystemScreenTest : public FrontendTest {
protected:
    void SetUp() override {
        for (const char* name : {"sys_010", "sys_a002", "sys_f003", "sys_e002", "Pop_D002R"})
            WriteTone(std::string("se/") + name + ".ogg", 2);
        FrontendTest::SetUp();
    }

    // The story on screen in mode 3, its snapshot taken as the message
    // display takes it, and `mode` entered over it.
    void OpenOverStory(int mode) {
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x)
                g_backBuffer->SetPixel(x, y, kStory);
        g_menuSnapshot = std::make_unique<CDib>();
        g_menuSnapshot->Create(platform::WindowHandle::Main, 800, 600, 24);
        BltCopy(g_menuSnapshot.get(), 0, 0, g_backBuffer.get(), 0, 0, 800, 600);
        g_gameApp->returnMode = 3;
        g_gameApp->mode = static_cast<std::uint8_t>(mode);
        Frame();
    }
    // Every timed step of the opening cut short.
    template <class Screen> void SkipTo(Screen& screen, int state, int maxFrames = 8) {
        g_scenario->skipEffects = 1;
        for (int i = 0; i < maxFrames && screen.state != state; ++i)
            Frame();
        g_scenario->skipEffects = 0;
        ASSERT_EQ(screen.state, state);
    }
    void Click(int x, int y) {
        MoveTo(x, y);
        g_mouse->click = 1;
        Frame();
    }
    void RightClick() {
        g_mouse->cancel = 1;
        Frame();
    }
    static void Shot(const std::string& name) { SystemShot(name); }
};

} // namespace system_test
