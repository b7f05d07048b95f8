#include "mahjong/MahjongTitle.h"

#include "app/GameApp.h"
#include "app/Input.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "gfx/TrigTables.h"
#include "mahjong/HeroineFlags.h"
#include "screenkit/ScreenKit.h"

#include <algorithm>
#include <cmath>
#include <numbers>

using namespace screenkit;
using platform::Rect;

std::unique_ptr<CMahjongTitle> g_mahjongTitle;

namespace {

constexpr std::uint8_t kOwnMode = 61;
constexpr std::uint32_t kFadeInMs = 1000;
constexpr std::uint32_t kSweepMs = 1500;
constexpr std::uint32_t kBandMs = 500;
constexpr int kBandHeight = 75;
constexpr int kAlternateBandY = 600;
constexpr std::int32_t kNextBandAt = 200;
constexpr std::uint32_t kLogoMs = 500;
constexpr std::uint32_t kSlideMs = 600;
constexpr std::uint32_t kBounceMs = 700;
constexpr std::uint32_t kMenuMs = 1200;
constexpr std::uint32_t kStripMs = 350;
constexpr std::int32_t kNextStripAt = 120;
constexpr std::uint32_t kBlackMs = 1000;

// The logo picture: the logo, its second layer and the emblem.
constexpr int kLogoW = 520;
constexpr int kLogoH = 280;
constexpr int kLogoX = 140;
constexpr int kLogoY = 40;
constexpr int kLayerY = 6;
constexpr int kEmblemSrcY = 560;
constexpr int kEmblemW = 234;
constexpr int kEmblemH = 130;
constexpr int kEmblemX = 176;
constexpr int kEmblemY = 150;
constexpr int kSlideFrom = 410;
// Above the menu: the rows the logo steps draw in.
constexpr int kLogoAreaH = 344;

// The menu strips: normal form at x 0, highlighted at x 312.
constexpr int kStripW = 312;
constexpr int kStripH = 37;
constexpr int kMenuX = 244;
constexpr int kMenuY = 344;

constexpr const char* kEmblemSound = "se\\nse057_1.ogg";
constexpr const char* kBackSound = "se\\Pop_D002.ogg";
constexpr const char* kMusic = "bgm\\p009.ogg";
constexpr std::array<const char*, mahjong::kHeroines> kTitleCalls{
    "voice\\vel0168.ogg", "voice\\dor0385.ogg", "voice\\fen0177.ogg", "voice\\mur0348.ogg",
    "voice\\lis0238.ogg", "voice\\bex0829.ogg", "voice\\hol0385.ogg", "voice\\sef0416.ogg",
};

constexpr std::array<Picture, 4> kPictures{{
    {1, "bmp\\title.bmp"},
    {2, "bmp\\title_p01.bmp"},
    {3, "bmp\\title_p.bmp"},
    {4, "bmp\\t_moji.bmp"},
}};

constexpr StateTable<CMahjongTitle, 10> kStates{
    &CMahjongTitle::Open,      &CMahjongTitle::FadeIn,      &CMahjongTitle::BandSweep,
    &CMahjongTitle::LogoFade,  &CMahjongTitle::EmblemSlide, &CMahjongTitle::EmblemBounce,
    &CMahjongTitle::MenuBuild, &CMahjongTitle::Menu,        &CMahjongTitle::FadeToBlack,
    &CMahjongTitle::Leave,
};

int StripY(int item) {
    return kMenuY + kStripH * (item - 1);
}

} // namespace

CMahjongTitle::CMahjongTitle() {
    if (g_gameApp) g_gameApp->screenRect = Rect{0, 0, kScreenWidth, kScreenHeight};
}

void CMahjongTitle::Run(platform::WindowHandle window) {
    RunState(*this, State, kStates, window);
}

void CMahjongTitle::ClearBands() {
    BandOffset.fill(0);
    BandRunning.fill(0);
    BandStart.fill(0);
    BandLevel.fill(0);
}

void CMahjongTitle::EndStep(std::uint8_t next) {
    ClearClick();
    Clock().Restart();
    State = next;
}

void CMahjongTitle::Open(platform::WindowHandle) {
    LoadPictures(kPictures);
    CopyOfBackBuffer(0);
    MenuRects = {Rect{353, 347, 448, 371}, Rect{295, 386, 506, 410}, Rect{345, 422, 456, 446},
                 Rect{351, 461, 451, 485}, Rect{365, 497, 435, 521}};
    ClearStoryState();
    LoadMusic(kMusic);
    LoadSe(1, kEmblemSound);
    AllBeaten = mahjong::AllFirstBeaten() ? 1 : 0;
    HoverItem = PrevHoverItem = 0;
    ClearBands();
    Clock().Restart();
    State = 1;
}

void CMahjongTitle::FadeIn(platform::WindowHandle) {
    if (Fading(Clock(), Slot(1), Slot(0), kFadeInMs, Hurry::BySkipOrClick)) return;
    ClearBands();
    EndStep(2);
    Bands().Reset(StartTime);
}

void CMahjongTitle::DrawBands(std::uint32_t now) {
    ShowWhole(Slot(1));
    for (int k = 0; k < kBands; ++k) {
        if (!BandRunning[k]) continue;
        const std::uint32_t level = FadeLevel(now - BandStart[k], kBandMs);
        const std::int32_t offset =
            std::min<std::int32_t>(static_cast<std::int32_t>(level) * 25 / 8, kScreenWidth);
        BandLevel[k] = static_cast<std::uint16_t>(level);
        BandOffset[k] = offset;
        const int srcY = (k == kBands - 1 && AllBeaten) ? kAlternateBandY : kBandHeight * k;
        // Even bands slide in from the left, odd ones from the right.
        const int sx = (k % 2 == 0) ? kScreenWidth - offset : 0;
        const int dx = (k % 2 == 0) ? 0 : kScreenWidth - offset;
        BltAlphaBlend(g_backBuffer.get(), dx, kBandHeight * k, Slot(3), sx, srcY, offset,
                      kBandHeight, static_cast<int>(level));
        if (offset >= kNextBandAt && k + 1 < kBands) Bands().Start(k + 1, now);
    }
}

void CMahjongTitle::ComposeBands() {
    for (int k = 0; k < kBands; ++k) {
        const int srcY = (k == kBands - 1 && AllBeaten) ? kAlternateBandY : kBandHeight * k;
        BltStretchAlphaBlend(Slot(1), 0, kBandHeight * k, kScreenWidth, kBandHeight, Slot(3), 0,
                             srcY, kScreenWidth, kBandHeight, 255);
    }
    // The logo steps redraw over the bands alone.
    CopyOfSurface(10, Slot(1));
}

void CMahjongTitle::BandSweep(platform::WindowHandle) {
    const std::uint32_t now = platform::TimeGetTime();
    if (Clock().Tick() < kSweepMs && !SkipOrClick()) {
        DrawBands(now);
        return;
    }
    ComposeBands();
    ShowWhole(Slot(1));
    EndStep(3);
}

void CMahjongTitle::LogoFade(platform::WindowHandle) {
    const std::uint32_t level = FadeLevel(Clock().Tick(), kLogoMs);
    RestoreArea(Slot(1), 0, kLogoY, 660, kLogoH);
    if (level < kFull && !SkipOrClick()) {
        BltAlphaBlend(g_backBuffer.get(), kLogoX, kLogoY, Slot(4), 0, 0, kLogoW, kLogoH,
                      static_cast<int>(level));
        return;
    }
    BltAlpha(Slot(1), kLogoX, kLogoY, Slot(4), 0, 0, kLogoW, kLogoH);
    RestoreArea(Slot(1), 0, kLogoY, 660, kLogoH);
    EndStep(4);
}

void CMahjongTitle::EmblemSlide(platform::WindowHandle) {
    const std::uint32_t elapsed = Clock().Tick();
    RestoreArea(Slot(1), 0, kEmblemY, kSlideFrom, kEmblemH);
    if (elapsed < kSlideMs && !SkipOrClick()) {
        // A logarithmic ease: fast from the left edge, slowing into place.
        const int theta = static_cast<int>(elapsed * 90 / kSlideMs);
        const double cosTheta = std::cos(theta * std::numbers::pi / 180.0);
        const int x =
            static_cast<int>(kSlideFrom - kSlideFrom * std::log10(1 + 9 * cosTheta) - kEmblemW);
        BltAlpha(g_backBuffer.get(), x, kEmblemY, Slot(4), 0, kEmblemSrcY, kEmblemW, kEmblemH);
        return;
    }
    BltAlpha(g_backBuffer.get(), kEmblemX, kEmblemY, Slot(4), 0, kEmblemSrcY, kEmblemW, kEmblemH);
    ReplaySe(1);
    EndStep(5);
}

void CMahjongTitle::EmblemBounce(platform::WindowHandle) {
    const std::uint32_t elapsed = Clock().Tick();
    RestoreArea(Slot(10), 0, 0, kScreenWidth, kLogoAreaH);
    if (elapsed < kBounceMs && !SkipOrClick()) {
        const int theta = static_cast<int>(elapsed * 180 / kBounceMs);
        const int s = static_cast<int>(200 * SinDeg(theta));
        BltAlphaBlend(g_backBuffer.get(), kLogoX, kLayerY, Slot(4), 0, kLogoH, kLogoW, kLogoH,
                      static_cast<int>(FadeLevel(elapsed, kBounceMs)));
        BltAlpha(g_backBuffer.get(), kLogoX, kLogoY, Slot(4), 0, 0, kLogoW, kLogoH);
        BltStretchAlphaBlend(g_backBuffer.get(), kEmblemX + s, kEmblemY - s / 4, kEmblemW - s,
                             kEmblemH + s / 2, Slot(4), 0, kEmblemSrcY, kEmblemW, kEmblemH, 255);
        return;
    }
    // The finished title: bands, second layer, logo and emblem at rest.
    CDib* title = CopyOfSurface(1, Slot(10));
    BltAlpha(title, kLogoX, kLayerY, Slot(4), 0, kLogoH, kLogoW, kLogoH);
    BltAlpha(title, kLogoX, kLogoY, Slot(4), 0, 0, kLogoW, kLogoH);
    BltAlpha(title, kEmblemX, kEmblemY, Slot(4), 0, kEmblemSrcY, kEmblemW, kEmblemH);
    RestoreArea(title, 0, 0, kScreenWidth, kLogoAreaH);

    // Heroine 7's call is kept for players who beat the first seven.
    CallHeroine = static_cast<std::uint8_t>(
        RandomByMinute(AllBeaten ? mahjong::kHeroines : mahjong::kFirstHeroines));
    PlayVoice(0, kTitleCalls[CallHeroine]);
    PlayLoadedMusic();
    EndStep(6);
    Bands().Reset(StartTime);
}

void CMahjongTitle::DrawMenuStrips(std::uint32_t now) {
    RestoreArea(Slot(1), kMenuX, kMenuY, kStripW, kStripH * kItems);
    for (int k = 0; k < kItems; ++k) {
        if (!BandRunning[k]) continue;
        const std::uint32_t level = FadeLevel(now - BandStart[k], kStripMs);
        const std::int32_t width =
            std::min<std::int32_t>(static_cast<std::int32_t>(level) * kStripW / 256, kStripW);
        BandLevel[k] = static_cast<std::uint16_t>(level);
        BandOffset[k] = width;
        // Each strip unfolds from the centre line of the menu: more of it
        // shows as it grows, read from its left end, never squeezed.
        BltAlphaBlend(g_backBuffer.get(), kScreenWidth / 2 - width / 2, kMenuY + kStripH * k,
                      Slot(2), 0, kStripH * k, width, kStripH, static_cast<int>(level));
        if (width >= kNextStripAt && k + 1 < kItems) Bands().Start(k + 1, now);
    }
}

void CMahjongTitle::ComposeMenu() {
    for (int k = 0; k < kItems; ++k)
        BltAlpha(Slot(1), kMenuX, kMenuY + kStripH * k, Slot(2), 0, kStripH * k, kStripW, kStripH);
    RestoreArea(Slot(1), kMenuX, kMenuY, kStripW, kStripH * kItems);
}

void CMahjongTitle::MenuBuild(platform::WindowHandle) {
    const std::uint32_t now = platform::TimeGetTime();
    if (Clock().Tick() < kMenuMs && !SkipOrClick()) {
        DrawMenuStrips(now);
        return;
    }
    ComposeMenu();
    FreeSeSlot(1);
    EndStep(7);
}

void CMahjongTitle::KeyToItem(platform::WindowHandle window) {
    bool moved = false;
    if (g_keyboard->up) {
        HoverItem = HoverItem == 0 ? 1 : (HoverItem == 1 ? kItems : HoverItem - 1);
        g_keyboard->up = 0;
        moved = true;
    }
    if (g_keyboard->down) {
        HoverItem = HoverItem == 0 ? kItems : (HoverItem >= kItems ? 1 : HoverItem + 1);
        g_keyboard->down = 0;
        moved = true;
    }
    if (!moved) return;
    const Rect& r = MenuRects[HoverItem - 1];
    WarpCursor(window, r.left + RectWidth(r) / 2, r.top + 20);
}

void CMahjongTitle::Menu(platform::WindowHandle window) {
    PrevHoverItem = HoverItem;
    HoverItem = HitItem(MenuRects);
    KeyToItem(window);
    if (HoverItem != PrevHoverItem) {
        if (PrevHoverItem >= 1 && PrevHoverItem <= kItems)
            RestoreArea(Slot(1), kMenuX, StripY(PrevHoverItem), kStripW, kStripH);
        if (HoverItem != 0)
            BltColorKey(g_backBuffer.get(), kMenuX, StripY(HoverItem), Slot(2), kStripW,
                        kStripH * (HoverItem - 1), kStripW, kStripH);
    }
    if (HoverItem != 0 && TakeClick()) {
        Choose(window);
        return;
    }
    if (TakeCancel()) {
        PlaySe(2, kBackSound);
        BlankSurface(0, kBlack);
        HoverItem = kBack;
        Clock().Restart();
        State = 8;
    }
}

void CMahjongTitle::Choose(platform::WindowHandle) {
    switch (HoverItem) {
    case 1:
        FadeOutMusic(1000);
        CopyOfBackBuffer(1);
        BlankSurface(0, kBlack);
        Clock().Restart();
        State = 8;
        break;
    case 2:
        State = 9;
        break;
    case 3:
    case 4:
        BlankSurface(0, kBlack);
        State = 9;
        break;
    case 5:
        if (ConfirmQuit()) {
            BlankSurface(0, kBlack);
            Clock().Restart();
            State = 8;
        }
        break;
    default:
        break;
    }
}

void CMahjongTitle::FadeToBlack(platform::WindowHandle) {
    if (!FadingOut(Clock(), kBlackMs)) State = 9;
}

void CMahjongTitle::Leave(platform::WindowHandle window) {
    FreeSurfaces(1, 4);
    FreeSurface(10);
    FreeVoiceSlot(0);
    // The emblem's and the back button's sounds go with the screen.
    FreeSeSlot(1);
    FreeSeSlot(2);
    switch (HoverItem) {
    case 1:
        State = 0;
        SetPlayContext(2);
        ClearClick();
        LeaveTo(62);
        break;
    case 2:
        State = 0;
        SetPlayContext(2);
        LeaveAndComeBack(70, kOwnMode);
        break;
    case 3:
        OpenSettings(State, kOwnMode);
        break;
    case 4:
        OpenExtras(State, kWallpaperMode, kOwnMode);
        break;
    case 5:
        State = 10;
        Quit(window);
        break;
    case kBack:
        State = 0;
        StopScreenSounds();
        SetPlayContext(0);
        SetMenuReturn(0);
        ClearClick();
        LeaveTo(57);
        break;
    default:
        break;
    }
}
