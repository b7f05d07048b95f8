// screentour OUT_DIR: writes the demo game into OUT_DIR/demo, plays it on the
// headless machine through every screen a player can reach, as a player
// clicks through them, and writes one picture of each screen
// (OUT_DIR/NN-name.png) and a contact sheet of them all
// (OUT_DIR/contact-sheet.png), so that a change to the demo's pictures or to
// a screen shows in one look. It checks nothing: a screen it cannot reach is
// named on stderr and the tour goes on with the next road.
//
// Where a player would need long play to get somewhere (full special gauges,
// a ready mahjong hand, a lost or won contest), the tour sets the match's
// fields the way that play would leave them.
#include "Pictures.h"

#include "app/Config.h"
#include "app/GameApp.h"
#include "app/Shell.h"
#include "frontend/CgGallery.h"
#include "frontend/MainTitle.h"
#include "frontend/MiniGameChooser.h"
#include "frontend/MusicRoom.h"
#include "frontend/ScenarioTitle1.h"
#include "frontend/ScenarioTitle2.h"
#include "frontend/ScenarioTitle3.h"
#include "frontend/SceneReplay.h"
#include "frontend/StaffRoll.h"
#include "frontend/StoryChooser.h"
#include "frontend/WallpaperRoom.h"
#include "gfx/Dib.h"
#include "lib/DemoData.h"
#include "mahjong/CharSelectScreen.h"
#include "mahjong/KofOpening.h"
#include "mahjong/MahjongBotMatch.h"
#include "mahjong/MahjongMenu.h"
#include "mahjong/MahjongRulesScreen.h"
#include "mahjong/MahjongTitle.h"
#include "platform/headless/Headless.h"
#include "scenario/Scenario.h"
#include "system/BacklogScreen.h"
#include "system/ConfigScreen.h"
#include "system/LoadScreen.h"
#include "system/SaveScreen.h"
#include "system/SystemMenu.h"
#include "takoyaki/RetryScreen.h"
#include "takoyaki/RusGame.h"
#include "takoyaki/RusResult.h"
#include "takoyaki/RusRulesScreen.h"
#include "takoyaki/RusSelect.h"
#include "takoyaki/RusTitle.h"

#include <cstdio>
#include <functional>
#include <string>

namespace fs = std::filesystem;
namespace hl = platform::headless;
using platform::MouseButton;

namespace {

class Tour {
public:
    explicit Tour(fs::path out) : out_(std::move(out)) {}

    const std::vector<tour::Screen>& Screens() const { return screens_; }

    // A fresh start of the program on the game folder (the saves and settings
    // of the roads before are kept, as a player's are).
    void Start() {
        if (running_) OnDestroy();
        hl::Reset();
        platform::CreateMainWindow(g_windowTitle);
        OnCreate(platform::WindowHandle::Main);
        running_ = true;
        quit_ = false;
    }
    void Stop() {
        if (running_ && !quit_) OnDestroy();
        running_ = false;
    }

    bool InMode(int m) const { return g_gameApp && g_gameApp->mode == m; }

    // Frames until `done` holds; false (with a word on stderr) after `limit`.
    bool RunUntil(const std::function<bool()>& done, const char* what, int limit = 40000) {
        for (int frames = 0; frames < limit; ++frames) {
            if (quit_) break;
            if (done()) return true;
            const std::uint64_t presented = hl::PresentCount();
            for (int pumps = 0; pumps < 1000 && hl::PresentCount() == presented; ++pumps)
                if (PumpOnce() == LoopStep::Quit) {
                    quit_ = true;
                    break;
                }
            // Modes that never sleep would stand still on the virtual clock.
            hl::AdvanceClock(1);
        }
        if (!quit_ && done()) return true;
        std::fprintf(stderr, "screentour: did not reach %s (mode %d)\n", what,
                     g_gameApp ? int(g_gameApp->mode) : -1);
        return false;
    }
    void Frames(int n) {
        RunUntil([&] { return n-- <= 0; }, "the end of a pause");
    }
    void Wait(std::uint32_t ms) {
        const std::uint32_t end = platform::TimeGetTime() + ms;
        RunUntil([&] { return platform::TimeGetTime() >= end; }, "the end of a wait");
    }
    void MoveTo(int x, int y) {
        hl::PushMouseMove(x, y);
        Frames(3);
    }
    void Click(int x, int y, MouseButton button = MouseButton::Left) {
        hl::PushMouseMove(x, y);
        hl::PushButton(button, true, x, y);
        Frames(2);
        hl::PushButton(button, false, x, y);
        Frames(1);
    }
    void RightClick() { Click(400, 300, MouseButton::Right); }
    void HoldSkip(bool down) {
        hl::PushKey(platform::Key::Control, down);
        Frames(1);
    }
    // A wait cut short by the skip key, held as a player holds Ctrl.
    bool Hurried(const std::function<bool()>& reach) {
        HoldSkip(true);
        const bool ok = reach();
        HoldSkip(false);
        return ok;
    }
    // A title's rules pages, opened at (x, y), pictured and closed again;
    // the title's intro that follows is hurried.
    bool RulesPages(int x, int y, bool (*open)(), const std::string& name,
                    const std::function<bool()>& title) {
        Click(x, y);
        if (!RunUntil(open, "the rules pages")) return false;
        Shot(name);
        Click(700, 570);
        return Hurried(title);
    }
    // A page of the story stands whole and waits for its click.
    bool PageWaits() const { return InMode(3) && g_scenario->subState == 3; }
    bool ChoiceWaits() const { return InMode(17) && g_scenario->subState == 1; }
    // Pages clicked on until `done`; choices get `option` (0-based).
    bool PlayUntil(const std::function<bool()>& done, const char* what, int option = 0) {
        return RunUntil(
            [&] {
                if (done()) return true;
                if (PageWaits()) Click(300, 300);
                if (ChoiceWaits()) Click(408, 172 + 100 * option);
                return false;
            },
            what, 200000);
    }

    void Shot(const std::string& name) {
        Shot(name, std::span<const std::uint32_t>(g_backBuffer->GetBits(), 800 * 600));
    }
    void Shot(const std::string& name, std::span<const std::uint32_t> picture) {
        char number[8];
        std::snprintf(number, sizeof number, "%02zu-", screens_.size() + 1);
        tour::Screen s{number + name, {}};
        s.pixels.reserve(picture.size());
        for (std::uint32_t p : picture)
            s.pixels.push_back(p & 0xFFFFFF);
        if (!tour::WritePng(out_ / (s.name + ".png"), 800, 600, s.pixels))
            std::fprintf(stderr, "screentour: cannot write %s.png\n", s.name.c_str());
        screens_.push_back(std::move(s));
    }

    // ---------------------------------------------------------------- roads

    bool ToMainTitle() {
        return Hurried([&] { return RunUntil([&] { return InMode(1); }, "the main title"); }) &&
               RunUntil([&] { return g_mainTitle && g_mainTitle->State == 2; },
                        "the main title's menu");
    }

    // Boot, the title, the chooser and the three scenario titles.
    bool FrontEnd() {
        Start();
        if (!RunUntil([&] { return platform::TimeGetTime() >= 3000; }, "the boot logo"))
            return false;
        Shot("boot-logo");
        if (!RunUntil([&] { return platform::TimeGetTime() >= 13000; }, "the warning"))
            return false;
        Shot("boot-warning");
        if (!RunUntil([&] { return g_mainTitle && g_mainTitle->State == 2; }, "the main title"))
            return false;
        MoveTo(600, 390);
        Shot("main-title");
        if (!ToStoryChooser()) return false;
        MoveTo(500, 300);
        Shot("story-chooser");
        const int titles[3][2] = {{500, 100}, {500, 300}, {500, 500}};
        for (int k = 0; k < 3; ++k) {
            Click(titles[k][0], titles[k][1]);
            if (!RunUntil([&] { return ScenarioTitleState(k) == 2; }, "a scenario title"))
                return false;
            Shot("story" + std::to_string(k + 1) + "-title");
            RightClick();
            if (!RunUntil([&] { return g_storyChooser && g_storyChooser->State == 2; },
                          "the chooser again"))
                return false;
        }
        return true;
    }
    bool ToStoryChooser() {
        Click(600, 390);
        return RunUntil([&] { return g_storyChooser && g_storyChooser->State == 2; },
                        "the story chooser");
    }
    static int ScenarioTitleState(int k) {
        const CScenarioTitleScreen* t =
            k == 0   ? static_cast<const CScenarioTitleScreen*>(g_scenarioTitle1.get())
            : k == 1 ? static_cast<const CScenarioTitleScreen*>(g_scenarioTitle2.get())
                     : static_cast<const CScenarioTitleScreen*>(g_scenarioTitle3.get());
        return t ? t->State : -1;
    }

    // The menu's screens, opened from a page of the first story: the system
    // menu, save and load with their boxes, the backlog, the settings and
    // their voice page, the exit questions.
    bool OpenMenu() {
        RightClick();
        return RunUntil([&] { return g_systemMenu && g_systemMenu->state == 4; }, "the menu");
    }
    bool BackToStory(int mode = 3) {
        return RunUntil([&] { return InMode(mode); }, "the story again");
    }
    bool MenuScreens() {
        if (!OpenMenu()) return false;
        MoveTo(700, 327); // settings, its mark slid in
        Wait(400);
        Shot("system-menu");
        Click(760, 210);
        if (!RunUntil([&] { return g_saveScreen && g_saveScreen->state == 3; }, "the save screen"))
            return false;
        Shot("save-screen");
        Click(200, 130);
        if (!RunUntil([&] { return g_saveScreen->state == 8; }, "the save box")) return false;
        MoveTo(340, 370);
        Shot("save-box");
        Click(340, 370);
        if (!RunUntil([&] { return g_saveScreen->state == 3; }, "the saved slot")) return false;
        RightClick();
        if (!BackToStory() || !OpenMenu()) return false;
        Click(760, 249);
        if (!RunUntil([&] { return g_loadScreen && g_loadScreen->state == 3; }, "the load screen"))
            return false;
        MoveTo(200, 130);
        Shot("load-screen");
        Click(200, 130);
        if (!RunUntil([&] { return g_loadScreen->state == 8; }, "the load box")) return false;
        MoveTo(457, 370);
        Shot("load-box");
        Click(457, 370); // no
        if (!RunUntil([&] { return g_loadScreen->state == 3; }, "the load screen again"))
            return false;
        RightClick();
        if (!BackToStory()) return false;
        hl::PushMouseMove(300, 599);
        hl::PushWheel(120);
        if (!RunUntil([&] { return g_backlogScreen && g_backlogScreen->state == 2; },
                      "the backlog"))
            return false;
        MoveTo(300, 220);
        Shot("backlog");
        RightClick();
        if (!BackToStory() || !OpenMenu()) return false;
        Click(700, 325);
        if (!RunUntil([&] { return g_configScreen && g_configScreen->state == 3; }, "the settings"))
            return false;
        MoveTo(730, 520);
        Shot("settings");
        Click(500, 555);
        if (!RunUntil([&] { return g_configScreen->state == 12; }, "the voice page")) return false;
        MoveTo(520, 560);
        Shot("settings-voice");
        RightClick();
        if (!RunUntil([&] { return g_configScreen->state == 3; }, "the settings again"))
            return false;
        RightClick();
        if (!BackToStory() || !OpenMenu()) return false;
        Click(769, 360);
        if (!RunUntil([&] { return g_systemMenu->state == 13; }, "the exit dialog")) return false;
        MoveTo(400, 250);
        Shot("exit-dialog");
        Click(400, 250); // back to the title, asked again
        if (!RunUntil([&] { return g_systemMenu->state == 18; }, "the exit question")) return false;
        MoveTo(447, 307);
        Shot("exit-question");
        Click(447, 307); // no
        return BackToStory();
    }

    // The first story from its title: the opening movie, the day logo, a
    // page, the menu's screens, the choice lit and left, the eye-catch, an
    // event picture, the staff roll; it ends at the main title.
    bool FirstStory() {
        Start();
        if (!ToMainTitle() || !ToStoryChooser()) return false;
        Click(500, 100);
        if (!RunUntil([&] { return ScenarioTitleState(0) == 2; }, "the first title")) return false;
        Click(377, 417);
        if (!RunUntil([&] { return InMode(24) || InMode(50); }, "the opening movie")) return false;
        Wait(2500);
        Shot("opening-movie", hl::LastFrame());
        if (!RunUntil([&] { return InMode(42) && g_scenario->subState == 7; }, "the day logo"))
            return false;
        Shot("day-logo");
        int pages = 0;
        if (!PlayUntil([&] { return PageWaits() && ++pages == 3; }, "a speaker's page"))
            return false;
        Shot("story-page");
        if (!MenuScreens()) return false;
        if (!RunUntil(
                [&] {
                    if (PageWaits()) Click(300, 300);
                    return ChoiceWaits();
                },
                "the choice"))
            return false;
        MoveTo(408, 172);
        Wait(300);
        Shot("choice-lit");
        MoveTo(60, 60); // off the plates
        Wait(100);
        Shot("choice-left");
        Click(408, 172);
        bool eyeCatch = false, event = false, roll = false;
        return PlayUntil(
            [&] {
                if (!eyeCatch && InMode(19) && g_scenario->subState == 4) {
                    eyeCatch = true;
                    Shot("eye-catch");
                }
                if (!event && PageWaits() &&
                    std::string_view(g_gameApp->surfaceNames[1].data()) == "e001a.bmp") {
                    event = true;
                    Shot("story-event-picture");
                }
                if (!roll && g_staffRoll2 && g_staffRoll2->State == 2 &&
                    g_staffRoll2->Elapsed > 20000) {
                    roll = true;
                    Shot("staff-roll");
                }
                return InMode(1);
            },
            "the title after the first story");
    }

    // The third story to its end: the credits movie.
    bool ThirdStory() {
        Start();
        if (!ToMainTitle() || !ToStoryChooser()) return false;
        Click(500, 500);
        if (!RunUntil([&] { return ScenarioTitleState(2) == 2; }, "the third title")) return false;
        Click(345, 355);
        bool movie = false;
        std::uint32_t movieFrom = 0;
        return PlayUntil(
            [&] {
                if (InMode(50) && !movie) {
                    if (movieFrom == 0) movieFrom = platform::TimeGetTime();
                    if (platform::TimeGetTime() - movieFrom > 2500) {
                        movie = true;
                        Shot("credits-movie", hl::LastFrame());
                    }
                }
                return InMode(1);
            },
            "the title after the third story");
    }

    // The extras from the main title: the gallery (what the first story
    // unlocked), a picture, the scene replay, the music room.
    bool Extras() {
        Start();
        if (!ToMainTitle()) return false;
        Click(580, 505);
        if (!RunUntil([&] { return g_cgGallery && g_cgGallery->State == 2; }, "the gallery"))
            return false;
        MoveTo(18 + 60, 121 + 50);
        Shot("gallery");
        Click(18 + 60, 121 + 50);
        if (!RunUntil([&] { return g_cgGallery->State == 6; }, "a gallery picture")) return false;
        Shot("gallery-picture");
        RightClick();
        if (!RunUntil([&] { return g_cgGallery->State == 2; }, "the gallery again")) return false;
        Click(713 + 23 + 10, 33); // the second page: the guest picture
        if (!RunUntil([&] { return g_cgGallery->State == 2 && g_cgGallery->Page == 1; },
                      "the gallery's second page"))
            return false;
        Shot("gallery-page-2");
        Click(130, 93);
        if (!RunUntil([&] { return g_sceneReplay && g_sceneReplay->State == 2; },
                      "the scene replay"))
            return false;
        MoveTo(150, 160);
        Shot("scene-replay");
        Click(230, 93);
        if (!RunUntil([&] { return g_musicRoom && g_musicRoom->State == 2; }, "the music room"))
            return false;
        MoveTo(200, 190);
        Shot("music-room");
        RightClick();
        return RunUntil([&] { return InMode(1); }, "the title after the extras");
    }

    bool ToMiniGames() {
        if (!ToMainTitle()) return false;
        Click(650, 430);
        return RunUntil([&] { return g_miniGameChooser && g_miniGameChooser->State == 2; },
                        "the mini-game chooser");
    }

    // The mahjong road: its title, the rules pages, the wallpaper room, the
    // opening, the heroine select.
    bool MahjongScreens() {
        Start();
        if (!ToMiniGames()) return false;
        MoveTo(500, 150);
        Shot("mini-game-chooser");
        const auto title = [&] {
            return RunUntil([&] { return g_mahjongTitle && g_mahjongTitle->State == 7; },
                            "the mahjong title");
        };
        Click(500, 150);
        if (!title()) return false;
        MoveTo(400, 359);
        Shot("mahjong-title");
        if (!RulesPages(
                400, 398, [] { return g_mahjongRulesScreen && g_mahjongRulesScreen->State == 2; },
                "mahjong-rules", title))
            return false;
        Click(400, 473); // the wallpaper room
        if (!RunUntil([&] { return g_wallpaperRoom && g_wallpaperRoom->State == 2; },
                      "the wallpaper room"))
            return false;
        Click(30, 100);
        MoveTo(500, 404);
        Shot("wallpaper-room");
        RightClick();
        if (!Hurried(title)) return false;
        Click(400, 359); // start
        if (!RunUntil([&] { return g_kofOpening && g_kofOpening->State == 4; },
                      "the mahjong opening"))
            return false;
        Shot("mahjong-opening");
        g_scenario->skipEffects = 1;
        if (!RunUntil([&] { return g_kofOpening && g_kofOpening->State == 9; },
                      "the opening's closing picture"))
            return false;
        g_scenario->skipEffects = 0;
        Frames(1);
        Click(400, 300);
        if (!RunUntil([&] { return g_charSelectScreen && g_charSelectScreen->State == 2; },
                      "the heroine select"))
            return false;
        MoveTo(650, 140);
        Shot("mahjong-select");
        Click(650, 140);
        return RunUntil([&] { return InMode(2); }, "the heroine's story");
    }

    // A match from the first story's third option: the table, the riichi
    // question, the in-match menu and its list and end question, a win, the
    // match's end.
    bool MahjongMatch() {
        namespace st = mahjong_state;
        Start();
        if (!ToMainTitle() || !ToStoryChooser()) return false;
        Click(500, 100);
        if (!RunUntil([&] { return ScenarioTitleState(0) == 2; }, "the first title")) return false;
        Click(377, 417);
        if (!PlayUntil([&] { return InMode(64); }, "the match", 2)) return false;
        CMahjongGame& g = *g_mahjongGame;
        const auto atDiscard = [&] {
            return InMode(64) && g.State == st::kTurns &&
                   g.CurrentTurnStep() == MahjongTurnStep::DiscardChoice;
        };
        g_scenario->skipEffects = 1; // the heroine's lines and the deal hurried
        if (!PlayUntil(atDiscard, "the first discard")) return false;
        g_scenario->skipEffects = 0;
        Frames(2);
        Shot("mahjong-table");
        // The in-match menu, its list, its end question; no, back to the match.
        RightClick();
        const auto menuAt = [&](std::uint8_t state, const char* what) {
            return RunUntil([&] { return g_mahjongMenu && g_mahjongMenu->State == state; }, what);
        };
        if (!menuAt(3, "the in-match menu")) return false;
        MoveTo(750, 290);
        Wait(400);
        Shot("mahjong-menu");
        Click(g_mahjongMenu->Rects[0].left + 3, g_mahjongMenu->Rects[0].top + 3);
        if (!menuAt(7, "the combination list")) return false;
        Shot("mahjong-list");
        RightClick();
        if (!RunUntil(atDiscard, "the match again")) return false;
        RightClick();
        if (!menuAt(3, "the in-match menu again")) return false;
        Click(g_mahjongMenu->Rects[3].left + 3, g_mahjongMenu->Rects[3].top + 3);
        if (!menuAt(13, "the end question")) return false;
        Shot("mahjong-end-question");
        Click(g_mahjongMenu->Rects[0].left + 3, g_mahjongMenu->Rects[0].top + 3);
        if (!menuAt(17, "the end confirmation")) return false;
        Shot("mahjong-end-confirmation");
        Click(g_mahjongMenu->Rects[1].left + 3, g_mahjongMenu->Rects[1].top + 3); // no
        if (!RunUntil(atDiscard, "the match after the menu")) return false;

        // The bot plays; short purses end the match soon. The first question
        // the match asks is pictured, the riichi question in any case: a
        // ready hand is what the bot's play would reach sooner or later.
        g.PlayerPoints = g.CpuPoints = 1000;
        bool riichi = false, win = false, end = false;
        const auto click = [&](const platform::Rect& r) {
            Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        };
        return RunUntil(
            [&] {
                if (!InMode(64)) return true;
                switch (g.State) {
                case st::kTurns:
                    if (atDiscard() && !riichi && !g.RiichiDeclared) {
                        g.PlayerReady = 1;
                        g.CallOffered = 0;
                    } else if (atDiscard() && !(g.PlayerReady && !g.CallOffered)) {
                        click(g.Rects[11 + BotDiscardSlot(g_mahjongPlayerHand)]);
                    }
                    break;
                case st::kRiichiMenu:
                case st::kRonMenu:
                case st::kTsumoMenu:
                    if (g.SubStep == 1) {
                        if (g.State == st::kRiichiMenu && !riichi) {
                            riichi = true;
                            MoveTo(630, 468);
                            Shot("mahjong-riichi-question");
                            click(g.Rects[2]); // no: the hand is not ready after all
                        } else {
                            click(g.Rects[1]);
                        }
                    }
                    break;
                case st::kCpuTsumo:
                case st::kCpuRon:
                case st::kPlayerTsumo:
                case st::kPlayerRon:
                    if (g.SubStep == 2) Click(400, 300);
                    break;
                case st::kWinResult:
                case st::kLossResult:
                    if (g.SubStep == 2 && !win) {
                        win = true;
                        Shot(g.State == st::kWinResult ? "mahjong-won-game" : "mahjong-lost-game");
                    }
                    if (g.SubStep == 6 && !end) {
                        end = true;
                        Shot("mahjong-match-end");
                    }
                    if (g.SubStep == 2 || g.SubStep >= 4) Click(400, 300);
                    break;
                case st::kExhaustiveDraw:
                    if (g.SubStep == 2) Click(400, 300);
                    break;
                default:
                    break;
                }
                return false;
            },
            "the match's end", 400000);
    }

    // The contest road: its title and rules, the warning page and the first
    // opponent's story, the contest with both sides' specials, a loss, its
    // result and the retry question, a win and its result; then the select.
    bool Contest() {
        Start();
        if (!ToMiniGames()) return false;
        Click(500, 450);
        const auto title = [&] {
            return RunUntil([&] { return g_rusTitle && g_rusTitle->State == 10; },
                            "the contest title");
        };
        if (!RunUntil([&] { return g_rusTitle && g_rusTitle->State == 5; }, "the contest intro"))
            return false;
        Frames(40);
        Shot("contest-title-intro");
        if (!title()) return false;
        MoveTo(400, 417);
        Shot("contest-title");
        if (!RulesPages(
                400, 450, [] { return g_rusRulesScreen && g_rusRulesScreen->State == 2; },
                "contest-rules", title))
            return false;
        Click(400, 382); // the story
        if (!RunUntil([&] { return g_rusTitle && g_rusTitle->State == 16; }, "the warning page"))
            return false;
        Shot("contest-warning");
        Click(400, 300);
        bool page = false;
        if (!PlayUntil(
                [&] {
                    if (!page && PageWaits()) {
                        page = true;
                        Shot("contest-story");
                    }
                    return InMode(66);
                },
                "the contest"))
            return false;
        CRusContest& c = g_rusGame->Contest;
        if (!RunUntil([&] { return c.SubStep == 5; }, "the ready banner")) return false;
        Frames(30);
        Shot("contest-ready");
        if (!RunUntil([&] { return c.State == rus::RusState::Play; }, "play")) return false;
        for (int k = 0; k < 6; ++k) { // batter poured into a few holes
            Click((c.ButtonRect[0].left + c.ButtonRect[0].right) / 2,
                  (c.ButtonRect[0].top + c.ButtonRect[0].bottom) / 2);
            const platform::Rect& h = c.PlayerHoleRect[k];
            Click((h.left + h.right) / 2, (h.top + h.bottom) / 2);
        }
        Wait(3000);
        Shot("contest-play");

        // The opponent's special (her gauges full, two plates served), then
        // the player's special 1.
        c.OpponentGauge1 = c.OpponentGauge2 = 10;
        c.OpponentGauge1Full = c.OpponentGauge2Full = 1;
        c.OpponentPlates = 2;
        if (!RunUntil([&] { return c.State == rus::RusState::OpponentCutIn; },
                      "the opponent's cut-in"))
            return false;
        Wait(1200); // her picture over the band
        Shot("contest-opponent-special");
        if (!RunUntil([&] { return c.State == rus::RusState::Play; }, "play after her special"))
            return false;
        c.PlayerGauge1 = c.PlayerGauge2 = 10;
        c.PlayerGauge1Full = c.PlayerGauge2Full = 1;
        c.PlayerPlates = 3;
        Frames(2);
        Click((c.SpecialRect[0].left + c.SpecialRect[0].right) / 2,
              (c.SpecialRect[0].top + c.SpecialRect[0].bottom) / 2);
        if (!RunUntil([&] { return c.State == rus::RusState::PlayerCutIn && c.CutInPhase == 2; },
                      "the player's cut-in"))
            return false;
        Wait(1800);
        Shot("contest-player-special");
        if (!RunUntil([&] { return c.State == rus::RusState::Play; }, "play after the special"))
            return false;

        // A loss, its result, the story that asks about a retry.
        c.PlayerLife = 0;
        if (!RunUntil([&] { return c.SubStep == 4 && c.State == rus::RusState::Lose; }, "a loss"))
            return false;
        Shot("contest-lost");
        Click(400, 300);
        if (!RunUntil([&] { return g_rusResult && g_rusResult->State == 5; }, "the result"))
            return false;
        Shot("contest-result-lost");
        Click(400, 300);
        if (!PlayUntil([&] { return g_retryScreen && g_retryScreen->State == 2; },
                       "the retry question"))
            return false;
        MoveTo(240, 340);
        Shot("contest-retry");
        Click(240, 340);
        if (!Hurried([&] {
                return RunUntil(
                    [&] { return g_rusGame && g_rusGame->Contest.State == rus::RusState::Play; },
                    "the contest again");
            }))
            return false;
        g_rusGame->Contest.OpponentLife = 0;
        if (!RunUntil([&] { return g_rusGame->Contest.SubStep == 5; }, "a win")) return false;
        Shot("contest-won");
        Click(400, 300);
        if (!RunUntil([&] { return g_rusResult && g_rusResult->State == 5; }, "the won result"))
            return false;
        Shot("contest-result-won");
        Click(400, 300);
        // Her story after the win leads back to the contest title, where the
        // select now offers the next opponent.
        if (!PlayUntil([&] { return InMode(65); }, "the contest title after the win")) return false;
        if (!Hurried(title)) return false;
        Click(400, 417);
        if (!RunUntil([&] { return g_rusSelect && g_rusSelect->State == 2; }, "the select"))
            return false;
        MoveTo(420, 110);
        Shot("contest-select");
        return true;
    }

private:
    fs::path out_;
    std::vector<tour::Screen> screens_;
    bool running_ = false;
    bool quit_ = false;
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: screentour OUT_DIR\n");
        return 2;
    }
    const fs::path out = fs::absolute(argv[1]);
    std::error_code ec;
    fs::remove_all(out, ec);
    fs::create_directories(out, ec);
    std::string error;
    if (!demo::WriteDemoGame(out / "demo", error)) {
        std::fprintf(stderr, "screentour: %s\n", error.c_str());
        return 1;
    }
    fs::current_path(out / "demo");
    Tour tour(out);
    // Each road starts the program afresh; the saves and settings the roads
    // before left stay, so later roads find what the stories unlocked.
    const std::function<bool(Tour&)> roads[] = {
        &Tour::FrontEnd,       &Tour::FirstStory,   &Tour::ThirdStory, &Tour::Extras,
        &Tour::MahjongScreens, &Tour::MahjongMatch, &Tour::Contest,
    };
    int failed = 0;
    for (const auto& road : roads) {
        failed += road(tour) ? 0 : 1;
        tour.Stop();
    }
    if (!tour::WriteContactSheet(out / "contact-sheet.png", tour.Screens())) {
        std::fprintf(stderr, "screentour: cannot write the contact sheet\n");
        return 1;
    }
    std::printf("screentour: %zu screens in %s (contact-sheet.png)%s\n", tour.Screens().size(),
                out.c_str(), failed ? "; some roads stopped early, see above" : "");
    return failed ? 1 : 0;
}
