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

// Story modes run a method of the script object; the match runs while the
// script object holds one. Story modes join as their handlers are built.
void RunOther(std::uint8_t mode, platform::WindowHandle window) {
    switch (mode) {
    case 2:
        if (g_scenario) g_scenario->Step();
        break;
    case 3:
        if (g_scenario) g_scenario->RunMessage();
        break;
    case 17:
        if (g_scenario) g_scenario->RunChoice();
        break;
    case 36:
        if (g_scenario) g_scenario->SkipMessageLine(g_scenario->MessageView());
        break;
    case 4:
        if (g_scenario) g_scenario->RunMaskTransition();
        break;
    case 5:
        if (g_scenario) g_scenario->RunTransition();
        break;
    case 18:
        if (g_scenario) g_scenario->RunTimedWait();
        break;
    case 23:
        if (g_scenario) g_scenario->PlayWaveWait();
        break;
    case 55:
        if (g_scenario) g_scenario->WaitClickIcon();
        break;
    case 52:
        if (g_scenario) g_scenario->WaitSeEnd();
        break;
    case 53:
        if (g_scenario) g_scenario->StopSeSlot();
        break;
    case 25:
        if (g_scenario) g_scenario->RunScroll();
        break;
    case 35:
        if (g_scenario) g_scenario->RunColorFade();
        break;
    case 38:
        if (g_scenario) g_scenario->WaitLayerAnim();
        break;
    case 51:
        if (g_scenario) g_scenario->WaitClick();
        break;
    case 19:
        if (g_scenario) g_scenario->RunEyeCatch();
        break;
    case 26:
        if (g_scenario) g_scenario->IdleMode26();
        break;
    case 37:
        if (g_scenario) g_scenario->RunFadeIn();
        break;
    case 39:
        if (g_scenario) g_scenario->RunCrossFade();
        break;
    case 40:
        if (g_scenario) g_scenario->IdleMode40();
        break;
    case 41:
        if (g_scenario) g_scenario->RunFadeToSaved();
        break;
    case 42:
        if (g_scenario) g_scenario->RunDayLogo();
        break;
    case 44:
        if (g_scenario) g_scenario->RunCurtain();
        break;
    case 46:
        if (g_scenario) g_scenario->RunAnnouncement();
        break;
    case 64:
        if (g_mahjongGame) g_mahjongGame->Run(window);
        break;
    default:
        break;
    }
}

constexpr ModeTable kGameTable{std::span<const ModeEntry>(kScreens), &RunOther};

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
