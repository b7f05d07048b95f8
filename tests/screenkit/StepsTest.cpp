// Timed steps of the screen toolkit on the virtual clock: a cross-fade and a
// hold through a screen's own clock fields, what hurries them, and strips
// that start one after another; and the random recipe the screens draw with.
#include "screenkit/Steps.h"

#include "frontend/FrontendFixture.h"
#include "screenkit/Slots.h"

using namespace frontend_test;

namespace {

constexpr std::uint32_t kIn = 0xC08040;
constexpr std::uint32_t kOut = 0x2040A0;

class StepsTest : public FrontendTest {
protected:
    void SetUp() override {
        FrontendTest::SetUp();
        screenkit::BlankSurface(1, kIn);
        screenkit::BlankSurface(0, kOut);
        startTime = Now();
    }
    screenkit::StepClock Clock() { return {startTime, elapsed, &level}; }
    bool Fade(screenkit::Hurry hurry) {
        return screenkit::Fading(Clock(), cdib[1].get(), cdib[0].get(), 1000, hurry);
    }
    std::uint32_t startTime = 0;
    std::uint32_t elapsed = 0;
    std::uint16_t level = 99;
};

TEST_F(StepsTest, FadeDrawsItsLevelThenLandsOnTheIncomingPictureAndRestarts) {
    const std::uint32_t s = startTime;
    AdvanceTo(s + 500);
    EXPECT_TRUE(Fade(screenkit::Hurry::BySkipOrClick));
    // 500 × 255 / 1000 = 127: red 192·127 >> 8 = 95 plus 32·128 >> 8 = 16;
    // green 128·127 >> 8 = 63 plus 64·128 >> 8 = 32; blue 31 plus 160·128 >> 8 = 80.
    EXPECT_EQ(Pixel(400, 300), 0x6F5F6Fu);
    EXPECT_EQ(elapsed, 500u);
    EXPECT_EQ(level, 127);
    EXPECT_EQ(startTime, s);

    AdvanceTo(s + 999); // 254
    EXPECT_TRUE(Fade(screenkit::Hurry::BySkipOrClick));
    EXPECT_EQ(level, 254);
    AdvanceTo(s + 1000);
    EXPECT_FALSE(Fade(screenkit::Hurry::BySkipOrClick));
    EXPECT_EQ(Pixel(0, 0), kIn);
    EXPECT_EQ(Pixel(799, 599), kIn);
    EXPECT_EQ(level, 0);
    EXPECT_EQ(startTime, s + 1000);
}

TEST_F(StepsTest, ClickHurriesOnlyStepsThatYieldToItWhileSkipHurriesEvery) {
    AdvanceTo(startTime + 10);
    g_mouse->click = 1;
    EXPECT_TRUE(Fade(screenkit::Hurry::BySkip));
    EXPECT_NE(Pixel(5, 5), kIn);
    EXPECT_FALSE(Fade(screenkit::Hurry::BySkipOrClick));
    EXPECT_EQ(Pixel(5, 5), kIn);
    // The step leaves the click for its caller to clear.
    EXPECT_EQ(g_mouse->click, 1);
    g_mouse->click = 0;

    for (int way = 0; way < 2; ++way) {
        const std::uint32_t restart = Now();
        startTime = restart - 10;
        g_mouse->skip = way == 0;
        g_scenario->skipEffects = way == 1;
        EXPECT_FALSE(Fade(screenkit::Hurry::BySkip)) << way;
        EXPECT_EQ(startTime, restart);
        startTime = restart - 10;
        EXPECT_FALSE(screenkit::Holding(Clock(), 380, 8000, screenkit::Hurry::BySkip)) << way;
    }
}

TEST_F(StepsTest, HoldEndsWhenItsOwnScaleIsFull) {
    const std::uint32_t s = startTime;
    AdvanceTo(s + 7999); // 7999 × 380 / 8000 = 379
    EXPECT_TRUE(screenkit::Holding(Clock(), 380, 8000, screenkit::Hurry::BySkip));
    EXPECT_EQ(elapsed, 7999u);
    EXPECT_EQ(startTime, s);
    AdvanceTo(s + 8000);
    EXPECT_FALSE(screenkit::Holding(Clock(), 380, 8000, screenkit::Hurry::BySkip));
    EXPECT_EQ(startTime, s + 8000);
}

// The screens' draws: the runtime's rand times the clock, and the wall
// clock's minute, read at 25 min 47 s into an hour so the two fields differ.
TEST_F(StepsTest, RandomRecipeIsRandTimesTheClockAndTheWallClocksMinute) {
    const std::uint32_t at = (Now() / 3'600'000 + 1) * 3'600'000 + 25 * 60'000 + 47'123;
    AdvanceTo(at);
    EXPECT_EQ(screenkit::Minute(), 25u);
    platform::Srand(1);
    EXPECT_EQ(screenkit::RandTimesClock(), 41u * at); // the first rand after seed 1 is 41
    EXPECT_EQ(screenkit::RandTimesClock(), 18467u * at);
    platform::Srand(1);
    EXPECT_EQ(screenkit::RandomByMinute(1000), 41u * at * 25u % 1000u);
}

TEST(StripsTest, EachStripRunsOnItsOwnClockAndStartsOnce) {
    std::array<std::int32_t, 5> slide{7, 7, 7, 7, 7};
    std::array<std::uint8_t, 5> started{1, 1, 1, 1, 1};
    std::array<std::uint32_t, 5> startTime{9, 9, 9, 9, 9};
    const screenkit::Strips strips{slide, started, startTime};

    strips.Reset(1000);
    EXPECT_EQ(started, (std::array<std::uint8_t, 5>{1, 0, 0, 0, 0}));
    EXPECT_EQ(startTime, (std::array<std::uint32_t, 5>{1000, 0, 0, 0, 0}));
    EXPECT_EQ(slide, (std::array<std::int32_t, 5>{}));

    // 125 ms of 250: level 127, slid 127 × 24 / 256 = 11 of 24 px.
    EXPECT_EQ(strips.Advance(0, 1125, 250, 24), 127u);
    EXPECT_EQ(slide[0], 11);
    // 100 ms of 400: level 63, slid 63 × 255 / 256 = 62 px.
    EXPECT_EQ(strips.Advance(0, 1100, 400, 255), 63u);
    EXPECT_EQ(slide[0], 62);
    // Not started: level 0 and no slide.
    EXPECT_EQ(strips.Advance(1, 5000, 250, 24), 0u);
    EXPECT_EQ(slide[1], 0);

    strips.Start(1, 1200);
    strips.Start(1, 1300); // already running: keeps its first start
    EXPECT_EQ(startTime[1], 1200u);
    strips.Start(5, 1300); // past the last strip: nothing
    // Long after its end a strip stays full, however long the stall.
    EXPECT_EQ(strips.Advance(1, 1200u + 0x7FFFFFFFu, 250, 24), 255u);
    EXPECT_EQ(slide[1], 24);
}

// The slide comes from the level before it is capped: at 255 a label is
// still a pixel short of its 24 (255 × 24 / 256 = 23) and a panel of its
// 255 (254); one step later (256) both stand where they rest.
TEST(StripsTest, SlideIsTheUncappedLevelTimesDistanceOver256UpToTheDistance) {
    const struct {
        std::uint32_t level;
        std::int32_t distance, offset;
    } cases[] = {
        {0, 24, 0},      {128, 24, 12},   {254, 24, 23},   {255, 24, 23},   {256, 24, 24},
        {300, 24, 24},   {127, 255, 126}, {254, 255, 253}, {255, 255, 254}, {256, 255, 255},
        {255, 200, 199}, {256, 200, 200}, {255, 0, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(screenkit::SlideOffset(c.level, c.distance), c.offset)
            << c.level << " of " << c.distance;

    std::array<std::int32_t, 1> slide{};
    std::array<std::uint8_t, 1> started{};
    std::array<std::uint32_t, 1> startTime{};
    const screenkit::Strips strips{slide, started, startTime};
    strips.Reset(1000);
    // 250 ms of 250: level 255, drawn full, slid 23; at 251 ms, 256 and 24.
    EXPECT_EQ(strips.Advance(0, 1250, 250, 24), 255u);
    EXPECT_EQ(slide[0], 23);
    EXPECT_EQ(strips.Advance(0, 1251, 250, 24), 255u);
    EXPECT_EQ(slide[0], 24);
}

} // namespace
