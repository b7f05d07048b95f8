#include "takoyaki/RetryScreen.h"

#include "app/GameApp.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "screenkit/ScreenKit.h"

using namespace screenkit;
using platform::Rect;

std::unique_ptr<CRetryScreen> g_retryScreen;

namespace {

constexpr int kButtonH = 58;

constexpr StateTable<CRetryScreen, 5> kStates{
    &CRetryScreen::Open,    &CRetryScreen::FadeIn, &CRetryScreen::Input,
    &CRetryScreen::FadeOut, &CRetryScreen::Leave,
};

} // namespace

CRetryScreen::CRetryScreen() {
    ButtonRects = {Rect{194, 315, 299, 373}, Rect{519, 315, 609, 373}};
    if (g_gameApp) g_gameApp->screenRect = Rect{0, 0, kScreenWidth, kScreenHeight};
}

void CRetryScreen::Run(platform::WindowHandle window) {
    RunState(*this, State, kStates, window);
}

void CRetryScreen::DrawLit(std::uint8_t button) {
    const Rect& r = ButtonRects[button - 1];
    KeyedCopy(g_backBuffer.get(), r.left, r.top, Slot(3), 105 * (button - 1), 0, RectWidth(r),
              kButtonH);
}

void CRetryScreen::Open(platform::WindowHandle) {
    CopyOfBackBuffer(0);
    CopyOfBackBuffer(1);
    CDib* panel = LoadSurface(2, "bmp\\retry_base.bmp");
    KeyedCopy(Slot(1), 0, 0, panel, 0, 0, kScreenWidth, kScreenHeight);
    LoadSurface(3, "bmp\\retry_p.bmp");
    SubStep = 0;
    Level = 0;
    HoverButton = PrevHoverButton = 0;
    Clock().Restart();
    State = 1;
}

void CRetryScreen::FadeIn(platform::WindowHandle) {
    if (Fading(Clock(), Slot(1), Slot(0), 1000, Hurry::BySkipOrClick)) return;
    // Ctrl held through the fade must not skip into the question.
    ClearClickAndSkip();
    State = 2;
}

void CRetryScreen::Input(platform::WindowHandle) {
    if (TrackHover(HoverButton, PrevHoverButton, ButtonRects)) {
        if (PrevHoverButton != 0) {
            const Rect& r = ButtonRects[PrevHoverButton - 1];
            RestoreArea(Slot(1), r.left, r.top, RectWidth(r), kButtonH);
        }
        if (HoverButton != 0) DrawLit(HoverButton);
    }
    if (HoverButton == 0 || !TakeClick()) return;
    PlayClickSound();
    DrawLit(HoverButton);
    CopyOfBackBuffer(0);
    BlankSurface(1, kBlack);
    Clock().Restart();
    State = 3;
}

void CRetryScreen::FadeOut(platform::WindowHandle) {
    if (Fading(Clock(), Slot(1), Slot(0), 500, Hurry::BySkipOrClick)) return;
    ClearClickAndSkip();
    State = 4;
}

void CRetryScreen::Leave(platform::WindowHandle) {
    FreeSurfaces(1, 47);
    StopScreenSounds();
    State = 0;
    SetPlayContext(0);
    SetMenuReturn(0);
    ClearParticles();
    ClearClick();
    // Play again keeps the opponent byte: the same opponent comes back.
    LeaveTo(HoverButton == 1 ? 66 : 65);
}
