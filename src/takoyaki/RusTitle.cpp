#include "takoyaki/RusTitle.h"

#include "app/GameApp.h"
#include "app/Shell.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "scenario/Scenario.h"
#include "screenkit/ScreenKit.h"
#include "sound/SoundChannel.h"

#include <cmath>
#include <numbers>

using namespace screenkit;
using platform::Rect;

std::unique_ptr<CRusTitle> g_rusTitle;

namespace {

constexpr std::uint8_t kOwnMode = 65;
constexpr int kPanelW = 490;
constexpr int kPanelH = 310;
constexpr std::uint32_t kSlideMs = 300;
constexpr std::uint32_t kSpiralMs = 1000;
constexpr std::uint32_t kWarningMs = 10000;
constexpr int kStripX = 256;
constexpr int kStripW = 288;
constexpr int kStripH = 35;

constexpr std::array<Picture, 5> kPictures{{
    {1, "bmp\\title_base02.bmp"},
    {2, "bmp\\tako_title_p.bmp"},
    {3, "bmp\\title_base01.bmp"},
    {4, "bmp\\t_logo.bmp"},
    {5, "bmp\\sennmai.bmp"},
}};

constexpr std::array<const char*, 8> kTitleCalls{
    "voice\\pom0416.ogg", "voice\\kel0194.ogg", "voice\\dor0412.ogg", "voice\\mur0375.ogg",
    "voice\\fen0196.ogg", "voice\\vel0221.ogg", "voice\\hol0413.ogg", "voice\\gor0114.ogg",
};

constexpr StateTable<CRusTitle, 18> kStates{
    &CRusTitle::Open,
    &CRusTitle::SlideFirstPanel,
    &CRusTitle::SlideSecondPanel,
    &CRusTitle::FlashToWhite,
    &CRusTitle::FlashFromWhite,
    &CRusTitle::Spiral,
    &CRusTitle::FlashEmblem,
    &CRusTitle::FlashBand,
    &CRusTitle::ToFinished,
    &CRusTitle::ToMenu,
    &CRusTitle::Menu,
    &CRusTitle::FadeToBlack,
    &CRusTitle::Leave,
    nullptr,
    nullptr,
    &CRusTitle::ShowWarning,
    &CRusTitle::HoldWarning,
    &CRusTitle::StartStory,
};

// The slide's ease: L = log10(1 + 9 cos θ), θ = elapsed × 90 / 300 whole
// degrees, running from 1 to 0.
double Ease(std::uint32_t elapsed) {
    const std::uint32_t theta = std::min<std::uint32_t>(elapsed * 90 / kSlideMs, 90);
    return std::log10(1.0 + 9.0 * std::cos(theta * std::numbers::pi / 180.0));
}

} // namespace

CRusTitle::CRusTitle() {
    for (int n = 0; n < kItems; ++n)
        HighlightRows[n] = static_cast<std::uint16_t>(361 + 35 * n);
    if (g_gameApp) g_gameApp->screenRect = Rect{0, 0, kScreenWidth, kScreenHeight};
}

void CRusTitle::Run(platform::WindowHandle window) {
    RunState(*this, State, kStates, window);
}

void CRusTitle::NextStep(std::uint8_t state) {
    ClearClick();
    Clock().Restart();
    State = state;
}

void CRusTitle::Open(platform::WindowHandle) {
    BlankSurface(0, kBlack);
    BlankSurface(10, kBlack);
    g_backBuffer->FillRect(0, 0, kScreenWidth, kScreenHeight, kBlack);
    LoadPictures(kPictures);
    LoadSe(1, "se\\se129.ogg");
    LoadSe(2, "se\\se144.ogg");
    LoadSe(3, "se\\pse133.ogg");
    LoadSe(0, "se\\SE396.ogg");
    ReplaySe(1);
    ClearStoryState();
    FreeVoiceSlots();
    Clock().Restart();
    State = 1;
}

void CRusTitle::DrawPanels(CDib* target) {
    KeyedCopy(target, 120, 0, Slot(5), 0, 0, kPanelW, kPanelH);
    KeyedCopy(target, 190, 0, Slot(5), 0, kPanelH, kPanelW, kPanelH);
}

void CRusTitle::DrawLogoLayers(CDib* target) {
    KeyedCopy(target, 160, 180, Slot(4), 0, 0, 480, 164);
    DrawPanels(target);
    KeyedCopy(target, 90, 40, Slot(4), 0, 410, 620, 220);
}

void CRusTitle::ComposeTitle(bool emblem) {
    Slot(10)->FillRect(0, 0, kScreenWidth, kScreenHeight, kBlack);
    if (emblem) KeyedCopy(Slot(10), 280, 10, Slot(4), 480, 0, 240, 250);
    DrawLogoLayers(Slot(10));
}

void CRusTitle::SlideFirstPanel(platform::WindowHandle) {
    const std::uint32_t e = Clock().Tick();
    ShowWhole(Slot(0));
    if (e < kSlideMs && !SkipOrClick()) {
        // From the top-left corner down to (120, 0).
        const double l = Ease(e);
        KeyedCopy(g_backBuffer.get(), 120 - static_cast<int>(610 * l),
                  static_cast<int>(310 - 310 * l) - 310, Slot(5), 0, 0, kPanelW, kPanelH);
        return;
    }
    KeyedCopy(g_backBuffer.get(), 120, 0, Slot(5), 0, 0, kPanelW, kPanelH);
    ReplaySe(1);
    NextStep(2);
}

void CRusTitle::SlideSecondPanel(platform::WindowHandle) {
    const std::uint32_t e = Clock().Tick();
    ShowWhole(Slot(0));
    KeyedCopy(g_backBuffer.get(), 120, 0, Slot(5), 0, 0, kPanelW, kPanelH);
    if (e < kSlideMs && !SkipOrClick()) {
        // From the top-right corner down to (190, 0).
        const double l = Ease(e);
        KeyedCopy(g_backBuffer.get(), 800 - static_cast<int>(610 - 610 * l),
                  static_cast<int>(310 - 310 * l) - 310, Slot(5), 0, kPanelH, kPanelW, kPanelH);
        return;
    }
    KeyedCopy(g_backBuffer.get(), 190, 0, Slot(5), 0, kPanelH, kPanelW, kPanelH);
    BlankSurface(0, kWhite);
    CopyOfBackBuffer(10);
    ReplaySe(3);
    NextStep(3);
}

void CRusTitle::FlashToWhite(platform::WindowHandle) {
    if (Fading(Clock(), Slot(0), Slot(10), 200, Hurry::BySkipOrClick)) return;
    ComposeTitle(false);
    NextStep(4);
}

void CRusTitle::FlashFromWhite(platform::WindowHandle) {
    if (Fading(Clock(), Slot(10), Slot(0), 800, Hurry::BySkipOrClick)) return;
    BlankSurface(0, kBlack);
    NextStep(5);
}

void CRusTitle::Spiral(platform::WindowHandle) {
    const std::uint32_t t = Clock().Tick();
    if (t < kSpiralMs && !SkipOrClick()) {
        // The emblem spirals in from below while it shrinks; past half way
        // it passes behind the logo and the panels.
        const int a = 90 + static_cast<int>(t * 180 / kSpiralMs);
        const double r = 600.0 - t * 600 / kSpiralMs;
        const double rad = a * std::numbers::pi / 180.0;
        const int shrinkW = static_cast<int>(t * 240 / kSpiralMs);
        const int x = 160 + shrinkW / 2;
        const int y = static_cast<int>(r * std::sin(rad) + r * std::cos(rad) + 10);
        const int w = 480 - shrinkW;
        const int h = 500 - static_cast<int>(t * 250 / kSpiralMs);
        if (a < 180) {
            ShowWhole(Slot(10));
            BltStretchAlphaBlend(g_backBuffer.get(), x, y, w, h, Slot(4), 480, 0, 240, 250, 254);
        } else {
            ShowWhole(Slot(0));
            BltStretchAlphaBlend(g_backBuffer.get(), x, y, w, h, Slot(4), 480, 0, 240, 250, 254);
            DrawLogoLayers(g_backBuffer.get());
        }
        return;
    }
    ComposeTitle(true);
    ShowWhole(Slot(10));
    ReplaySe(0);
    BlankSurface(0, kWhite);
    NextStep(6);
}

void CRusTitle::FlashEmblem(platform::WindowHandle) {
    if (Fading(Clock(), Slot(0), Slot(10), 200, Hurry::BySkipOrClick)) return;
    KeyedCopy(Slot(10), 280, 0, Slot(4), 480, 250, 240, 160);
    KeyedCopy(Slot(10), 160, 294, Slot(4), 0, 164, 480, 86);
    const std::uint32_t r = RandomByMinute(8);
    FreeVoiceSlot(0);
    PlayVoice(0, kTitleCalls[r]);
    NextStep(7);
}

void CRusTitle::FlashBand(platform::WindowHandle) {
    if (Fading(Clock(), Slot(10), Slot(0), 400, Hurry::BySkipOrClick)) return;
    ReplaySe(2);
    g_maskImage = std::make_unique<CDib>();
    LoadPicture(g_maskImage.get(), "bmp\\mask06.bmp");
    NextStep(8);
}

void CRusTitle::ToFinished(platform::WindowHandle) {
    if (Fading(Clock(), Slot(3), Slot(10), 1000, Hurry::BySkipOrClick)) return;
    NextStep(9);
}

void CRusTitle::ToMenu(platform::WindowHandle) {
    if (Fading(Clock(), Slot(1), Slot(3), 500, Hurry::BySkipOrClick)) return;
    MenuRects = {Rect{343, 365, 457, 400}, Rect{329, 400, 471, 435}, Rect{359, 435, 441, 470},
                 Rect{346, 470, 454, 505}, Rect{305, 505, 495, 540}, Rect{305, 540, 495, 575}};
    StartMusic("bgm\\n008.ogg");
    for (int slot = 0; slot <= 3; ++slot)
        FreeSeSlot(slot);
    HoverItem = PrevHoverItem = 0;
    NextStep(10);
}

void CRusTitle::Menu(platform::WindowHandle) {
    if (TrackHover(HoverItem, PrevHoverItem, MenuRects)) {
        if (PrevHoverItem != 0)
            RestoreArea(Slot(1), kStripX, HighlightRows[PrevHoverItem - 1], kStripW, kStripH);
        if (HoverItem != 0)
            KeyedCopy(g_backBuffer.get(), kStripX, HighlightRows[HoverItem - 1], Slot(2), 0,
                      kStripH * (HoverItem - 1), kStripW, kStripH);
    }
    const auto fadeMusic = [] {
        if (g_bgmChannel) g_bgmChannel->FadeOut(1000);
        if (g_scenario) g_scenario->bgmPlaying = 0;
    };
    if (HoverItem != 0 && TakeClick()) {
        switch (HoverItem) {
        case 1:
        case 4:
        case 5:
            BlankSurface(0, kBlack);
            CopyOfBackBuffer(1);
            if (HoverItem == 1) PlayVoice(0, "voice\\gor0116.ogg");
            fadeMusic();
            NextStep(11);
            return;
        case 2:
        case 3:
            // The title music plays on into the next screen.
            CopyOfBackBuffer(0);
            NextStep(12);
            return;
        case 6:
            if (!ConfirmQuit()) return;
            BlankSurface(0, kBlack);
            NextStep(11);
            return;
        default:
            return;
        }
    }
    if (TakeCancel()) {
        PlaySe(2, "se\\Pop_D002.ogg");
        BlankSurface(0, kBlack);
        HoverItem = kRightClick;
        NextStep(11);
    }
}

void CRusTitle::FadeToBlack(platform::WindowHandle) {
    if (Fading(Clock(), Slot(0), Slot(1), 2000, Hurry::BySkipOrClick)) return;
    NextStep(12);
}

void CRusTitle::Leave(platform::WindowHandle window) {
    FreeSurfaces(1, 4);
    FreeVoiceSlot(0);
    const auto toGame = [this](std::uint8_t mode) {
        State = 0;
        SetMenuReturn(0);
        LeaveTo(mode);
    };
    switch (HoverItem) {
    case 1:
        StopScreenSounds();
        LoadSurface(1, "bmp\\Warning_rus.bmp");
        NextStep(15);
        return;
    case 2:
        SetPlayContext(3);
        if (g_gameApp) g_gameApp->opponentIndex = 0;
        toGame(68);
        return;
    case 3:
        toGame(71);
        return;
    case 4:
        OpenSettings(State, kOwnMode);
        return;
    case 5:
        OpenExtras(State, kWallpaperMode, kOwnMode);
        return;
    case 6:
        State = 13; // nothing runs while the window closes
        Quit(window);
        return;
    case kRightClick:
        StopScreenSounds();
        SetPlayContext(0);
        toGame(57);
        return;
    default:
        return;
    }
}

void CRusTitle::ShowWarning(platform::WindowHandle) {
    if (Fading(Clock(), Slot(1), Slot(0), 1000, Hurry::BySkipOrClick)) return;
    CopyOfBackBuffer(0);
    NextStep(16);
}

void CRusTitle::HoldWarning(platform::WindowHandle) {
    if (Holding(Clock(), kFull, kWarningMs, Hurry::BySkipOrClick)) return;
    ClearClickAndSkip();
    State = 17;
}

void CRusTitle::StartStory(platform::WindowHandle) {
    FreeSurface(1);
    if (g_gameApp) g_gameApp->opponentIndex = 0;
    State = 0;
    LeaveForStory("rus_pom_1.s", 3);
}
