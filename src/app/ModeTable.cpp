#include "app/ModeTable.h"

#include "app/GameApp.h"
#include "app/Input.h"
#include "app/Shell.h"
#include "frontend/BootScreen.h"
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
#include "mahjong/CharSelectScreen.h"
#include "mahjong/KofOpening.h"
#include "mahjong/MahjongGame.h"
#include "mahjong/MahjongMenu.h"
#include "mahjong/MahjongRulesScreen.h"
#include "mahjong/MahjongTitle.h"
#include "scenario/Scenario.h"
#include "sound/MoviePlayer.h"
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

#include <array>
#include <memory>

namespace {

// The shell's side of a movie: its input, its paint rectangle, its back
// buffer and its mode.
MovieHost ShellMovieHost(platform::WindowHandle window) {
    MovieHost host;
    host.skipRequested = [] { return g_mouse && (g_mouse->cancel || g_mouse->skip); };
    host.coverWindow = [] {
        if (g_gameApp) g_gameApp->screenRect = platform::Rect{0, 0, 0, 0};
    };
    host.uncoverWindow = [window] {
        if (g_backBuffer) g_backBuffer->FillRect(0, 0, 800, 600, 0);
        if (g_gameApp) {
            g_gameApp->screenRect = platform::Rect{0, 0, 800, 600};
            InvalidateRect(window, g_gameApp->screenRect);
        }
    };
    host.finished = [] {
        if (g_mouse) {
            g_mouse->cancel = 0;
            g_mouse->click = 0;
            g_mouse->skip = 0;
        }
        if (g_gameApp) g_gameApp->mode = 2;
    };
    return host;
}

// Screens join this table as they are built, in the fixed order 0, 1, 56, 57,
// 58, 59, 60, 61, 62, 63, 70, 65, 66, 67, 68, 69, 71, 9, 8, 54, 10, 11, 6, 14,
// 72, 15, 16, 27..33, 24, 50. A mode missing here idles, frees and paces.
constexpr std::array<ModeEntry, 36> kScreens{
    ScreenEntry<CBootScreen, g_bootScreen>(0),
    ScreenEntry<CMainTitle, g_mainTitle>(1),
    ScreenEntry<CStoryChooser, g_storyChooser>(56),
    ScreenEntry<CMiniGameChooser, g_miniGameChooser>(57),
    ScreenEntry<CScenarioTitle1, g_scenarioTitle1>(58),
    ScreenEntry<CScenarioTitle2, g_scenarioTitle2>(59),
    ScreenEntry<CScenarioTitle3, g_scenarioTitle3>(60),
    ScreenEntry<CMahjongTitle, g_mahjongTitle>(61),
    ScreenEntry<CKofOpening, g_kofOpening>(62),
    ScreenEntry<CCharSelectScreen, g_charSelectScreen>(63),
    ScreenEntry<CMahjongRulesScreen, g_mahjongRulesScreen>(70),
    ScreenEntry<CRusTitle, g_rusTitle>(65),
    ScreenEntry<CRusGame, g_rusGame>(66),
    ScreenEntry<CRusResult, g_rusResult>(67),
    ScreenEntry<CRusSelect, g_rusSelect>(68),
    ScreenEntry<CRetryScreen, g_retryScreen>(69),
    ScreenEntry<CRusRulesScreen, g_rusRulesScreen>(71),
    ScreenEntry<CConfigScreen, g_configScreen>(9),
    ScreenEntry<CSystemMenu, g_systemMenu>(8),
    ScreenEntry<CMahjongMenu, g_mahjongMenu>(54),
    ScreenEntry<CSaveScreen, g_saveScreen>(10),
    ScreenEntry<CLoadScreen, g_loadScreen>(11),
    ScreenEntry<CBacklogScreen, g_backlogScreen>(6),
    ScreenEntry<CSceneReplay, g_sceneReplay>(14),
    ScreenEntry<CWallpaperRoom, g_wallpaperRoom>(72),
    ScreenEntry<CCgGallery, g_cgGallery>(15),
    ScreenEntry<CMusicRoom, g_musicRoom>(16),
    ScreenEntry<CStaffRoll1, g_staffRoll1>(27),
    ScreenEntry<CStaffRoll2, g_staffRoll2>(28),
    ScreenEntry<CStaffRoll3, g_staffRoll3>(29),
    ScreenEntry<CStaffRoll4, g_staffRoll4>(30),
    ScreenEntry<CStaffRoll5, g_staffRoll5>(31),
    ScreenEntry<CStaffRoll6, g_staffRoll6>(32),
    ScreenEntry<CStaffRoll7, g_staffRoll7>(33),
    ModeEntry{24, [] { return g_openingMovie != nullptr; },
              [](platform::WindowHandle w, platform::WindowHandle inst) {
                  g_openingMovie =
                      std::make_unique<CMoviePlayer>(w, inst, "pp_op.mpg", 0, ShellMovieHost(w));
              },
              [](platform::WindowHandle w) { g_openingMovie->Run(w); },
              [] { g_openingMovie.reset(); }},
    ModeEntry{50, [] { return g_staffRollMovie != nullptr; },
              [](platform::WindowHandle w, platform::WindowHandle inst) {
                  g_staffRollMovie = std::make_unique<CMoviePlayer>(w, inst, "staffroll.mpg", 0,
                                                                    ShellMovieHost(w));
              },
              [](platform::WindowHandle w) { g_staffRollMovie->Run(w); },
              [] { g_staffRollMovie.reset(); }},
};

// A story mode: a method of the script object, while there is one.
template <void (CScenario::*Method)()> void Story(platform::WindowHandle) {
    if (g_scenario) (g_scenario.get()->*Method)();
}

// The modes without a screen object. The match runs while the script object
// holds one.
constexpr OtherEntry kOthers[] = {
    {2, Story<&CScenario::Step>},
    {3, Story<&CScenario::RunMessage>},
    {17, Story<&CScenario::RunChoice>},
    {36,
     [](platform::WindowHandle) {
         if (g_scenario) g_scenario->SkipMessageLine(g_scenario->MessageView());
     }},
    {4, Story<&CScenario::RunMaskTransition>},
    {5, Story<&CScenario::RunTransition>},
    {18, Story<&CScenario::RunTimedWait>},
    {23, Story<&CScenario::PlayWaveWait>},
    {55, Story<&CScenario::WaitClickIcon>},
    {52, Story<&CScenario::WaitSeEnd>},
    {53, Story<&CScenario::StopSeSlot>},
    {25, Story<&CScenario::RunScroll>},
    {35, Story<&CScenario::RunColorFade>},
    {38, Story<&CScenario::WaitLayerAnim>},
    {51, Story<&CScenario::WaitClick>},
    {19, Story<&CScenario::RunEyeCatch>},
    {26, Story<&CScenario::IdleMode26>},
    {37, Story<&CScenario::RunFadeIn>},
    {39, Story<&CScenario::RunCrossFade>},
    {40, Story<&CScenario::IdleMode40>},
    {41, Story<&CScenario::RunFadeToSaved>},
    {42, Story<&CScenario::RunDayLogo>},
    {44, Story<&CScenario::RunCurtain>},
    {46, Story<&CScenario::RunAnnouncement>},
    {64,
     [](platform::WindowHandle window) {
         if (g_mahjongGame) g_mahjongGame->Run(window);
     }},
};

void RunOther(std::uint8_t mode, platform::WindowHandle window) {
    for (const OtherEntry& e : kOthers) {
        if (e.mode == mode) {
            e.run(window);
            return;
        }
    }
}

constexpr ModeTable kGameTable{std::span<const ModeEntry>(kScreens), &RunOther,
                               std::span<const OtherEntry>(kOthers)};

const ModeTable* g_activeTable = &kGameTable;

} // namespace

void BacklogWheel(bool up) {
    if (g_backlogScreen) g_backlogScreen->Wheel(up);
}

const ModeTable& ActiveModeTable() {
    return *g_activeTable;
}

void SetModeTable(const ModeTable* table) {
    g_activeTable = table ? table : &kGameTable;
}
