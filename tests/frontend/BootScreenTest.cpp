// The boot sequence: its fades and holds on the virtual clock, hurrying by
// the skip key and the skip-effects setting, the random title call.
#include "frontend/BootScreen.h"

#include "FrontendFixture.h"

using namespace frontend_test;

namespace {

constexpr std::uint32_t kBefore = 0x204060; // what the back buffer shows before
constexpr std::uint32_t kLogo = 0xC08040;
constexpr std::uint32_t kWarning = 0x10E0A0;

class BootScreenTest : public FrontendTest {
protected:
    void SetUp() override {
        WriteSolid("system/logo_01.bmp", 800, 600, kLogo);
        WriteSolid("system/warning.bmp", 800, 600, kWarning);
        // Title call i lasts i + 1 tenths of a second.
        for (int i = 0; i < 10; ++i) {
            std::string name = g_titleVoices[i];
            name.replace(name.find('\\'), 1, "/");
            WriteTone(name, i + 1);
        }
        FrontendTest::SetUp();
        g_backBuffer->FillRect(0, 0, 800, 600, kBefore);
    }
    CBootScreen& Boot() { return *g_bootScreen; }
};

TEST_F(BootScreenTest, UndisturbedSequenceFadesHoldsAndHandsOverAfterAbout21Seconds) {
    Frame(); // Open at clock 0
    ASSERT_NE(g_bootScreen, nullptr);
    EXPECT_EQ(Boot().State, 1);
    EXPECT_EQ(Boot().StartTime, 0u);
    EXPECT_EQ(PixelOf(cdib[0].get(), 5, 5), kBefore);
    EXPECT_EQ(PixelOf(cdib[2].get(), 5, 5), 0xFFFFFFu);

    AdvanceTo(1000);
    Frame();
    // Level 1000 × 255 / 2000 = 127: red (192·127 >> 8) + (32·128 >> 8) = 95 + 16,
    // green 63 + 32, blue 31 + 48.
    EXPECT_EQ(Pixel(100, 100), 0x6F5F4Fu);
    EXPECT_EQ(Boot().SubState, 0);
    EXPECT_EQ(g_voiceChannels[0], nullptr);

    AdvanceTo(2000);
    Frame(); // level 255: the logo stands and the title call starts
    EXPECT_EQ(Boot().SubState, 1);
    EXPECT_EQ(Pixel(100, 100), kLogo);
    EXPECT_NE(g_voiceChannels[0], nullptr);
    EXPECT_EQ(Boot().StartTime, 2000u);

    AdvanceTo(3999);
    Frame(); // 1999 ms of the 2000-ms hold
    EXPECT_EQ(Boot().SubState, 1);
    Frame();
    EXPECT_EQ(Boot().SubState, 2);
    const std::uint32_t whiteFadeStart = Boot().StartTime;

    AdvanceTo(whiteFadeStart + 1000);
    Frame();
    // Level 127 from the logo to white: red 126 + 96, green 126 + 64, blue 126 + 32.
    EXPECT_EQ(Pixel(700, 500), 0xDEBE9Eu);
    EXPECT_NE(g_voiceChannels[0], nullptr);

    AdvanceTo(whiteFadeStart + 2000);
    Frame(); // the call is cut off with the end of the fade to white
    EXPECT_EQ(Boot().State, 2);
    EXPECT_EQ(g_voiceChannels[0], nullptr);
    EXPECT_EQ(Pixel(0, 0), 0xFFFFFFu);

    const std::uint32_t warningStart = Boot().StartTime;
    AdvanceTo(warningStart + 5000);
    Frame();
    EXPECT_EQ(Boot().State, 3);
    EXPECT_EQ(Pixel(400, 300), kWarning);

    const std::uint32_t holdStart = Boot().StartTime;
    AdvanceTo(holdStart + 7999);
    Frame(); // 7999 × 380 / 8000 = 379: still held
    EXPECT_EQ(Boot().State, 3);
    Frame();
    EXPECT_EQ(Boot().State, 4);

    while (g_gameApp->mode == 0 && Now() < 30000)
        Frame();
    EXPECT_EQ(g_gameApp->mode, 1);
    // 2000 + 2000 + 2000 + 5000 + 8000 + 2000 ms, plus a frame or two per step.
    EXPECT_GE(Now(), 21000u);
    EXPECT_LT(Now(), 21200u);
    EXPECT_EQ(Pixel(400, 300), 0xFFFFFFu);
    EXPECT_EQ(PixelOf(cdib[0].get(), 400, 300), kBefore);
    EXPECT_EQ(cdib[1], nullptr);
    EXPECT_EQ(cdib[2], nullptr);
    EXPECT_EQ(cdib[3], nullptr);
}

TEST_F(BootScreenTest, SkipKeyOrSkipEffectsEndsEveryStepOnItsFirstFrame) {
    for (int variant = 0; variant < 2; ++variant) {
        SCOPED_TRACE(variant == 0 ? "skip key" : "skip-effects setting");
        g_gameApp->mode = 0;
        g_bootScreen.reset();
        g_mouse->skip = variant == 0 ? 1 : 0;
        g_scenario->skipEffects = variant == 1 ? 1 : 0;
        std::vector<bool> voiceAfter;
        int runs = 0;
        while (g_gameApp->mode == 0 && runs < 20) {
            Frame();
            ++runs;
            voiceAfter.push_back(g_voiceChannels[0] != nullptr);
        }
        EXPECT_EQ(runs, 8); // the eighth Run is Close
        ASSERT_GE(voiceAfter.size(), 4u);
        EXPECT_FALSE(voiceAfter[0]);
        EXPECT_TRUE(voiceAfter[1]); // started in the second call
        EXPECT_TRUE(voiceAfter[2]);
        EXPECT_FALSE(voiceAfter[3]); // and deleted again in the fourth
        EXPECT_EQ(Pixel(10, 10), 0xFFFFFFu);
        EXPECT_EQ(PixelOf(cdib[0].get(), 10, 10), variant == 0 ? kBefore : 0xFFFFFFu);
    }
}

TEST_F(BootScreenTest, ClicksHurryNothing) {
    Frame();
    for (int i = 0; i < 5; ++i) {
        g_mouse->click = 1;
        g_keyboard->space = 1;
        Frame();
        EXPECT_EQ(Boot().State, 1);
        EXPECT_EQ(Boot().SubState, 0);
    }
    EXPECT_EQ(g_mouse->click, 1); // the boot sequence leaves the flag alone
}

TEST_F(BootScreenTest, TitleCallIsPickedByRandTimesClockTimesMinute) {
    struct Case {
        std::uint32_t start; // clock when the screen opens
        int expectedTenths;
    } cases[] = {
        // Minute 0: the product is 0, always the first call.
        {0, 1},
        // Minute 1, clock 61,008 at the end of step 0, first rand after
        // srand(1) = (2,745,024 >> 16) & 0x7FFF = 41: 41 × 61,008 × 1 =
        // 2,501,328, mod 10 = 8.
        {61000, 9},
        // Minute 59, clock 3,540,008: 41 × 3,540,008 × 59 = 8,563,279,352
        // wraps to 4,268,312,056, mod 10 = 6 (without the wrap it would be 2).
        {3540000, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.start);
        g_gameApp->mode = 0;
        g_bootScreen.reset();
        g_mouse->skip = 1;
        AdvanceTo(c.start);
        platform::Srand(1);
        Frame();
        Frame();
        EXPECT_EQ(TenthsOf(g_voiceChannels[0].get()), c.expectedTenths);
        while (g_gameApp->mode == 0)
            Frame();
    }
}

TEST_F(BootScreenTest, StallLongEnoughToWrapA32BitLevelEndsTheStep) {
    Frame();
    // 16,843,010 × 255 wraps in 32 bits to 254, a level of 0: the fade would
    // start over. The step ends instead.
    AdvanceTo(16843010);
    Frame();
    EXPECT_EQ(Boot().SubState, 1);
    EXPECT_EQ(Pixel(1, 1), kLogo);
}

TEST_F(BootScreenTest, MissingPicturesKeepTheTimings) {
    std::filesystem::remove("system/logo_01.bmp");
    std::filesystem::remove("system/warning.bmp");
    testing::internal::CaptureStderr();
    Frame();
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("system\\logo_01.bmp"), std::string::npos);
    EXPECT_NE(log.find("system\\warning.bmp"), std::string::npos);
    // The logo slot stays a black 800x600 surface; the warning slot is empty.
    EXPECT_EQ(cdib[1]->GetWidth(), 800);
    EXPECT_EQ(cdib[3]->GetWidth(), 0);
    while (g_gameApp->mode == 0 && Now() < 30000)
        Frame();
    EXPECT_EQ(g_gameApp->mode, 1);
    EXPECT_GE(Now(), 21000u);
}

} // namespace
