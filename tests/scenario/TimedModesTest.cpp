// The timed story steps: each ends on the same pixels whether Ctrl is held
// or not, zero lengths finish at once, and the waits last as long as asked.
#include "SceneTestSupport.h"

#include <tuple>
#include <utility>

using testing_support::SceneTest;
namespace hl = platform::headless;

namespace {

struct EndState {
    std::uint64_t back = 0, scene = 0, fx = 0;
    int frames = 0;
    bool operator==(const EndState& o) const {
        return std::tie(back, scene, fx) == std::tie(o.back, o.scene, o.fx);
    }
};

class TimedModesTest : public SceneTest {
protected:
    void SetUp() override { hl::AdvanceClock(1000); }
    // Fresh surfaces: a patterned scene, another incoming picture, a backup,
    // and a large pan surface in slot 5.
    void Prepare() {
        cdib[0] = NewScreen();
        FillPattern(cdib[0].get(), 1);
        cdib[1] = NewScreen();
        FillPattern(cdib[1].get(), 2);
        g_backBuffer->FillRect(0, 0, 800, 600, 0x010203);
        g_backupSurface = NewScreen();
        FillPattern(g_backupSurface.get(), 3);
        cdib[5] = std::make_unique<CDib>();
        cdib[5]->Create(platform::WindowHandle::Main, 1000, 700, 24);
        FillPattern(cdib[5].get(), 4);
        cdib[31].reset();
    }
    static std::unique_ptr<CDib> NewScreen() {
        auto d = std::make_unique<CDib>();
        d->Create(platform::WindowHandle::Main, 800, 600, 24);
        return d;
    }
    EndState Run(const std::string& record, bool ctrl) {
        Prepare();
        Start(record + "\nwait ms=1\n");
        RunUntilModeChanges();
        EndState e;
        e.frames = RunModeToEnd(16, ctrl);
        e.back = Digest(g_backBuffer.get());
        e.scene = Digest(cdib[0].get());
        e.fx = Digest(cdib[1].get());
        return e;
    }
    void ExpectSkipEquivalence(const std::string& record, int minFrames) {
        const EndState full = Run(record, false);
        const EndState skipped = Run(record, true);
        EXPECT_TRUE(full == skipped) << record;
        EXPECT_GE(full.frames, minFrames) << record;
        EXPECT_LE(skipped.frames, 5) << record;
        EXPECT_EQ(S().subState, 0) << record;
    }
};

TEST_F(TimedModesTest, EveryScreenEffectEndsOnTheSamePixelsWhenSkipped) {
    for (int type = 0; type <= 15; ++type) {
        const bool instant = type == 11 || type == 13;
        ExpectSkipEquivalence("transition type=" + std::to_string(type) + " ms=400",
                              instant ? 3 : 10);
    }
}

TEST_F(TimedModesTest, ScreenTransitionsEndOnTheSamePixelsWhenSkipped) {
    for (int effect : {0, 1, 2, 3, 10, 34, 39, 45, 68, 79})
        ExpectSkipEquivalence("mask_wipe type=" + std::to_string(effect) + " ms=300", 15);
}

TEST_F(TimedModesTest, PansEndOnTheSamePixelsWhenSkipped) {
    // Draw mode 3 fades the surface out over whatever the back buffer holds,
    // frame over frame, so its picture depends on how many frames ran; the
    // other three end on fixed pictures.
    for (int mode = 0; mode <= 2; ++mode)
        for (int ease = 0; ease <= 4; ++ease)
            ExpectSkipEquivalence("pan surface=5 ease=" + std::to_string(ease) +
                                      " variant=" + std::to_string(mode) +
                                      " from_x=0 from_y=0 to_x=200 to_y=100 ms=300",
                                  15);
}

TEST_F(TimedModesTest, APanEndsOnItsTargetAndKeepsTheBackgroundWhenItPansItself) {
    Prepare();
    const std::uint32_t at = PatternAt(200 + 10, 100 + 20, 4);
    Start("pan surface=5 ease=0 variant=0 from_x=0 from_y=0 to_x=200 to_y=100 ms=300\nwait ms=1\n");
    RunUntilModeChanges();
    RunModeToEnd();
    EXPECT_EQ(Rgb(g_backBuffer.get(), 10, 20), at);
    EXPECT_EQ(Rgb(cdib[0].get(), 10, 20), at);
    EXPECT_EQ(cdib[5], nullptr);
    // Panning the background itself: it is replaced by its own moved
    // picture, never deleted.
    Prepare();
    Start("pan surface=0 ease=0 variant=0 from_x=0 from_y=0 to_x=0 to_y=0 ms=100\nwait ms=1\n");
    RunUntilModeChanges();
    RunModeToEnd();
    ASSERT_NE(cdib[0], nullptr);
    EXPECT_EQ(Rgb(cdib[0].get(), 30, 40), PatternAt(30, 40, 1));
}

TEST_F(TimedModesTest, TimedWaitsLastTheirLengthAndZeroFinishesAtOnce) {
    Start("wait ms=1000\nend\n");
    RunUntilModeChanges();
    ASSERT_EQ(App().mode, 18);
    const std::uint32_t start = platform::TimeGetTime();
    RunModeToEnd(10);
    const std::uint32_t took = platform::TimeGetTime() - start;
    EXPECT_GE(took, 1000u);
    EXPECT_LE(took, 1040u);
    for (const char* record :
         {"wait ms=0", "mask_wipe type=39 ms=0", "transition type=1 ms=0",
          "pan surface=5 ease=0 variant=0 from_x=0 from_y=0 to_x=0 to_y=0 ms=0"}) {
        Prepare();
        Start(std::string(record) + "\nend\n");
        RunUntilModeChanges();
        EXPECT_LE(RunModeToEnd(0), 4) << record;
    }
}

TEST_F(TimedModesTest, AHorizontalShakeShowsLeftCentreRightCentre) {
    Prepare();
    Start("transition type=1 ms=500\nend\n");
    RunUntilModeChanges();
    App().RunFrame(); // sets the effect up
    // Phase 0: source x 16 at x 0; 1 and 3: centred; 2: source x 0 at x 16.
    std::vector<int> seen;
    for (int i = 0; i < 60 && App().mode == 5; ++i) {
        App().RunFrame();
        const std::uint32_t v = Rgb(g_backBuffer.get(), 100, 50);
        const int shift = v == PatternAt(116, 50, 1)   ? -16
                          : v == PatternAt(84, 50, 1)  ? 16
                          : v == PatternAt(100, 50, 1) ? 0
                                                       : 99;
        if (seen.empty() || seen.back() != shift) seen.push_back(shift);
        hl::AdvanceClock(8);
    }
    ASSERT_GE(seen.size(), 5u);
    EXPECT_EQ(seen[0], -16);
    EXPECT_EQ(seen[1], 0);
    EXPECT_EQ(seen[2], 16);
    EXPECT_EQ(seen[3], 0);
    EXPECT_EQ(seen[4], -16);
}

TEST_F(TimedModesTest, WavesTakeTheTimedPhaseStepBesideTheirOwnCount) {
    // The phase counter of a wave grows by its own count every frame (2 for
    // types 7 and 9, 3 for type 8) and by 1 more once 96 ms have passed
    // since the last timed step.
    for (const auto& [type, perFrame] : {std::pair{7, 2u}, {8, 3u}, {9, 2u}}) {
        Prepare();
        Start("transition type=" + std::to_string(type) + " ms=2000\nend\n");
        RunUntilModeChanges();
        App().RunFrame(); // sets the effect up
        ASSERT_EQ(S().effectDuration, 0u) << type;
        hl::AdvanceClock(50);
        App().RunFrame(); // 50 ms: no timed step yet
        EXPECT_EQ(S().effectDuration, perFrame) << type;
        hl::AdvanceClock(47);
        App().RunFrame(); // 97 ms since the set-up: one timed step
        EXPECT_EQ(S().effectDuration, 2 * perFrame + 1) << type;
        hl::AdvanceClock(100);
        App().RunFrame(); // and another
        EXPECT_EQ(S().effectDuration, 3 * perFrame + 2) << type;
        RunModeToEnd(16, true);
        g_mouse->skip = 0;
    }
}

TEST_F(TimedModesTest, AMaskTransitionLoadsItsNumberedMask) {
    bmp_writer::BmpImage mask;
    mask.width = 800;
    mask.height = 600;
    mask.bitCount = 24;
    mask.pixels.assign(800 * 600, 0x808080);
    ASSERT_TRUE(bmp_writer::WriteBmp(dir_.path() / "bmp/mask06.bmp", mask));
    Prepare();
    Start("mask_wipe type=45 ms=300\nend\n");
    RunUntilModeChanges();
    App().RunFrame();
    ASSERT_NE(g_maskImage, nullptr);
    EXPECT_EQ(g_maskImage->GetWidth(), 800);
    RunModeToEnd();
    EXPECT_EQ(Digest(cdib[0].get()), Digest(g_backBuffer.get()));
    EXPECT_EQ(Rgb(cdib[0].get(), 7, 9), PatternAt(7, 9, 2)); // the incoming picture
}

TEST_F(TimedModesTest, AClickWaitEndsOnlyOnAClick) {
    Start("wait_click\nend\n");
    RunUntilModeChanges();
    ASSERT_EQ(App().mode, 51);
    for (int i = 0; i < 10; ++i)
        App().RunFrame();
    EXPECT_EQ(App().mode, 51);
    g_mouse->skip = 1; // Ctrl does not end it
    App().RunFrame();
    EXPECT_EQ(App().mode, 51);
    g_mouse->click = 1;
    App().RunFrame();
    EXPECT_EQ(g_mouse->click, 0);
    App().RunFrame();
    EXPECT_EQ(App().mode, 2);
}

} // namespace
