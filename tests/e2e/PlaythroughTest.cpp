// The demo game played on the headless machine through the program's own
// main loop: boot, main title, story chooser, a scenario title, its story
// (day logo, pages of text with voices, a sprite layer, a shake, a choice,
// an eye-catch, mask wipes) and back at the main title;
// quitting through the close question; start-up with damaged or missing
// data. Each test records the sequence of modes it passed through, and
// writes the back buffer at each screen to build/test/e2e-shots/.
#include "DemoFolder.h"
#include "Shots.h"
#include "TestSupport.h"
#include "app/Config.h"
#include "app/GameApp.h"
#include "app/Input.h"
#include "app/Shell.h"
#include "frontend/MainTitle.h"
#include "frontend/ResetStory.h"
#include "frontend/ScenarioTitle1.h"
#include "frontend/ScenarioTitle2.h"
#include "frontend/ScenarioTitle3.h"
#include "frontend/StoryChooser.h"
#include "gfx/Dib.h"
#include "lib/BmpWriter.h"
#include "lib/DemoData.h"
#include "scenario/Scenario.h"
#include "screenkit/Leave.h"
#include "sound/SoundChannel.h"
#include "system/BacklogScreen.h"
#include "system/ConfigScreen.h"
#include "system/SystemMenu.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest-spi.h>

using platform::MouseButton;
namespace hl = platform::headless;
namespace fs = std::filesystem;

namespace {

const char kQuitQuestion[] = "\xD2\xAA\xCD\xCB\xB3\xF6\xD3\xCE\xCF\xB7\xC2\xF0\xA3\xBF";

class PlaythroughTest : public testing_support::HeadlessTest {
protected:
    // A copy of the demo game as the current directory, then start-up as the
    // program's entry makes it.
    void Start(const std::function<void()>& damage = {}) {
        ASSERT_TRUE(e2e::DemoFolder().error.empty()) << e2e::DemoFolder().error;
        fs::copy(e2e::DemoFolder().dir, fs::current_path(), fs::copy_options::recursive);
        fs::remove(".stamp");
        if (damage) damage();
        testing::internal::CaptureStderr();
        capturing_ = true;
        ASSERT_TRUE(platform::CreateMainWindow(g_windowTitle));
        OnCreate(platform::WindowHandle::Main);
        modes_ = {g_gameApp->mode};
    }
    void TearDown() override {
        if (!quit_) OnDestroy();
        if (capturing_) log_ = testing::internal::GetCapturedStderr();
    }
    std::string Log() {
        if (capturing_) {
            log_ = testing::internal::GetCapturedStderr();
            capturing_ = false;
        }
        return log_;
    }

    // One pass of the main loop; notes a new mode.
    void Pump() {
        if (quit_) return;
        if (PumpOnce() == LoopStep::Quit) {
            quit_ = true;
            return;
        }
        if (g_gameApp && g_gameApp->mode != modes_.back()) modes_.push_back(g_gameApp->mode);
    }
    // The modes the game went through, for the report of a stalled run.
    std::string ModesSeen() const {
        std::string seen;
        for (int m : modes_)
            seen += (seen.empty() ? "" : " ") + std::to_string(m);
        return "modes seen: " + seen;
    }
    // Runs frames until `done` holds; false after `limit` frames, or at once
    // when the game stops presenting frames (a stall), with a failure that
    // names the modes seen so far. After a stall every later call fails at
    // once, so a stalled test ends in moments instead of at its time-out.
    bool RunUntil(const std::function<bool()>& done, int limit = 20000) {
        constexpr int kPumpsPerFrame = 1000;
        for (int frames = 0; frames < limit && !stalled_; ++frames) {
            if (quit_ || done()) return true;
            const std::uint64_t presented = hl::PresentCount();
            int pumps = 0;
            while (!quit_ && hl::PresentCount() == presented && pumps++ < kPumpsPerFrame)
                Pump();
            if (!quit_ && hl::PresentCount() == presented) {
                stalled_ = true;
                ADD_FAILURE() << "no frame presented in " << kPumpsPerFrame
                              << " passes of the loop; " << ModesSeen();
                return false;
            }
            // Drawing a frame takes time too: modes that never sleep (the
            // transitions) would otherwise stand still on the virtual clock.
            hl::AdvanceClock(1);
        }
        if (quit_ || done()) return true;
        if (!stalled_)
            ADD_FAILURE() << "still waiting after " << limit << " frames; " << ModesSeen();
        return false;
    }
    void Frames(int n) {
        int left = n;
        RunUntil([&] { return left-- <= 0; });
    }
    static int TitleState(int story) {
        const CScenarioTitleScreen* t =
            story == 0   ? static_cast<CScenarioTitleScreen*>(g_scenarioTitle1.get())
            : story == 1 ? static_cast<CScenarioTitleScreen*>(g_scenarioTitle2.get())
                         : static_cast<CScenarioTitleScreen*>(g_scenarioTitle3.get());
        return t ? t->State : -1;
    }
    bool InMode(int m) const { return g_gameApp && g_gameApp->mode == m; }

    void MoveTo(int x, int y) { hl::PushMouseMove(x, y); }
    // A press held for two frames, then the release.
    void ClickAt(int x, int y) {
        hl::PushMouseMove(x, y);
        hl::PushButton(MouseButton::Left, true, x, y);
        Frames(2);
        hl::PushButton(MouseButton::Left, false, x, y);
        Frames(1);
    }
    void HoldSkip(bool down) {
        hl::PushKey(platform::Key::Control, down);
        Frames(1);
    }

    void Shot(const std::string& name) { e2e::WriteShot("e2e-shots", name); }

    // Boot, hurried by the skip key, into the main title's menu.
    void ToMainTitle() {
        HoldSkip(true);
        ASSERT_TRUE(RunUntil([&] { return InMode(1); }));
        HoldSkip(false);
        ASSERT_TRUE(RunUntil([&] { return g_mainTitle && g_mainTitle->State == 2; }));
    }
    void ToStoryChooser() {
        ToMainTitle();
        ClickAt(600, 390); // "story"
        ASSERT_TRUE(RunUntil([&] { return g_storyChooser && g_storyChooser->State == 2; }));
    }

    // Clicks through a story until it ends at the main title; notes what it met.
    struct StoryRun {
        int pages = 0;
        int choices = 0;
        bool voice = false;
        bool music = false;
        bool dayLogo = false;
        bool eyeCatch = false;
    };
    StoryRun PlayStory(const std::string& shotPrefix, int option) {
        StoryRun run;
        for (int step = 0; step < 20000 && !InMode(1) && !quit_ && !stalled_; ++step) {
            // The day logo and the eye-catch are pictured while they hold.
            if (InMode(42) && g_scenario->subState == 7 && !run.dayLogo) {
                run.dayLogo = true;
                Shot(shotPrefix + "-day-logo");
            }
            if (InMode(19) && g_scenario->subState == 4 && !run.eyeCatch) {
                run.eyeCatch = true;
                Shot(shotPrefix + "-eye-catch");
            }
            if (g_voiceChannels[0]) run.voice = true;
            if (g_bgmChannel) run.music = true;
            if (InMode(17)) {
                if (g_scenario->subState != 1) { // 1: the plates wait for a choice
                    Frames(1);
                    continue;
                }
                if (run.choices == 0) Shot(shotPrefix + "-choice");
                ++run.choices;
                ClickAt(152 + 256, 140 + 100 * option + 32);
                RunUntil([&] { return !InMode(17); }, 2000);
                continue;
            }
            if (InMode(3) && g_scenario->subState == 3) {
                // A page stands whole and waits for the click.
                ++run.pages;
                if (run.pages == 3) Shot(shotPrefix + "-page"); // a speaker's line
                ClickAt(300, 300);
                continue;
            }
            Frames(1);
        }
        return run;
    }

    std::vector<int> modes_;
    bool quit_ = false;
    bool stalled_ = false;
    bool capturing_ = false;
    std::string log_;
};

// Consecutive repeats dropped, the order kept.
bool Contains(const std::vector<int>& modes, const std::vector<int>& part) {
    return std::search(modes.begin(), modes.end(), part.begin(), part.end()) != modes.end();
}

TEST_F(PlaythroughTest, UndisturbedBootShowsLogoAndWarningThenTheTitle) {
    Start();
    ASSERT_TRUE(RunUntil([&] { return platform::TimeGetTime() >= 3000; }));
    Shot("01-boot-logo");
    ASSERT_TRUE(RunUntil([&] { return platform::TimeGetTime() >= 13000; }));
    Shot("02-boot-warning");
    ASSERT_TRUE(RunUntil([&] { return InMode(1); }));
    EXPECT_GE(platform::TimeGetTime(), 21000u);
    ASSERT_TRUE(RunUntil([&] { return g_mainTitle && g_mainTitle->State == 2; }));
    Shot("03-main-title");
    EXPECT_EQ(modes_, (std::vector<int>{0, 1}));
    EXPECT_TRUE(hl::Questions().empty());
    EXPECT_EQ(Log().find("cannot load"), std::string::npos);
}

class StoryPlaythrough : public PlaythroughTest, public ::testing::WithParamInterface<int> {};

TEST_P(StoryPlaythrough, FromBootThroughTheStoryBackToTheTitle) {
    const int story = GetParam(); // 0, 1, 2
    const std::string prefix = "story" + std::to_string(story + 1);
    Start();
    ToStoryChooser();
    if (story == 0) Shot("04-story-chooser");
    ClickAt(500, 100 + 200 * story);
    const int titleMode = 58 + story;
    ASSERT_TRUE(RunUntil([&] { return InMode(titleMode); }));
    ASSERT_TRUE(RunUntil([&] { return TitleState(story) == 2; }));
    EXPECT_EQ(g_scenario->saveGroup, story);
    Shot(prefix + "-title");
    EXPECT_NE(g_bgmChannel, nullptr);
    // "Start" is the first item of each title.
    const platform::Rect starts[3] = {
        {372, 412, 428, 428}, {670, 390, 756, 416}, {339, 350, 461, 381}};
    ClickAt(starts[story].left + 5, starts[story].top + 5);
    ASSERT_TRUE(RunUntil([&] { return !InMode(titleMode); }));
    EXPECT_TRUE(InMode(2));
    const char* scripts[3] = {"start.s", "b0.s", "c01.s"};
    EXPECT_STREQ(g_gameApp->scriptName.data(), scripts[story]);

    const StoryRun run = PlayStory(prefix, story == 1 ? 1 : 0);
    ASSERT_TRUE(InMode(1)) << "the story did not come back to the title; mode "
                           << int(g_gameApp->mode);
    EXPECT_GE(run.pages, 5);
    EXPECT_EQ(run.choices, 1);
    EXPECT_TRUE(run.voice);
    EXPECT_TRUE(run.music);
    ASSERT_TRUE(RunUntil([&] { return g_mainTitle && g_mainTitle->State == 2; }));
    if (story == 2) {
        EXPECT_EQ(g_config[config::kScriptFlags + 3], 1); // the contest is open now
    }

    EXPECT_TRUE(Contains(modes_, {0, 1, 56, titleMode, 2}));
    EXPECT_TRUE(run.dayLogo);
    EXPECT_TRUE(run.eyeCatch);
    // Message display, the choice, the mask wipes, the shake, the layer wait.
    for (int m : {3, 17, 4, 5, 38})
        EXPECT_TRUE(Contains(modes_, {m})) << m;
    EXPECT_EQ(modes_.back(), 1);
    // Nothing was missing: no message box, no picture left unloaded.
    EXPECT_TRUE(hl::Questions().empty());
    EXPECT_EQ(Log().find("cannot load"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(EachStory, StoryPlaythrough, ::testing::Values(0, 1, 2));

TEST_F(PlaythroughTest, AStalledGameFailsAtOnceNamingTheModesItWentThrough) {
    Start();
    ASSERT_TRUE(RunUntil([&] { return InMode(1); }));
    // Without the script object no frame is paced or painted any more.
    g_scenario.reset();
    bool reached = true;
    EXPECT_NONFATAL_FAILURE(reached = RunUntil([&] { return InMode(56); }),
                            "no frame presented in 1000 passes of the loop; modes seen: 0 1");
    EXPECT_FALSE(reached);
    // Later waits give up at once.
    EXPECT_FALSE(RunUntil([&] { return InMode(56); }));
}

// Paints present a picture only when it changed, so every frame whose back
// buffer differs from the frame before must reach the window, and the window
// must then show the back buffer exactly; frames that change nothing show
// nothing. Watched through the boot's fades and the title's intro, and on a
// page waiting with its animated icon. Returns the frames that changed.
int WatchPresents(const std::function<bool()>& done, int limit, const std::function<void()>& pump) {
    std::vector<std::uint32_t> before(g_backBuffer->GetBits(), g_backBuffer->GetBits() + 800 * 600);
    int changed = 0;
    for (int frame = 0; frame < limit && !done(); ++frame) {
        const std::uint64_t presented = hl::PresentCount(), shown = hl::ShownCount();
        while (hl::PresentCount() == presented)
            pump();
        hl::AdvanceClock(1);
        const std::uint32_t* now = g_backBuffer->GetBits();
        const bool differs = !std::equal(before.begin(), before.end(), now);
        if (g_scenario && g_scenario->quakeActive) {
            before.assign(now, now + 800 * 600);
            continue; // the window shows a shifted copy
        }
        EXPECT_EQ(hl::ShownCount(), shown + (differs ? 1 : 0)) << "frame " << frame;
        if (differs) {
            ++changed;
            EXPECT_TRUE(std::equal(hl::LastFrame().begin(), hl::LastFrame().end(), now))
                << "frame " << frame << " is not what the window shows";
            before.assign(now, now + 800 * 600);
        }
        if (testing::Test::HasFailure()) break;
    }
    return changed;
}

TEST_F(PlaythroughTest, EveryFrameThatChangesThePictureIsPresentedAndNoOther) {
    Start();
    Frames(1); // the first picture goes up whole
    // The boot: logo fading in and out, the warning, the title's intro.
    const int boot = WatchPresents([&] { return g_mainTitle && g_mainTitle->State == 2; }, 6000,
                                   [&] { Pump(); });
    EXPECT_GT(boot, 100);
    // Settled, the title standing idle changes nothing.
    Frames(10);
    EXPECT_EQ(WatchPresents([] { return false; }, 200, [&] { Pump(); }), 0);
    ClickAt(600, 390);
    ASSERT_TRUE(RunUntil([&] { return g_storyChooser && g_storyChooser->State == 2; }));
    ClickAt(500, 100);
    ASSERT_TRUE(RunUntil([&] { return TitleState(0) == 2; }));
    ClickAt(377, 417);
    ASSERT_TRUE(RunUntil([&] { return InMode(3) && g_scenario->subState == 3; }));
    // A page waits for its click: the icon grows and fades, frame by frame.
    const int icon = WatchPresents([] { return false; }, 400, [&] { Pump(); });
    EXPECT_GT(icon, 40);
    EXPECT_TRUE(InMode(3));
}

TEST_F(PlaythroughTest, CloseBoxAsksAndOnlyOkQuits) {
    Start();
    ToMainTitle();
    hl::QueueAnswer(platform::BoxAnswer::Cancel);
    hl::PushEvent(platform::Event{platform::EventKind::Close});
    Frames(3);
    EXPECT_FALSE(quit_);
    ASSERT_EQ(hl::Questions().size(), 1u);
    EXPECT_EQ(hl::Questions()[0].gbkText, kQuitQuestion);

    hl::QueueAnswer(platform::BoxAnswer::Ok);
    hl::PushEvent(platform::Event{platform::EventKind::Close});
    Frames(3);
    EXPECT_TRUE(quit_);
    EXPECT_EQ(hl::Questions().size(), 2u);
    EXPECT_EQ(modes_, (std::vector<int>{0, 1}));
    // The settings were written on the way out.
    EXPECT_TRUE(fs::exists("save/Config.dat"));
}

TEST_F(PlaythroughTest, ChooserQuitButtonAsksFirst) {
    Start();
    ToStoryChooser();
    hl::QueueAnswer(platform::BoxAnswer::Ok);
    ClickAt(60, 545);
    EXPECT_TRUE(quit_);
    EXPECT_EQ(modes_, (std::vector<int>{0, 1, 56}));
}

TEST_F(PlaythroughTest, DamagedArchiveIsReportedAndTheGameGoesOn) {
    Start([] {
        // The system pictures' archive keeps only its first 2 KiB: its index,
        // or part of it, and none of the pictures the boot and titles show.
        const auto bytes = testing_support::ReadFile("system.dat");
        testing_support::WriteFile(
            "system.dat",
            std::vector<std::uint8_t>(
                bytes.begin(),
                bytes.begin() +
                    std::min<std::ptrdiff_t>(2048, static_cast<std::ptrdiff_t>(bytes.size()))));
    });
    ToStoryChooser();
    Shot("20-damaged-archive-chooser");
    ClickAt(500, 100);
    ASSERT_TRUE(RunUntil([&] { return InMode(58); }));
    EXPECT_EQ(modes_, (std::vector<int>{0, 1, 56, 58}));
    EXPECT_NE(Log().find("cannot load the picture system\\"), std::string::npos);
}

TEST_F(PlaythroughTest, MissingPicturesAreReportedAndTheGameGoesOn) {
    Start([] { fs::remove("system.dat"); });
    ToStoryChooser();
    ClickAt(500, 300);
    ASSERT_TRUE(RunUntil([&] { return InMode(59); }));
    ASSERT_TRUE(RunUntil([&] { return TitleState(1) == 2; }));
    Shot("21-missing-pictures-title");
    EXPECT_EQ(modes_, (std::vector<int>{0, 1, 56, 59}));
    const std::string log = Log();
    for (const char* name : {"system\\logo_01.bmp", "system\\title_bg.bmp",
                             "system\\title_bg01.bmp", "system\\title_bg_r.bmp"})
        EXPECT_NE(log.find(name), std::string::npos) << name;
}

TEST_F(PlaythroughTest, WheelOpensTheBacklogWhereAVoiceReplaysThenTheStoryGoesOn) {
    Start();
    ToStoryChooser();
    ClickAt(500, 100);
    ASSERT_TRUE(RunUntil([&] { return TitleState(0) == 2; }));
    ClickAt(377, 417);
    ASSERT_TRUE(RunUntil([&] { return !InMode(58); }));
    // Click through the story until a page waits with voiced lines behind it.
    const auto voicedShown = [] {
        for (int e = 0; e + 1 < g_gameApp->logCount; ++e)
            if (g_gameApp->logVoices[e][0] != 0) return true;
        return false;
    };
    for (int step = 0; step < 20000 && !(InMode(3) && g_scenario->subState == 3 &&
                                         g_gameApp->logCount >= 3 && voicedShown());
         ++step) {
        ASSERT_FALSE(InMode(1)) << "the story ended without a voiced line";
        if (InMode(3) && g_scenario->subState == 3)
            ClickAt(300, 300);
        else
            Frames(1);
    }
    MoveTo(300, 599);
    hl::PushWheel(120);
    ASSERT_TRUE(RunUntil([&] { return g_backlogScreen && g_backlogScreen->state == 2; }));
    EXPECT_EQ(g_gameApp->returnMode, 3);
    Shot("30-backlog");
    const CBacklogScreen& b = *g_backlogScreen;
    int box = -1;
    for (int k = 0; k < 4 && box < 0; ++k)
        if (b.top + k < g_gameApp->logCount && g_gameApp->logVoices[b.top + k][0] != 0) box = k;
    ASSERT_GE(box, 0);
    const std::string voice = g_gameApp->logVoices[b.top + box].data();
    g_voiceChannels[0].reset();
    ClickAt(300, 60 + 150 * box);
    ASSERT_NE(g_voiceChannels[0], nullptr);
    CVoiceChannel expected;
    ASSERT_TRUE(expected.Load(voice));
    EXPECT_DOUBLE_EQ(g_voiceChannels[0]->GetLengthSeconds(), expected.GetLengthSeconds());
    Shot("31-backlog-voice");
    // A right click leaves, stops the voice and the story resumes its page.
    hl::PushButton(MouseButton::Right, true, 300, 300);
    Frames(2);
    hl::PushButton(MouseButton::Right, false, 300, 300);
    ASSERT_TRUE(RunUntil([&] { return InMode(3); }));
    EXPECT_EQ(g_voiceChannels[0], nullptr);
    EXPECT_EQ(g_backlogScreen, nullptr);
    EXPECT_TRUE(Contains(modes_, {3, 6, 3}));
    ClickAt(300, 300);
    ASSERT_TRUE(RunUntil([&] { return !(InMode(3) && g_scenario->subState == 3); }, 200));
    EXPECT_TRUE(hl::Questions().empty());
    EXPECT_EQ(Log().find("cannot load"), std::string::npos);
}

TEST_F(PlaythroughTest, MenuSettingsMusicVolumeKeptThenBackToTheTitle) {
    Start();
    // Straight into the first story as its title's start item leads there:
    // the way through the title screens is played by the tests above.
    ResetStory(platform::WindowHandle::Main);
    g_scenario->saveGroup = 0;
    screenkit::LeaveForStory("start.s", 0);
    ASSERT_TRUE(RunUntil([&] { return InMode(3) && g_scenario->subState == 3; }));
    auto rightClick = [&] {
        hl::PushButton(MouseButton::Right, true, 300, 300);
        Frames(1);
        hl::PushButton(MouseButton::Right, false, 300, 300);
        Frames(1);
    };
    rightClick();
    ASSERT_TRUE(RunUntil([&] { return g_systemMenu && g_systemMenu->state == 4; }));
    Shot("30-system-menu");
    ClickAt(700, 325); // settings
    ASSERT_TRUE(RunUntil([&] { return g_configScreen && g_configScreen->state == 3; }));
    Shot("31-settings");
    ClickAt(500, 555); // the voice page, and back with a right click
    ASSERT_TRUE(RunUntil([&] { return g_configScreen->state == 12; }));
    Shot("31-settings-voice");
    rightClick();
    ASSERT_TRUE(RunUntil([&] { return g_configScreen->state == 3; }));
    // The music slider held at x 150: (150 − 87)·100 / 201 = 31.
    hl::PushMouseMove(150, 195);
    hl::PushButton(MouseButton::Left, true, 150, 195);
    Frames(2);
    hl::PushButton(MouseButton::Left, false, 150, 195);
    Frames(1);
    EXPECT_EQ(g_config[config::kBgmVolume], 31);
    ClickAt(730, 515); // OK
    ASSERT_TRUE(RunUntil([&] { return InMode(3); }));
    const auto saved = testing_support::ReadFile("save/Config.dat");
    ASSERT_EQ(saved.size(), kConfigSize);
    EXPECT_EQ(saved[config::kBgmVolume], 31);

    rightClick();
    ASSERT_TRUE(RunUntil([&] { return g_systemMenu && g_systemMenu->state == 4; }));
    ClickAt(769, 360); // exit
    ASSERT_TRUE(RunUntil([&] { return g_systemMenu && g_systemMenu->state == 13; }));
    Shot("32-system-menu-exit");
    hl::QueueAnswer(platform::BoxAnswer::Ok);
    ClickAt(400, 250); // return to the title
    ASSERT_TRUE(RunUntil([&] { return InMode(1); }));
    EXPECT_EQ(hl::Questions().size(), 1u);
    for (std::size_t c = 1; c < g_seChannels.size(); ++c)
        EXPECT_EQ(g_seChannels[c], nullptr) << c;
    EXPECT_TRUE(Contains(modes_, {3, 8, 9, 3, 8, 1}));
    EXPECT_EQ(Log().find("cannot load"), std::string::npos);

    // The next start reads the confirmed volume back.
    g_config[config::kBgmVolume] = 0;
    LoadConfig();
    EXPECT_EQ(g_config[config::kBgmVolume], 31);
}

} // namespace
