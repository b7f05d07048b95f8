#include "frontend/MainTitle.h"

#include "app/Config.h"
#include "app/GameApp.h"
#include "app/Input.h"
#include "app/Shell.h"
#include "frontend/ResetStory.h"
#include "frontend/ScreenKit.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "scenario/Scenario.h"
#include "sound/SoundChannel.h"

using namespace frontend;
using platform::Rect;

std::unique_ptr<CMainTitle> g_mainTitle;

namespace {

constexpr int kLabelWidth = 188;
constexpr int kRow = 38; // label, highlight and plate rows
constexpr int kLogoWidth = 440;
constexpr int kLogoHeight = 320;
constexpr int kLogoAreaWidth = 540;
constexpr int kLogoAreaHeight = 400;
constexpr std::uint32_t kBackgroundFadeMs = 1000;
constexpr std::uint32_t kLogoFadeMs = 1600;
constexpr std::uint32_t kLabelsMs = 2000;
constexpr std::uint32_t kLabelMs = 250;
constexpr std::int32_t kLabelSlide = 24;
constexpr std::uint32_t kGrowMs = 300;
constexpr std::uint32_t kZoomMs = 500;
constexpr std::uint32_t kWhiteFadeMs = 1000;
constexpr char kMusic[] = "bgm\\n006.ogg";
constexpr char kMusicName[] = "n006.ogg";

int Width(const Rect& r) {
    return r.right - r.left;
}
int Height(const Rect& r) {
    return r.bottom - r.top;
}

} // namespace

CMainTitle::CMainTitle() {
    ItemRects = {Rect{586, 374, 696, 412}, Rect{568, 412, 756, 450}, Rect{546, 450, 680, 488},
                 Rect{526, 488, 646, 526}, Rect{506, 526, 594, 564}};
    HighlightRects = {Rect{560, 374, 726, 412}, Rect{522, 412, 800, 450}, Rect{514, 450, 714, 488},
                      Rect{498, 488, 676, 526}, Rect{488, 526, 614, 564}};
    if (g_gameApp) g_gameApp->screenRect = Rect{0, 0, kScreenWidth, kScreenHeight};
}

void CMainTitle::Run(platform::WindowHandle window) {
    switch (State) {
    case 0:
        Open(window);
        break;
    case 1:
        ShowLogo(window);
        break;
    case 2:
        Input(window);
        break;
    case 4:
        FadeToWhite(window);
        break;
    case 5:
        Exit(window);
        break;
    case 6:
        ChosenZoom(window);
        break;
    default:
        break;
    }
}

void CMainTitle::Open(platform::WindowHandle window) {
    ResetStory(window);
    LoadSurface(1, "system\\title_bg.bmp");
    LoadSurface(2, "system\\title_p01.bmp");
    LoadSurface(3, "system\\title_p02.bmp");
    LoadSurface(4, "system\\title_p03.bmp");
    LoadSurface(5, "system\\title_logo.bmp");
    CopyOfBackBuffer(0);
    CopyOfSurface(10, Slot(1));
    StopMusic();
    if (g_config[config::kMusicOff] != 1) {
        StartMusic(kMusic);
        SetMusicName(kMusicName);
    }
    StartTime = platform::TimeGetTime();
    SubState = 0;
    Level = 0;
    State = 1;
}

void CMainTitle::ComposeLogo(int slot) {
    BltAlpha(Slot(slot), 0, 0, Slot(5), 0, 0, kLogoWidth, kLogoHeight);
    BltAlpha(Slot(slot), 0, 0, Slot(5), 0, kLogoHeight, kLogoWidth, kLogoHeight);
}

void CMainTitle::ComposeLabels() {
    for (int k = 0; k < kItems; ++k)
        BltAlpha(Slot(1), ItemRects[k].left, ItemRects[k].top, Slot(2), 0, kRow * k, kLabelWidth,
                 kRow);
}

void CMainTitle::FinishIntro() {
    BltCopy(Slot(1), 0, 0, Slot(10), 0, 0, kScreenWidth, kScreenHeight);
    ComposeLogo(1);
    ComposeLabels();
    ShowWhole(Slot(1));
    g_mouse->click = 0;
    State = 2;
}

void CMainTitle::ShowLogo(platform::WindowHandle) {
    if (SkipOrClick()) {
        FinishIntro();
        return;
    }
    const std::uint32_t now = platform::TimeGetTime();
    Elapsed = now - StartTime;
    switch (SubState) {
    case 0: {
        const std::uint32_t level = FadeLevel(Elapsed, kBackgroundFadeMs);
        Level = static_cast<std::uint16_t>(level);
        if (level < kFull) {
            DrawFade(Slot(1), Slot(0), level);
            return;
        }
        ShowWhole(Slot(1));
        Level = 0;
        SubState = 1;
        StartTime = now;
        break;
    }
    case 1: {
        const std::uint32_t level = FadeLevel(Elapsed, kLogoFadeMs);
        Level = static_cast<std::uint16_t>(level);
        if (level < kFull) {
            BltCopy(g_backBuffer.get(), 0, 0, Slot(1), 0, 0, kLogoAreaWidth, kLogoAreaHeight);
            if (level >= 2) {
                // The two layers slide in diagonally from opposite sides.
                const int d = static_cast<int>(level / 15);
                BltAlphaBlend(g_backBuffer.get(), d - 17, 17 - d, Slot(5), 0, 0, kLogoWidth,
                              kLogoHeight, static_cast<int>(level));
                BltAlphaBlend(g_backBuffer.get(), 17 - d, d - 17, Slot(5), 0, kLogoHeight,
                              kLogoWidth, kLogoHeight, static_cast<int>(level));
            }
            return;
        }
        ComposeLogo(1);
        BltCopy(g_backBuffer.get(), 0, 0, Slot(1), 0, 0, kLogoAreaWidth, kLogoAreaHeight);
        ItemSlide.fill(0);
        ItemStarted.fill(0);
        ItemStartTime.fill(0);
        // The first label's clock started with the logo: it stands whole at
        // once and the second one starts straight away.
        ItemStartTime[0] = StartTime;
        ItemStarted[0] = 1;
        Level = 0;
        SubState = 2;
        StartTime = now;
        break;
    }
    case 2: {
        const std::uint32_t level = FadeLevel(Elapsed, kLabelsMs);
        if (level >= kFull) {
            ComposeLabels();
            ShowWhole(Slot(1));
            SubState = 3;
            StartTime = now;
            break;
        }
        ShowWhole(Slot(1));
        for (int k = 0; k < kItems; ++k) {
            std::uint32_t itemLevel = 0;
            if (ItemStarted[k]) {
                itemLevel = FadeLevel(now - ItemStartTime[k], kLabelMs);
                ItemSlide[k] = std::min<std::int32_t>(
                    static_cast<std::int32_t>(itemLevel) * kLabelSlide / 256, kLabelSlide);
            }
            if (k + 1 < kItems) {
                if (itemLevel >= 128 && !ItemStarted[k + 1]) {
                    ItemStarted[k + 1] = 1;
                    ItemStartTime[k + 1] = now;
                }
            } else if (itemLevel >= kFull) {
                SubState = 3;
            }
            BltAlphaBlend(g_backBuffer.get(), ItemRects[k].left - ItemSlide[k] + kLabelSlide,
                          ItemRects[k].top, Slot(2), 0, kRow * k, kLabelWidth, kRow,
                          static_cast<int>(itemLevel));
        }
        break;
    }
    case 3:
        g_mouse->click = 0;
        SubState = 0;
        State = 2;
        break;
    default:
        break;
    }
}

void CMainTitle::Input(platform::WindowHandle window) {
    const std::uint32_t now = platform::TimeGetTime();
    PrevHoverItem = HoverItem;
    HoverItem = 0;
    for (int k = 0; k < kItems; ++k) {
        if (MouseIn(ItemRects[k])) {
            HoverItem = static_cast<std::uint8_t>(k + 1);
            break;
        }
    }
    if (g_keyboard->up) {
        HoverItem = HoverItem == 0 ? 1 : (HoverItem == 1 ? kItems : HoverItem - 1);
        const Rect& r = ItemRects[HoverItem - 1];
        WarpCursor(window, r.left + Width(r) / 2, r.top + 26);
        g_keyboard->up = 0;
    }
    if (g_keyboard->down) {
        HoverItem = HoverItem == 0 ? kItems : (HoverItem == kItems ? 1 : HoverItem + 1);
        const Rect& r = ItemRects[HoverItem - 1];
        WarpCursor(window, r.left + Width(r) / 2, r.top + 30);
        g_keyboard->down = 0;
    }
    if (HoverItem != PrevHoverItem) {
        if (HoverItem != 0) {
            HoverPhase = 1;
            HoverStart = now;
        } else {
            HoverPhase = 0;
        }
    }
    BltCopy(g_backBuffer.get(), 440, 370, Slot(1), 440, 370, 360, 230);
    if (HoverItem != 0) {
        const int c = HoverItem - 1;
        const Rect& r = HighlightRects[c];
        if (HoverPhase == 1) {
            // The plate grows from its centre over 300 ms while it fades in.
            const std::uint32_t half = static_cast<std::uint32_t>(Width(r) / 2);
            const std::uint32_t t = now - HoverStart;
            const std::uint32_t w = StepLevel(t, half, kGrowMs);
            const std::uint32_t h = StepLevel(t, 19, kGrowMs);
            if (w >= half) {
                HoverPhase = 2;
            } else {
                BltStretchAlphaBlend(g_backBuffer.get(), r.left + static_cast<int>(half - w),
                                     r.top + 19 - static_cast<int>(h), static_cast<int>(2 * w),
                                     static_cast<int>(2 * h), Slot(4), 0, kRow * c, Width(r), kRow,
                                     static_cast<int>(StepLevel(t, 254, kGrowMs)));
            }
        }
        if (HoverPhase == 2)
            BltAlpha(g_backBuffer.get(), r.left, r.top, Slot(4), 0, kRow * c, Width(r), kRow);
    }
    for (int k = 0; k < kItems; ++k) {
        CDib* labels = (k + 1 == HoverItem) ? Slot(3) : Slot(2);
        BltAlpha(g_backBuffer.get(), ItemRects[k].left, ItemRects[k].top, labels, 0, kRow * k,
                 kLabelWidth, kRow);
    }
    if (HoverItem != 0 && g_mouse->click) {
        PlayClickSound();
        ComposeLogo(10);
        StartTime = now;
        State = 6;
        g_mouse->click = 0;
    }
}

void CMainTitle::ChosenZoom(platform::WindowHandle) {
    ShowWhole(Slot(10));
    const std::uint32_t now = platform::TimeGetTime();
    Elapsed = now - StartTime;
    const std::uint32_t level = FadeLevel(Elapsed, kZoomMs);
    // A click does not hurry the zoom.
    if (level < kFull && !SkipHeld() && HoverItem >= 1 && HoverItem <= kItems) {
        const int g1 = static_cast<int>(Elapsed * 64 / kZoomMs);
        const int g2 = static_cast<int>(Elapsed * 18 / kZoomMs);
        const int opacity = static_cast<int>(kFull - level);
        const int c = HoverItem - 1;
        const Rect& r = HighlightRects[c];
        BltStretchAlphaBlend(g_backBuffer.get(), r.left - g1, r.top - g2, Width(r) + 2 * g1,
                             Height(r) + 2 * g2, Slot(4), 0, kRow * c, Width(r), kRow, opacity);
        for (int k = 0; k < kItems; ++k) {
            const Rect& q = ItemRects[k];
            const int qw = Width(q);
            const int qh = Height(q);
            if (k == c) {
                BltStretchAlphaBlend(g_backBuffer.get(), q.left - g1 / 2, q.top - g2 / 2, qw + g1,
                                     qh + g2, Slot(3), 0, kRow * k, qw, qh, opacity);
            } else {
                // Shrinks to nothing: a width of 0 or less draws nothing.
                BltStretchAlphaBlend(g_backBuffer.get(), q.left + g1, q.top + g2 / 2, qw - 2 * g1,
                                     qh - g2, Slot(2), 0, kRow * k, qw, qh, opacity);
            }
        }
        return;
    }
    BlankSurface(0, kWhite);
    CopyOfBackBuffer(1);
    StartTime = now;
    State = 4;
}

void CMainTitle::FadeToWhite(platform::WindowHandle) {
    Elapsed = platform::TimeGetTime() - StartTime;
    const std::uint32_t level = FadeLevel(Elapsed, kWhiteFadeMs);
    if (level < kFull && !SkipOrClick()) {
        DrawFade(Slot(0), Slot(1), level);
        return;
    }
    ShowWhole(Slot(0));
    g_mouse->click = 0;
    State = 5;
}

void CMainTitle::Exit(platform::WindowHandle window) {
    for (int slot = 1; slot <= 10; ++slot)
        FreeSurface(slot);
    switch (HoverItem) {
    case 1:
        g_mouse->click = 0;
        g_gameApp->mode = 56;
        break;
    case 2:
        g_mouse->click = 0;
        g_gameApp->mode = 57;
        break;
    case 3:
        State = 0;
        if (g_scenario) g_scenario->menuReturn = 0;
        g_gameApp->returnMode = 1;
        g_gameApp->mode = 9;
        break;
    case 4:
        FreeSeSlot(0);
        if (g_bgmChannel) {
            StopMusic();
            FreeMusicName();
        }
        State = 0;
        if (g_scenario) {
            g_scenario->playContext = 1;
            g_scenario->menuReturn = 0;
            g_scenario->particlesOn = 0;
        }
        g_gameApp->returnMode = 1;
        g_gameApp->mode = 15;
        break;
    case 5:
        State = 10;
        StopMusic();
        DestroyWindow(window);
        break;
    default:
        break;
    }
}
