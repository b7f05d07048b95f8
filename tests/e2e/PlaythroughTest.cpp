// The demo game played on the headless machine through the program's own
// main loop: boot, main title, story chooser, a scenario title, its story
// (day logo, pages of text with voices, a sprite layer, a shake, a choice,
// an eye-catch, mask wipes) and back at the main title;
// quitting through the close question; start-up with damaged or missing
// data. Each test records the sequence of modes it passed through, and
// writes the back buffer at each screen to build/test/e2e-shots/.
#include "DemoFolder.h"
#include "DrawnRegions.h"
#include "Shots.h"
#include "TestSupport.h"
#include "app/Config.h"
#include "app/GameApp.h"
#include "app/Input.h"
#include "app/Shell.h"
#include "frontend/MainTitle.h"
#include "frontend/MiniGameChooser.h"
#include "frontend/MusicRoom.h"
#include "frontend/ResetStory.h"
#include "frontend/ScenarioTitle1.h"
#include "frontend/ScenarioTitle2.h"
#include "frontend/ScenarioTitle3.h"
#include "frontend/SceneReplay.h"
#include "frontend/StaffRoll.h"
#include "frontend/StoryChooser.h"
#include "gfx/Dib.h"
#include "lib/BmpWriter.h"
#include "lib/DemoData.h"
#include "lib/ScriptAssembler.h"
#include "mahjong/CharSelectScreen.h"
#include "mahjong/KofOpening.h"
#include "mahjong/MahjongBotMatch.h"
#include "mahjong/MahjongMenu.h"
#include "mahjong/MahjongTitle.h"
#include "scenario/Scenario.h"
#include "screenkit/Leave.h"
#include "sound/SoundChannel.h"
#include "system/BacklogScreen.h"
#include "system/ConfigScreen.h"
#include "system/LoadScreen.h"
#include "system/SaveRecord.h"
#include "system/SaveScreen.h"
#include "system/SystemMenu.h"
#include "takoyaki/RetryScreen.h"
#include "takoyaki/RusAutoPlayer.h"
#include "takoyaki/RusGame.h"
#include "takoyaki/RusResult.h"
#include "takoyaki/RusRulesScreen.h"
#include "takoyaki/RusSelect.h"
#include "takoyaki/RusTitle.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest-spi.h>
#include <set>

using platform::MouseButton;
namespace hl = platform::headless;
namespace fs = std::filesystem;

namespace {

const char kQuitQuestion[] = "\xD2\xAA\xCD\xCB\xB3\xF6\xD3\xCE\xCF\xB7\xC2\xF0\xA3\xBF";

class PlaythroughTest : public testing_support::HeadlessTest {
protected:
    e2e::DrawnRegionCheck drawnRegions_;
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

    // A short story of the test's own over a demo picture, its messages in
    // message style `style` (the demo stories keep to the bottom window).
    static void WriteStory(const std::string& file, int style,
                           std::initializer_list<std::string_view> messages) {
        std::string text = "load_image surface=1 text=\"bg_r01.bmp\"\nmask_wipe type=39 ms=0\n"
                           "window_style style=" +
                           std::to_string(style) + "\n";
        for (std::string_view m : messages)
            text += "message text=\"" + std::string(m) + "\"\n";
        std::string error;
        ASSERT_TRUE(nvasm::WriteScriptFile("script/" + file, text + "end\n", error)) << error;
    }
    void Shot(const std::string& name) { e2e::WriteShot("e2e-shots", name); }
    void Shot(const std::string& name, std::span<const std::uint32_t> picture) {
        e2e::WriteShot("e2e-shots", name, picture);
    }

    // Boot, hurried by the skip key, into the main title's menu.
    void ToMainTitle() {
        HoldSkip(true);
        ASSERT_TRUE(RunUntil([&] { return InMode(1); }));
        HoldSkip(false);
        ASSERT_TRUE(RunUntil([&] { return g_mainTitle && g_mainTitle->State == 2; }));
    }
    // From boot to the first frame of play in a contest against the select's
    // card `card` (the opponent card − 1), every card open.
    void ToContestAgainst(int card) {
        g_config[config::kScriptFlags + 3] = 1; // the contest is open
        for (std::size_t k = 0; k < 6; ++k)
            g_config[config::kContestBeaten + k] = 1;
        ToMainTitle();
        ClickAt(650, 430); // "mini-games"
        ASSERT_TRUE(RunUntil([&] { return g_miniGameChooser && g_miniGameChooser->State == 2; }));
        ClickAt(500, 450); // the contest
        HoldSkip(true);
        ASSERT_TRUE(RunUntil([&] { return g_rusTitle && g_rusTitle->State == 10; }));
        HoldSkip(false);
        ClickAt(400, 417); // the select
        ASSERT_TRUE(RunUntil([&] { return g_rusSelect && g_rusSelect->State == 2; }));
        const int x = card % 2 == 1 ? 420 : 665, y = 110 + 180 * ((card - 1) / 2);
        MoveTo(x, y);
        Frames(2);
        ClickAt(x, y);
        ASSERT_TRUE(RunUntil(
            [&] {
                if (InMode(3) && g_scenario->subState == 3) ClickAt(300, 300);
                return InMode(66);
            },
            5000));
        HoldSkip(true);
        ASSERT_TRUE(RunUntil([&] { return g_rusGame && g_rusGame->Contest.SubStep == 4; }));
        HoldSkip(false);
        ASSERT_TRUE(RunUntil([&] { return g_rusGame->Contest.State == rus::RusState::Play; }));
        ASSERT_EQ(g_rusGame->Contest.Opponent, card - 1);
    }
    // The opponent, her gauges full and two plates served, fires a special;
    // pictures of it at `shot` and `shot` + 1, and of play after it.
    void OpponentFires(int shot) {
        CRusContest& c = g_rusGame->Contest;
        c.OpponentGauge1 = c.OpponentGauge2 = 10;
        c.OpponentGauge1Full = c.OpponentGauge2Full = 1;
        c.OpponentPlates = 2;
        ASSERT_TRUE(RunUntil([&] { return c.State == rus::RusState::OpponentCutIn; }));
        const std::string name = "-contest-opponent-" + std::to_string(c.Opponent) + "-special-" +
                                 std::to_string(c.OpponentSpecial + 1);
        // Pictures of her pictures over the band, and of what follows them.
        ASSERT_TRUE(RunUntil([&] { return c.CutInStep == 1; }, 3000));
        Shot(std::to_string(shot) + name);
        const int band = c.CutInPhase;
        ASSERT_TRUE(RunUntil([&] { return c.CutInPhase > band; }, 4000));
        Frames(20);
        Shot(std::to_string(shot + 1) + name);
        ASSERT_TRUE(RunUntil([&] { return c.State == rus::RusState::Play; }, 4000));
        // Her price out of the two plates: one or two, both for opponent 3's
        // first variant, none for opponent 5's, which takes the player's.
        const bool first = c.OpponentSpecial == 0;
        const int price = !first || c.Opponent == 3 ? 2 : c.Opponent == 5 ? 0 : 1;
        EXPECT_EQ(c.OpponentPlates, 2 - price);
        Frames(2);
        Shot(std::to_string(shot + 2) + name + "-after");
    }
    void ToStoryChooser() {
        ToMainTitle();
        ClickAt(600, 390); // "story"
        ASSERT_TRUE(RunUntil([&] { return g_storyChooser && g_storyChooser->State == 2; }));
    }
    void RightClickAt(int x, int y) {
        hl::PushButton(MouseButton::Right, true, x, y);
        Frames(1);
        hl::PushButton(MouseButton::Right, false, x, y);
    }
    // Pages clicked on until the story stands in `mode` and `subState`.
    void PlayUntil(int mode, int subState) {
        ASSERT_TRUE(RunUntil([&] {
            if (InMode(3) && g_scenario->subState == 3) ClickAt(300, 300);
            return InMode(mode) && g_scenario->subState == subState;
        }));
    }
    // From the story through the menu's save entry into slot `slot`, and back.
    void SaveInto(int slot, int mode) {
        RightClickAt(50, 50);
        ASSERT_TRUE(RunUntil([&] { return g_systemMenu && g_systemMenu->state == 4; }));
        ClickAt(760, 210);
        ASSERT_TRUE(RunUntil([&] { return g_saveScreen && g_saveScreen->state == 3; }));
        ClickAt(200, 130 + 103 * slot);
        ASSERT_TRUE(RunUntil([&] { return g_saveScreen->state == 8; }));
        ClickAt(340, 370);
        ASSERT_TRUE(RunUntil([&] { return g_saveScreen->state == 3; }));
        RightClickAt(50, 50);
        ASSERT_TRUE(RunUntil([&] { return InMode(mode); }));
    }
    // The load screen's slot `slot`, yes.
    void LoadFrom(int slot) {
        ASSERT_TRUE(RunUntil([&] { return g_loadScreen && g_loadScreen->state == 3; }));
        ClickAt(200, 130 + 103 * slot);
        ASSERT_TRUE(RunUntil([&] { return g_loadScreen->state == 8; }));
        ClickAt(340, 370);
    }
    // Quit and start the program again in the same folder.
    void Restart() {
        OnDestroy();
        ASSERT_TRUE(platform::CreateMainWindow(g_windowTitle));
        OnCreate(platform::WindowHandle::Main);
    }
    // The first story's title, its start item or its load item.
    void FromTheFirstTitle(int x, int y) {
        ToStoryChooser();
        ClickAt(500, 100);
        ASSERT_TRUE(RunUntil([&] { return TitleState(0) == 2; }));
        ClickAt(x, y);
    }

    // Clicks through a story until it ends at the main title; notes what it met.
    struct StoryRun {
        int pages = 0;
        int choices = 0;
        bool voice = false;
        bool music = false;
        bool dayLogo = false;
        bool eyeCatch = false;
        bool staffRoll = false;
        // A movie: how long it held its mode, whether its pictures reached the
        // window, and the loudest of 50 ms of what the mixer played meanwhile.
        std::uint32_t movieFrom = 0;
        std::uint32_t movieMs = 0;
        bool moviePictured = false;
        int movieLoudest = 0;
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
            // An ending's staff roll, pictured with its credits in the window.
            if (g_staffRoll2 && g_staffRoll2->State == 2 && g_staffRoll2->Elapsed > 20000 &&
                !run.staffRoll) {
                run.staffRoll = true;
                Shot(shotPrefix + "-staff-roll");
            }
            if (InMode(24) || InMode(50)) {
                const std::uint32_t now = platform::TimeGetTime();
                if (run.movieMs == 0 && run.movieFrom == 0) run.movieFrom = now;
                run.movieMs = now - run.movieFrom;
                if (run.movieMs > 2500 && !run.moviePictured) {
                    const std::vector<std::uint32_t>& shown = hl::LastFrame();
                    run.moviePictured = std::any_of(shown.begin(), shown.end(),
                                                    [](std::uint32_t p) { return p != 0; });
                    Shot(shotPrefix + "-movie", shown);
                    // The mixer, held still for a moment, plays what it has.
                    hl::SetAudioRecording(true);
                    for (std::int16_t v : hl::MixAudio(2205))
                        run.movieLoudest = std::max(run.movieLoudest, std::abs(int{v}));
                    hl::SetAudioRecording(false);
                }
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
    // The first story opens with the opening movie, the third ends with the
    // credits: each plays its five seconds with pictures and sound.
    if (story != 1) {
        EXPECT_TRUE(Contains(modes_, {2, story == 0 ? 24 : 50, 2}));
        EXPECT_GE(run.movieMs, 4500u);
        EXPECT_TRUE(run.moviePictured);
        EXPECT_GT(run.movieLoudest, 1000);
    }
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

// The first story goes on into a scene and its ending: the scene opens in
// the replay, the ending's song in the music room. The extras open at the
// gallery (mode 15); its replay tab leads on, and where the gallery is not
// built the test sets that mode itself.
class ExtrasPlaythrough : public PlaythroughTest {
protected:
    void OpenExtras() {
        ASSERT_TRUE(RunUntil([&] { return g_mainTitle && g_mainTitle->State == 2; }));
        ClickAt(580, 505); // "extras"
        ASSERT_TRUE(RunUntil([&] { return InMode(15); }));
        g_gameApp->mode = 14;
        ASSERT_TRUE(RunUntil([&] { return g_sceneReplay && g_sceneReplay->State == 2; }));
    }
    void ToMusicRoomPage2() {
        ClickAt(200, 90);
        ASSERT_TRUE(RunUntil([&] { return g_musicRoom && g_musicRoom->State == 2; }));
        ClickAt(690, 33);
        ASSERT_EQ(g_musicRoom->Page, 1);
        MoveTo(410, 291); // row 12 of page 2: track 30, the ending's song
        Frames(2);
    }
};

TEST_F(ExtrasPlaythrough, StoryUnlocksASceneATrackAndAnEndingLockedInAFreshGame) {
    Start();
    ToMainTitle();
    OpenExtras();
    MoveTo(150, 160);
    Frames(2);
    EXPECT_EQ(g_sceneReplay->HoverCell, 0);
    Shot("30-replay-locked");
    ToMusicRoomPage2();
    EXPECT_EQ(g_musicRoom->HoverRow, 0);
    Shot("31-music-room-locked");
    hl::PushButton(MouseButton::Right, true, 410, 291);
    Frames(1);
    hl::PushButton(MouseButton::Right, false, 410, 291);
    ASSERT_TRUE(RunUntil([&] { return InMode(1) && g_mainTitle && g_mainTitle->State == 2; }));

    ClickAt(600, 390);
    ASSERT_TRUE(RunUntil([&] { return g_storyChooser && g_storyChooser->State == 2; }));
    ClickAt(500, 100);
    ASSERT_TRUE(RunUntil([&] { return TitleState(0) == 2; }));
    ClickAt(377, 417);
    const StoryRun run = PlayStory("extras-story", 0);
    ASSERT_TRUE(InMode(1)) << ModesSeen();
    EXPECT_TRUE(run.staffRoll);
    EXPECT_TRUE(Contains(modes_, {2, 28, 2, 1}));
    EXPECT_EQ(g_config[config::kSceneSeen + 0], 1);
    EXPECT_EQ(g_config[config::kScriptFlags + 0], 1);
    EXPECT_TRUE(hl::Questions().empty());
    EXPECT_EQ(Log().find("cannot load"), std::string::npos);
}

TEST_F(ExtrasPlaythrough, ReplayPlaysTheUnlockedSceneAndTheMusicRoomItsEndingsSong) {
    Start();
    // What the first story's scene and ending leave in the settings.
    g_config[config::kSceneSeen + 0] = 1;
    g_config[config::kScriptFlags + 0] = 1;
    ToMainTitle();
    OpenExtras();
    Shot("32-replay-room");
    const std::size_t before = modes_.size();
    ClickAt(150, 160);
    ASSERT_TRUE(RunUntil([&] { return InMode(2); }));
    EXPECT_EQ(g_scenario->playContext, 1);
    g_config[config::kSceneSeen + 0] = 0; // the scene's end sets it again
    bool pictured = false;
    for (int step = 0; step < 5000 && !InMode(14) && !stalled_; ++step) {
        if (InMode(3) && g_scenario->subState == 3) {
            if (!pictured) Shot("33-replay-scene");
            pictured = true;
            ClickAt(300, 300);
        } else {
            Frames(1);
        }
    }
    ASSERT_TRUE(RunUntil([&] { return g_sceneReplay && g_sceneReplay->State == 2; }));
    EXPECT_TRUE(pictured);
    // The scene's end came back here: the ending past it is for the story.
    EXPECT_EQ(std::count(modes_.begin() + static_cast<std::ptrdiff_t>(before), modes_.end(), 28),
              0);
    EXPECT_EQ(g_config[config::kSceneSeen + 0], 1);

    ToMusicRoomPage2();
    EXPECT_EQ(g_musicRoom->HoverRow, 13);
    ClickAt(410, 291);
    EXPECT_EQ(g_musicRoom->CurrentTrack, 30);
    ASSERT_NE(g_bgmChannel, nullptr);
    EXPECT_STREQ(g_scenario->bgmName.get(), "bgm\\c027.ogg");
    Shot("34-music-room");
    EXPECT_TRUE(hl::Questions().empty());
    EXPECT_EQ(Log().find("cannot load"), std::string::npos);
}

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
    // Read through the const side, so the paints still compare only what was drawn.
    auto bits = [] { return std::as_const(*g_backBuffer).GetBits(); };
    std::vector<std::uint32_t> before(bits(), bits() + 800 * 600);
    int changed = 0;
    for (int frame = 0; frame < limit && !done(); ++frame) {
        const std::uint64_t presented = hl::PresentCount(), shown = hl::ShownCount();
        while (hl::PresentCount() == presented)
            pump();
        hl::AdvanceClock(1);
        const std::uint32_t* now = bits();
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
    ClickAt(400, 250); // return to the title, asked again with the menu's pictures
    ASSERT_TRUE(RunUntil([&] {
        return g_systemMenu && g_systemMenu->state == 17 &&
               platform::TimeGetTime() - g_systemMenu->stateTime > 150;
    }));
    Shot("33-system-menu-return-dropping-in");
    MoveTo(337, 307);
    ASSERT_TRUE(RunUntil([&] { return g_systemMenu && g_systemMenu->answer == 1; }));
    Shot("34-system-menu-return-yes-lit");
    ClickAt(337, 307);
    ASSERT_TRUE(RunUntil([&] { return InMode(1); }));
    EXPECT_TRUE(hl::Questions().empty());
    for (std::size_t c = 1; c < g_seChannels.size(); ++c)
        EXPECT_EQ(g_seChannels[c], nullptr) << c;
    EXPECT_TRUE(Contains(modes_, {3, 8, 9, 3, 8, 1}));
    EXPECT_EQ(Log().find("cannot load"), std::string::npos);

    // The next start reads the confirmed volume back.
    g_config[config::kBgmVolume] = 0;
    LoadConfig();
    EXPECT_EQ(g_config[config::kBgmVolume], 31);
}

TEST_F(PlaythroughTest, MenuExitQuitIsAskedAgainNoGoesOnYesQuits) {
    Start();
    ResetStory(platform::WindowHandle::Main);
    g_scenario->saveGroup = 0;
    screenkit::LeaveForStory("start.s", 0);
    // The menu's exit, its quit, and the question once it has dropped in.
    const auto toQuestion = [&] {
        ASSERT_TRUE(RunUntil([&] { return InMode(3) && g_scenario->subState == 3; }));
        hl::PushButton(MouseButton::Right, true, 300, 300);
        Frames(1);
        hl::PushButton(MouseButton::Right, false, 300, 300);
        ASSERT_TRUE(RunUntil([&] { return g_systemMenu && g_systemMenu->state == 4; }));
        ClickAt(769, 360);
        ASSERT_TRUE(RunUntil([&] { return g_systemMenu->state == 13; }));
        ClickAt(400, 300);
        ASSERT_TRUE(RunUntil([&] { return g_systemMenu && g_systemMenu->state == 18; }));
    };
    toQuestion();
    ClickAt(447, 307); // no: back to the story
    toQuestion();
    ClickAt(337, 307);
    ASSERT_TRUE(RunUntil([&] { return quit_; }));
    EXPECT_TRUE(hl::Questions().empty());
    EXPECT_TRUE(Contains(modes_, {3, 8, 3, 8}));
}

TEST_F(PlaythroughTest, SaveWithACommentQuitStartAgainAndLoadTheSamePage) {
    Start();
    ResetStory(platform::WindowHandle::Main);
    g_scenario->saveGroup = 0;
    screenkit::LeaveForStory("start.s", 0);
    const auto waiting = [&] { return InMode(3) && g_scenario->subState == 3; };
    ASSERT_TRUE(RunUntil(waiting));
    ClickAt(300, 300);
    ASSERT_TRUE(RunUntil([&] { return waiting() && g_gameApp->logCount >= 2; }));
    const std::string message = g_scenario->messageText.data();
    const std::string speaker = g_scenario->speakerName ? g_scenario->speakerName.get() : "";
    ASSERT_FALSE(speaker.empty());
    const NameString music = g_gameApp->bgmName;
    const NameString picture = g_gameApp->surfaceNames[1];
    ASSERT_NE(music[0], 0);
    const std::vector<std::uint32_t> screen(g_backBuffer->GetBits(),
                                            g_backBuffer->GetBits() + 800 * 600);
    Shot("40-story-second-page");

    // The menu's save entry, the first slot, a comment typed in Chinese, yes.
    hl::PushButton(MouseButton::Right, true, 300, 300);
    Frames(1);
    hl::PushButton(MouseButton::Right, false, 300, 300);
    ASSERT_TRUE(RunUntil([&] { return g_systemMenu && g_systemMenu->state == 4; }));
    ClickAt(760, 210);
    ASSERT_TRUE(RunUntil([&] { return g_saveScreen && g_saveScreen->state == 3; }));
    Shot("41-save-screen");
    ClickAt(200, 130);
    ASSERT_TRUE(RunUntil([&] { return g_saveScreen->state == 8; }));
    const std::string typed = "\xBA\xA3\xB1\xDF\xB5\xC4\xD4\xBC\xB6\xA8"; // 海边的约定
    hl::QueueText(typed);
    ClickAt(400, 334);
    Shot("42-save-box-comment");
    ClickAt(340, 370);
    ASSERT_TRUE(RunUntil([&] { return g_saveScreen->state == 3; }));
    Shot("43-save-screen-saved");
    const auto file = testing_support::ReadFile("save/savefile0000.sav");
    ASSERT_EQ(file.size(), save::kRecordSize);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(file.data()) + save::kComment), typed);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(file.data()) + save::kSpeakerName),
              speaker);
    hl::PushButton(MouseButton::Right, true, 300, 300);
    Frames(1);
    hl::PushButton(MouseButton::Right, false, 300, 300);
    ASSERT_TRUE(RunUntil(waiting));

    // Quit, start again, and load from the first story's title.
    OnDestroy();
    ASSERT_TRUE(platform::CreateMainWindow(g_windowTitle));
    OnCreate(platform::WindowHandle::Main);
    ToStoryChooser();
    ClickAt(500, 100);
    ASSERT_TRUE(RunUntil([&] { return TitleState(0) == 2; }));
    ClickAt(400, 448);
    ASSERT_TRUE(RunUntil([&] { return g_loadScreen && g_loadScreen->state == 3; }));
    Shot("44-load-screen");
    EXPECT_EQ(save::GetComment(g_loadScreen->Cache()[0]), typed);
    ClickAt(200, 130);
    ASSERT_TRUE(RunUntil([&] { return g_loadScreen->state == 8; }));
    Shot("45-load-box");
    ClickAt(340, 370);
    ASSERT_TRUE(RunUntil(waiting));
    Shot("46-loaded");
    EXPECT_EQ(g_scenario->messageText.data(), message);
    EXPECT_EQ(g_gameApp->bgmName, music);
    EXPECT_NE(g_bgmChannel, nullptr);
    EXPECT_EQ(g_gameApp->surfaceNames[1], picture);
    EXPECT_EQ(g_gameApp->logNames[g_gameApp->logCount - 1].data(), speaker);
    // Sprite layers have no place in the save record: the demo's orb (80 x 80
    // at (660, 40)) comes back only when the story sets its layers again.
    std::size_t differing = 0;
    for (std::size_t i = 0; i < screen.size(); ++i) {
        const int x = static_cast<int>(i % 800), y = static_cast<int>(i / 800);
        const bool orb = x >= 660 && x < 740 && y >= 40 && y < 120;
        differing += !orb && (g_backBuffer->GetBits()[i] & 0xFFFFFF) != (screen[i] & 0xFFFFFF);
    }
    EXPECT_EQ(differing, 0u);
    EXPECT_TRUE(Contains(modes_, {58, 11, 3}));
    EXPECT_EQ(Log().find("cannot load"), std::string::npos);
}

// Saves made at a choice (return mode 17) and at the end of a full page
// (mode 55) load again after a restart: the choice offers its options over
// the question once more, the page shows its text as it stood. The full page
// is a short story of the test's own over the demo's pictures: the demo
// stories keep to the bottom window.
TEST_F(PlaythroughTest, SaveAtAChoiceAndAtAPageEndQuitStartAgainAndLoadBoth) {
    Start();
    WriteStory("page.s", 1, {"第一页的第一句。", "翻页之前。\\xA1\\xFD", "第二页。"});
    const auto screen = [] {
        return std::vector<std::uint32_t>(g_backBuffer->GetBits(),
                                          g_backBuffer->GetBits() + 800 * 600);
    };
    // Pixels that differ from `before` from column `left` on, leaving out
    // the demo's orb at (660, 40), 80 x 80 (a sprite layer, which a save
    // does not keep), and the day's strips at (6, 16), which the restore
    // draws on every picture it loads again and the story's load_image did not.
    const auto differing = [&](const std::vector<std::uint32_t>& before, int left) {
        std::size_t n = 0;
        for (std::size_t i = 0; i < before.size(); ++i) {
            const int x = static_cast<int>(i % 800), y = static_cast<int>(i / 800);
            const bool orb = x >= 660 && x < 740 && y >= 40 && y < 120;
            const bool day = x < 176 && y < 60;
            n += x >= left && !orb && !day &&
                 (g_backBuffer->GetBits()[i] & 0xFFFFFF) != (before[i] & 0xFFFFFF);
        }
        return n;
    };
    const auto rightClick = [&] { RightClickAt(50, 50); };
    const auto playUntil = [&](int mode, int subState) { PlayUntil(mode, subState); };
    const auto saveInto = [&](int slot, int mode) { SaveInto(slot, mode); };
    const auto loadFrom = [&](int slot) { LoadFrom(slot); };
    const auto restart = [&] {
        Restart();
        ResetStory(platform::WindowHandle::Main);
        g_scenario->saveGroup = 0;
    };

    ResetStory(platform::WindowHandle::Main);
    g_scenario->saveGroup = 0;
    screenkit::LeaveForStory("b0.s", 0);
    playUntil(17, 1);
    MoveTo(50, 50); // off the plates, whose sparkles move
    Frames(3);
    const auto choice = screen();
    const std::string question = g_scenario->messageText.data();
    saveInto(0, 17);
    EXPECT_EQ(testing_support::ReadFile("save/savefile0000.sav")[save::kReturnMode], 17);

    restart();
    screenkit::LeaveForStory("page.s", 0);
    playUntil(55, 3);
    // While the page waits at its mark, the columns left of the last message
    // lie under the window picture once more; a load resumes past the mark,
    // where they do not.
    const int lastColumn = g_scenario->columnStartX;
    const auto page = screen();
    saveInto(1, 55);

    // Quit, start again, and load the choice from the first story's title.
    restart();
    ToStoryChooser();
    ClickAt(500, 100);
    ASSERT_TRUE(RunUntil([&] { return TitleState(0) == 2; }));
    ClickAt(400, 448);
    loadFrom(0);
    MoveTo(50, 50);
    ASSERT_TRUE(RunUntil([&] { return InMode(17) && g_scenario->subState == 1; }, 3000));
    Frames(3);
    Shot("47-loaded-at-a-choice");
    EXPECT_EQ(g_scenario->choiceCount, 2);
    EXPECT_EQ(g_scenario->messageText.data(), question);
    EXPECT_EQ(differing(choice, 0), 0u);

    // The menu's load entry, the page end.
    rightClick();
    ASSERT_TRUE(RunUntil([&] { return g_systemMenu && g_systemMenu->state == 4; }));
    ClickAt(760, 249);
    loadFrom(1);
    ASSERT_TRUE(RunUntil([&] { return g_loadScreen && g_loadScreen->state == 13; }));
    Shot("48-loaded-at-a-page-end");
    EXPECT_EQ(differing(page, lastColumn), 0u);
    // The story goes on with the next message on the same page.
    ASSERT_TRUE(RunUntil([&] { return InMode(3) && g_scenario->subState == 3; }, 3000));
    EXPECT_STREQ(g_scenario->messageBuffer.get(), "\xB5\xDA\xB6\xFE\xD2\xB3\xA1\xA3");
    EXPECT_EQ(Log().find("cannot load"), std::string::npos);
}

// The first story's first choice, met by a newcomer from its title, is saved
// through the menu and loaded again after a restart, and the scene around it
// looks as it did: the opening script hands over to the story before its
// choice.
TEST_F(PlaythroughTest, TheFirstStorysFirstChoiceIsSavedAndLoadedAgain) {
    Start();
    FromTheFirstTitle(377, 417);
    PlayUntil(17, 1);
    const std::string question = g_scenario->messageText.data();
    // The scene around the option plates and above the message window: what
    // a load must show as it was, the orb at rest in the sky and no day label.
    const auto scene = [] {
        std::vector<std::uint32_t> out;
        for (int y = 0; y < 461; ++y)
            for (int x = 0; x < 800; ++x)
                if (x < 150 || x >= 666 || y < 140 || y >= 404)
                    out.push_back(g_backBuffer->GetPixel(x, y) & 0xFFFFFF);
        return out;
    };
    const std::vector<std::uint32_t> saved = scene();
    Shot("125-first-choice-saved");
    SaveInto(0, 17);
    EXPECT_EQ(testing_support::ReadFile("save/savefile0000.sav")[save::kReturnMode], 17);

    Restart();
    FromTheFirstTitle(400, 448);
    LoadFrom(0);
    ASSERT_TRUE(RunUntil([&] { return InMode(17) && g_scenario->subState == 1; }, 3000));
    Shot("126-first-choice-loaded");
    const std::vector<std::uint32_t> loaded = scene();
    ASSERT_EQ(loaded.size(), saved.size());
    std::size_t differing = 0;
    for (std::size_t i = 0; i < saved.size(); ++i)
        if (loaded[i] != saved[i] && differing++ < 5)
            ADD_FAILURE() << "scene pixel " << i << " is " << std::hex << loaded[i] << ", was "
                          << saved[i];
    EXPECT_EQ(differing, 0u);
    EXPECT_EQ(g_scenario->choiceCount, 3);
    EXPECT_EQ(g_scenario->messageText.data(), question);
    EXPECT_TRUE(Contains(modes_, {17, 8, 10}));
    EXPECT_EQ(Log().find("cannot load"), std::string::npos);
}

// A choice in the opening script "start.s" reaches neither the menu (right
// click) nor the history (middle button, Left key): a script of the test's
// own stands in that name.
TEST_F(PlaythroughTest, AChoiceOfTheOpeningScriptOpensNoMenuAndNoHistory) {
    Start([] {
        std::string error;
        ASSERT_TRUE(nvasm::WriteScriptFile("script/start.s", R"(
load_image surface=1 text="bg_s01.bmp"
mask_wipe type=39 ms=0
message text="开场的问题？"
clear_choices
add_choice target=one text="一"
add_choice target=two text="二"
choice point=0
one:
two:
end
)",
                                           error))
            << error;
    });
    FromTheFirstTitle(377, 417);
    PlayUntil(17, 1);
    RightClickAt(300, 300);
    hl::PushButton(MouseButton::Middle, true, 300, 300);
    Frames(1);
    hl::PushButton(MouseButton::Middle, false, 300, 300);
    hl::PushKey(platform::Key::Left, true);
    Frames(2);
    hl::PushKey(platform::Key::Left, false);
    Frames(20);
    EXPECT_TRUE(InMode(17));
    EXPECT_EQ(g_systemMenu, nullptr);
    EXPECT_EQ(g_backlogScreen, nullptr);
    EXPECT_EQ(modes_.back(), 17);
}

// A caption band after a transition (which puts the window away): a click on
// a window button's place acts as that button. The hide button's takes the
// band away and a click brings it back; then a left click elsewhere, with
// auto off and no right click before it, moves the story on by itself. The
// auto button's turns auto on, a click elsewhere is not left waiting for
// ever, and once auto is ended a click moves the story on again. The
// captions are a short story of the test's own: the demo stories keep to
// the bottom window.
TEST_F(PlaythroughTest, ACaptionsButtonPlacesActAndLaterClicksMoveTheStoryOn) {
    Start();
    WriteStory("caption.s", 2, {"第一行字幕。", "第二行字幕。", "第三行字幕。", "第四行字幕。"});
    const auto captionWaits = [&](const char* gbk) {
        return InMode(3) && g_scenario->subState == 3 &&
               std::string_view(g_scenario->messageBuffer.get()) == gbk;
    };
    const char kFirst[] = "\xB5\xDA\xD2\xBB\xD0\xD0\xD7\xD6\xC4\xBB\xA1\xA3";
    const char kSecond[] = "\xB5\xDA\xB6\xFE\xD0\xD0\xD7\xD6\xC4\xBB\xA1\xA3";
    const char kThird[] = "\xB5\xDA\xC8\xFD\xD0\xD0\xD7\xD6\xC4\xBB\xA1\xA3";
    const char kFourth[] = "\xB5\xDA\xCB\xC4\xD0\xD0\xD7\xD6\xC4\xBB\xA1\xA3";

    ResetStory(platform::WindowHandle::Main);
    screenkit::LeaveForStory("caption.s", 0);
    ASSERT_TRUE(RunUntil([&] { return captionWaits(kFirst); }, 3000));
    ASSERT_EQ(g_scenario->messageStyle, 2);
    Shot("49-caption-band");
    ClickAt(786, 477); // the hide button's place
    EXPECT_EQ(g_scenario->windowHidden, 1);
    ClickAt(300, 300); // brings the band back
    EXPECT_EQ(g_scenario->windowHidden, 0);
    EXPECT_TRUE(captionWaits(kFirst));
    ClickAt(300, 300);
    ASSERT_TRUE(RunUntil([&] { return captionWaits(kSecond); }, 10));
    EXPECT_EQ(g_scenario->autoMode, 0);

    ClickAt(560, 475); // the auto button's place
    EXPECT_EQ(g_scenario->autoMode, 1);
    ClickAt(300, 300);
    // Auto goes on after 3000 - 30 * 50 = 1500 ms.
    ASSERT_TRUE(RunUntil([&] { return captionWaits(kThird); }, 400));
    hl::PushButton(MouseButton::Right, true, 300, 300);
    Frames(1);
    hl::PushButton(MouseButton::Right, false, 300, 300);
    Frames(1);
    EXPECT_EQ(g_scenario->autoMode, 0);
    ClickAt(300, 300);
    ASSERT_TRUE(RunUntil([&] { return captionWaits(kFourth); }, 10));
    ClickAt(300, 300);
    ASSERT_TRUE(RunUntil([&] { return InMode(1); }, 100));
    EXPECT_EQ(Log().find("cannot load"), std::string::npos);
}

// The contest's roads on the demo data: the mini-game chooser, the contest
// title and its rules pages, the select, an opponent's first story, the
// contest played with the mouse, a loss, the result and its story, the
// retry question, a second contest paused, then won, its result and story,
// and back at the contest title.
TEST_F(PlaythroughTest, ContestFromTheMiniGameChooserToResultsRetryAndBack) {
    Start();
    g_config[config::kScriptFlags + 3] = 1;   // the contest is open
    g_config[config::kContestBeaten + 0] = 1; // and its first opponent beaten
    ToMainTitle();
    ClickAt(650, 430); // "mini-games"
    ASSERT_TRUE(RunUntil([&] { return g_miniGameChooser && g_miniGameChooser->State == 2; }));
    ClickAt(500, 450); // the contest
    ASSERT_TRUE(RunUntil([&] { return g_rusTitle && g_rusTitle->State == 5; }));
    Frames(40);
    Shot("60-contest-title-intro");
    ASSERT_TRUE(RunUntil([&] { return g_rusTitle && g_rusTitle->State == 10; }));
    Shot("61-contest-title");
    ClickAt(400, 450); // the rules
    ASSERT_TRUE(RunUntil([&] { return g_rusRulesScreen && g_rusRulesScreen->State == 2; }));
    ClickAt(592 + 25 * 3 + 5, 25); // page 4
    Shot("62-contest-rules");
    ClickAt(700, 570); // close: back to a new title with its intro, hurried
    HoldSkip(true);
    ASSERT_TRUE(RunUntil([&] { return g_rusTitle && g_rusTitle->State == 10; }));
    HoldSkip(false);
    ClickAt(400, 417); // the select
    ASSERT_TRUE(RunUntil([&] { return g_rusSelect && g_rusSelect->State == 2; }));
    MoveTo(660, 100);
    Frames(2);
    Shot("63-contest-select");
    ClickAt(660, 100); // the second opponent, open after the first was beaten
    ASSERT_TRUE(RunUntil([&] { return InMode(2); }));
    EXPECT_STREQ(g_gameApp->scriptName.data(), "rus_kel_1.s");

    // Pages of a story until it sets `mode`.
    const auto story = [&](int mode, const std::string& shot) {
        bool pictured = false;
        return RunUntil(
            [&] {
                if (InMode(mode)) return true;
                if (InMode(3) && g_scenario->subState == 3) {
                    if (!pictured && !shot.empty()) Shot(shot);
                    pictured = true;
                    ClickAt(300, 300);
                }
                return false;
            },
            5000);
    };
    ASSERT_TRUE(story(66, "64-contest-story"));
    ASSERT_TRUE(RunUntil([&] { return g_rusGame && g_rusGame->Contest.SubStep == 5; }));
    Frames(30);
    Shot("65-contest-ready");
    ASSERT_TRUE(RunUntil([&] { return g_rusGame->Contest.State == rus::RusState::Play; }));

    // Played with the mouse until a ball was turned and one served; the
    // player's holes cook in half a second a stage so the road stays short.
    CRusContest& c = g_rusGame->Contest;
    c.PlayerHoleInterval.fill(500);
    rus_test::AutoPlayer player(4);
    bool poured = false, turned = false, serving = false;
    ASSERT_TRUE(RunUntil(
        [&] {
            if (!poured && std::ranges::count(c.PlayerStage, 1) >= 3) {
                poured = true;
                Shot("66-contest-pouring");
            }
            if (!turned && std::ranges::count(c.PlayerStage, 9) >= 1) {
                turned = true;
                Shot("67-contest-turning");
            }
            if (!serving && c.PlayerHeld == rus::kGoodBall) {
                serving = true;
                Shot("68-contest-serving");
            }
            if (serving) return true;
            const rus::PlayInput in = player.Next(c);
            if (in.click) {
                ClickAt(in.x, in.y);
            } else {
                MoveTo(in.x, in.y);
            }
            return false;
        },
        12000));
    // A ball left too long burns and costs life.
    c.PlayerStage[24] = 7;
    c.PlayerKind[24] = 1;
    c.PlayerHoleStamp[24] = platform::TimeGetTime() - c.PlayerHoleInterval[24];
    ASSERT_TRUE(RunUntil([&] { return c.PlayerStage[24] == 8; }));
    Frames(2);
    Shot("69-contest-burning");
    EXPECT_LT(c.PlayerLife, rus::kFullLife);

    // A loss: the banner, the result and the opponent's "_2" story, which
    // asks whether to play again.
    c.PlayerLife = 0;
    ASSERT_TRUE(RunUntil([&] { return c.SubStep == 4 && c.State == rus::RusState::Lose; }));
    Shot("70-contest-lost");
    ClickAt(400, 300);
    ASSERT_TRUE(RunUntil([&] { return g_rusResult && g_rusResult->State == 5; }));
    Shot("71-contest-result-lost");
    ClickAt(400, 300);
    ASSERT_TRUE(InMode(2));
    EXPECT_STREQ(g_gameApp->scriptName.data(), "rus_kel_2.s");
    ASSERT_TRUE(story(69, ""));
    ASSERT_TRUE(RunUntil([&] { return g_retryScreen && g_retryScreen->State == 2; }));
    MoveTo(240, 340);
    Frames(2);
    Shot("72-contest-retry");
    ClickAt(240, 340); // play again
    HoldSkip(true);
    ASSERT_TRUE(RunUntil([&] { return g_rusGame && g_rusGame->Contest.SubStep == 4; }));
    HoldSkip(false);
    ASSERT_TRUE(RunUntil([&] { return g_rusGame->Contest.State == rus::RusState::Play; }));
    EXPECT_EQ(g_rusGame->Contest.Opponent, 1);

    // The second contest: paused, resumed, then won.
    ClickAt(400, 60);
    ASSERT_TRUE(RunUntil([&] { return g_rusGame->Contest.SubStep == 2; }));
    MoveTo(380, 328);
    Frames(2);
    Shot("73-contest-pause");
    ClickAt(460, 328); // no
    ASSERT_EQ(g_rusGame->Contest.State, rus::RusState::Play);
    g_rusGame->Contest.OpponentLife = 0;
    ASSERT_TRUE(RunUntil([&] { return g_rusGame->Contest.SubStep == 5; }));
    Shot("74-contest-won");
    ClickAt(400, 300);
    ASSERT_TRUE(RunUntil([&] { return g_rusResult && g_rusResult->State == 5; }));
    Shot("75-contest-result-won");
    ClickAt(400, 300);
    EXPECT_STREQ(g_gameApp->scriptName.data(), "rus_kel_3.s");
    EXPECT_EQ(g_gameApp->opponentIndex, 2);
    EXPECT_EQ(g_config[config::kContestBeaten + 1], 1);
    ASSERT_TRUE(story(65, ""));
    HoldSkip(true);
    ASSERT_TRUE(RunUntil([&] { return g_rusTitle && g_rusTitle->State == 10; }));
    HoldSkip(false);

    EXPECT_TRUE(Contains(modes_, {1, 57, 65, 71, 65, 68, 2}));
    EXPECT_TRUE(Contains(modes_, {66, 67, 2}));
    EXPECT_TRUE(Contains(modes_, {69, 66, 67, 2}));
    EXPECT_EQ(modes_.back(), 65);
    EXPECT_TRUE(hl::Questions().empty());
    EXPECT_EQ(Log().find("cannot load"), std::string::npos) << Log();
}

// Specials on the demo data: a contest against the first opponent, who fires
// a special once her gauges are full and she has served two plates; then
// the player's special 1 and special 2, whose reel a click stops.
TEST_F(PlaythroughTest, ContestSpecialsOfBothSidesPlayTheirCutIns) {
    Start();
    ToContestAgainst(1);
    CRusContest& c = g_rusGame->Contest;

    const auto inPhase = [&](rus::RusState state, int phase, std::uint32_t ms) {
        return RunUntil([&] {
            return c.State == state && c.CutInPhase == phase &&
                   platform::TimeGetTime() - c.StartTime >= ms;
        });
    };
    // Her gauges full and two plates served: she fires a special of her own.
    c.OpponentGauge1 = c.OpponentGauge2 = 10;
    c.OpponentGauge1Full = c.OpponentGauge2Full = 1;
    c.OpponentPlates = 2;
    ASSERT_TRUE(RunUntil([&] { return c.State == rus::RusState::OpponentCutIn; }));
    const bool first = c.OpponentSpecial == 0;
    ASSERT_TRUE(inPhase(rus::RusState::OpponentCutIn, first ? 2 : 3, 300));
    Shot("100-contest-opponent-special-band");
    ASSERT_TRUE(inPhase(rus::RusState::OpponentCutIn, first ? 4 : 7, 150));
    Shot("101-contest-opponent-special-flash");
    ASSERT_TRUE(inPhase(rus::RusState::OpponentCutIn, first ? 8 : 16, 300));
    Shot("102-contest-opponent-special-hit");
    ASSERT_TRUE(RunUntil([&] { return c.State == rus::RusState::Play; }));
    EXPECT_LT(c.PlayerLife, rus::kFullLife);
    EXPECT_EQ(c.OpponentPlates, first ? 1 : 0);
    Frames(2);
    Shot("103-contest-after-opponent-special");

    // The player's special 1, lit under the mouse, then clicked.
    c.PlayerGauge1 = c.PlayerGauge2 = 10;
    c.PlayerGauge1Full = c.PlayerGauge2Full = 1;
    c.PlayerPlates = 3;
    MoveTo(100, 138);
    Frames(2);
    Shot("104-contest-special-1-lit");
    ClickAt(100, 138);
    ASSERT_TRUE(inPhase(rus::RusState::PlayerCutIn, 2, 1800));
    Shot("105-contest-special-1-band");
    ASSERT_TRUE(inPhase(rus::RusState::PlayerCutIn, 4, 1000));
    Shot("106-contest-special-1-wipe");
    ASSERT_TRUE(inPhase(rus::RusState::PlayerCutIn, 6, 300));
    Shot("107-contest-special-1-hit");
    ASSERT_TRUE(RunUntil([&] { return c.State == rus::RusState::Play; }));
    EXPECT_LT(c.OpponentLife, rus::kFullLife);
    EXPECT_EQ(c.NoBurn, rus::kEffectActive);
    Frames(2);
    Shot("108-contest-no-burn");

    // Special 2: its reel spins until a click stops it.
    c.PlayerGauge2 = 10;
    c.PlayerGauge2Full = 1;
    ClickAt(296, 138);
    ASSERT_EQ(c.PlayerSpecial, 1);
    ASSERT_TRUE(inPhase(rus::RusState::PlayerCutIn, 4, 500));
    Shot("109-contest-special-2-reel");
    ClickAt(400, 300);
    ASSERT_TRUE(RunUntil([&] { return c.State == rus::RusState::Play; }));
    EXPECT_EQ(c.PlayerPlates, 0);
    EXPECT_TRUE(hl::Questions().empty());
    EXPECT_EQ(Log().find("cannot load"), std::string::npos) << Log();
}

// The second and third opponents' specials in a contest of their own: what
// each leaves on the player's side.
TEST_F(PlaythroughTest, ContestSecondOpponentFiresHerSpecial) {
    Start();
    ToContestAgainst(2);
    CRusContest& c = g_rusGame->Contest;
    OpponentFires(110);
    EXPECT_TRUE(c.DoubleBurnCost || c.OpponentImmune);
    EXPECT_LT(c.PlayerLife, rus::kFullLife);
    EXPECT_TRUE(hl::Questions().empty());
    EXPECT_EQ(Log().find("cannot load"), std::string::npos) << Log();
}

TEST_F(PlaythroughTest, ContestThirdOpponentHealsOrBombs) {
    Start();
    ToContestAgainst(3);
    CRusContest& c = g_rusGame->Contest;
    c.OpponentLife = 150;
    c.PlayerPlates = 2;
    OpponentFires(113);
    // Her first special heals her and takes a plate; her second bombs.
    if (c.PlayerHolesCovered == 0) {
        EXPECT_EQ(c.OpponentLife, 180);
        EXPECT_EQ(c.PlayerPlates, 1);
    } else {
        EXPECT_LE(c.PlayerLife, rus::kFullLife - 50);
    }
    EXPECT_EQ(Log().find("cannot load"), std::string::npos) << Log();
}

// The last three opponents fire their specials in ./play too; what each
// leaves of the player's side is the cut-in tests' matter.
class ContestOpponentSpecial : public PlaythroughTest, public testing::WithParamInterface<int> {};

TEST_P(ContestOpponentSpecial, PlaysItsCutInAndResumes) {
    Start();
    const int card = GetParam();
    ToContestAgainst(card);
    CRusContest& c = g_rusGame->Contest;
    c.PlayerPlates = 2;
    OpponentFires(116 + 3 * (card - 4));
    EXPECT_TRUE(c.PlayerLife < rus::kFullLife || c.PlayerMarkersHidden || c.PlayerPlates < 2);
    EXPECT_EQ(Log().find("cannot load"), std::string::npos) << Log();
}

INSTANTIATE_TEST_SUITE_P(LastThree, ContestOpponentSpecial, testing::Values(4, 5, 6));

TEST_F(PlaythroughTest, MahjongRoadFromTheChooserToTheHeroinesFirstScript) {
    // A stand-in for heroine 1's first script, which marks that it ran.
    Start([] {
        std::string error;
        ASSERT_TRUE(
            nvasm::WriteScriptFile("script/kof_dor_1.s", "set_var var=9 value=42\nend", error))
            << error;
    });
    ToMainTitle();
    ClickAt(600, 430); // "mini-games"
    ASSERT_TRUE(
        RunUntil([&] { return InMode(57) && g_miniGameChooser && g_miniGameChooser->State == 2; }));
    ClickAt(500, 150); // the mahjong panel
    ASSERT_TRUE(RunUntil([&] { return g_mahjongTitle && g_mahjongTitle->State == 7; }));
    EXPECT_NE(g_voiceChannels[0], nullptr); // a heroine's title call
    EXPECT_NE(g_bgmChannel, nullptr);
    Shot("80-mahjong-title");
    MoveTo(400, 398);
    Frames(2);
    Shot("81-mahjong-title-lit");
    ClickAt(400, 359); // start
    ASSERT_TRUE(RunUntil([&] { return g_kofOpening && g_kofOpening->State == 4; }));
    Shot("82-mahjong-opening");
    // The rest of the opening hurried by the skip-effects setting.
    g_scenario->skipEffects = 1;
    ASSERT_TRUE(RunUntil([&] { return g_kofOpening && g_kofOpening->State == 9; }));
    g_scenario->skipEffects = 0;
    Frames(1);
    Shot("83-mahjong-opening-closing");
    ClickAt(400, 300);
    ASSERT_TRUE(RunUntil([&] { return g_charSelectScreen && g_charSelectScreen->State == 2; }));
    MoveTo(650, 140); // card 2, the one open at first
    Frames(2);
    EXPECT_EQ(g_charSelectScreen->HoverButton, 2);
    Shot("84-mahjong-select");
    ClickAt(650, 140);
    ASSERT_TRUE(RunUntil([&] { return InMode(2); }));
    EXPECT_STREQ(g_gameApp->scriptName.data(), "kof_dor_1.s");
    EXPECT_EQ(g_scenario->playContext, 2);
    EXPECT_EQ(g_gameApp->opponentIndex, 1);
    ASSERT_TRUE(RunUntil([&] { return g_scenario->vars[9] == 42; }));
    EXPECT_TRUE(Contains(modes_, {1, 57, 61, 62, 63, 2}));
    EXPECT_EQ(Log().find("cannot load"), std::string::npos);
}

// The first story's third choice leads to the first heroine's match; a
// player who clicks the tiles a simple bot picks, says yes to every call and
// clicks through the results plays it to the end, which runs her win or
// loss script and then comes back to the title. The pictures of the deal, a
// call, a won game's combinations and the match end are kept.
TEST_F(PlaythroughTest, MahjongMatchFromTheStoryChoiceToTheHeroinesScript) {
    namespace st = mahjong_state;
    Start();
    ResetStory(platform::WindowHandle::Main);
    screenkit::LeaveForStory("start.s", 0);
    bool chose = false;
    ASSERT_TRUE(RunUntil(
        [&] {
            if (InMode(64)) return true;
            if (InMode(17) && g_scenario->subState == 1 && !chose) {
                chose = true;
                ClickAt(408, 140 + 200 + 32);
            } else if (InMode(3) && g_scenario->subState == 3) {
                ClickAt(300, 300);
            }
            return false;
        },
        40000));
    EXPECT_STREQ(g_gameApp->scriptName.data(), "kof_vel_1.s");
    CMahjongGame& g = *g_mahjongGame;
    // Short purses end the match in a game or two: while the first deal
    // fades in, nothing is dealt yet, so the table is laid again with them.
    ASSERT_EQ(g.State, st::kDeal);
    ASSERT_LE(g.SubStep, 1);
    g.PlayerPoints = g.CpuPoints = 1000;
    g.SubStep = 0;
    // Pauses end at once; the timed cut-ins still run.
    g_scenario->skipEffects = 1;
    std::set<std::string> shots;
    auto shotOnce = [&](const std::string& name) {
        if (shots.insert(name).second) Shot(name);
    };
    auto clickRect = [&](const platform::Rect& r) {
        ClickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    };
    int games = 0, calls = 0, wins = 0;
    bool sawTurns = false;
    ASSERT_TRUE(RunUntil(
        [&] {
            if (!InMode(64)) return true;
            const auto step = g.CurrentTurnStep();
            switch (g.State) {
            case st::kTurns:
                if (step == MahjongTurnStep::DiscardChoice && g.RiichiDeclared == 0 &&
                    !(g.PlayerReady && !g.CallOffered)) {
                    if (!sawTurns) {
                        sawTurns = true;
                        ++games;
                        shotOnce("90-mahjong-deal");
                    }
                    clickRect(g.Rects[11 + BotDiscardSlot(g_mahjongPlayerHand)]);
                }
                break;
            case st::kRiichiMenu:
            case st::kRonMenu:
            case st::kTsumoMenu:
                if (g.SubStep == 1) {
                    ++calls;
                    shotOnce("91-mahjong-call");
                    clickRect(g.Rects[1]);
                }
                break;
            case st::kCpuTsumo:
            case st::kCpuRon:
            case st::kPlayerTsumo:
            case st::kPlayerRon:
                if (g.SubStep == 2) ClickAt(400, 300);
                break;
            case st::kWinResult:
            case st::kLossResult:
                sawTurns = false;
                if (g.SubStep == 2 && g.State == st::kWinResult && g.TotalShown == 1) {
                    ++wins;
                    shotOnce("92-mahjong-win");
                }
                if (g.SubStep == 6) shotOnce("93-mahjong-match-end");
                if (g.SubStep == 2 || g.SubStep >= 4) ClickAt(400, 300);
                break;
            case st::kExhaustiveDraw:
                sawTurns = false;
                if (g.SubStep == 2) ClickAt(400, 300);
                break;
            default:
                break;
            }
            return false;
        },
        400000));
    ASSERT_TRUE(Contains(modes_, {64, 2})) << ModesSeen();
    const std::string script = g_gameApp->scriptName.data();
    EXPECT_TRUE(script == "kof_vel_2.s" || script == "kof_vel_3.s") << script;
    EXPECT_EQ(g_scenario->playContext, 2);
    EXPECT_EQ(g.State, 0);
    EXPECT_GE(games, 1);
    EXPECT_TRUE(shots.count("90-mahjong-deal") && shots.count("93-mahjong-match-end"));
    // Her script ends at the title.
    g_scenario->skipEffects = 0;
    ASSERT_TRUE(RunUntil(
        [&] {
            if (InMode(3) && g_scenario->subState == 3) ClickAt(300, 300);
            return InMode(1);
        },
        20000));
    EXPECT_TRUE(Contains(modes_, {64, 2}));
    EXPECT_EQ(Log().find("cannot load"), std::string::npos);
    std::printf("mahjong: %d games, %d calls, %d won games seen, %s\n", games, calls, wins,
                script.c_str());
}

// In a match a right click opens its menu; the combination list turns a
// page and a right click takes up the match where it stood. Then the menu's
// end, confirmed, gives the match up for the mahjong title.
TEST_F(PlaythroughTest, MahjongMenuListBackToTheMatchThenEndForTheTitle) {
    Start();
    ResetStory(platform::WindowHandle::Main);
    screenkit::LeaveForStory("kof_vel_1.s", 2);
    CMahjongGame& g = *g_mahjongGame;
    auto atDiscard = [&] {
        return InMode(64) && g.State == mahjong_state::kTurns &&
               g.CurrentTurnStep() == MahjongTurnStep::DiscardChoice && !g.PlayerReady;
    };
    auto rightClick = [&] {
        hl::PushButton(MouseButton::Right, true, 300, 300);
        Frames(2);
        hl::PushButton(MouseButton::Right, false, 300, 300);
        Frames(1);
    };
    auto menuAt = [&](std::uint8_t state) {
        return RunUntil([&] { return g_mahjongMenu && g_mahjongMenu->State == state; });
    };
    auto click = [&](const platform::Rect& r) { ClickAt(r.left + 3, r.top + 3); };
    g_scenario->skipEffects = 1; // her lines and the deal hurried
    ASSERT_TRUE(RunUntil([&] {
        if (InMode(3) && g_scenario->subState == 3) ClickAt(300, 300);
        return atDiscard();
    }));
    g_scenario->skipEffects = 0;
    const MahjongHand hand = g_mahjongPlayerHand;
    const std::uint8_t step = g.SubStep;
    rightClick();
    ASSERT_TRUE(menuAt(3));
    Shot("94-mahjong-menu");
    click(g_mahjongMenu->Rects[0]);
    ASSERT_TRUE(menuAt(7));
    Shot("95-mahjong-list");
    click(g_mahjongMenu->Rects[1]);
    EXPECT_EQ(g_mahjongMenu->Page, 1);
    Shot("96-mahjong-list-page-2");
    rightClick();
    ASSERT_TRUE(RunUntil([&] { return InMode(64); }));
    Frames(2);
    EXPECT_EQ(g.SubStep, step);
    EXPECT_EQ(g_mahjongPlayerHand, hand);
    EXPECT_EQ(g_backBuffer->GetPixel(300, 150), g_menuSnapshot->GetPixel(300, 150));

    rightClick();
    ASSERT_TRUE(menuAt(3));
    click(g_mahjongMenu->Rects[3]);
    ASSERT_TRUE(menuAt(13));
    Shot("97-mahjong-end-question");
    click(g_mahjongMenu->Rects[0]);
    ASSERT_TRUE(menuAt(17));
    Shot("98-mahjong-end-confirm");
    click(g_mahjongMenu->Rects[0]);
    ASSERT_TRUE(RunUntil([&] { return g_mahjongTitle && g_mahjongTitle->State == 7; }));
    Shot("99-mahjong-title-after-the-match");
    EXPECT_EQ(g.State, 0);
    EXPECT_TRUE(Contains(modes_, {64, 54, 64, 54, 61}));
    EXPECT_EQ(Log().find("cannot load"), std::string::npos) << Log();
}

} // namespace
