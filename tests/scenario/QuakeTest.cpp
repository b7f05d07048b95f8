// The screen quake: offsets per kind and phase on the virtual clock, the
// start rules under Ctrl, and the paint step's view after opcode 81.
#include "SceneTestSupport.h"
#include "app/Present.h"

#include <vector>

using testing_support::SceneTest;
namespace hl = platform::headless;

namespace {

class QuakeTest : public SceneTest {
protected:
    void SetUp() override { hl::AdvanceClock(1000); }
    void Quake(int type, int loop, int amplitude, int period) {
        Start("quake type=" + std::to_string(type) + " loop=" + std::to_string(loop) +
              " amplitude=" + std::to_string(amplitude) + " period=" + std::to_string(period) +
              "\nwait ms=1\n");
        RunScript();
    }
    // The offset asked at `ms` after the start.
    int At(std::uint32_t ms, int row = 0) {
        const std::uint32_t now = platform::TimeGetTime();
        const std::uint32_t target = S().quakeStart + ms;
        if (target > now) hl::AdvanceClock(target - now);
        return S().GetQuakeOffset(row);
    }
};

TEST_F(QuakeTest, AOneShotShakeFollowsOneSineAndSwitchesItselfOff) {
    Quake(0, 0, 8, 400);
    ASSERT_EQ(S().quakeActive, 1);
    // 8 sin(a), a = ms * 360 / 400.
    EXPECT_EQ(At(0), 0);
    EXPECT_EQ(At(50), 5);   // a 45: 5.66
    EXPECT_EQ(At(100), 8);  // a 90
    EXPECT_EQ(At(300), -8); // a 270
    EXPECT_EQ(At(350), -5); // a 315
    EXPECT_EQ(At(399), 0);  // a 359: -0.14
    EXPECT_EQ(S().quakeActive, 1);
    EXPECT_EQ(At(400), 0);
    EXPECT_EQ(S().quakeActive, 0);
}

TEST_F(QuakeTest, ALoopingDiagonalShakeAlternatesItsDiagonals) {
    Quake(2, 1, 10, 200);
    EXPECT_EQ(S().quakePhase, 1u);
    EXPECT_EQ(At(50), 10);
    EXPECT_EQ(At(200), 0); // the period restarts on the other diagonal
    EXPECT_EQ(S().quakePhase, 2u);
    EXPECT_EQ(S().quakeActive, 1);
    EXPECT_EQ(At(150), -10);
    EXPECT_EQ(At(200), 0);
    EXPECT_EQ(S().quakePhase, 1u);
    Quake(5, 1, 10, 200);
    EXPECT_EQ(S().quakePhase, 2u);
    At(200);
    EXPECT_EQ(S().quakePhase, 1u);
}

TEST_F(QuakeTest, AHorizontalWaveSwellsThenHoldsAndMovesFourDegreesPerPaint) {
    Quake(6, 0, 20, 400);
    // At 100 ms the envelope is trunc(sin 45 * 20) = 14; row 0 moves the phase to 4.
    EXPECT_EQ(At(100, 0), 0);     // sin 4 * 14 = 0.98
    EXPECT_EQ(At(100, 86), 14);   // sin 90
    EXPECT_EQ(At(100, 266), -14); // sin 270
    EXPECT_EQ(S().quakePhase, 4u);
    // After the period the wave stays at full height; the next paint is at 8 degrees.
    EXPECT_EQ(At(500, 0), 2); // sin 8 * 20 = 2.78
    EXPECT_EQ(At(500, 82), 20);
    EXPECT_EQ(S().quakeActive, 1); // waves run until stopped
    EXPECT_EQ(S().quakePhase, 8u);
}

TEST_F(QuakeTest, KindTenHasNoOffsetAndAZeroPeriodEndsAShakeAtOnce) {
    Quake(10, 1, 30, 45);
    EXPECT_EQ(At(100), 0);
    ASSERT_NE(cdib[1], nullptr);
    Quake(1, 1, 30, 0);
    EXPECT_EQ(S().quakeActive, 1);
    Quake(1, 0, 30, 0);
    EXPECT_EQ(At(0), 0);
    EXPECT_EQ(S().quakeActive, 0);
}

TEST_F(QuakeTest, CtrlStoresAShakeWithoutStartingItButStartsThePlane) {
    g_mouse->skip = 1;
    Quake(0, 1, 8, 400);
    EXPECT_EQ(S().quakeType, 0);
    EXPECT_EQ(S().quakeActive, 0);
    Quake(7, 1, 8, 400);
    EXPECT_EQ(S().quakeType, 7);
    EXPECT_EQ(S().quakeActive, 0);
    Quake(10, 0, 0, 30);
    EXPECT_EQ(S().quakeActive, 1);
    EXPECT_EQ(S().quakeStart, platform::TimeGetTime());
}

TEST_F(QuakeTest, ThePaintStepShiftsWhileItRunsAndStopsAfterOpcodeEightyOne) {
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x)
            g_backBuffer->SetPixel(x, y, static_cast<std::uint32_t>(y * 800 + x));
    std::vector<std::uint32_t> window(800 * 600);
    Quake(0, 1, 8, 400);
    At(100); // a 90: +8
    hl::AdvanceClock(0);
    QuakeView view;
    ASSERT_TRUE(StoryQuake(view));
    ComposeWindowPicture(*g_backBuffer, &view, window);
    EXPECT_EQ(window[300 * 800 + 400] & 0xFFFFFF, static_cast<std::uint32_t>(300 * 800 + 392));
    EXPECT_EQ(window[300 * 800 + 0], 0u);
    Start("stop_quake\nwait ms=1\n");
    RunScript();
    EXPECT_EQ(S().quakeActive, 0);
    EXPECT_EQ(S().quakeType, 0);
    EXPECT_FALSE(StoryQuake(view));
    ComposeWindowPicture(*g_backBuffer, nullptr, window);
    EXPECT_EQ(window[300 * 800 + 400] & 0xFFFFFF, static_cast<std::uint32_t>(300 * 800 + 400));
    EXPECT_EQ(window[300 * 800 + 0] & 0xFFFFFF, static_cast<std::uint32_t>(300 * 800));
}

TEST_F(QuakeTest, AVerticalWaveReadsNoRowOutsideThePicture) {
    g_backBuffer->FillRect(0, 0, 800, 600, 0x777777);
    Quake(7, 0, 300, 1); // full height at once: offsets up to 300 rows
    hl::AdvanceClock(10);
    QuakeView view;
    ASSERT_TRUE(StoryQuake(view));
    std::vector<std::uint32_t> window(800 * 600);
    ComposeWindowPicture(*g_backBuffer, &view, window);
    int black = 0, grey = 0;
    for (int y = 0; y < 600; ++y)
        (window[y * 800 + 5] & 0xFFFFFF) == 0x777777 ? ++grey : ++black;
    EXPECT_GT(black, 0); // rows whose source lies outside stay black
    EXPECT_GT(grey, 0);
}

} // namespace
