#include "screenkit/PageViewer.h"

#include "app/GameApp.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "scenario/Scenario.h"
#include "screenkit/ScreenKit.h"

#include <algorithm>
#include <cstdio>

namespace screenkit {

namespace {

constexpr int kPageX = 24;
constexpr int kPageY = 14;
constexpr int kButtonSize = 21;
constexpr int kButtonStep = 25;
constexpr std::uint32_t kFadeMs = 500;

constexpr StateTable<CPageViewer, 6> kStates{
    &CPageViewer::Open,  &CPageViewer::FadeIn, &CPageViewer::Browse, nullptr, nullptr,
    &CPageViewer::Leave,
};

} // namespace

CPageViewer::CPageViewer(const PageSet& pages) : pages_(pages) {
    const int count = std::clamp(pages_.pages, 1, kMaxPages);
    for (int n = 0; n < count; ++n) {
        const int left = pages_.firstButtonLeft + kButtonStep * n;
        PageRects[n] = {left, 18, left + kButtonSize, 18 + kButtonSize};
    }
    if (g_gameApp) g_gameApp->screenRect = platform::Rect{0, 0, kScreenWidth, kScreenHeight};
}

void CPageViewer::Run(platform::WindowHandle window) {
    RunState(*this, State, kStates, window);
}

const platform::Rect& CPageViewer::ButtonRect(std::uint8_t button) const {
    return button == CloseButton() ? CloseRect : PageRects[button - 1];
}

std::uint8_t CPageViewer::HitButton() const {
    for (std::uint8_t b = 1; b <= CloseButton(); ++b) {
        if (!MouseIn(ButtonRect(b))) continue;
        // The button of the page on show is not a button.
        return b == Page + 1 ? 0 : b;
    }
    return 0;
}

void CPageViewer::ComposePage() {
    char name[64];
    std::snprintf(name, sizeof name, pages_.pageFormat, Page + 1);
    LoadSurface(22, name);
    CopyOfSurface(21, Slot(20));
    CDib* page = Slot(22);
    KeyedCopy(Slot(21), kPageX, kPageY, page, 0, 0, page->GetWidth(), page->GetHeight());
}

void CPageViewer::Open(platform::WindowHandle) {
    if (g_gameApp) g_gameApp->screenRect = platform::Rect{0, 0, kScreenWidth, kScreenHeight};
    CopyOfBackBuffer(20);
    Page = 0;
    ComposePage();
    LoadSurface(23, pages_.buttonsPicture);
    Level = 0;
    HoverButton = PrevHoverButton = 0;
    Clock().Restart();
    State = 1;
}

void CPageViewer::FadeIn(platform::WindowHandle) {
    if (Fading(Clock(), Slot(21), Slot(20), kFadeMs, Hurry::BySkipOrClick)) return;
    ClearClickAndSkip();
    State = 2;
}

void CPageViewer::Browse(platform::WindowHandle) {
    PrevHoverButton = HoverButton;
    HoverButton = HitButton();
    if (HoverButton != PrevHoverButton) {
        if (PrevHoverButton != 0) {
            const platform::Rect& r = ButtonRect(PrevHoverButton);
            RestoreArea(Slot(21), r.left, r.top, RectWidth(r), RectHeight(r));
        }
        if (HoverButton != 0) {
            const platform::Rect& r = ButtonRect(HoverButton);
            if (HoverButton == CloseButton())
                KeyedCopy(g_backBuffer.get(), r.left, r.top, Slot(23), 0, 0, 68, 18);
            else
                KeyedCopy(g_backBuffer.get(), r.left, r.top, Slot(23),
                          kButtonSize * (HoverButton - 1), 18, kButtonSize, kButtonSize);
        }
    }
    if (HoverButton != 0 && TakeClick()) {
        PlayClickSound();
        if (HoverButton == CloseButton()) {
            State = 5;
            return;
        }
        Page = static_cast<std::uint8_t>(HoverButton - 1);
        ComposePage();
        // The new page is shown at once, without a transition; its own
        // button is no longer lit.
        ShowWhole(Slot(21));
        HoverButton = 0;
        return;
    }
    if (TakeCancel()) State = 5;
}

void CPageViewer::Leave(platform::WindowHandle) {
    if (pages_.leave == PagesLeave::ToFixedMode) {
        FreeSeSlot(0);
        StopMusic();
        FreeMusicName();
        FreeSurfaces(20, 47);
        State = 0;
        LeaveTo(pages_.leaveMode);
        return;
    }
    if (g_scenario && g_scenario->menuReturn == 1) {
        ShowWhole(g_menuSnapshot.get());
        g_scenario->menuReturn = 0;
    }
    FreeSurfaces(20, 47);
    State = 0;
    LeaveTo(g_gameApp ? g_gameApp->returnMode : 1);
}

} // namespace screenkit
