#include "frontend/ExtrasRoom.h"

#include "app/GameApp.h"
#include "data/PathTable.h"
#include "gfx/Blend.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "gfx/TrigTables.h"
#include "screenkit/ScreenKit.h"

namespace frontend::extras {

using namespace screenkit;

namespace {

constexpr char kRoomMusic[] = "n004.ogg";
constexpr int kTabTop = 80;
constexpr int kTabHeight = 26;
constexpr int kLitTabRow = 128;
constexpr int kPlainTabRow = 154;
// Source x and width of each tab on the sheet; each is drawn at its
// rectangle's left.
constexpr std::array<int, 3> kTabSourceX{0, 74, 158};
constexpr std::array<int, 3> kTabWidth{74, 84, 112};
// The tab bar's area, from the gallery tab's left to the music tab's right.
constexpr platform::Rect kTabBar{15, 80, 286, 106};
// The back button's lit look, drawn up and left of its rectangle.
constexpr int kBackLitX = 324;
constexpr int kBackLitWidth = 56;
constexpr int kBackLitHeight = 22;
constexpr int kBackLitLeft = 730 - 3;
constexpr int kBackLitTop = 90 - 2;
constexpr std::uint32_t kFlashMs = 300;

void DrawTabsLit(CDib* dst, const CDib* sheet, Room own, std::uint8_t hoverTab) {
    for (std::size_t k = 0; k < kTabSourceX.size(); ++k) {
        const auto tab = static_cast<std::uint8_t>(k + 1);
        const bool lit = tab == static_cast<std::uint8_t>(own) || tab == hoverTab;
        BltAlpha(dst, kTabRects[k].left, kTabTop, sheet, kTabSourceX[k],
                 lit ? kLitTabRow : kPlainTabRow, kTabWidth[k], kTabHeight);
    }
}

void DrawBackLit(CDib* dst, const CDib* sheet) {
    BltAlpha(dst, kBackLitLeft, kBackLitTop, sheet, kBackLitX, 0, kBackLitWidth, kBackLitHeight);
}

} // namespace

void StartRoomMusic() {
    KeepOrStartMusic(kRoomMusic, kRoomMusic);
}

std::uint8_t HitTab(Room own) {
    const std::uint8_t tab = HitItem(kTabRects);
    return tab == static_cast<std::uint8_t>(own) ? 0 : tab;
}

void DrawTabs(CDib* page, const CDib* sheet, Room own) {
    DrawTabsLit(page, sheet, own, 0);
}

void RedrawTabs(const CDib* clean, const CDib* sheet, Room own, std::uint8_t hoverTab) {
    RestoreArea(clean, kTabBar.left, kTabBar.top, RectWidth(kTabBar), RectHeight(kTabBar));
    RestoreArea(clean, kBackLitLeft, kBackLitTop, kBackLitWidth, kBackLitHeight);
    DrawTabsLit(g_backBuffer.get(), sheet, own, hoverTab);
    if (hoverTab == kBackButton) DrawBackLit(g_backBuffer.get(), sheet);
}

TabClick ClickTab(std::uint8_t tab, const StepClock& clock) {
    static constexpr std::array<std::uint8_t, 3> kRoomModes{kGalleryMode, kReplayMode, kMusicMode};
    if (tab >= 1 && tab <= kRoomModes.size()) {
        PlaySe(0, "se\\sys_a002.ogg");
        LeaveTo(kRoomModes[tab - 1]);
        return TabClick::Left;
    }
    PlayClickSound();
    clock.Restart();
    return TabClick::Back;
}

bool BackFlashing(const StepClock& clock, const CDib* clean, const CDib* sheet) {
    const std::uint32_t elapsed = clock.Tick();
    if (elapsed >= kFlashMs || SkipHeld()) return false;
    RestoreArea(clean, kBackLitLeft, kBackLitTop, kBackLitWidth, kBackLitHeight);
    DrawBackLit(g_backBuffer.get(), sheet);
    // Half a sine wave over the flash: the glow swells and fades again.
    const int degrees = static_cast<int>(elapsed * 180 / kFlashMs);
    const int strength = static_cast<int>(SinDeg(degrees) * 254);
    BlendAddAlpha(g_backBuffer.get(), kBackLitLeft, kBackLitTop, sheet, kBackLitX, 0, kBackLitWidth,
                  kBackLitHeight, strength);
    return true;
}

void LeaveExtras(int firstSlot, int lastSlot) {
    FreeSurfaces(firstSlot, lastSlot);
    if (g_pathTable) g_pathTable->InitPaths();
    LeaveTo(g_gameApp ? g_gameApp->returnMode : 1);
}

} // namespace frontend::extras
