// Small value types shared by the image surface, its renderers and the blit
// functions.
#pragma once

#include "platform/Platform.h"

#include <array>
#include <cstdint>

// Rectangles are (left, top, right, bottom), right and bottom exclusive.
using DibRect = platform::Rect;

struct DibSize {
    int cx = 0;
    int cy = 0;
};

struct DibPoint {
    int x = 0;
    int y = 0;
};

// Four corners in the fixed order top-left, top-right, bottom-left,
// bottom-right (whatever the shape looks like on the screen).
using DibQuad = std::array<DibPoint, 4>;

// The quad of a rectangle: its corner pixels, so right and bottom step back by one.
inline DibQuad QuadFromRect(const DibRect& r) {
    return {DibPoint{r.left, r.top}, DibPoint{r.right - 1, r.top}, DibPoint{r.left, r.bottom - 1},
            DibPoint{r.right - 1, r.bottom - 1}};
}

// The colour key every surface starts with: pure green.
inline constexpr std::uint32_t kDefaultColorKey = 0x00FF00;
