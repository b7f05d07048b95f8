#include "frontend/BootScreen.h"

#include "app/GameApp.h"
#include "frontend/ScreenKit.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"

using namespace frontend;

std::unique_ptr<CBootScreen> g_bootScreen;

const std::array<const char*, 10> g_titleVoices{
    "voice\\vel0276.ogg", "voice\\dor0467.ogg", "voice\\fen0251.ogg", "voice\\pom0471.ogg",
    "voice\\lis0293.ogg", "voice\\bex0884.ogg", "voice\\hol0468.ogg", "voice\\mur0430.ogg",
    "voice\\kel0249.ogg", "voice\\sef0470.ogg",
};

namespace {

constexpr std::uint32_t kLogoFadeMs = 2000;
constexpr std::uint32_t kLogoHoldMs = 2000;
constexpr std::uint32_t kWarningFadeMs = 5000;
constexpr std::uint32_t kWarningHoldMs = 8000;
constexpr std::uint32_t kWarningHoldFull = 380;
constexpr std::uint32_t kWhiteFadeMs = 2000;

} // namespace

CBootScreen::CBootScreen() {
    if (g_gameApp) g_gameApp->screenRect = platform::Rect{0, 0, kScreenWidth, kScreenHeight};
}

bool CBootScreen::Run(platform::WindowHandle window) {
    switch (State) {
    case 0:
        Open(window);
        break;
    case 1:
        ShowLogo(window);
        break;
    case 2: {
        Elapsed = platform::TimeGetTime() - StartTime;
        const std::uint32_t level = FadeLevel(Elapsed, kWarningFadeMs);
        if (level < kFull && !SkipHeld()) {
            DrawFade(Slot(3), Slot(2), level);
        } else {
            State = 3;
            ShowWhole(Slot(3));
            StartTime = platform::TimeGetTime();
        }
        break;
    }
    case 3: {
        Elapsed = platform::TimeGetTime() - StartTime;
        const std::uint32_t level = StepLevel(Elapsed, kWarningHoldFull, kWarningHoldMs);
        if (level >= kWarningHoldFull || SkipHeld()) {
            StartTime = platform::TimeGetTime();
            State = 4;
        }
        break;
    }
    case 4: {
        Elapsed = platform::TimeGetTime() - StartTime;
        const std::uint32_t level = FadeLevel(Elapsed, kWhiteFadeMs);
        if (level < kFull && !SkipHeld()) {
            DrawFade(Slot(2), Slot(3), level);
        } else {
            State = 6;
            ShowWhole(Slot(2));
            StartTime = platform::TimeGetTime();
        }
        break;
    }
    case 6:
        Close(window);
        break;
    default:
        break;
    }
    return true;
}

void CBootScreen::Open(platform::WindowHandle) {
    // The previous picture is taken before anything else is made.
    CopyOfBackBuffer(0);
    LoadPicture(BlankSurface(1, kBlack), "system\\logo_01.bmp");
    BlankSurface(2, kWhite);
    LoadSurface(3, "system\\warning.bmp");
    StartTime = platform::TimeGetTime();
    State = 1;
    SubState = 0;
}

void CBootScreen::ShowLogo(platform::WindowHandle) {
    Elapsed = platform::TimeGetTime() - StartTime;
    switch (SubState) {
    case 0: {
        const std::uint32_t level = FadeLevel(Elapsed, kLogoFadeMs);
        if (level < kFull && !SkipHeld()) {
            DrawFade(Slot(1), Slot(0), level);
            return;
        }
        ShowWhole(Slot(1));
        StartTitleCall();
        StartTime = platform::TimeGetTime();
        SubState = 1;
        break;
    }
    case 1: {
        const std::uint32_t level = FadeLevel(Elapsed, kLogoHoldMs);
        if (level < kFull && !SkipHeld()) return;
        ShowWhole(Slot(1));
        StartTime = platform::TimeGetTime();
        SubState = 2;
        break;
    }
    case 2: {
        const std::uint32_t level = FadeLevel(Elapsed, kWhiteFadeMs);
        if (level < kFull && !SkipHeld()) {
            DrawFade(Slot(2), Slot(1), level);
            return;
        }
        // The call is cut off here, however long it is.
        FreeVoiceSlot(0);
        State = 2;
        SubState = 0;
        ShowWhole(Slot(2));
        StartTime = platform::TimeGetTime();
        break;
    }
    default:
        break;
    }
}

void CBootScreen::StartTitleCall() {
    const std::uint32_t index = RandomByMinute(static_cast<std::uint32_t>(g_titleVoices.size()));
    PlayVoice(0, g_titleVoices[index]);
}

void CBootScreen::Close(platform::WindowHandle) {
    FreeSurface(1);
    FreeSurface(2);
    FreeSurface(3);
    State = 0;
    if (g_gameApp) g_gameApp->mode = 1;
}
