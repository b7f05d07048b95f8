#include "frontend/ChooserScreen.h"

#include "app/Config.h"
#include "app/GameApp.h"
#include "app/Input.h"
#include "app/Shell.h"
#include "frontend/ScreenKit.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "scenario/Scenario.h"
#include "sound/SoundChannel.h"

using namespace frontend;
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
constexpr char kMusic[] = "bgm\\n006.ogg";
constexpr char kMusicName[] = "n006.ogg";

int Width(const Rect& r) {
    return r.right - r.left;
}

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

void CChooserScreen::FreeSurfaces() {
    for (int slot = 1; slot <= 4; ++slot)
        FreeSurface(slot);
    FreeSurface(10);
}

void CChooserScreen::Run(platform::WindowHandle window) {
    switch (State) {
    case 0:
        Open(window);
        break;
    case 1:
        Intro(window);
        break;
    case 2:
        Input(window);
        break;
    case 4:
        FadeOut(window);
        break;
    case 5:
        LeaveByPanel(window);
        break;
    case 6:
        LeaveByButton(window);
        break;
    default:
        break;
    }
}

void CChooserScreen::Open(platform::WindowHandle) {
    SaveConfig();
    for (int slot = 1; slot <= 4; ++slot)
        LoadSurface(slot, layout_.pictures[slot - 1]);
    CopyOfBackBuffer(0);
    CopyOfSurface(10, Slot(1));
    // The title music plays on from the main title or the other chooser.
    if (!MusicNameIs(kMusicName)) {
        StartMusic(kMusic);
        SetMusicName(kMusicName);
    }
    StartTime = platform::TimeGetTime();
    SubState = 0;
    Level = 0;
    State = 1;
}

void CChooserScreen::Intro(platform::WindowHandle) {
    const std::uint32_t now = platform::TimeGetTime();
    Elapsed = now - StartTime;
    const int h = layout_.panelHeight;
    switch (SubState) {
    case 0: {
        const std::uint32_t level = FadeLevel(Elapsed, kFadeMs);
        if (level < kFull && !SkipOrClick()) {
            DrawFade(Slot(1), Slot(0), level);
            return;
        }
        g_mouse->skip = 0;
        g_mouse->click = 0;
        ShowWhole(Slot(1));
        Level = 0;
        StartTime = now;
        PanelSlide.fill(0);
        PanelStarted.fill(0);
        PanelStartTime.fill(0);
        PanelStartTime[0] = now;
        PanelStarted[0] = 1;
        SubState = 1;
        break;
    }
    case 1: {
        const std::uint32_t level = FadeLevel(Elapsed, kPanelsMs);
        if (level >= kFull || SkipOrClick()) {
            g_mouse->skip = 0;
            g_mouse->click = 0;
            ComposePanels();
            BltCopy(g_backBuffer.get(), kPanelLeft, 0, Slot(1), kPanelLeft, 0, kPanelWidth,
                    kScreenHeight);
            Level = 0;
            StartTime = now;
            SubState = 2;
            break;
        }
        BltCopy(g_backBuffer.get(), kPanelLeft, 0, Slot(1), kPanelLeft, 0, kPanelWidth,
                kScreenHeight);
        std::uint32_t firstLevel = 0;
        for (int p = 0; p < layout_.panelCount; ++p) {
            std::uint32_t panelLevel = 0;
            if (PanelStarted[p]) {
                panelLevel = FadeLevel(now - PanelStartTime[p], kPanelMs);
                PanelSlide[p] = std::min<std::int32_t>(
                    static_cast<std::int32_t>(panelLevel) * kPanelSlide / 256, kPanelSlide);
            }
            if (p == 0) {
                firstLevel = panelLevel;
                for (int q = 1; q < layout_.panelCount; ++q) {
                    if (firstLevel >= layout_.startAt[q + 1] && !PanelStarted[q]) {
                        PanelStarted[q] = 1;
                        PanelStartTime[q] = now;
                    }
                }
            }
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

void CChooserScreen::Input(platform::WindowHandle window) {
    const int h = layout_.panelHeight;
    PrevHoverButton = HoverButton;
    PrevHoverPanel = HoverPanel;
    HoverButton = 0;
    for (int b = 0; b < kButtons; ++b) {
        if (MouseIn(ButtonRects[b])) {
            HoverButton = static_cast<std::uint8_t>(b + 1);
            break;
        }
    }
    HoverPanel = 0;
    for (int p = 0; p < layout_.panelCount; ++p) {
        if (MouseIn(PanelRects[p])) {
            // A locked panel can be neither highlighted nor chosen.
            if (!Locked(p + 1)) HoverPanel = static_cast<std::uint8_t>(p + 1);
            break;
        }
    }
    if (HoverButton != PrevHoverButton) {
        if (HoverButton) {
            const Rect& r = ButtonRects[HoverButton - 1];
            BltAlpha(g_backBuffer.get(), r.left, r.top, Slot(3), 0, kButtonRow * (HoverButton - 1),
                     Width(r), kButtonRow);
        }
        if (PrevHoverButton) {
            const Rect& r = ButtonRects[PrevHoverButton - 1];
            BltCopy(g_backBuffer.get(), r.left, r.top, Slot(1), r.left, r.top, Width(r),
                    kButtonRow);
        }
    }
    if (HoverPanel != PrevHoverPanel) {
        if (HoverPanel) {
            const Rect& r = PanelRects[HoverPanel - 1];
            BltCopy(g_backBuffer.get(), r.left, r.top, Slot(2), 0, h * (HoverPanel - 1),
                    kPanelWidth, h);
        }
        if (PrevHoverPanel) {
            BltCopy(g_backBuffer.get(), kPanelLeft, h * (PrevHoverPanel - 1), Slot(1), kPanelLeft,
                    h * (PrevHoverPanel - 1), kPanelWidth, h);
        }
    }
    if (HoverButton != 0 && g_mouse->click) {
        if (HoverButton <= 3) {
            PlayClickSound();
            CopyOfBackBuffer(0);
            StartTime = platform::TimeGetTime();
            State = 6;
        } else if (AskQuit()) {
            StartTime = platform::TimeGetTime();
            State = 6;
        }
        g_mouse->click = 0;
    } else if (HoverPanel != 0 && g_mouse->click) {
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
        StartTime = platform::TimeGetTime();
        State = 4;
        g_mouse->click = 0;
    }
    (void)window;
}

void CChooserScreen::FadeOut(platform::WindowHandle) {
    Elapsed = platform::TimeGetTime() - StartTime;
    const std::uint32_t level = FadeLevel(Elapsed, kFadeMs);
    if (level < kFull && !SkipOrClick()) {
        DrawFade(Slot(0), Slot(1), level);
        return;
    }
    ShowWhole(Slot(0));
    g_mouse->click = 0;
    State = 5;
}

void CChooserScreen::LeaveByPanel(platform::WindowHandle) {
    FreeSurfaces();
    FreeSeSlot(0);
    StopMusic();
    FreeMusicName();
    State = 0;
    const std::uint8_t next = layout_.panelModes[HoverPanel >= 1 ? HoverPanel - 1 : 0];
    if (layout_.fadeMusicOnPanel) {
        if (g_scenario) {
            g_scenario->playContext = 0;
            g_scenario->menuReturn = 0;
            g_scenario->particlesOn = 0;
        }
    } else {
        // Every match starts against the first opponent.
        g_gameApp->opponentIndex = 0;
    }
    g_gameApp->mode = next;
    g_mouse->click = 0;
}

void CChooserScreen::LeaveByButton(platform::WindowHandle window) {
    FreeSurfaces();
    switch (HoverButton) {
    case 1:
        g_mouse->click = 0;
        g_gameApp->mode = layout_.otherChooser;
        break;
    case 2:
        State = 0;
        if (g_scenario) g_scenario->menuReturn = 0;
        g_gameApp->returnMode = layout_.ownMode;
        g_gameApp->mode = 9;
        break;
    case 3:
        FreeSeSlot(0);
        StopMusic();
        FreeMusicName();
        State = 0;
        if (g_scenario) {
            g_scenario->playContext = 1;
            g_scenario->menuReturn = 0;
        }
        g_gameApp->returnMode = layout_.ownMode;
        g_gameApp->mode = 15;
        break;
    case 4:
        StopMusic();
        DestroyWindow(window);
        break;
    default:
        break;
    }
}
