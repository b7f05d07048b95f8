#include "frontend/MainTitle.h"

#include "app/Config.h"
#include "app/GameApp.h"
#include "app/Input.h"
#include "frontend/ResetStory.h"
#include "frontend/TitleMusic.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "screenkit/ScreenKit.h"
#include "sound/SoundChannel.h"

using namespace screenkit;
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
constexpr std::uint32_t kNextLabelAt = 128;
constexpr std::uint32_t kGrowMs = 300;
constexpr std::uint32_t kZoomMs = 500;
constexpr std::uint32_t kWhiteFadeMs = 1000;
constexpr std::uint8_t kOwnMode = 1;

constexpr std::array<Picture, 5> kPictures{{
    {1, "system\\title_bg.bmp"},
    {2, "system\\title_p01.bmp"},
    {3, "system\\title_p02.bmp"},
    {4, "system\\title_p03.bmp"},
    {5, "system\\title_logo.bmp"},
}};

constexpr StateTable<CMainTitle, 7> kStates{
    &CMainTitle::Open,        &CMainTitle::ShowLogo, &CMainTitle::Input,      nullptr,
    &CMainTitle::FadeToWhite, &CMainTitle::Exit,     &CMainTitle::ChosenZoom,
};

} // namespace

CMainTitle::CMainTitle() {
    ItemRects = {Rect{586, 374, 696, 412}, Rect{568, 412, 756, 450}, Rect{546, 450, 680, 488},
                 Rect{526, 488, 646, 526}, Rect{506, 526, 594, 564}};
    HighlightRects = {Rect{560, 374, 726, 412}, Rect{522, 412, 800, 450}, Rect{514, 450, 714, 488},
                      Rect{498, 488, 676, 526}, Rect{488, 526, 614, 564}};
    if (g_gameApp) g_gameApp->screenRect = Rect{0, 0, kScreenWidth, kScreenHeight};
}

void CMainTitle::Run(platform::WindowHandle window) {
    RunState(*this, State, kStates, window);
}

void CMainTitle::Open(platform::WindowHandle window) {
    ResetStory(window);
    LoadPictures(kPictures);
    CopyOfBackBuffer(0);
    CopyOfSurface(10, Slot(1));
    StopMusic();
    if (g_config[config::kMusicOff] != 1) {
        StartMusic(frontend::kTitleMusic);
        SetMusicName(frontend::kTitleMusicName);
    }
    Clock().Restart();
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
    ClearClick();
    State = 2;
}

void CMainTitle::ShowLogo(platform::WindowHandle) {
    if (SkipOrClick()) {
        FinishIntro();
        return;
    }
    const std::uint32_t now = platform::TimeGetTime();
    switch (SubState) {
    case 0:
        if (Fading(Clock(), Slot(1), Slot(0), kBackgroundFadeMs, Hurry::BySkipOrClick)) return;
        SubState = 1;
        break;
    case 1: {
        const std::uint32_t level = FadeLevel(Clock().Tick(), kLogoFadeMs);
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
        // The first label's clock started with the logo: it stands whole at
        // once and the second one starts straight away.
        Labels().Reset(StartTime);
        Level = 0;
        SubState = 2;
        StartTime = now;
        break;
    }
    case 2: {
        if (FadeLevel(Clock().Tick(), kLabelsMs) >= kFull) {
            ComposeLabels();
            ShowWhole(Slot(1));
            SubState = 3;
            StartTime = now;
            break;
        }
        ShowWhole(Slot(1));
        // Each label slides 24 px to the left into its place while it fades
        // in; the next one starts when it is half there.
        for (int k = 0; k < kItems; ++k) {
            const std::uint32_t itemLevel = Labels().Advance(k, now, kLabelMs, kLabelSlide);
            if (k + 1 < kItems) {
                if (itemLevel >= kNextLabelAt) Labels().Start(k + 1, now);
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
        ClearClick();
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
    HoverItem = HitItem(ItemRects);
    if (g_keyboard->up) {
        HoverItem = HoverItem == 0 ? 1 : (HoverItem == 1 ? kItems : HoverItem - 1);
        const Rect& r = ItemRects[HoverItem - 1];
        WarpCursor(window, r.left + RectWidth(r) / 2, r.top + 26);
        g_keyboard->up = 0;
    }
    if (g_keyboard->down) {
        HoverItem = HoverItem == 0 ? kItems : (HoverItem == kItems ? 1 : HoverItem + 1);
        const Rect& r = ItemRects[HoverItem - 1];
        WarpCursor(window, r.left + RectWidth(r) / 2, r.top + 30);
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
    RestoreArea(Slot(1), 440, 370, 360, 230);
    if (HoverItem != 0) {
        const int c = HoverItem - 1;
        const Rect& r = HighlightRects[c];
        if (HoverPhase == 1) {
            // The plate grows from its centre over 300 ms while it fades in.
            const std::uint32_t half = static_cast<std::uint32_t>(RectWidth(r) / 2);
            const std::uint32_t t = now - HoverStart;
            const std::uint32_t w = StepLevel(t, half, kGrowMs);
            const std::uint32_t h = StepLevel(t, 19, kGrowMs);
            if (w >= half) {
                HoverPhase = 2;
            } else {
                BltStretchAlphaBlend(g_backBuffer.get(), r.left + static_cast<int>(half - w),
                                     r.top + 19 - static_cast<int>(h), static_cast<int>(2 * w),
                                     static_cast<int>(2 * h), Slot(4), 0, kRow * c, RectWidth(r),
                                     kRow, static_cast<int>(StepLevel(t, 254, kGrowMs)));
            }
        }
        if (HoverPhase == 2)
            BltAlpha(g_backBuffer.get(), r.left, r.top, Slot(4), 0, kRow * c, RectWidth(r), kRow);
    }
    for (int k = 0; k < kItems; ++k) {
        CDib* labels = (k + 1 == HoverItem) ? Slot(3) : Slot(2);
        BltAlpha(g_backBuffer.get(), ItemRects[k].left, ItemRects[k].top, labels, 0, kRow * k,
                 kLabelWidth, kRow);
    }
    if (HoverItem != 0 && TakeClick()) {
        PlayClickSound();
        ComposeLogo(10);
        StartTime = now;
        State = 6;
    }
}

void CMainTitle::ChosenZoom(platform::WindowHandle) {
    ShowWhole(Slot(10));
    Clock().Tick();
    const std::uint32_t level = FadeLevel(Elapsed, kZoomMs);
    // A click does not hurry the zoom.
    if (level < kFull && !Hurried(Hurry::BySkip) && HoverItem >= 1 && HoverItem <= kItems) {
        const int g1 = static_cast<int>(Elapsed * 64 / kZoomMs);
        const int g2 = static_cast<int>(Elapsed * 18 / kZoomMs);
        const int opacity = static_cast<int>(kFull - level);
        const int c = HoverItem - 1;
        const Rect& r = HighlightRects[c];
        BltStretchAlphaBlend(g_backBuffer.get(), r.left - g1, r.top - g2, RectWidth(r) + 2 * g1,
                             RectHeight(r) + 2 * g2, Slot(4), 0, kRow * c, RectWidth(r), kRow,
                             opacity);
        for (int k = 0; k < kItems; ++k) {
            const Rect& q = ItemRects[k];
            const int qw = RectWidth(q);
            const int qh = RectHeight(q);
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
    Clock().Restart();
    State = 4;
}

void CMainTitle::FadeToWhite(platform::WindowHandle) {
    if (!FadingOut(Clock(), kWhiteFadeMs)) State = 5;
}

void CMainTitle::Exit(platform::WindowHandle window) {
    FreeSurfaces(1, 10);
    switch (HoverItem) {
    case 1:
        ClearClick();
        LeaveTo(56);
        break;
    case 2:
        ClearClick();
        LeaveTo(57);
        break;
    case 3:
        OpenSettings(State, kOwnMode);
        break;
    case 4:
        FreeSeSlot(0);
        if (g_bgmChannel) {
            StopMusic();
            FreeMusicName();
        }
        ClearParticles();
        OpenExtras(State, kGalleryMode, kOwnMode);
        break;
    case 5:
        State = 10;
        Quit(window);
        break;
    default:
        break;
    }
}
