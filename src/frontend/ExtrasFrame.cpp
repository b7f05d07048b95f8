#include "frontend/ExtrasFrame.h"

#include "app/GameApp.h"
#include "data/PathTable.h"
#include "gfx/Blend.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "gfx/TrigTables.h"
#include "screenkit/ScreenKit.h"

namespace frontend::extras_frame {

using namespace screenkit;

namespace {

constexpr char kRoomMusic[] = "n004.ogg";
constexpr int kTabHeight = 26;
constexpr int kLitTabY = 128;
constexpr int kPlainTabY = 154;
// Each tab's picture on the button sheet: source x and width.
constexpr std::array<std::array<int, 2>, 3> kTabSources{{{0, 74}, {74, 84}, {158, 112}}};
constexpr int kBackLitX = 324;
constexpr int kBackW = 56;
constexpr int kBackH = 22;
constexpr int kBackX = 730 - 3;
constexpr int kBackY = 90 - 2;
constexpr std::uint32_t kFlashMs = 300;
constexpr std::array<std::uint8_t, 3> kTabModes{kGalleryMode, kReplayMode, kMusicRoomMode};

void DrawTab(CDib* target, int tab, bool lit, const CDib* buttons) {
    const platform::Rect& r = kTabRects[tab - 1];
    const auto& src = kTabSources[tab - 1];
    BltAlpha(target, r.left, r.top, buttons, src[0], lit ? kLitTabY : kPlainTabY, src[1],
             kTabHeight);
}

void DrawItem(std::uint8_t item, bool lit, Tab own, const CDib* buttons, const CDib* clean) {
    if (item == kNoTab) return;
    if (item == kBackTab) {
        RestoreArea(clean, kBackX, kBackY, kBackW, kBackH);
        if (lit)
            BltAlpha(g_backBuffer.get(), kBackX, kBackY, buttons, kBackLitX, 0, kBackW, kBackH);
        return;
    }
    const platform::Rect& r = kTabRects[item - 1];
    RestoreArea(clean, r.left, r.top, RectWidth(r), RectHeight(r));
    DrawTab(g_backBuffer.get(), item, lit || item == own, buttons);
}

} // namespace

std::uint8_t TabUnderMouse(Tab own) {
    const std::uint8_t hit = HitItem(kTabRects);
    return hit == own ? std::uint8_t{kNoTab} : hit;
}

void DrawTabs(CDib* page, const CDib* buttons, Tab own) {
    for (int tab = kGalleryTab; tab <= kMusicTab; ++tab)
        DrawTab(page, tab, tab == own, buttons);
}

void RedrawTabHover(std::uint8_t hover, std::uint8_t previous, Tab own, const CDib* buttons,
                    const CDib* clean) {
    if (hover == previous) return;
    DrawItem(previous, false, own, buttons, clean);
    DrawItem(hover, true, own, buttons, clean);
}

void StartRoomMusic() {
    if (MusicNameIs(kRoomMusic)) return;
    StartMusic(kRoomMusic);
    SetMusicName(kRoomMusic);
}

bool TakeTabClick(std::uint8_t hover) {
    if (hover == kNoTab || !TakeClick()) return false;
    if (hover == kBackTab) {
        PlayClickSound();
        return false;
    }
    PlaySe(0, "se\\sys_a002.ogg");
    // The return mode stays: the back button of every room leads to the
    // screen that opened the extras.
    LeaveTo(kTabModes[hover - 1]);
    return true;
}

bool BackFlashing(std::uint32_t elapsed, const CDib* buttons, const CDib* clean) {
    RestoreArea(clean, kBackX, kBackY, kBackW, kBackH);
    if (elapsed >= kFlashMs || SkipHeld()) return false;
    BltAlpha(g_backBuffer.get(), kBackX, kBackY, buttons, kBackLitX, 0, kBackW, kBackH);
    const int degrees = static_cast<int>(elapsed * 180 / kFlashMs);
    const auto strength = static_cast<int>(SinDeg(degrees) * 254);
    BlendAddAlpha(g_backBuffer.get(), kBackX, kBackY, buttons, kBackLitX, 0, kBackW, kBackH,
                  strength);
    return true;
}

void LeaveExtras(int firstSlot, int lastSlot) {
    FreeSurfaces(firstSlot, lastSlot);
    if (g_pathTable) g_pathTable->InitPaths();
    LeaveTo(g_gameApp ? g_gameApp->returnMode : 1);
}

} // namespace frontend::extras_frame
