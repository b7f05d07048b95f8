#include "app/Display.h"

std::unique_ptr<CDisplay> g_display;

int CDisplay::ToggleFullScreen(platform::WindowHandle) {
    // The desktop keeps its mode: the 800x600 picture is scaled and letterboxed
    // by the platform, which maps the pointer back to picture coordinates.
    fullScreen_ = fullScreen_ ? 0 : 1;
    platform::SetFullScreen(fullScreen_ != 0);
    return 1;
}
