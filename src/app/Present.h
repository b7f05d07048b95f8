// The copy of the back buffer to the window, shifted by the screen quake.
#pragma once

#include "gfx/Dib.h"

#include <cstdint>
#include <functional>
#include <span>

struct QuakeView {
    int type = 0;
    int phase = 0;
    // Offset for a screen row (kinds 6 and 7 ask rows 0..599 in order; the
    // other kinds ask row 0 once).
    std::function<std::int16_t(int row)> offset;
    // The phase as it stands after the offset was asked (asking may start the
    // next period); `phase` when not given.
    std::function<int()> phaseNow;
};

// Fills `window` (800x600, top row first) from the back buffer as the paint
// message copies it. Where nothing is copied the window keeps its pixels.
void ComposeWindowPicture(const CDib& back, const QuakeView* quake, std::span<std::uint32_t> window);

// The quake of the story, when one is running; none by default.
using QuakeSource = bool (*)(QuakeView& out);
extern QuakeSource g_quakeSource;
