// Keyboard and mouse state. The window procedure polls these objects on input
// events; screens read the flags every frame and clear a flag once acted on.
#pragma once

#include "platform/Platform.h"

#include <cstdint>
#include <memory>

class CMouse {
public:
    // Samples the buttons and Ctrl (the skip key); each flag becomes 1 or 0.
    void Poll();
    // Position from a mouse-move event, in client coordinates.
    void SetPos(int x, int y);
    // Focus went away: nothing stays held.
    void ReleaseAll();

    std::uint8_t click = 0;   // left button held, or set by Enter or the wheel
    std::uint8_t cancel = 0;  // right button held, or set by Esc or keypad 0
    std::uint8_t middle = 0;
    std::uint8_t skip = 0;    // Ctrl held
    std::int32_t x = 0;
    std::int32_t y = 0;
};

class CKeyboard {
public:
    // Samples the keys in a fixed order and stops at the first one held, so an
    // earlier key hides the later ones (page up hides the arrows).
    void Poll();
    void ReleaseAll();

    std::uint8_t up = 0;
    std::uint8_t down = 0;
    std::uint8_t left = 0;
    std::uint8_t right = 0;
    std::uint8_t pageUp = 0;
    std::uint8_t pageDown = 0;
    std::uint8_t space = 0;
    std::uint8_t f1 = 0;
    std::uint8_t f2 = 0;
};

// Owned by the window's creation and destruction.
extern std::unique_ptr<CMouse> g_mouse;
extern std::unique_ptr<CKeyboard> g_keyboard;

// Moves the pointer to a client point (cursor glide, keyboard focus).
bool WarpCursor(platform::WindowHandle window, int x, int y);
