// The demo game played on the headless machine through the program's own
// main loop: boot, main title, story chooser, a scenario title, its story
// (day logo, pages of text with voices, a sprite layer, a shake, a choice,
// an eye-catch, mask wipes) and back at the main title;
// quitting through the close question; start-up with damaged or missing
// data. Each test records the sequence of modes it passed through, and
// writes the back buffer at each screen to build/test/e2e-shots/.
#include "DemoFolder.h"
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
#include "system/ConfigScreen.h"
#include "system/SystemMenu.h"

#include <algorithm>
#include <functional>

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
    // Runs frames until `done` holds; false after `limit` frames.
    bool RunUntil(const std::function<bool()>& done, int limit = 20000) {
        for (int frames = 0; frames < limit; ++frames) {
            if (quit_ || done()) return true;
            const std::uint64_t presented = hl::PresentCount();
            while (!quit_ && hl::PresentCount() == presented)
                Pump();
            // Drawing a frame takes time too: modes that never sleep (the
            // transitions) would otherwise stand still on the virtual clock.
            hl::AdvanceClock(1);
        }
        return done();
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

    void Shot(const std::string& name) {
        bmp_writer::BmpImage img;
        img.width = 800;
        img.height = 600;
        img.bitCount = 24;
        img.pixels.assign(g_backBuffer->GetBits(), g_backBuffer->GetBits() + 800 * 600);
        const fs::path dir = fs::path(NORVANE_TEST_BIN_DIR) / ".." / "e2e-shots";
        fs::create_directories(dir);
        EXPECT_TRUE(bmp_writer::WriteBmp(dir / (name + ".bmp"), img));
    }

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
        for (int step = 0; step < 20000 && !InMode(1) && !quit_; ++step) {
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
        // The system pictures' archive loses the second half of its bytes.
        const auto bytes = testing_support::ReadFile("system.dat");
        testing_support::WriteFile(
            "system.dat",
            std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + bytes.size() / 2));
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
