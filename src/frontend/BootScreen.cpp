#include "frontend/BootScreen.h"

#include "app/GameApp.h"
#include "gfx/Dib.h"
#include "screenkit/ScreenKit.h"

using namespace screenkit;

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
constexpr std::uint8_t kMainTitleMode = 1;

constexpr StateTable<CBootScreen, 7> kStates{
    &CBootScreen::Open,        &CBootScreen::ShowLogo,    &CBootScreen::FadeToWarning,
    &CBootScreen::HoldWarning, &CBootScreen::FadeToWhite, nullptr,
    &CBootScreen::Close,
};

} // namespace

CBootScreen::CBootScreen() {
    if (g_gameApp) g_gameApp->screenRect = platform::Rect{0, 0, kScreenWidth, kScreenHeight};
}

bool CBootScreen::Run(platform::WindowHandle window) {
    RunState(*this, State, kStates, window);
    return true;
}

void CBootScreen::Open(platform::WindowHandle) {
    // The previous picture is taken before anything else is made.
    CopyOfBackBuffer(0);
    LoadPicture(BlankSurface(1, kBlack), "system\\logo_01.bmp");
    BlankSurface(2, kWhite);
    LoadSurface(3, "system\\warning.bmp");
    Clock().Restart();
    State = 1;
    SubState = 0;
}

// A click hurries nothing here: only the skip key and skip-effects do.
void CBootScreen::ShowLogo(platform::WindowHandle) {
    switch (SubState) {
    case 0:
        if (Fading(Clock(), Slot(1), Slot(0), kLogoFadeMs, Hurry::BySkip)) return;
        StartTitleCall();
        SubState = 1;
        break;
    case 1:
        if (Holding(Clock(), kFull, kLogoHoldMs, Hurry::BySkip)) return;
        ShowWhole(Slot(1));
        SubState = 2;
        break;
    case 2:
        if (Fading(Clock(), Slot(2), Slot(1), kWhiteFadeMs, Hurry::BySkip)) return;
        // The call is cut off here, however long it is.
        FreeVoiceSlot(0);
        State = 2;
        SubState = 0;
        break;
    default:
        break;
    }
}

void CBootScreen::FadeToWarning(platform::WindowHandle) {
    if (!Fading(Clock(), Slot(3), Slot(2), kWarningFadeMs, Hurry::BySkip)) State = 3;
}

void CBootScreen::HoldWarning(platform::WindowHandle) {
    if (!Holding(Clock(), kWarningHoldFull, kWarningHoldMs, Hurry::BySkip)) State = 4;
}

void CBootScreen::FadeToWhite(platform::WindowHandle) {
    if (!Fading(Clock(), Slot(2), Slot(3), kWhiteFadeMs, Hurry::BySkip)) State = 6;
}

void CBootScreen::StartTitleCall() {
    const std::uint32_t index = RandomByMinute(static_cast<std::uint32_t>(g_titleVoices.size()));
    PlayVoice(0, g_titleVoices[index]);
}

void CBootScreen::Close(platform::WindowHandle) {
    FreeSurfaces(1, 3);
    State = 0;
    LeaveTo(kMainTitleMode);
}
