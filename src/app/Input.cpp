#include "app/Input.h"

#include "app/Display.h"

using platform::IsButtonDown;
using platform::IsKeyDown;
using platform::Key;
using platform::MouseButton;

std::unique_ptr<CMouse> g_mouse;
std::unique_ptr<CKeyboard> g_keyboard;

void CMouse::Poll() {
    middle = IsButtonDown(MouseButton::Middle) ? 1 : 0;
    click = IsButtonDown(MouseButton::Left) ? 1 : 0;
    cancel = IsButtonDown(MouseButton::Right) ? 1 : 0;
    skip = IsKeyDown(Key::Control) ? 1 : 0;
}

void CMouse::SetPos(int px, int py) {
    x = px;
    y = py;
}

void CMouse::ReleaseAll() { click = cancel = middle = skip = 0; }

void CKeyboard::Poll() {
    if (IsKeyDown(Key::PageUp)) {
        pageUp = 1;
        return;
    }
    pageUp = 0;
    if (IsKeyDown(Key::PageDown)) {
        pageDown = 1;
        return;
    }
    pageDown = 0;
    if (g_mouse) g_mouse->click = IsKeyDown(Key::Return) ? 1 : 0;
    if (IsKeyDown(Key::Left)) {
        left = 1;
        return;
    }
    left = IsKeyDown(Key::Numpad4) ? 1 : 0;
    if (IsKeyDown(Key::Right)) {
        right = 1;
        return;
    }
    right = IsKeyDown(Key::Numpad6) ? 1 : 0;
    if (IsKeyDown(Key::Up) || IsKeyDown(Key::Numpad8)) {
        up = 1;
        return;
    }
    up = 0;
    if (IsKeyDown(Key::Down) || IsKeyDown(Key::Numpad2)) {
        down = 1;
        return;
    }
    down = 0;
    if (IsKeyDown(Key::Escape) || IsKeyDown(Key::Numpad0)) {
        if (g_mouse) g_mouse->cancel = 1;
        return;
    }
    if (g_mouse) g_mouse->cancel = 0;
    if (IsKeyDown(Key::Space)) {
        space = 1;
        return;
    }
    space = 0;
    if (IsKeyDown(Key::F1)) {
        f1 = 1;
        return;
    }
    f1 = 0;
    f2 = IsKeyDown(Key::F2) ? 1 : 0;
}

void CKeyboard::ReleaseAll() { up = down = left = right = pageUp = pageDown = space = f1 = f2 = 0; }

bool WarpCursor(platform::WindowHandle, int x, int y) {
    platform::Rect r = platform::GetWindowRect();
    int top = r.top;
    if (g_display && !g_display->IsFullScreen()) top += platform::CaptionHeight();
    platform::SetCursorPos(r.left + x, top + y);
    return true;
}
