#include "screenkit/Buttons.h"

#include "app/Input.h"
#include "app/Shell.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"

#include <algorithm>
#include <cmath>

namespace screenkit {

namespace {

constexpr char kQuitQuestion[] =
    "\xD2\xAA\xCD\xCB\xB3\xF6\xD3\xCE\xCF\xB7\xC2\xF0\xA3\xBF"; // 要退出游戏吗？

} // namespace

bool PointIn(const platform::Rect& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

bool MouseIn(const platform::Rect& r) {
    return g_mouse && PointIn(r, g_mouse->x, g_mouse->y);
}

std::uint8_t HitItem(std::span<const platform::Rect> rects) {
    for (std::size_t k = 0; k < rects.size(); ++k)
        if (MouseIn(rects[k])) return static_cast<std::uint8_t>(k + 1);
    return 0;
}

bool TrackHover(std::uint8_t& hover, std::uint8_t& previous,
                std::span<const platform::Rect> rects) {
    previous = hover;
    hover = HitItem(rects);
    return hover != previous;
}

void RestoreArea(const CDib* page, int x, int y, int w, int h) {
    BltCopy(g_backBuffer.get(), x, y, page, x, y, w, h);
}

bool TakeClick() {
    if (!g_mouse || !g_mouse->click) return false;
    g_mouse->click = 0;
    return true;
}

bool TakeCancel() {
    if (!g_mouse || !g_mouse->cancel) return false;
    g_mouse->cancel = 0;
    return true;
}

void ClearClick() {
    if (g_mouse) g_mouse->click = 0;
}

void ClearClickAndSkip() {
    if (!g_mouse) return;
    g_mouse->click = 0;
    g_mouse->skip = 0;
}

bool GlideCursor(platform::WindowHandle window, std::uint32_t elapsed, int fromX, int fromY,
                 int toX, int toY) {
    constexpr std::uint32_t kGlideMs = 150;
    const std::uint32_t a = std::min(elapsed, kGlideMs) * 90 / kGlideMs;
    if (a < 90 && !(g_mouse && g_mouse->skip)) {
        const double f = std::sin((a + 90.0) * 3.14159265358979323846 / 180.0);
        WarpCursor(window, toX + static_cast<int>((fromX - toX) * f),
                   toY + static_cast<int>((fromY - toY) * f));
        return true;
    }
    WarpCursor(window, toX, toY);
    return false;
}

bool ConfirmQuit() {
    const bool ok = platform::AskOkCancel(kQuitQuestion, g_windowTitle,
                                          platform::BoxIcon::Question) == platform::BoxAnswer::Ok;
    ClearClick();
    return ok;
}

} // namespace screenkit
