#include "frontend/ChooserScreen.h"

#include "app/Config.h"
#include "app/GameApp.h"
#include "frontend/TitleMusic.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "scenario/Scenario.h"
#include "screenkit/ScreenKit.h"
#include "sound/SoundChannel.h"

using namespace screenkit;
using platform::Rect;

namespace {

constexpr int kPanelLeft = 253;
constexpr int kPanelWidth = 547;
constexpr int kPanelSlide = 255;
constexpr int kButtonRow = 34;
constexpr std::uint32_t kFadeMs = 1000;
constexpr std::uint32_t kPanelsMs = 1000;
constexpr std::uint32_t kPanelMs = 400;
constexpr std::uint32_t kMusicFadeMs = 1000;

constexpr StateTable<CChooserScreen, 7> kStates{
    &CChooserScreen::Open,          &CChooserScreen::Intro,
    &CChooserScreen::Input,         nullptr,
    &CChooserScreen::FadeOut,       &CChooserScreen::LeaveByPanel,
    &CChooserScreen::LeaveByButton,
};

} // namespace

CChooserScreen::CChooserScreen(const ChooserLayout& layout) : layout_(layout) {
    ButtonRects = {layout.firstButton, Rect{22, 464, 146, 498}, Rect{28, 498, 140, 532},
                   Rect{44, 532, 126, 566}};
    for (int p = 0; p < layout.panelCount; ++p)
        PanelRects[p] =
            Rect{kPanelLeft, layout.panelHeight * p, kScreenWidth, layout.panelHeight * (p + 1)};
    if (g_gameApp) g_gameApp->screenRect = Rect{0, 0, kScreenWidth, kScreenHeight};
}

bool CChooserScreen::Locked(int panel) const {
    return layout_.lockedPanel == panel &&
           g_config[config::kScriptFlags + static_cast<std::size_t>(layout_.lockFlag)] == 0;
}

void CChooserScreen::ComposePanels() {
    const int h = layout_.panelHeight;
    BltAlpha(Slot(1), kPanelLeft, 0, Slot(4), 0, 0, kPanelWidth, kScreenHeight);
    if (layout_.lockedPanel && Locked(layout_.lockedPanel)) {
        const int p = layout_.lockedPanel - 1;
        BltAlpha(Slot(1), kPanelLeft, h * p, Slot(4), 0, h * layout_.panelCount, kPanelWidth, h);
    }
}

void CChooserScreen::ShowPanelArea() {
    RestoreArea(Slot(1), kPanelLeft, 0, kPanelWidth, kScreenHeight);
}

void CChooserScreen::FreeSurfaces() {
    screenkit::FreeSurfaces(1, 4);
    FreeSurface(10);
}

void CChooserScreen::Run(platform::WindowHandle window) {
    RunState(*this, State, kStates, window);
}

void CChooserScreen::Open(platform::WindowHandle) {
    SaveConfig();
    LoadPictures(layout_.pictures);
    CopyOfBackBuffer(0);
    CopyOfSurface(10, Slot(1));
    // The title music plays on from the main title or the other chooser.
    KeepOrStartMusic(frontend::kTitleMusic, frontend::kTitleMusicName);
    Clock().Restart();
    SubState = 0;
    Level = 0;
    State = 1;
}

void CChooserScreen::Intro(platform::WindowHandle) {
    const std::uint32_t now = platform::TimeGetTime();
    const int h = layout_.panelHeight;
    switch (SubState) {
    case 0:
        if (Fading(Clock(), Slot(1), Slot(0), kFadeMs, Hurry::BySkipOrClick)) return;
        ClearClickAndSkip();
        Panels().Reset(now);
        SubState = 1;
        break;
    case 1: {
        const std::uint32_t level = FadeLevel(Clock().Tick(), kPanelsMs);
        if (level >= kFull || SkipOrClick()) {
            ClearClickAndSkip();
            ComposePanels();
            ShowPanelArea();
            Level = 0;
            StartTime = now;
            SubState = 2;
            break;
        }
        ShowPanelArea();
        for (int p = 0; p < layout_.panelCount; ++p) {
            const std::uint32_t panelLevel = Panels().Advance(p, now, kPanelMs, kPanelSlide);
            // The later panels start at levels of the first one.
            if (p == 0)
                for (int q = 1; q < layout_.panelCount; ++q)
                    if (panelLevel >= layout_.startAt[q + 1]) Panels().Start(q, now);
            if (p == layout_.panelCount - 1 && panelLevel >= kFull) SubState = 2;
            // Each panel slides 255 px to the left while it fades in.
            const int x = kPanelLeft + kPanelSlide - PanelSlide[p];
            BltAlphaBlend(g_backBuffer.get(), x, h * p, Slot(4), 0, h * p, kPanelWidth, h,
                          static_cast<int>(panelLevel));
            if (Locked(p + 1))
                BltAlphaBlend(g_backBuffer.get(), x, h * p, Slot(4), 0, h * layout_.panelCount,
                              kPanelWidth, h, static_cast<int>(panelLevel));
        }
        break;
    }
    case 2:
        BltCopy(Slot(1), 0, 0, Slot(10), 0, 0, kScreenWidth, kScreenHeight);
        ComposePanels();
        ShowWhole(Slot(1));
        SubState = 0;
        State = 2;
        break;
    default:
        break;
    }
}

void CChooserScreen::Input(platform::WindowHandle) {
    const int h = layout_.panelHeight;
    const bool buttonChanged = TrackHover(HoverButton, PrevHoverButton, ButtonRects);
    PrevHoverPanel = HoverPanel;
    HoverPanel = HitItem(std::span(PanelRects).first(static_cast<std::size_t>(layout_.panelCount)));
    // A locked panel can be neither highlighted nor chosen.
    if (HoverPanel != 0 && Locked(HoverPanel)) HoverPanel = 0;
    if (buttonChanged) {
        if (HoverButton) {
            const Rect& r = ButtonRects[HoverButton - 1];
            BltAlpha(g_backBuffer.get(), r.left, r.top, Slot(3), 0, kButtonRow * (HoverButton - 1),
                     RectWidth(r), kButtonRow);
        }
        if (PrevHoverButton) {
            const Rect& r = ButtonRects[PrevHoverButton - 1];
            RestoreArea(Slot(1), r.left, r.top, RectWidth(r), kButtonRow);
        }
    }
    if (HoverPanel != PrevHoverPanel) {
        if (HoverPanel) {
            const Rect& r = PanelRects[HoverPanel - 1];
            BltCopy(g_backBuffer.get(), r.left, r.top, Slot(2), 0, h * (HoverPanel - 1),
                    kPanelWidth, h);
        }
        if (PrevHoverPanel)
            RestoreArea(Slot(1), kPanelLeft, h * (PrevHoverPanel - 1), kPanelWidth, h);
    }
    if (HoverButton != 0 && TakeClick()) {
        if (HoverButton <= 3) {
            PlayClickSound();
            CopyOfBackBuffer(0);
            Clock().Restart();
            State = 6;
        } else if (ConfirmQuit()) {
            Clock().Restart();
            State = 6;
        }
    } else if (HoverPanel != 0 && TakeClick()) {
        PlayClickSound();
        const int p = HoverPanel - 1;
        if (layout_.fadeMusicOnPanel) {
            // Both pictures show the same frame: the screen stands still
            // while the music fades out.
            CopyOfBackBuffer(0);
            BltCopy(Slot(1), kPanelLeft, h * p, Slot(2), 0, h * p, kPanelWidth, h);
            if (g_bgmChannel) {
                g_bgmChannel->FadeOut(kMusicFadeMs);
                if (g_scenario) g_scenario->bgmPlaying = 0;
            }
        } else {
            CopyOfBackBuffer(1);
            if (Slot(0)) Slot(0)->FillRect(0, 0, kScreenWidth, kScreenHeight, kBlack);
        }
        Clock().Restart();
        State = 4;
    }
}

void CChooserScreen::FadeOut(platform::WindowHandle) {
    if (!FadingOut(Clock(), kFadeMs)) State = 5;
}

void CChooserScreen::LeaveByPanel(platform::WindowHandle) {
    FreeSurfaces();
    StopScreenSounds();
    State = 0;
    const std::uint8_t next = layout_.panelModes[HoverPanel >= 1 ? HoverPanel - 1 : 0];
    if (layout_.fadeMusicOnPanel) {
        SetPlayContext(0);
        SetMenuReturn(0);
        ClearParticles();
    } else {
        // Every match starts against the first opponent.
        g_gameApp->opponentIndex = 0;
    }
    LeaveTo(next);
    ClearClick();
}

void CChooserScreen::LeaveByButton(platform::WindowHandle window) {
    FreeSurfaces();
    switch (HoverButton) {
    case 1:
        ClearClick();
        LeaveTo(layout_.otherChooser);
        break;
    case 2:
        OpenSettings(State, layout_.ownMode);
        break;
    case 3:
        StopScreenSounds();
        OpenExtras(State, kGalleryMode, layout_.ownMode);
        break;
    case 4:
        Quit(window);
        break;
    default:
        break;
    }
}
