// Distortion transitions: line jitter, swirls, scattering tiles, row waves and
// the ripple. All but the jitter read the lookup block; cosine products are
// 16.16 values worked in 64 bits (a cosine times a coordinate scaled by 256
// passes 2^31 near the edges).
#include "gfx/TransitionEffects.h"

#include "platform/Platform.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace transition_detail {

using transition_blit::Copy;
using transition_blit::OverBlend;
using transition_blit::StretchBlend;

namespace {

// The two ends of a transition: before it starts nothing is drawn, and from
// `full` on A is copied whole. true when the frame is one of them.
bool AtAnEnd(const TransitionArgs& t, const Rect& area, int full = 256) {
    if (t.p < 1) return true;
    if (t.p >= full) {
        CopyA(t, area);
        return true;
    }
    return false;
}

std::int64_t Abs(std::int64_t v) {
    return v < 0 ? -v : v;
}

// Non-negative remainder.
std::int64_t Mod(std::int64_t v, std::int64_t n) {
    return ((v % n) + n) % n;
}

// The distance of a tile from the centre in whole pixels, as a 16-bit value.
std::int64_t TileDistance(const TransitionTables& tables, std::int64_t rx, std::int64_t ry) {
    return static_cast<std::int16_t>(tables.Dist(rx, ry) >> 16);
}

void DrawJitter(const TransitionArgs& t, std::int64_t n) {
    const Rect area = ArgsArea(t).Intersect(transition_blit::Bounds(t.dst));
    // Rows far above the area draw nothing; they are skipped without
    // drawing their random numbers.
    std::int64_t r = std::max<std::int64_t>(0, area.top - t.dy - (1 << 20));
    for (; r < t.h; ++r) {
        const std::int64_t y = t.dy + r;
        if (y >= area.bottom) break;
        const std::int64_t off = platform::Rand() % n - (n >> 1);
        if (y < area.top) continue;
        Copy(t.dst, t.dx + off, y, t.a, 0, y, t.w, 1, area);
    }
}

enum class SwirlSource { A, B };
enum class SwirlColour { Replace, SourceWeightP, DestWeightP };

struct Swirl {
    const CDib* source;
    std::int64_t twist;
    std::int64_t zoom; // divisor of the (rx << 8) zoom, 0 for none
    SwirlColour colour;
};

// Every pixel (x, y) of the w x h rectangle at the origin samples the source
// at its position turned about the centre by an angle that falls to 0 at the
// corners.
void DrawSwirl(const TransitionArgs& t, const Swirl& swirl, const Rect& clip) {
    if (!t.dst || !swirl.source) return;
    const TransitionTables& tables = EnsureTransitionTables();
    const std::int64_t w = t.w, h = t.h, p = t.p;
    const std::int64_t cx = w / 2, cy = h / 2;
    const std::int64_t corner = tables.Dist(cx, cy);
    const Rect box = OriginArea(t).Intersect(clip).Intersect(transition_blit::Bounds(t.dst));
    for (std::int64_t y = box.top; y < box.bottom; ++y) {
        std::uint32_t* row = Pixel(t.dst, 0, y);
        const std::int64_t ry = y - cy;
        for (std::int64_t x = box.left; x < box.right; ++x) {
            const std::int64_t rx = x - cx;
            const std::int64_t d = tables.Dist(Abs(rx), Abs(ry));
            const std::int64_t angle = Mod((((corner - d) >> 16) * swirl.twist) >> 7, 512);
            const std::int64_t c = tables.Cos(512 - angle);
            const std::int64_t s = tables.Cos(384 - angle);
            std::int64_t u = rx, v = ry;
            if (swirl.zoom != 0) {
                u = (rx * 256) / swirl.zoom;
                v = (ry * 256) / swirl.zoom;
            }
            const std::int64_t sx = ((c * u) >> 16) - ((s * v) >> 16) + cx;
            const std::int64_t sy = ((s * u) >> 16) + cy + ((c * v) >> 16);
            const std::uint32_t* src = Pixel(swirl.source, sx, sy);
            if (!src) continue;
            std::uint32_t& dst = row[x];
            std::uint32_t out[3] = {};
            for (int ch = 0; ch < 3; ++ch) {
                const std::int64_t sv = Byte(*src, ch), dv = Byte(dst, ch);
                switch (swirl.colour) {
                case SwirlColour::Replace:
                    out[ch] = static_cast<std::uint32_t>(sv);
                    break;
                case SwirlColour::SourceWeightP:
                    out[ch] = static_cast<std::uint32_t>(((sv * p + dv * (256 - p)) >> 8) & 0xFF);
                    break;
                case SwirlColour::DestWeightP:
                    out[ch] = static_cast<std::uint32_t>(((dv * p + sv * (256 - p)) >> 8) & 0xFF);
                    break;
                }
            }
            dst = WithColour(dst, out[0], out[1], out[2]);
        }
    }
}

Rect OriginAndArgs(const TransitionArgs& t) {
    return OriginArea(t).Union(ArgsArea(t));
}

enum class Scatter { In, Out };

int DrawScatter(const TransitionArgs& t, Scatter kind) {
    const TransitionTables& tables = EnsureTransitionTables();
    const Rect area = OriginAndArgs(t);
    if (AtAnEnd(t, area)) return 0;
    const std::int64_t w = t.w, h = t.h, p = t.p;
    const std::int64_t total = w + h;
    const CDib* tiles;
    std::int64_t reach, alpha;
    if (kind == Scatter::Out) {
        Copy(t.dst, 0, 0, t.a, 0, 0, w, h, area);
        reach = total - (((256 - p) * total) >> 8);
        tiles = t.b;
        alpha = 255 - p;
    } else {
        Copy(t.dst, 0, 0, t.b, 0, 0, w, h, area);
        reach = total - ((total * p) >> 8);
        tiles = t.a;
        alpha = p;
    }
    if (!tiles || !t.dst) return 0;
    // Tiles whose source lies outside the tile picture draw nothing.
    const std::int64_t xEnd = std::min<std::int64_t>(w, tiles->GetWidth());
    const std::int64_t yEnd = std::min<std::int64_t>(h, tiles->GetHeight());
    for (std::int64_t y = 0; y < yEnd; y += 4) {
        for (std::int64_t x = 0; x < xEnd; x += 4) {
            const std::int64_t cw = std::min<std::int64_t>(4, w - x);
            const std::int64_t ch = std::min<std::int64_t>(4, h - y);
            const std::int64_t rx = x - w / 2, ry = y - h / 2;
            const std::int64_t dist = TileDistance(tables, Abs(rx), Abs(ry));
            std::int64_t ux = rx, uy = ry;
            if (dist != 0) {
                ux = (rx * 256) / dist;
                uy = (ry * 256) / dist;
            }
            const std::int64_t px = (MulSat(tables.Rnd(10 * y + x) * ux, reach) >> 16) + x + t.dx;
            const std::int64_t py = (MulSat(tables.Rnd(16 * y + x) * uy, reach) >> 16) + y + t.dy;
            StretchBlend(t.dst, px, py, cw, ch, tiles, x, y, cw, ch, alpha, area);
        }
    }
    return 0;
}

// truncate(sqrt(rx^2 + ry^2) + 1) for every pixel of the screen about its
// centre, worked out once: the square root per pixel is the ripple's cost.
constexpr int kRippleMaxRadius = 501; // the corners: sqrt(400^2 + 300^2) + 1
const std::vector<std::uint16_t>& RippleRadii() {
    static const std::vector<std::uint16_t> radii = [] {
        std::vector<std::uint16_t> r(800 * 600);
        for (int y = 0; y < 600; ++y) {
            for (int x = 0; x < 800; ++x) {
                const int rx = x - 400, ry = y - 300;
                r[static_cast<std::size_t>(y * 800 + x)] = static_cast<std::uint16_t>(
                    std::sqrt(static_cast<double>(rx * rx + ry * ry)) + 1.0);
            }
        }
        return r;
    }();
    return radii;
}

enum class Wave { Rows, RowsOpposite, RowsBlend, RowsSplit };

int DrawWave(const TransitionArgs& t, Wave kind) {
    const TransitionTables& tables = EnsureTransitionTables();
    const Rect area = ArgsArea(t);
    const std::int64_t p = t.p;
    // Rows that land outside dst draw nothing.
    const Rect rows = area.Intersect(transition_blit::Bounds(t.dst));
    const std::int64_t first = std::max<std::int64_t>(0, rows.top - t.dy);
    const std::int64_t last = std::min<std::int64_t>(t.h, rows.bottom - t.dy);
    for (std::int64_t r = first; r < last; ++r) {
        const std::int64_t y = t.dy + r;
        switch (kind) {
        case Wave::Rows:
        case Wave::RowsOpposite: {
            const std::int64_t c = tables.Cos(kind == Wave::Rows ? r : r - 256);
            const auto off = static_cast<std::int16_t>((c * (255 - p)) >> 15);
            Copy(t.dst, t.dx + off, y, t.a, 0, r, t.w, 1, area);
            break;
        }
        case Wave::RowsBlend: {
            const std::int64_t off = (tables.Cos(8 * (r % 64)) * (255 - p)) >> 16;
            OverBlend(t.dst, t.dx + off, y, t.a, t.b, 0, r, 800, 1, p, area);
            break;
        }
        case Wave::RowsSplit: {
            const std::int64_t m = (tables.Cos(8 * (r % 64)) * p) >> 16;
            Copy(t.dst, t.dx, y, t.a, t.dx, y, m >= 0 ? m : t.w, 1, area);
            OverBlend(t.dst, t.dx + m, y, t.b, t.a, 0, r, 800, 1, 255 - ((p * p) >> 8), area);
            break;
        }
        }
    }
    return 0;
}

} // namespace

int TransitionLineJitter(const TransitionArgs& t) {
    EnsureTransitionTables();
    if (t.p < 1) return 0;
    if (t.p >= 256) {
        CopyA(t, ArgsArea(t));
        return 0;
    }
    DrawJitter(t, 256 - t.p);
    return 0;
}

int TransitionLineJitter2(const TransitionArgs& t) {
    if (t.p < 1) return 0;
    if (t.p >= 256) {
        CopyA(t, ArgsArea(t));
        return 0;
    }
    DrawJitter(t, t.p);
    return 0;
}

namespace {

// The two swirl transitions: with the flag B is copied and A swirled on it
// (`towardA`), else A is copied and B swirled on it (`towardB`).
int DrawSwirlOver(const TransitionArgs& t, const Swirl& towardA, const Swirl& towardB) {
    const Rect area = OriginAndArgs(t);
    if (AtAnEnd(t, area)) return 0;
    const bool flag = t.flag != 0;
    Copy(t.dst, t.dx, t.dy, flag ? t.b : t.a, t.dx, t.dy, t.w, t.h, area);
    DrawSwirl(t, flag ? towardA : towardB, area);
    return 0;
}

} // namespace

int TransitionWaveSwirlZoom(const TransitionArgs& t) {
    EnsureTransitionTables();
    const std::int64_t p = t.p;
    return DrawSwirlOver(t, {t.a, 2 * (256 - p), p, SwirlColour::Replace},
                         {t.b, 2 * p, 256 - p, SwirlColour::Replace});
}

int TransitionWaveSwirlBlend(const TransitionArgs& t) {
    EnsureTransitionTables();
    const std::int64_t p = t.p;
    return DrawSwirlOver(t, {t.a, 2 * (256 - p), 0, SwirlColour::SourceWeightP},
                         {t.b, 2 * p, 0, SwirlColour::DestWeightP});
}

int TransitionWaveSwirlIn(const TransitionArgs& t) {
    EnsureTransitionTables();
    const Rect area = OriginAndArgs(t);
    if (AtAnEnd(t, area, 255)) return 0;
    DrawSwirl(t, {t.a, 2 * (255 - static_cast<std::int64_t>(t.p)), 0, SwirlColour::SourceWeightP},
              area);
    return 0;
}

int TransitionWaveScatterIn(const TransitionArgs& t) {
    return DrawScatter(t, Scatter::In);
}
int TransitionWaveScatterOut(const TransitionArgs& t) {
    return DrawScatter(t, Scatter::Out);
}

int TransitionWaveTileSwirl(const TransitionArgs& t) {
    const TransitionTables& tables = EnsureTransitionTables();
    const Rect area = OriginAndArgs(t);
    if (AtAnEnd(t, area)) return 0;
    if (!t.a || !t.dst) return 0;
    const std::int64_t w = t.w, h = t.h, p = t.p;
    const std::int64_t total = w + h;
    const std::int64_t reach = total - ((total * p) >> 8);
    const std::int64_t cu = tables.Cos(2 * (256 - p) - 128);
    const std::int64_t cv = tables.Cos(2 * (256 - p));
    const std::int64_t xEnd = std::min<std::int64_t>(w, t.a->GetWidth());
    const std::int64_t yEnd = std::min<std::int64_t>(h, t.a->GetHeight());
    for (std::int64_t y = 0; y < yEnd; y += 2) {
        for (std::int64_t x = 0; x < xEnd; x += 4) {
            const std::int64_t cw = std::min<std::int64_t>(4, w - x);
            const std::int64_t ch = std::min<std::int64_t>(2, h - y);
            const std::int64_t rx = x - w / 2, ry = y - h / 2;
            const std::int64_t dist = TileDistance(tables, Abs(rx), Abs(ry));
            std::int64_t u = rx, v = ry;
            if (dist != 0) {
                u = ((cu * (rx * 256)) >> 16) / dist;
                v = ((cv * (ry * 256)) >> 16) / dist;
            }
            Copy(t.dst, (MulSat(u, reach) >> 8) + x + t.dx, (MulSat(v, reach) >> 8) + y + t.dy, t.a,
                 x, y, cw, ch, area);
        }
    }
    return 0;
}

int TransitionWaveRows(const TransitionArgs& t) {
    return DrawWave(t, Wave::Rows);
}
int TransitionWaveRowsOpposite(const TransitionArgs& t) {
    return DrawWave(t, Wave::RowsOpposite);
}
int TransitionWaveRowsBlend(const TransitionArgs& t) {
    return DrawWave(t, Wave::RowsBlend);
}
int TransitionWaveRowsSplit(const TransitionArgs& t) {
    return DrawWave(t, Wave::RowsSplit);
}

int TransitionRipple(const TransitionArgs& t) {
    const TransitionTables& tables = EnsureTransitionTables();
    const Rect area = ScreenArea().Union(ArgsArea(t));
    if (AtAnEnd(t, area)) return 0;
    if (!t.dst || !t.a || !t.b) return 0;
    const std::int64_t p = t.p;
    const std::int64_t ring = 8 * p + 16;
    const WeightTables wt(p);
    const std::vector<std::uint16_t>& radii = RippleRadii();
    // The push at each radius: the ring's cosine, fading out toward 512.
    std::array<std::int32_t, kRippleMaxRadius + 1> push{};
    for (std::int64_t r = 1; r <= kRippleMaxRadius; ++r) {
        const std::int64_t amp = tables.Cos(8 * (r - ring)) >> 13;
        const std::int64_t rc = std::min<std::int64_t>(r, 512);
        push[static_cast<std::size_t>(r)] = static_cast<std::int32_t>(((512 - rc) * amp) / 512);
    }
    const Span s = CommonSpan(800, 600, {{t.dst, 0, 0}, {t.b, 0, 0}}, area, 0, 0);
    for (std::int64_t y = s.y0; y < s.y1; ++y) {
        std::uint32_t* d = Pixel(t.dst, 0, y);
        const std::uint32_t* b = Pixel(t.b, 0, y);
        const auto ry = static_cast<std::int32_t>(y - 300);
        const std::uint16_t* rrow = radii.data() + y * 800;
        for (std::int64_t x = s.x0; x < s.x1; ++x) {
            const auto rx = static_cast<std::int32_t>(x - 400);
            const std::int32_t r = rrow[x];
            const std::int32_t rc = std::min(r, 512);
            const std::int32_t f = push[static_cast<std::size_t>(r)];
            const std::int32_t offY = (ry * f) / rc;
            const std::int32_t offX = (rx * f) / rc;
            const std::int64_t ax = std::clamp<std::int64_t>(x + offX, 0, 792);
            const std::int64_t ay = std::clamp<std::int64_t>(y + offY, 0, 592);
            const std::uint32_t* a = Pixel(t.a, ax, ay);
            if (!a) continue;
            std::uint32_t out[3] = {};
            for (int c = 0; c < 3; ++c) {
                const std::int32_t v = wt.b[Byte(b[x], c)] + wt.a[Byte(*a, c)] + 2 * offY;
                out[c] = static_cast<std::uint32_t>(std::clamp(v, 0, 255));
            }
            d[x] = WithColour(d[x], out[0], out[1], out[2]);
        }
    }
    return 0;
}

} // namespace transition_detail
