#include "app/Present.h"

#include <algorithm>
#include <cstring>

QuakeSource g_quakeSource = nullptr;

namespace {

constexpr int kW = platform::kClientWidth;
constexpr int kH = platform::kClientHeight;

// A block copy from the back buffer at (sx, sy) to the window at (dx, dy),
// clipped to both pictures.
void Copy(const CDib& src, std::span<std::uint32_t> dst, int dx, int dy, int sx, int sy, int w, int h) {
    if (dx < 0) { sx -= dx; w += dx; dx = 0; }
    if (dy < 0) { sy -= dy; h += dy; dy = 0; }
    if (sx < 0) { dx -= sx; w += sx; sx = 0; }
    if (sy < 0) { dy -= sy; h += sy; sy = 0; }
    w = std::min({w, kW - dx, src.GetWidth() - sx});
    h = std::min({h, kH - dy, src.GetHeight() - sy});
    if (w <= 0 || h <= 0) return;
    for (int row = 0; row < h; ++row) {
        const std::uint32_t* s = src.GetPixelPtr(sx, sy + row);
        std::memcpy(&dst[static_cast<size_t>(dy + row) * kW + dx], s, static_cast<size_t>(w) * 4);
    }
}

}  // namespace

void ComposeWindowPicture(const CDib& back, const QuakeView* quake, std::span<std::uint32_t> window) {
    // The window has no background of its own: what a shifted copy leaves
    // uncovered keeps what the window showed before.
    // The whole client area is always the paint rectangle.
    const int L = 0, T = 0, R = kW, B = kH;
    if (!quake) {
        Copy(back, window, L, T, L, T, R, B);
        return;
    }
    auto at = [&](int row) { return quake->offset ? quake->offset(row) : std::int16_t{0}; };
    // Kinds 0 to 5 ask for one offset per paint, whatever their phase.
    const int o = (quake->type >= 0 && quake->type <= 5) ? at(0) : 0;
    const int phase = quake->phaseNow ? quake->phaseNow() : quake->phase;
    switch (quake->type) {
    case 0: Copy(back, window, L + o, T, L, T, R, B); break;
    case 1: Copy(back, window, L, T + o, L, T, R, B); break;
    case 2:
    case 3: {
        if (phase == 1) Copy(back, window, L + o, T + o, L, T, R, B);
        else if (phase == 2) Copy(back, window, L - o, T + o, L, T, R, B);
        break;
    }
    case 4:
    case 5: {
        if (phase == 1) Copy(back, window, L - o, T + o, L, T, R, B);
        else if (phase == 2) Copy(back, window, L + o, T + o, L, T, R, B);
        break;
    }
    case 6:
        for (int y = 0; y < kH; ++y) Copy(back, window, L + at(y), y, L, y, R, 1);
        break;
    case 7:
        for (int y = 0; y < kH; ++y) Copy(back, window, L, y, L, y + at(y), R, 1);
        break;
    default:
        // 10 has no shake; 8, 9 and 11 onwards shake nothing either. They
        // stay active until the script stops them (11 and 12 are layer
        // effects drawn into the back buffer), so copying nothing would
        // freeze the window for that long: a plain copy shows the picture.
        Copy(back, window, L, T, L, T, R, B);
        break;
    }
}
