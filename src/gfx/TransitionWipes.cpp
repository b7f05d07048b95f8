// Geometric wipes: effects that reveal the incoming picture piece by piece by
// copying whole rectangles, rows or columns of it.
#include "gfx/TransitionEffects.h"

#include "platform/Platform.h"

#include <algorithm>
#include <cmath>

namespace transition_detail {

using transition_blit::Copy;
using transition_blit::FillWithFillColour;
using transition_blit::Stretch;
using transition_blit::StretchBlend;

namespace {

// The rows of a rectangle at dy with h rows that can reach the clip: rows
// outside it draw nothing, so the loops skip them.
struct RowRange {
    std::int64_t first, last; // [first, last)
};
RowRange VisibleRows(std::int64_t dy, std::int64_t h, const Rect& clip) {
    return {std::max<std::int64_t>(0, clip.top - dy), std::min(h, clip.bottom - dy)};
}

// A new speed of 16..25 for one line of a ragged wipe.
std::int64_t RaggedSpeed() {
    const auto r = static_cast<std::uint32_t>(platform::Rand());
    return static_cast<std::int64_t>((r * platform::TimeGetTime()) % 10u) + 16;
}

std::int64_t RaggedLength(std::int64_t p) {
    return RaggedSpeed() * (((p * 5) >> 5) + 1);
}

enum class Blinds { Right, Left, Down, Up };

int DrawBlinds(const TransitionArgs& t, Blinds kind) {
    const Rect area = ScreenArea();
    Copy(t.dst, 0, 0, t.b, 0, 0, 800, 600, area);
    const std::int64_t n = (static_cast<std::int64_t>(t.p) * 60) / 256;
    const int bands = (kind == Blinds::Right || kind == Blinds::Left) ? 40 : 30;
    for (std::int64_t k = 0; k < bands; ++k) {
        const std::int64_t s = std::min<std::int64_t>(n - k, 20);
        if (s < 1) continue;
        switch (kind) {
        case Blinds::Right:
            Copy(t.dst, 20 * k, 0, t.a, 20 * k, 0, s, 600, area);
            break;
        case Blinds::Left:
            Copy(t.dst, 780 - 20 * k, 0, t.a, 780 - 20 * k, 0, s, 600, area);
            break;
        case Blinds::Down:
            // dx counts bands left out at the top.
            if (k < t.dx) continue;
            Copy(t.dst, 0, 20 * k, t.a, 0, 20 * k, 800, s, area);
            break;
        case Blinds::Up:
            if (k < t.dx) continue;
            Copy(t.dst, 0, 580 - 20 * k, t.a, 0, 580 - 20 * k, 800, s, area);
            break;
        }
    }
    return 0;
}

void CopyAAt(const TransitionArgs& t, std::int64_t x, std::int64_t y, std::int64_t w,
             std::int64_t h, const Rect& clip) {
    Copy(t.dst, x, y, t.a, x, y, w, h, clip);
}

enum class Diagonal { Falling, Rising };

// One diagonal span per row, from the given corner of a rectangle.
void DrawDiagonal(const TransitionArgs& t, Diagonal rule, std::int64_t dx, std::int64_t dy,
                  std::int64_t sx, std::int64_t sy, std::int64_t w, std::int64_t h,
                  const Rect& clip) {
    const std::int64_t k = (w * t.p) / 256;
    const RowRange rows = VisibleRows(dy, h, clip.Intersect(transition_blit::Bounds(t.dst)));
    for (std::int64_t r = rows.first; r < rows.last; ++r) {
        std::int64_t left, right;
        if (rule == Diagonal::Falling) {
            const std::int64_t c = (r * w) / h;
            right = c - r + k;
            left = c - r - k + h;
            left = std::max<std::int64_t>(left, 0);
            right = std::max(right, c);
            left = std::min(left, c);
            right = std::min(right, w);
        } else {
            const std::int64_t c = w - (r * w) / h;
            left = c - k + r;
            right = c - h + r + k;
            left = std::max<std::int64_t>(left, 0);
            left = std::min(left, c);
            right = std::max(right, c);
            right = std::min(right, w);
        }
        if (right > left)
            Copy(t.dst, dx + left, dy + r, t.a, sx + left, sy + r, right - left, 1, clip);
    }
}

void DrawDiagonalQuarters(const TransitionArgs& t, Diagonal topLeft) {
    const Rect area = ArgsArea(t);
    const Diagonal other = topLeft == Diagonal::Falling ? Diagonal::Rising : Diagonal::Falling;
    const std::int64_t hw = t.w / 2;
    const std::int64_t hh = t.h / 2;
    DrawDiagonal(t, topLeft, t.dx, t.dy, t.sx, t.sy, hw, hh, area);
    DrawDiagonal(t, other, t.dx + hw, t.dy, t.sx + hw, t.sy, hw, hh, area);
    DrawDiagonal(t, other, t.dx, t.dy + hh, t.sx, t.sy + hh, hw, hh, area);
    DrawDiagonal(t, topLeft, t.dx + hw, t.dy + hh, t.sx + hw, t.sy + hh, hw, hh, area);
}

enum class Triangle { Down, Up };

int DrawTriangle(const TransitionArgs& t, Triangle kind) {
    const Rect area = ArgsArea(t).Intersect(transition_blit::Bounds(t.dst));
    const std::int64_t w = t.w;
    const std::int64_t h = t.h;
    const std::int64_t big = ((w / 2 + h) * t.p) / 256;
    // Row r lands on dy + r (dy + h - 1 - r from the bottom); rows off the
    // area draw nothing.
    const RowRange vis = VisibleRows(t.dy, h, area);
    for (std::int64_t row = vis.first; row < vis.last; ++row) {
        const std::int64_t r = kind == Triangle::Down ? row : h - 1 - row;
        const std::int64_t width = std::min(2 * big - 2 * r, w);
        if (width <= 0) continue;
        const std::int64_t x = std::max<std::int64_t>(w / 2 - big + r, 0) + t.dx;
        // A's whole row from sx to the rectangle's width, squeezed into the span.
        Stretch(t.dst, x, t.dy + row, width, 1, t.a, t.sx, t.sy + row, w - t.sx, 1, area);
    }
    return 0;
}

} // namespace

int TransitionIris(const TransitionArgs& t) {
    const Rect area = ArgsArea(t);
    if (t.p < 1) return 0;
    if (t.p >= 256) {
        CopyA(t, area);
        return 0;
    }
    const std::int64_t w = t.w;
    const std::int64_t h = t.h;
    const std::int64_t d = ((w + h) * t.p) >> 8;
    const std::int64_t radius = d >> 1;
    const RowRange vis = VisibleRows(t.dy, h, area.Intersect(transition_blit::Bounds(t.dst)));
    const std::int64_t first = std::max(h / 2 - radius, vis.first);
    const std::int64_t last = std::min(h / 2 + radius, vis.last);
    for (std::int64_t y = first; y < last; ++y) {
        const std::int64_t off = y - h / 2;
        // d stays below 2^31 for any surface-sized rectangle, where the
        // integer square is exact; beyond that the double form cannot overflow.
        const double sq = d < (std::int64_t{1} << 31)
                              ? static_cast<double>(d * d - 4 * off * off)
                              : static_cast<double>(d) * static_cast<double>(d) -
                                    4.0 * static_cast<double>(off) * static_cast<double>(off);
        std::int64_t c = static_cast<std::int64_t>(std::sqrt(sq));
        const std::int64_t left = std::max<std::int64_t>((w >> 1) - (c >> 1), 0);
        if (left + c > w) c = w - left;
        CopyAAt(t, t.dx + left, t.dy + y, c, 1, area);
    }
    return 0;
}

int TransitionBlindsRight(const TransitionArgs& t) {
    return DrawBlinds(t, Blinds::Right);
}
int TransitionBlindsLeft(const TransitionArgs& t) {
    return DrawBlinds(t, Blinds::Left);
}
int TransitionBlindsDown(const TransitionArgs& t) {
    return DrawBlinds(t, Blinds::Down);
}
int TransitionBlindsUp(const TransitionArgs& t) {
    return DrawBlinds(t, Blinds::Up);
}

int TransitionOpenFromVerticalCentre(const TransitionArgs& t) {
    const std::int64_t a = (static_cast<std::int64_t>(t.p) * 400) >> 8;
    CopyAAt(t, 400 - a, 0, 2 * a, 600, ScreenArea());
    return 0;
}

int TransitionCloseFromSides(const TransitionArgs& t) {
    const std::int64_t a = (static_cast<std::int64_t>(t.p) * 400) >> 8;
    CopyAAt(t, 0, 0, a, 600, ScreenArea());
    CopyAAt(t, 800 - a, 0, a, 600, ScreenArea());
    return 0;
}

int TransitionOpenFromHorizontalCentre(const TransitionArgs& t) {
    const std::int64_t a = (static_cast<std::int64_t>(t.p) * 300) >> 8;
    CopyAAt(t, 0, 300 - a, 800, 2 * a, ScreenArea());
    return 0;
}

int TransitionCloseFromTopBottom(const TransitionArgs& t) {
    const std::int64_t a = (static_cast<std::int64_t>(t.p) * 300) >> 8;
    CopyAAt(t, 0, 0, 800, a, ScreenArea());
    CopyAAt(t, 0, 600 - a, 800, a, ScreenArea());
    return 0;
}

int TransitionBoxOpen(const TransitionArgs& t) {
    const std::int64_t a = (static_cast<std::int64_t>(t.p) * 400) >> 8;
    const std::int64_t b = (static_cast<std::int64_t>(t.p) * 300) >> 8;
    CopyAAt(t, 400 - a, 300 - b, 2 * a, 2 * b, ScreenArea());
    return 0;
}

int TransitionCornerGrow(const TransitionArgs& t) {
    const std::int64_t p = t.p;
    CopyAAt(t, 0, 0, (p * 800) >> 8, (p * 600) >> 8, ScreenArea());
    return 0;
}

int TransitionRaggedWipe(const TransitionArgs& t) {
    for (std::int64_t y = 0; y < 600; ++y)
        CopyAAt(t, 0, y, RaggedLength(t.p), 1, ScreenArea());
    return 0;
}

int TransitionRaggedWipeColumns(const TransitionArgs& t) {
    for (std::int64_t x = 0; x < 800; ++x)
        CopyAAt(t, x, 0, 1, RaggedLength(t.p), ScreenArea());
    return 0;
}

int TransitionRaggedWipeLeft(const TransitionArgs& t) {
    for (std::int64_t y = 0; y < 600; ++y) {
        const std::int64_t len = RaggedLength(t.p);
        CopyAAt(t, 800 - len, y, len, 1, ScreenArea());
    }
    return 0;
}

int TransitionRaggedWipeUp(const TransitionArgs& t) {
    for (std::int64_t x = 0; x < 800; ++x) {
        const std::int64_t len = RaggedLength(t.p);
        if (600 - len > 0)
            CopyAAt(t, x, 600 - len, 1, len, ScreenArea());
        else
            CopyAAt(t, x, 0, 1, 600, ScreenArea());
    }
    return 0;
}

int TransitionSmearDown(const TransitionArgs& t) {
    // The row is a 16-bit value, as the line index always was.
    const auto top = static_cast<std::int16_t>((static_cast<std::int64_t>(t.p) * 599) >> 8);
    for (std::int64_t y = 0; y < 600; ++y)
        Copy(t.dst, 0, y, t.a, 0, std::max<std::int64_t>(top, y), 800, 1, ScreenArea());
    return 0;
}

int TransitionSmearRight(const TransitionArgs& t) {
    const std::int64_t left = (static_cast<std::int64_t>(t.p) * 799) >> 8;
    for (std::int64_t x = 0; x < 800; ++x)
        Copy(t.dst, x, 0, t.a, std::max(left, x), 0, 1, 600, ScreenArea());
    return 0;
}

int TransitionBlindsFromCentre(const TransitionArgs& t) {
    const std::int64_t n = (static_cast<std::int64_t>(t.p) * 60) / 256;
    for (std::int64_t k = 0; k < 40; ++k) {
        const std::int64_t s = std::min<std::int64_t>(n - k, 20);
        if (s < 1) continue;
        CopyAAt(t, 400 + 20 * k, 0, s, 600, ScreenArea());
        CopyAAt(t, 400 - 20 * k, 0, s, 600, ScreenArea());
    }
    return 0;
}

int TransitionBlindsFromEdges(const TransitionArgs& t) {
    const std::int64_t n = (static_cast<std::int64_t>(t.p) * 40) / 256;
    for (std::int64_t k = 0; k < 40; ++k) {
        const std::int64_t s = std::min<std::int64_t>(n - k, 20);
        if (s < 1) continue;
        CopyAAt(t, 20 * k, 0, s, 600, ScreenArea());
        CopyAAt(t, 800 - 20 * k, 0, s, 600, ScreenArea());
    }
    return 0;
}

int TransitionZoomIn(const TransitionArgs& t) {
    const Rect area = OriginArea(t).Union(ArgsArea(t));
    const std::int64_t w = t.w, h = t.h;
    const std::int64_t zw = (w * t.p) >> 8;
    const std::int64_t zh = (h * t.p) >> 8;
    if (zw == 0 || zh == 0) return 0;
    Stretch(t.dst, w / 2 - zw / 2, h / 2 - zh / 2, zw, zh, t.a, t.sx, t.sy, w, h, area);
    return 0;
}

int TransitionZoomInBlend(const TransitionArgs& t) {
    const Rect area = OriginArea(t).Union(ArgsArea(t));
    const std::int64_t w = t.w, h = t.h;
    const std::int64_t zw = (w * t.p) >> 8;
    const std::int64_t zh = (h * t.p) >> 8;
    if (zw == 0 || zh == 0) return 0;
    StretchBlend(t.dst, w / 2 - zw / 2, h / 2 - zh / 2, zw, zh, t.a, t.sx, t.sy, w, h, t.p, area);
    return 0;
}

int TransitionZoomOut(const TransitionArgs& t) {
    const Rect area = OriginArea(t).Union(ArgsArea(t));
    CopyA(t, area);
    const std::int64_t w = t.w, h = t.h;
    // 255, not 256: at p = 0 B already sits at 255/256 of its size.
    const std::int64_t zw = ((255 - static_cast<std::int64_t>(t.p)) * w) >> 8;
    const std::int64_t zh = ((255 - static_cast<std::int64_t>(t.p)) * h) >> 8;
    if (zw == 0 || zh == 0) return 0;
    Stretch(t.dst, w / 2 - zw / 2, h / 2 - zh / 2, zw, zh, t.b, t.sx, t.sy, w, h, area);
    return 0;
}

int TransitionShapeTriangleDown(const TransitionArgs& t) {
    return DrawTriangle(t, Triangle::Down);
}
int TransitionShapeTriangleUp(const TransitionArgs& t) {
    return DrawTriangle(t, Triangle::Up);
}

int TransitionShapeDiagonal(const TransitionArgs& t) {
    DrawDiagonal(t, Diagonal::Falling, t.dx, t.dy, t.sx, t.sy, t.w, t.h, ArgsArea(t));
    return 0;
}

int TransitionShapeDiagonalOther(const TransitionArgs& t) {
    DrawDiagonal(t, Diagonal::Rising, t.dx, t.dy, t.sx, t.sy, t.w, t.h, ArgsArea(t));
    return 0;
}

int TransitionShapeDiagonalQuarters(const TransitionArgs& t) {
    DrawDiagonalQuarters(t, Diagonal::Falling);
    return 0;
}

int TransitionShapeDiagonalQuartersOther(const TransitionArgs& t) {
    DrawDiagonalQuarters(t, Diagonal::Rising);
    return 0;
}

int TransitionBands(const TransitionArgs& t) {
    const Rect area = ArgsArea(t);
    const Rect visible = area.Intersect(transition_blit::Bounds(t.dst));
    if (visible.Empty()) return 0;
    const std::int64_t w = t.w, h = t.h;
    const std::int64_t n = h / 64 + 1;
    const std::int64_t total = MulSat(MulSat(h / 64 + 4, w) + 4 * h, t.p) / 256;
    // From the bottom band upward; each band above starts one width later.
    // Bands below the visible rows are skipped (they draw nothing there).
    std::int64_t j = 0;
    if (const std::int64_t below = t.dy + 64 * (n - 1) - (visible.bottom - 1); below > 0)
        j = std::min(n, below / 64);
    for (; j < n; ++j) {
        const std::int64_t q = total - j * w;
        if (q < 1) break;
        const std::int64_t k = n - 1 - j;
        const std::int64_t y = t.dy + 64 * k;
        const std::int64_t push = q > 4 * w ? (q - 4 * w) / 4 : 0;
        // Bands further up sit higher and are pushed less: none can show.
        if (y + 64 + push <= visible.top) break;
        if (q <= w) {
            FillWithFillColour(t.dst, t.dx, y, q, 2, area);
        } else if (q > 4 * w) {
            Copy(t.dst, t.dx, y, t.a, t.sx, t.sy + 64 * k, w, 64, area);
            Copy(t.dst, t.dx, y + push, t.b, t.sx, t.sy + 64 * k, w, 64, area);
        } else {
            FillWithFillColour(t.dst, t.dx, y, w, 2, area);
        }
    }
    return 0;
}

int TransitionBandsVertical(const TransitionArgs& t) {
    const Rect area = ArgsArea(t);
    const Rect visible = area.Intersect(transition_blit::Bounds(t.dst));
    if (visible.Empty()) return 0;
    const std::int64_t w = t.w, h = t.h;
    const std::int64_t n = w / 64 + 1;
    const std::int64_t total = MulSat(MulSat(n + 7, h), t.p) / 256;
    // From the rightmost band leftward; each band to the left starts one
    // height later. Bands right of the visible columns are skipped, and the
    // walk ends left of them.
    std::int64_t j = 0;
    if (const std::int64_t right = t.dx + 64 * (n - 1) - (visible.right - 1); right > 0)
        j = std::min(n, right / 64);
    for (; j < n; ++j) {
        const std::int64_t q = total - j * h;
        if (q < 1) break;
        const std::int64_t k = n - 1 - j;
        const std::int64_t x = t.dx + 64 * k;
        if (x + 64 <= visible.left) break;
        if (q <= h) {
            FillWithFillColour(t.dst, x, t.dy + h - q, 2, q, area);
        } else if (q > 4 * h) {
            const std::int64_t a = (q - 4 * h) / 4;
            Copy(t.dst, x, t.dy, t.a, t.sx + 64 * k, t.sy, 64, a, area);
            Copy(t.dst, x, t.dy + a, t.b, t.sx + 64 * k, t.sy, 64, h, area);
        } else {
            FillWithFillColour(t.dst, x, t.dy, 2, h, area);
        }
    }
    return 0;
}

} // namespace transition_detail
