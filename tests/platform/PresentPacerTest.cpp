// How often the window takes a picture while frames arrive faster than the
// display refreshes.
#include "platform/common/PresentPacer.h"

#include <gtest/gtest.h>

#include <array>
#include <set>
#include <vector>

namespace {

// Presents made by frames every `stepMs` over `spanMs`, from `startMs`.
std::vector<std::uint32_t> Presents(platform::PresentPacer& pacer, std::uint32_t startMs,
                                    std::uint32_t stepMs, std::uint32_t spanMs) {
    std::vector<std::uint32_t> shown;
    for (std::uint32_t k = 0; k < spanMs / stepMs; ++k) {
        const std::uint32_t t = startMs + k * stepMs;
        if (!pacer.Due(t)) continue;
        pacer.Shown(t);
        shown.push_back(t);
    }
    return shown;
}

TEST(PresentPacerTest, FramesBetweenRefreshesStillReachEveryRefresh) {
    // Frames every 9 ms on a 16 ms display: a period counted from the last
    // present would show every other frame (one per 18 ms, 55 a second);
    // the schedule shows one per refresh, 62 or 63 a second.
    platform::PresentPacer pacer;
    pacer.SetRefresh(16);
    const auto shown = Presents(pacer, 1000, 9, 1000);
    EXPECT_GE(shown.size(), 62u);
    EXPECT_LE(shown.size(), 63u);
    for (std::size_t i = 1; i < shown.size(); ++i) {
        EXPECT_GE(shown[i] - shown[i - 1], 8u) << i;
        EXPECT_LE(shown[i] - shown[i - 1], 18u) << i;
    }
    // Frames slower than the display are each shown.
    EXPECT_EQ(Presents(pacer, 3000, 20, 1000).size(), 50u);
}

TEST(PresentPacerTest, FramesOf16And17And8MsReachEveryRefreshThatHasOne) {
    // The game's frames as they come while a story opens. Counted on the
    // refresh grid from the first present, every refresh that some frame
    // falls in shows exactly one: none is lost to a frame that came a
    // millisecond late, and none shows two.
    for (std::uint32_t period : {16u, 17u}) {
        platform::PresentPacer pacer;
        pacer.SetRefresh(period);
        const std::array<std::uint32_t, 3> steps{16, 17, 8};
        std::set<std::uint32_t> withFrame, withPresent;
        std::uint32_t presents = 0;
        for (std::uint32_t t = 1000, k = 0; t < 2000; t += steps[k++ % steps.size()]) {
            withFrame.insert((t - 1000) / period);
            if (!pacer.Due(t)) continue;
            pacer.Shown(t);
            withPresent.insert((t - 1000) / period);
            ++presents;
        }
        EXPECT_EQ(withPresent, withFrame) << period;
        EXPECT_EQ(presents, withPresent.size()) << period;
    }
}

TEST(PresentPacerTest, AfterAWaitTheScheduleStartsAgainWithoutABurst) {
    platform::PresentPacer pacer;
    pacer.SetRefresh(16);
    Presents(pacer, 0, 9, 200);
    // Idle for five seconds: the first frame is shown at once, then one
    // per period.
    const auto shown = Presents(pacer, 5000, 1, 100);
    ASSERT_GE(shown.size(), 3u);
    EXPECT_EQ(shown[0], 5000u);
    EXPECT_EQ(shown[1], 5016u);
    EXPECT_EQ(shown[2], 5032u);
    // Idle past 2^31 ms: still due at once.
    EXPECT_TRUE(pacer.Due(5000u + 0x90000000u));
    // The clock wrapping past 2^32 ms keeps the schedule.
    platform::PresentPacer wrapped;
    wrapped.SetRefresh(16);
    EXPECT_EQ(Presents(wrapped, 0xFFFFFF00u, 4, 512).size(), 512u / 16u);
}

} // namespace
