// Blending transitions: fades, dither, mosaic, mask wipes and soft wipes. The
// per-pixel effects walk rows directly; every walk is limited to the pixels
// that exist in all the surfaces it reads and writes.
#include "gfx/TransitionEffects.h"
#include "gfx/TransitionKernels.h"

#include <algorithm>

namespace transition_detail {

using transition_blit::BlendEx;
using transition_blit::Copy;
using transition_blit::OverBlend;

namespace {

constexpr std::array<std::uint16_t, 8> kDitherLevels = {0x2080, 0xA0A0, 0xA1A4, 0xA5A5,
                                                        0xADA7, 0xAFAF, 0xEFBF, 0xFFFF};
constexpr std::array<std::uint16_t, 4> kDitherColumns = {0xF000, 0x0F00, 0x00F0, 0x000F};
constexpr std::array<std::uint16_t, 4> kDitherRows = {0x8888, 0x4444, 0x2222, 0x1111};

// The 256-entry tables indexed by progress hold 0..255 only; beyond that the
// end states are what the last entry draws.
std::int64_t ClampProgress(std::int64_t p) {
    return std::clamp<std::int64_t>(p, 0, 255);
}

// Applies `op(dst, a, b)` to every pixel of a rectangle of size (w, h) that
// exists in all the surfaces: dst at (dx, dy) inside `clip`, A at (ax, ay),
// B at (bx, by) (B may be left out with a null pointer).
template <typename Op>
void ForEachPixel(CDib* dst, std::int64_t dx, std::int64_t dy, const CDib* a, std::int64_t ax,
                  std::int64_t ay, const CDib* b, std::int64_t bx, std::int64_t by, std::int64_t w,
                  std::int64_t h, const Rect& clip, Op op) {
    if (!dst || !a) return;
    const Span s = b ? CommonSpan(w, h, {{dst, dx, dy}, {a, ax, ay}, {b, bx, by}}, clip, dx, dy)
                     : CommonSpan(w, h, {{dst, dx, dy}, {a, ax, ay}}, clip, dx, dy);
    if (s.Empty()) return;
    const auto n = s.x1 - s.x0;
    for (std::int64_t y = s.y0; y < s.y1; ++y) {
        std::uint32_t* d = Pixel(dst, dx + s.x0, dy + y);
        const std::uint32_t* pa = Pixel(a, ax + s.x0, ay + y);
        const std::uint32_t* pb = b ? Pixel(b, bx + s.x0, by + y) : nullptr;
        for (std::int64_t i = 0; i < n; ++i)
            op(d[i], pa[i], pb ? pb[i] : 0u);
    }
}

// The mask picture, when it covers every pixel the effect would draw;
// null otherwise (no mask loaded, or one smaller than the area).
const CDib* UsableMask(const TransitionArgs& t, const Rect& clip) {
    const CDib* mask = g_maskImage.get();
    if (!mask || !mask->GetBits()) return nullptr;
    const Span s = CommonSpan(t.w, t.h, {{t.dst, t.dx, t.dy}, {t.a, t.dx, t.dy}, {t.b, t.dx, t.dy}},
                              clip, t.dx, t.dy);
    if (s.Empty()) return mask;
    const Rect need{t.dx + s.x0, t.dy + s.y0, t.dx + s.x1, t.dy + s.y1};
    const Rect have = transition_blit::Bounds(mask);
    const bool covers = need.left >= have.left && need.top >= have.top &&
                        need.right <= have.right && need.bottom <= have.bottom;
    return covers ? mask : nullptr;
}

// Applies `op(dst, a, b, m)` with the mask's first byte m at every pixel of
// the rectangle; dst, A, B and the mask are all read at (dx, dy).
template <typename Op> void ForEachMaskedPixel(const TransitionArgs& t, const CDib* mask, Op op) {
    const Rect clip = ArgsArea(t);
    const Span s = CommonSpan(
        t.w, t.h, {{t.dst, t.dx, t.dy}, {t.a, t.dx, t.dy}, {t.b, t.dx, t.dy}, {mask, t.dx, t.dy}},
        clip, t.dx, t.dy);
    if (s.Empty()) return;
    const auto n = s.x1 - s.x0;
    for (std::int64_t y = s.y0; y < s.y1; ++y) {
        const std::int64_t px = t.dx + s.x0, py = t.dy + y;
        std::uint32_t* d = Pixel(t.dst, px, py);
        const std::uint32_t* pa = Pixel(t.a, px, py);
        const std::uint32_t* pb = Pixel(t.b, px, py);
        const std::uint32_t* pm = Pixel(mask, px, py);
        for (std::int64_t i = 0; i < n; ++i)
            op(d[i], pa[i], pb[i], pm[i] & 0xFF);
    }
}

// b + floor((a - b) * weight / 256) for each colour byte; fourth byte of d kept.
std::uint32_t MixToward(std::uint32_t d, std::uint32_t a, std::uint32_t b, std::int32_t weight) {
    std::uint32_t out[3] = {};
    for (int c = 0; c < 3; ++c) {
        const auto bv = static_cast<std::int32_t>(Byte(b, c));
        const auto av = static_cast<std::int32_t>(Byte(a, c));
        out[c] = static_cast<std::uint32_t>(bv + (((av - bv) * weight) >> 8)) & 0xFF;
    }
    return WithColour(d, out[0], out[1], out[2]);
}

enum class Interlace { Fade, Negative };

int DrawInterlaced(const TransitionArgs& t, Interlace kind) {
    const Rect area = ArgsArea(t);
    if (t.p < 1) return 0;
    if (t.p >= 256) {
        Copy(t.dst, t.dx, t.dy, t.a, t.sx, t.sy, t.w, t.h, area);
        return 0;
    }
    if (!t.a) return 0;
    const int first = t.a->GetInterlaceParity();
    const WeightTables wt(t.p);
    if (t.h >= 1 && t.dst && (kind == Interlace::Fade || t.b)) {
        // The rows are counted from the top of the surfaces, not from dy or
        // sy: callers fade whole pictures, and the columns alone follow the
        // rectangle.
        const std::int64_t rows = (static_cast<std::int64_t>(t.h) + 1) >> 1;
        // Rows of the pair may run one past the rectangle; the clip drops it.
        const std::int64_t extent = first + 2 * rows;
        const Rect rowsArea = Rect::Xywh(t.dx, 0, t.w, t.h);
        const Span s =
            kind == Interlace::Fade
                ? CommonSpan(t.w, extent, {{t.dst, t.dx, 0}, {t.a, t.sx, 0}}, rowsArea, t.dx, 0)
                : CommonSpan(t.w, extent, {{t.dst, t.dx, 0}, {t.a, t.sx, 0}, {t.b, t.dx, 0}},
                             rowsArea, t.dx, 0);
        if (!s.Empty()) {
            const auto n = s.x1 - s.x0;
            // Rows first, first + 2, ... below first + 2 * rows, within the span.
            const std::int64_t end = std::min(s.y1, first + 2 * rows);
            std::int64_t start = std::max<std::int64_t>(s.y0, first);
            if ((start - first) % 2 != 0) ++start;
            for (std::int64_t row = start; row < end; row += 2) {
                std::uint32_t* d = Pixel(t.dst, t.dx + s.x0, row);
                const std::uint32_t* pa = Pixel(t.a, t.sx + s.x0, row);
                const std::uint32_t* pb =
                    kind == Interlace::Negative ? Pixel(t.b, t.dx + s.x0, row) : nullptr;
                for (std::int64_t x = 0; x < n; ++x) {
                    std::uint32_t out[3] = {};
                    for (int c = 0; c < 3; ++c) {
                        const auto av = Byte(pa[x], c);
                        if (kind == Interlace::Fade) {
                            const auto dv = static_cast<std::int32_t>(Byte(d[x], c));
                            out[c] = static_cast<std::uint32_t>(wt.a[av] - wt.a[dv] + dv) & 0xFF;
                        } else {
                            out[c] =
                                static_cast<std::uint32_t>(wt.a[255 - av] + wt.b[Byte(pb[x], c)]) &
                                0xFF;
                        }
                    }
                    d[x] = WithColour(d[x], out[0], out[1], out[2]);
                }
            }
        }
    }
    t.a->SetInterlaceParity(first ? 0 : 1);
    return 0;
}

int DrawMosaic(const TransitionArgs& t, std::int64_t block) {
    block = std::max<std::int64_t>(block, 1);
    if (!t.dst || !t.a) return 0;
    const Rect clip = OriginArea(t).Intersect(transition_blit::Bounds(t.dst));
    const std::int64_t aw = t.a->GetWidth(), ah = t.a->GetHeight();
    for (std::int64_t y = clip.top; y < clip.bottom; ++y) {
        const std::int64_t sy = y - y % block;
        if (sy >= ah) break;
        std::uint32_t* d = Pixel(t.dst, 0, y);
        const std::uint32_t* s = Pixel(t.a, 0, sy);
        for (std::int64_t x = clip.left; x < clip.right; ++x) {
            const std::int64_t sx = x - x % block;
            if (sx >= aw) break;
            d[x] = s[sx];
        }
    }
    return 0;
}

enum class SoftEdge { Right, Left, Down, Up, OpenVertical, OpenHorizontal };

int DrawSoftWipe(const TransitionArgs& t, SoftEdge kind) {
    const Rect area = ScreenArea().Union(Rect::Xywh(0, t.dy, 800, 600));
    if (t.p < 1) return 0;
    if (t.p >= 255) {
        Copy(t.dst, 0, 0, t.a, 0, 0, 800, 600, area);
        return 0;
    }
    const std::int64_t p = t.p;
    auto column = [&](std::int64_t x, std::int64_t alpha) {
        OverBlend(t.dst, x, t.dy, t.a, nullptr, x, t.sy, 1, 600, alpha, area);
    };
    auto row = [&](std::int64_t y, std::int64_t alpha) {
        OverBlend(t.dst, 0, y, t.a, nullptr, 0, y, 800, 1, alpha, area);
    };
    for (std::int64_t i = 0; i < 256; ++i) {
        switch (kind) {
        case SoftEdge::Right: {
            const std::int64_t e = (p * 1056) >> 8;
            if (e - i <= 800) column(e - i, i);
            break;
        }
        case SoftEdge::Left:
            column(800 - ((p * 1056) >> 8) + i, i);
            break;
        case SoftEdge::Down: {
            const std::int64_t e = (p * 856) >> 8;
            if (e - i <= 600) row(e - i, i);
            break;
        }
        case SoftEdge::Up:
            row(600 - ((p * 856) >> 8) + i, i);
            break;
        case SoftEdge::OpenVertical: {
            const std::int64_t a = (p * 1056) >> 9;
            if (i > a) break;
            column(400 - a + i, i);
            column(400 + a - i, i);
            break;
        }
        case SoftEdge::OpenHorizontal: {
            const std::int64_t a = (p * 856) >> 9;
            if (i > a) break;
            row(300 - a + i, i);
            row(300 + a - i, i);
            break;
        }
        }
    }
    return 0;
}

} // namespace

int TransitionMosaic(const TransitionArgs& t) {
    return DrawMosaic(t, (static_cast<std::int64_t>(t.p) * 32) / 256 + 1);
}

int TransitionMosaicIn(const TransitionArgs& t) {
    return DrawMosaic(t, ((256 - static_cast<std::int64_t>(t.p)) * 32) / 256 + 1);
}

int TransitionInterlaceFade(const TransitionArgs& t) {
    return DrawInterlaced(t, Interlace::Fade);
}

int TransitionNegativeInterlace(const TransitionArgs& t) {
    return DrawInterlaced(t, Interlace::Negative);
}

int TransitionDither(const TransitionArgs& t) {
    const std::uint16_t level = kDitherLevels[static_cast<std::size_t>(ClampProgress(t.p) / 32)];
    if (!t.dst || !t.a) return 0;
    const Span s = CommonSpan(800, 600, {{t.dst, 0, 0}, {t.a, 0, 0}}, ScreenArea(), 0, 0);
    for (std::int64_t y = s.y0; y < s.y1; ++y) {
        std::uint32_t* d = Pixel(t.dst, 0, y);
        const std::uint32_t* a = Pixel(t.a, 0, y);
        const std::uint16_t rowBits = level & kDitherRows[static_cast<std::size_t>(y & 3)];
        for (std::int64_t x = s.x0; x < s.x1; ++x) {
            if (rowBits & kDitherColumns[static_cast<std::size_t>(x & 3)])
                d[x] = (d[x] & 0xFF000000u) | (a[x] & 0x00FFFFFFu);
        }
    }
    return 0;
}

int TransitionRuleBlend(const TransitionArgs& t) {
    const CDib* mask = UsableMask(t, ArgsArea(t));
    if (!mask) return TransitionCrossFade(t);
    const WeightTables wt(ClampProgress(t.p));
    const std::int32_t base = wt.a[static_cast<std::size_t>(ClampProgress(t.p))];
    ForEachMaskedPixel(t, mask,
                       [&](std::uint32_t& d, std::uint32_t a, std::uint32_t b, std::uint32_t m) {
                           const std::int32_t weight = wt.a[m] + base;
                           if (weight > 255)
                               d = a;
                           else if (weight >= 1)
                               d = MixToward(d, a, b, weight);
                       });
    return 0;
}

int TransitionCrossFade(const TransitionArgs& t) {
    const Rect area = ArgsArea(t);
    if (t.p < 0) return 1;
    if (t.p >= 256) {
        Copy(t.dst, t.dx, t.dy, t.a, t.sx, t.sy, t.w, t.h, area);
        return 1;
    }
    BlendEx(t.dst, t.b, t.dx, t.dy, t.a, t.sx, t.sy, t.w, t.h, t.p, area);
    return 0;
}

int TransitionRuleWipe(const TransitionArgs& t) {
    const CDib* mask = UsableMask(t, ArgsArea(t));
    if (!mask) return TransitionCrossFade(t);
    const std::int64_t threshold = (static_cast<std::int64_t>(t.p) * 320) / 256;
    const Span s = CommonSpan(
        t.w, t.h, {{t.dst, t.dx, t.dy}, {t.a, t.dx, t.dy}, {t.b, t.dx, t.dy}, {mask, t.dx, t.dy}},
        ArgsArea(t), t.dx, t.dy);
    if (s.Empty()) return 0;
    const auto n = static_cast<std::size_t>(s.x1 - s.x0);
    const std::int64_t x = t.dx + s.x0;
    for (std::int64_t y = t.dy + s.y0; y < t.dy + s.y1; ++y)
        transition_kernels::MaskMixRow(Pixel(t.dst, x, y), Pixel(t.a, x, y), Pixel(t.b, x, y),
                                       Pixel(mask, x, y), n, threshold);
    return 0;
}

int TransitionSoftWipeRight(const TransitionArgs& t) {
    return DrawSoftWipe(t, SoftEdge::Right);
}
int TransitionSoftWipeLeft(const TransitionArgs& t) {
    return DrawSoftWipe(t, SoftEdge::Left);
}
int TransitionSoftWipeDown(const TransitionArgs& t) {
    return DrawSoftWipe(t, SoftEdge::Down);
}
int TransitionSoftWipeUp(const TransitionArgs& t) {
    return DrawSoftWipe(t, SoftEdge::Up);
}
int TransitionSoftWipeOpenVertical(const TransitionArgs& t) {
    return DrawSoftWipe(t, SoftEdge::OpenVertical);
}
int TransitionSoftWipeOpenHorizontal(const TransitionArgs& t) {
    return DrawSoftWipe(t, SoftEdge::OpenHorizontal);
}

int TransitionBlend(const TransitionArgs& t) {
    if (t.p < 1) return 0;
    // The weights are bytes: past 256 they would wrap, and 256 is all A.
    const WeightTables wt(std::min(t.p, 256));
    const CDib* b = t.b ? t.b : t.dst;
    ForEachPixel(t.dst, t.dx, t.dy, t.a, t.sx, t.sy, b, t.dx, t.dy, t.w, t.h, ArgsArea(t),
                 [&](std::uint32_t& d, std::uint32_t a, std::uint32_t bp) {
                     std::uint32_t out[3] = {};
                     for (int c = 0; c < 3; ++c)
                         out[c] = static_cast<std::uint32_t>(wt.a[Byte(a, c)] + wt.b[Byte(bp, c)]) &
                                  0xFF;
                     d = WithColour(d, out[0], out[1], out[2]);
                 });
    return 0;
}

int TransitionGreyBlend(const TransitionArgs& t) {
    const std::int64_t p = t.p;
    const auto k = static_cast<std::int32_t>((2 * p) & 255);
    const bool toGrey = p < 128;
    ForEachPixel(
        t.dst, t.dx, t.dy, t.a, t.dx, t.dy, t.b, t.dx, t.dy, t.w, t.h, ArgsArea(t),
        [&](std::uint32_t& d, std::uint32_t a, std::uint32_t b) {
            const auto g = static_cast<std::int32_t>((Byte(a, 0) + Byte(a, 1) + Byte(a, 2)) / 3);
            std::uint32_t out[3] = {};
            for (int c = 0; c < 3; ++c) {
                const std::int32_t from = toGrey ? static_cast<std::int32_t>(Byte(b, c)) : g;
                const std::int32_t to = toGrey ? g : static_cast<std::int32_t>(Byte(a, c));
                out[c] = static_cast<std::uint32_t>(from + (((to - from) * k) >> 8)) & 0xFF;
            }
            d = WithColour(d, out[0], out[1], out[2]);
        });
    return 0;
}

} // namespace transition_detail
