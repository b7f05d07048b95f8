// The mahjong opening: each step's length on the virtual clock, the twelve
// captions in order, the rippling rows of a caption, clicks that shorten one
// step only, and a silent run with music switched off.
#include "mahjong/KofOpening.h"

#include "frontend/FrontendFixture.h"
#include "screenkit/ScreenKit.h"

#include <cstdio>

using namespace frontend_test;

namespace {

constexpr std::uint32_t kBase = 0x204060;
constexpr std::uint32_t kClosing = 0x603010;
constexpr std::uint32_t kCaption(int n) {
    return 0xF0F000u + static_cast<std::uint32_t>(n);
}

class KofOpeningTest : public FrontendTest {
protected:
    void SetUp() override {
        WriteSolid("bmp/kof_op_base.bmp", 800, 600, 0xFF000000u | kBase);
        WriteSolid("bmp/kof_op_base01.bmp", 800, 600, 0xFF000000u | kClosing);
        WriteSolid("bmp/mask04.bmp", 800, 600, 0xFF808080u);
        for (int n = 1; n <= 12; ++n) {
            char name[32];
            std::snprintf(name, sizeof name, "bmp/kof_op_m%02d.bmp", n);
            WriteSolid(name, 800, 80, 0xFF000000u | kCaption(n));
        }
        WriteTone("bgm/c021.ogg", 20);
        FrontendTest::SetUp();
        g_gameApp->mode = 62;
    }
    CKofOpening& Opening() { return *g_kofOpening; }
    void Step() { Opening().Run(platform::WindowHandle::Main); }
    // Runs the step that started at `start` to `ms` before its end and to its
    // end, checking the state before and after.
    void Expect(std::uint32_t start, std::uint32_t ms, int state, int next) {
        AdvanceTo(start + ms - 1);
        Step();
        EXPECT_EQ(Opening().State, state) << "at " << ms - 1;
        AdvanceTo(start + ms);
        Step();
        EXPECT_EQ(Opening().State, next) << "at " << ms;
    }
};

TEST_F(KofOpeningTest, StepsLastTheirTimeAndTheTwelveCaptionsComeInOrder) {
    Frame(); // Open, music on
    ASSERT_NE(g_bgmChannel, nullptr);
    Expect(Opening().StartTime, 1000, 1, 2);
    EXPECT_EQ(Opening().Caption, 1);
    Step(); // caption 1 loaded
    EXPECT_EQ(Opening().State, 3);
    Expect(Opening().StartTime, 2000, 3, 4);
    EXPECT_EQ(Pixel(10, 270), kCaption(1));
    Expect(Opening().StartTime, 3000, 4, 5);
    Expect(Opening().StartTime, 2000, 5, 6);
    EXPECT_EQ(Pixel(10, 270), kBase);
    Step();
    EXPECT_EQ(Opening().State, 2);
    EXPECT_EQ(Opening().Caption, 2);

    // The rest hurried: each held caption is the next file, up to 12.
    g_scenario->skipEffects = 1;
    std::vector<std::uint32_t> shown;
    for (int i = 0; i < 200 && Opening().State != 7; ++i) {
        Step();
        if (Opening().State == 5) shown.push_back(Pixel(10, 270));
    }
    g_scenario->skipEffects = 0;
    std::vector<std::uint32_t> expected;
    for (int n = 2; n <= 12; ++n)
        expected.push_back(kCaption(n));
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(g_scenario->bgmPlaying, 0); // the music fades out for the wipe

    Expect(Opening().StartTime, 3000, 7, 8);
    Expect(Opening().StartTime, 1000, 8, 9);
    EXPECT_EQ(Pixel(400, 300), kClosing);
    Expect(Opening().StartTime, 10000, 9, 10);
    Step();
    EXPECT_EQ(g_gameApp->mode, 63);
    EXPECT_EQ(Opening().State, 0); // run alone: the mode manager has not freed it
    EXPECT_EQ(g_bgmChannel, nullptr);
    EXPECT_EQ(cdib[1], nullptr);
    EXPECT_EQ(cdib[2], nullptr);
}

TEST_F(KofOpeningTest, RowsRippleAsTheCaptionFadesAndAClickEndsOnlyThatStep) {
    Frame();
    g_mouse->click = 1;
    Step(); // fade-in cut short
    Step(); // caption 1
    ASSERT_EQ(Opening().State, 3);
    EXPECT_EQ(g_mouse->click, 0);
    // At 1000 ms: opacity 1000 × 254 / 2000 = 127, phase 270, amplitude 18.
    // Row 0 is shifted by sin 90° × 18 = 18, row 1 by sin 98° × 18 = 17.8 → 17.
    AdvanceTo(Opening().StartTime + 1000);
    Step();
    EXPECT_EQ(Pixel(17, 260), kBase);
    EXPECT_EQ(Pixel(18, 260), Mix(kCaption(1), kBase, 127));
    EXPECT_EQ(Pixel(16, 261), kBase);
    EXPECT_EQ(Pixel(17, 261), Mix(kCaption(1), kBase, 127));
    // A click ends the wave; the hold then takes its own time.
    g_mouse->click = 1;
    Step();
    EXPECT_EQ(Opening().State, 4);
    EXPECT_EQ(g_mouse->click, 0);
    Step();
    EXPECT_EQ(Opening().State, 4);
}

TEST_F(KofOpeningTest, WithMusicOffTheSequenceRunsSilentlyToTheSelect) {
    g_config[config::kMusicOff] = 1;
    g_scenario->skipEffects = 1;
    for (int i = 0; i < 200 && g_gameApp->mode == 62; ++i) {
        Frame();
        EXPECT_EQ(g_bgmChannel, nullptr);
    }
    EXPECT_EQ(g_gameApp->mode, 63);
}

} // namespace
