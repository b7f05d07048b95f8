#include "app/Config.h"
#include "app/Display.h"
#include "app/GameApp.h"
#include "app/Input.h"
#include "app/ModeTable.h"
#include "app/Present.h"
#include "data/PathTable.h"
#include "app/Shell.h"
#include "gfx/Dib.h"
#include "scenario/Scenario.h"
#include "TestSupport.h"

#include <algorithm>
#include <filesystem>

using namespace platform;
namespace hl = platform::headless;
using testing_support::HeadlessTest;

namespace {

class ShellTest : public HeadlessTest {
protected:
    void Start() {
        ASSERT_TRUE(CreateMainWindow(g_windowTitle));
        OnCreate(WindowHandle::Main);
        CreateFolderTree(CurrentDirectory() + "\\save");
    }
    void TearDown() override { OnDestroy(); }

    // Runs loop passes until the queue is empty and one frame and its paint ran.
    void Pump(int passes) {
        for (int i = 0; i < passes; ++i)
            if (PumpOnce() == LoopStep::Quit) return;
    }
};

TEST_F(ShellTest, StartUpBuildsTheWorldAndShutDownTakesItApartAndSaves) {
    Start();
    EXPECT_EQ(hl::WindowTitle(), "Norvane");
    ASSERT_TRUE(g_display && g_backBuffer && cdib[0] && g_pathTable && g_mouse && g_keyboard && g_gameApp);
    EXPECT_EQ(g_backBuffer->GetWidth(), 800);
    EXPECT_EQ(g_backBuffer->GetHeight(), 600);
    EXPECT_EQ(*g_backBuffer->GetPixelPtr(799, 599), 0u);
    EXPECT_EQ(g_gameApp->mode, 0);
    for (size_t i = 1; i < cdib.size(); ++i) EXPECT_EQ(cdib[i], nullptr);
    EXPECT_TRUE(std::filesystem::is_directory("save"));
    EXPECT_FALSE(std::filesystem::exists("save/Config.dat"));

    OnDestroy();
    EXPECT_EQ(g_gameApp, nullptr);
    EXPECT_EQ(g_mouse, nullptr);
    EXPECT_EQ(g_keyboard, nullptr);
    EXPECT_EQ(g_pathTable, nullptr);
    EXPECT_EQ(g_display, nullptr);
    EXPECT_EQ(g_backBuffer, nullptr);
    EXPECT_EQ(cdib[0], nullptr);
    EXPECT_FALSE(hl::WindowOpen());
    // Settings are written at exit, defaults included.
    auto saved = testing_support::ReadFile("save/Config.dat");
    ASSERT_EQ(saved.size(), kConfigSize);
    EXPECT_EQ(saved[config::kBgmVolume], 50);
}

TEST_F(ShellTest, IdleModeFramesSleepEightAndPaintBlack) {
    Start();
    hl::ClearSleeps();
    Pump(6);  // frame, paint, frame, paint, ...
    EXPECT_EQ(hl::Sleeps(), (std::vector<std::uint32_t>{8, 8, 8}));
    EXPECT_EQ(hl::PresentCount(), 3u);
    ASSERT_EQ(hl::LastFrame().size(), 800u * 600u);
    EXPECT_EQ(hl::LastFrame()[0], 0u);
    EXPECT_EQ(TimeGetTime(), 24u);
}

TEST_F(ShellTest, PacingFollowsTheMode) {
    Start();
    // Pacing alone: no screen runs (the movie modes would play their movies).
    static const ModeTable kNoScreens{{}, [](std::uint8_t, WindowHandle) {}};
    SetModeTable(&kNoScreens);
    struct Case {
        std::uint8_t mode;
        std::uint32_t sleep;  // 0: no sleep at all
    };
    const Case cases[] = {{2, 0},  {4, 0},  {18, 0}, {25, 0}, {36, 0}, {38, 0}, {39, 0}, {40, 0},
                          {24, 1}, {50, 1}, {3, 8},  {55, 8}, {0, 8},  {7, 8},  {72, 8}, {200, 8}};
    for (const Case& c : cases) {
        g_gameApp->mode = c.mode;
        hl::ClearSleeps();
        g_gameApp->RunFrame();
        EXPECT_TRUE(PaintPending()) << int(c.mode);
        if (c.sleep) EXPECT_EQ(hl::Sleeps(), std::vector<std::uint32_t>{c.sleep}) << int(c.mode);
        else EXPECT_TRUE(hl::Sleeps().empty()) << int(c.mode);
    }
    // Held Ctrl: message display runs without sleeping.
    g_mouse->skip = 1;
    for (std::uint8_t m : {3, 55}) {
        g_gameApp->mode = m;
        hl::ClearSleeps();
        g_gameApp->RunFrame();
        EXPECT_TRUE(hl::Sleeps().empty()) << int(m);
    }
    SetModeTable(nullptr);
}

TEST_F(ShellTest, CloseQuestionOkEndsAndCancelGoesOn) {
    Start();
    Event close;
    close.kind = EventKind::Close;

    hl::QueueAnswer(BoxAnswer::Cancel);
    hl::PushEvent(close);
    EXPECT_EQ(PumpOnce(), LoopStep::Continue);
    ASSERT_EQ(hl::Questions().size(), 1u);
    EXPECT_EQ(hl::Questions()[0].gbkText, "\xD2\xAA\xCD\xCB\xB3\xF6\xD3\xCE\xCF\xB7\xC2\xF0\xA3\xBF");
    EXPECT_EQ(hl::Questions()[0].gbkCaption, "Norvane");
    EXPECT_TRUE(hl::Questions()[0].okCancel);
    EXPECT_NE(g_gameApp, nullptr);

    // Alt+F4 takes the same road through the question.
    hl::QueueAnswer(BoxAnswer::Ok);
    Event altF4;
    altF4.kind = EventKind::SysKeyDown;
    altF4.key = Key::F4;
    hl::PushEvent(altF4);
    EXPECT_EQ(PumpOnce(), LoopStep::Quit);
    EXPECT_EQ(hl::Questions().size(), 2u);
    EXPECT_EQ(g_gameApp, nullptr);
    EXPECT_TRUE(std::filesystem::exists("save/Config.dat"));
}

TEST_F(ShellTest, AltEnterTogglesExceptDuringTheOpeningMovie) {
    Start();
    Event altEnter;
    altEnter.kind = EventKind::SysKeyDown;
    altEnter.key = Key::Return;

    g_gameApp->mode = 24;
    WndProc(altEnter);
    EXPECT_FALSE(IsFullScreen());
    EXPECT_EQ(g_config[config::kFullScreen], 0);

    g_gameApp->mode = 50;
    WndProc(altEnter);
    EXPECT_TRUE(IsFullScreen());
    EXPECT_TRUE(g_display->IsFullScreen());
    EXPECT_EQ(g_config[config::kFullScreen], 1);

    WndProc(altEnter);
    EXPECT_FALSE(IsFullScreen());
    EXPECT_EQ(g_config[config::kFullScreen], 0);
}

TEST_F(ShellTest, FullScreenSettingOpensFullScreenAndExitRestoresTheDesktop) {
    std::vector<std::uint8_t> cfg(kConfigSize, 0);
    cfg[config::kFullScreen] = 1;
    testing_support::WriteFile("save/Config.dat", cfg);
    Start();
    EXPECT_TRUE(IsFullScreen());
    // The settings byte disagreeing with the display must not leave the
    // desktop in full screen.
    g_config[config::kFullScreen] = 0;
    OnDestroy();
    EXPECT_FALSE(IsFullScreen());
}

TEST_F(ShellTest, WheelDownInClickWaitClicksAndZeroCountsAsUp) {
    Start();
    g_gameApp->mode = 55;
    Event wheel;
    wheel.kind = EventKind::Wheel;
    wheel.wheelDelta = 0;
    WndProc(wheel);
    EXPECT_EQ(g_mouse->click, 0);
    wheel.wheelDelta = 120;
    WndProc(wheel);
    EXPECT_EQ(g_mouse->click, 0);
    wheel.wheelDelta = -120;
    WndProc(wheel);
    EXPECT_EQ(g_mouse->click, 1);

    g_mouse->click = 0;
    g_gameApp->mode = 1;
    WndProc(wheel);
    EXPECT_EQ(g_mouse->click, 0);
}

TEST_F(ShellTest, InputEventsReachTheStateObjectsAndFocusLossReleasesThem) {
    Start();
    hl::PushMouseMove(123, 456);
    hl::PushButton(MouseButton::Left, true, 123, 456);
    hl::PushKey(Key::Control, true);
    while (hl::HasPendingEvents()) PumpOnce();
    EXPECT_EQ(g_mouse->x, 123);
    EXPECT_EQ(g_mouse->y, 456);
    EXPECT_EQ(g_mouse->click, 1);
    EXPECT_EQ(g_mouse->skip, 1);
    // A keyboard poll writes the click flag from Enter, held button or not.
    hl::PushKey(Key::Space, true);
    PumpOnce();
    EXPECT_EQ(g_keyboard->space, 1);
    EXPECT_EQ(g_mouse->click, 0);

    Event lost;
    lost.kind = EventKind::FocusLost;
    hl::PushEvent(lost);
    PumpOnce();
    EXPECT_EQ(g_mouse->click, 0);
    EXPECT_EQ(g_mouse->skip, 0);
    EXPECT_EQ(g_keyboard->space, 0);
    // The keys really count as up afterwards: a later poll keeps them clear.
    g_mouse->Poll();
    EXPECT_EQ(g_mouse->skip, 0);
}

TEST_F(ShellTest, CreateFolderTreeMakesEachLevelAndRefusesAFile) {
    Start();
    const std::string cwd = CurrentDirectory();
    EXPECT_EQ(CreateFolderTree(cwd + "\\a\\b\\c"), 1);
    EXPECT_TRUE(std::filesystem::is_directory("a/b/c"));
    testing_support::WriteFile("plain", {1});
    EXPECT_EQ(CreateFolderTree(cwd + "\\plain\\x"), 0);
    // A backslash in first place tests the empty prefix, which fails.
    EXPECT_EQ(CreateFolderTree("\\x"), 0);
    EXPECT_EQ(CreateFolderTree(""), 1);
}

}  // namespace

namespace {

bool SameRect(const Rect& a, const Rect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool WindowShowsBackBuffer() {
    const auto& shown = hl::LastFrame();
    return shown.size() == 800u * 600u &&
           std::equal(shown.begin(), shown.end(), g_backBuffer->GetBits());
}

TEST_F(ShellTest, PaintsPresentOnlyWhatChangedAndTheWindowKeepsUpWithTheBackBuffer) {
    Start();
    // Pacing alone, so that only the test draws.
    static const ModeTable kNoScreens{{}, [](std::uint8_t, WindowHandle) {}};
    SetModeTable(&kNoScreens);
    g_gameApp->mode = 70;
    Pump(2); // frame and paint: the first picture goes up whole
    EXPECT_EQ(hl::ShownCount(), 1u);
    EXPECT_TRUE(SameRect(hl::LastChangedRect(), {0, 0, 800, 600}));
    Pump(6);
    EXPECT_EQ(hl::PresentCount(), 4u);
    EXPECT_EQ(hl::ShownCount(), 1u); // three idle frames showed nothing new
    g_backBuffer->FillRect(100, 200, 30, 40, 0x00FF8000);
    Pump(2);
    EXPECT_EQ(hl::ShownCount(), 2u);
    EXPECT_TRUE(SameRect(hl::LastChangedRect(), {100, 200, 130, 240}));
    EXPECT_TRUE(WindowShowsBackBuffer());
    // A picture shown whole from elsewhere (a notice over the window) is
    // replaced by the game's on the next paint, though the game's is unchanged.
    std::vector<std::uint32_t> other(800 * 600, 0x00123456);
    platform::Present(other);
    Pump(2);
    EXPECT_TRUE(SameRect(hl::LastChangedRect(), {0, 0, 800, 600}));
    EXPECT_TRUE(WindowShowsBackBuffer());
    SetModeTable(nullptr);
}

TEST_F(ShellTest, AShakingPictureIsComparedAsTheWindowShowsIt) {
    Start();
    static const ModeTable kNoScreens{{}, [](std::uint8_t, WindowHandle) {}};
    SetModeTable(&kNoScreens);
    g_gameApp->mode = 70;
    constexpr std::uint32_t kGrey = 0x00404040, kRed = 0x00FF0000, kBlue = 0x000000FF;
    g_backBuffer->FillRect(0, 0, 800, 600, kGrey);
    g_backBuffer->FillRect(0, 0, 10, 600, kRed);
    Pump(2);
    // A sideways shake of 5 pixels: the back buffer stays, the window moves.
    static int asked = 0;
    asked = 0;
    const QuakeSource saved = g_quakeSource;
    const QuakeSource shake = [](QuakeView& q) {
        q.type = 0;
        q.offset = [](int) {
            ++asked;
            return std::int16_t{5};
        };
        return true;
    };
    g_quakeSource = shake;
    Pump(2);
    EXPECT_EQ(asked, 1);
    // The red band moved 5 to the right; the uncovered strip keeps the red
    // the window showed there, so only columns 10..14 changed.
    EXPECT_TRUE(SameRect(hl::LastChangedRect(), {10, 0, 15, 600}));
    EXPECT_EQ(hl::LastFrame()[0], kRed);
    EXPECT_EQ(hl::LastFrame()[14], kRed);
    EXPECT_EQ(hl::LastFrame()[15], kGrey);
    Pump(2); // the same shake again: asked again, nothing new to show
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(hl::LastChangedRect().right, 0);
    g_quakeSource = saved;
    Pump(2);
    EXPECT_TRUE(WindowShowsBackBuffer());
    // Shown unshaken in blue, then shaken again: the strip is the blue the
    // window showed last, not a picture from the earlier shake.
    g_backBuffer->FillRect(0, 0, 800, 600, kBlue);
    Pump(2);
    g_quakeSource = shake;
    Pump(2);
    EXPECT_EQ(hl::LastFrame()[0], kBlue);
    EXPECT_EQ(hl::LastFrame()[4], kBlue);
    g_quakeSource = saved;
    SetModeTable(nullptr);
}

// A timed wait runs its frames without pausing, yet ends only by the clock:
// once its picture stands still the loop waits for input a moment between
// frames instead of spinning, ends the wait on time, and a queued event cuts
// no wait short of being taken.
TEST_F(ShellTest, ATimedWaitOverAStillPictureWaitsForInputAndEndsOnTime) {
    Start();
    ASSERT_TRUE(g_scenario);
    g_gameApp->mode = 18;
    g_scenario->subState = 0;
    g_scenario->effectDuration = 500;
    const std::uint32_t start = TimeGetTime();
    int frames = 0;
    while (g_gameApp->mode == 18 && frames < 5000) {
        Pump(1);
        ++frames;
    }
    ASSERT_NE(g_gameApp->mode, 18) << "the wait never ended";
    const std::uint32_t took = TimeGetTime() - start;
    EXPECT_GE(took, 500u);
    EXPECT_LE(took, 505u);
    // Every wait is short, and most of the half second was spent waiting.
    ASSERT_FALSE(hl::InputWaits().empty());
    EXPECT_TRUE(std::all_of(hl::InputWaits().begin(), hl::InputWaits().end(),
                            [](std::uint32_t ms) { return ms > 0 && ms <= 4; }));
    EXPECT_GE(hl::InputWaits().size() * hl::InputWaits().front(), 480u);

    // With input waiting the loop does not wait at all.
    g_gameApp->mode = 18;
    g_scenario->subState = 0;
    Pump(4);
    const size_t waits = hl::InputWaits().size();
    WaitForInput(3);
    EXPECT_EQ(hl::InputWaits().size(), waits + 1);
    hl::PushEvent(Event{EventKind::MouseMove});
    WaitForInput(3);
    EXPECT_EQ(hl::InputWaits().size(), waits + 1);
}

} // namespace
