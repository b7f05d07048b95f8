// Switches the main window between its centred captioned form and 800x600
// full screen. The settings byte mirrors the state; callers flip it.
#pragma once

#include "platform/Platform.h"

#include <memory>

class CDisplay {
public:
    // Goes to the other state; returns 1.
    int ToggleFullScreen(platform::WindowHandle window);
    bool IsFullScreen() const { return fullScreen_ != 0; }

private:
    std::uint8_t fullScreen_ = 0;
};

extern std::unique_ptr<CDisplay> g_display;
