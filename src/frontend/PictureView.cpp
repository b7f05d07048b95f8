#include "frontend/PictureView.h"

#include "app/Shell.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "screenkit/ScreenKit.h"

#include <algorithm>
#include <string>

namespace frontend {

using namespace screenkit;

namespace {

constexpr std::uint32_t kPageFadeInMs = 1000;

// One axis: larger than the screen shows from 0 with the screen's extent,
// otherwise the whole picture is centred.
void PlaceAxis(int size, int screen, std::int32_t& dest, std::int32_t& src, std::int32_t& extent) {
    src = 0;
    if (size > screen) {
        dest = 0;
        extent = screen;
    } else {
        dest = screen / 2 - size / 2;
        extent = size;
    }
}

std::int32_t ClampAxis(std::int32_t offset, int size, int screen) {
    return size > screen ? std::clamp(offset, 0, size - screen) : 0;
}

} // namespace

void PictureView::Open(std::string_view name, From from) {
    const CDib* picture = LoadSurface(kViewPictureSlot, ("bmp\\" + std::string(name)).c_str());
    CopyOfBackBuffer(kViewFromSlot);
    if (from == From::Page) CopyOfBackBuffer(kViewPageSlot);
    BlankSurface(kViewSlot, kBlack);
    const int w = picture->GetWidth();
    const int h = picture->GetHeight();
    scrollable = (w > kScreenWidth || h > kScreenHeight) ? 1 : 0;
    PlaceAxis(w, kScreenWidth, destX, srcX, width);
    PlaceAxis(h, kScreenHeight, destY, srcY, height);
    BltCopy(Slot(kViewSlot), destX, destY, picture, srcX, srcY, width, height);
}

void PictureView::ScrollTo(std::int32_t x, std::int32_t y) {
    const CDib* picture = Slot(kViewPictureSlot);
    if (!picture) return;
    srcX = ClampAxis(x, picture->GetWidth(), kScreenWidth);
    srcY = ClampAxis(y, picture->GetHeight(), kScreenHeight);
    BltCopy(g_backBuffer.get(), destX, destY, picture, srcX, srcY, width, height);
}

void PictureView::Close() {
    CopyOfBackBuffer(kViewSlot);
}

void PictureRoom::FadeIn(platform::WindowHandle) {
    if (Fading(Clock(), Slot(1), Slot(0), kPageFadeInMs, Hurry::BySkip)) return;
    State = 2;
}

void PictureRoom::FadeToPicture(platform::WindowHandle) {
    if (Fading(Clock(), Slot(kViewSlot), Slot(kViewFromSlot), kViewFadeMs, Hurry::BySkip)) return;
    State = 6;
}

void PictureRoom::FadeBack(platform::WindowHandle) {
    if (Fading(Clock(), Slot(kViewPageSlot), Slot(kViewSlot), kViewFadeMs, Hurry::BySkip)) return;
    ClearClick();
    State = 2;
}

} // namespace frontend
