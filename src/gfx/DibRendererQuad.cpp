// Quad, rotate-and-zoom and displacement blits, shared by both renderer
// classes. Edges and spans are interpolated in fixed point with 20 fractional
// bits, held in 64 bits so that large shapes (scales above 2, corners far
// off the image) neither wrap nor overflow.
#include "gfx/Dib.h"
#include "gfx/DibRenderer.h"
#include "gfx/DisplacementMap.h"
#include "gfx/MulDiv.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace {

using i64 = long long;
constexpr int kFrac = 20;

// Neighbours of each corner, then its opposite (top-left 0, top-right 1,
// bottom-left 2, bottom-right 3).
constexpr std::array<std::array<int, 3>, 4> kCorners{{{1, 2, 3}, {0, 3, 2}, {0, 3, 1}, {1, 2, 0}}};

inline std::uint32_t Chan(std::uint32_t v, int c) {
    return (v >> (8 * c)) & 0xFFu;
}

// The plain class's constant blend, which both classes use for quads.
inline std::uint32_t BlendPixel(std::uint32_t S, std::uint32_t D, std::uint32_t df,
                                std::uint32_t sf) {
    std::uint32_t out = 0;
    for (int c = 0; c < 3; ++c) {
        const std::uint32_t v = (Chan(S, c) * Chan(sf, c) >> 8) + (Chan(D, c) * Chan(df, c) >> 8);
        out |= (v > 255 ? 255 : v) << (8 * c);
    }
    return out;
}

int Clamp32(i64 v) {
    return static_cast<int>(std::clamp<i64>(v, INT32_MIN, INT32_MAX));
}

int TruncToInt(double v) {
    if (!(v > -2147483648.0)) return INT32_MIN; // also NaN
    if (v >= 2147483647.0) return INT32_MAX;
    return static_cast<int>(v);
}

// One side of the shape: a chain of corners followed downwards.
struct Side {
    std::array<int, 4> chain{};
    int edge = 0; // index of the current edge's near corner in chain
};

} // namespace

int CDibRenderer::QuadMap(const CDib* src, const DibQuad& sq, const DibQuad& dq,
                          const DibRect* clip, int flag, QuadOp op, std::uint32_t dstFactor,
                          std::uint32_t srcFactor) {
    // Corners sorted top to bottom, ties left to right.
    std::array<int, 4> order{0, 1, 2, 3};
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return dq[a].y != dq[b].y ? dq[a].y < dq[b].y : dq[a].x < dq[b].x;
    });
    const int top = order[0];
    const int na = kCorners[top][0], nb = kCorners[top][1], opposite = kCorners[top][2];
    // The second corner from the top must share an edge with the top one;
    // otherwise the outline crosses itself.
    if (order[1] != na && order[1] != nb) return 1;
    if (!src || !bits_) return 0;

    DibRect k;
    if (!IntersectRect(&k, clip)) return 0;
    NoteDrawn(k);

    // Left and right by the turn from one edge vector to the other (y down).
    const i64 ax = i64(dq[na].x) - dq[top].x, ay = i64(dq[na].y) - dq[top].y;
    const i64 bx = i64(dq[nb].x) - dq[top].x, by = i64(dq[nb].y) - dq[top].y;
    const bool aIsRight = ax * by - ay * bx > 0;
    const int leftN = aIsRight ? nb : na, rightN = aIsRight ? na : nb;
    // Each side runs to its neighbour, then on to the opposite corner (and on
    // round the outline, for shapes whose opposite corner is not the lowest).
    Side left{{top, leftN, opposite, rightN}, 0};
    Side right{{top, rightN, opposite, leftN}, 0};

    struct EdgeValues {
        i64 x, u, v;
    };
    // Values of the side at row y: its edge stepped (y - near.y + 1) times.
    auto at = [&](Side& s, int y, EdgeValues& out) {
        while (s.edge < 3 && dq[s.chain[s.edge + 1]].y <= y)
            ++s.edge;
        if (s.edge >= 3) return false;
        const int p = s.chain[s.edge], q = s.chain[s.edge + 1];
        const i64 h = i64(dq[q].y) - dq[p].y;
        if (h <= 0 || y < dq[p].y) return false;
        const i64 steps = i64(y) - dq[p].y + 1;
        auto lerp = [&](i64 from, i64 to) {
            const i64 step = ((to - from) * (i64(1) << kFrac)) / h;
            return from * (i64(1) << kFrac) + steps * step;
        };
        out = {lerp(dq[p].x, dq[q].x), lerp(sq[p].x, sq[q].x), lerp(sq[p].y, sq[q].y)};
        return true;
    };

    const DibRect& sImage = src->GetRect();
    const CDibRenderer& s = src->Renderer();
    const std::uint32_t key = s.GetColorKey();
    const int y0 = std::max(dq[top].y, k.top);
    const int y1 = std::min<i64>(dq[order[3]].y, k.bottom);
    for (int y = y0; y < y1; ++y) {
        EdgeValues l, r;
        if (!at(left, y, l) || !at(right, y, r)) continue;
        const i64 xl = l.x >> kFrac, xr = r.x >> kFrac;
        const i64 n = xr - xl;
        if (n <= 0) continue;
        i64 du = 0, dv = 0;
        if (n > 1) {
            const i64 div = flag ? n : n - 1;
            du = (r.u - l.u) / div;
            dv = (r.v - l.v) / div;
        }
        const i64 first = std::max<i64>(xl, k.left), last = std::min<i64>(xl + n, k.right);
        std::uint32_t* d = RowAt(y);
        for (i64 x = first; x < last; ++x) {
            const i64 i = x - xl;
            const i64 su = (l.u + i * du) >> kFrac, sv = (l.v + i * dv) >> kFrac;
            if (su < 0 || sv < 0 || su >= sImage.right || sv >= sImage.bottom) continue;
            const std::uint32_t S = s.Row(static_cast<int>(sv))[su];
            std::uint32_t& D = d[x];
            switch (op) {
            case QuadOp::Copy:
                D = S;
                break;
            case QuadOp::Keyed:
                if (S != key) D = S;
                break;
            case QuadOp::Blend:
                D = BlendPixel(S, D, dstFactor, srcFactor);
                break;
            case QuadOp::KeyedBlend:
                if (S != key) D = BlendPixel(S, D, dstFactor, srcFactor);
                break;
            }
        }
    }
    return 0;
}

namespace {
DibRect WholeOr(const DibRect* r, const DibRect& whole) {
    return r ? *r : whole;
}
} // namespace

int CDibRenderer::QuadBltKeyed(const CDib* src, const DibQuad& sq, const DibQuad& dq,
                               const DibRect* clip, int flag) {
    return QuadMap(src, sq, dq, clip, flag, QuadOp::Keyed, 0, 0);
}
int CDibRenderer::QuadBltKeyedFromRect(const CDib* src, const DibRect* sr, const DibQuad& dq,
                                       const DibRect* clip) {
    if (!src) return 0;
    return QuadBltKeyed(src, QuadFromRect(WholeOr(sr, src->GetRect())), dq, clip, 0);
}
int CDibRenderer::QuadBltKeyedToRect(const CDib* src, const DibQuad& sq, const DibRect* dr,
                                     const DibRect* clip) {
    return QuadBltKeyed(src, sq, QuadFromRect(WholeOr(dr, rect_)), clip, 1);
}
int CDibRenderer::QuadBlt(const CDib* src, const DibQuad& sq, const DibQuad& dq,
                          const DibRect* clip, int flag) {
    return QuadMap(src, sq, dq, clip, flag, QuadOp::Copy, 0, 0);
}
int CDibRenderer::QuadBltFromRect(const CDib* src, const DibRect* sr, const DibQuad& dq,
                                  const DibRect* clip) {
    if (!src) return 0;
    return QuadBlt(src, QuadFromRect(WholeOr(sr, src->GetRect())), dq, clip, 0);
}
int CDibRenderer::QuadBltToRect(const CDib* src, const DibQuad& sq, const DibRect* dr,
                                const DibRect* clip) {
    return QuadBlt(src, sq, QuadFromRect(WholeOr(dr, rect_)), clip, 1);
}
int CDibRenderer::QuadBltKeyedBlend(const CDib* src, const DibQuad& sq, const DibQuad& dq,
                                    std::uint32_t df, std::uint32_t sf, const DibRect* clip,
                                    int flag) {
    return QuadMap(src, sq, dq, clip, flag, QuadOp::KeyedBlend, df, sf);
}
int CDibRenderer::QuadBltKeyedBlendFromRect(const CDib* src, const DibRect* sr, const DibQuad& dq,
                                            std::uint32_t df, std::uint32_t sf,
                                            const DibRect* clip) {
    if (!src) return 0;
    return QuadBltKeyedBlend(src, QuadFromRect(WholeOr(sr, src->GetRect())), dq, df, sf, clip, 0);
}
int CDibRenderer::QuadBltKeyedBlendToRect(const CDib* src, const DibQuad& sq, const DibRect* dr,
                                          std::uint32_t df, std::uint32_t sf, const DibRect* clip) {
    return QuadBltKeyedBlend(src, sq, QuadFromRect(WholeOr(dr, rect_)), df, sf, clip, 1);
}
int CDibRenderer::QuadBltBlend(const CDib* src, const DibQuad& sq, const DibQuad& dq,
                               std::uint32_t df, std::uint32_t sf, const DibRect* clip, int flag) {
    return QuadMap(src, sq, dq, clip, flag, QuadOp::Blend, df, sf);
}
int CDibRenderer::QuadBltBlendFromRect(const CDib* src, const DibRect* sr, const DibQuad& dq,
                                       std::uint32_t df, std::uint32_t sf, const DibRect* clip) {
    if (!src) return 0;
    return QuadBltBlend(src, QuadFromRect(WholeOr(sr, src->GetRect())), dq, df, sf, clip, 0);
}
int CDibRenderer::QuadBltBlendToRect(const CDib* src, const DibQuad& sq, const DibRect* dr,
                                     std::uint32_t df, std::uint32_t sf, const DibRect* clip) {
    return QuadBltBlend(src, sq, QuadFromRect(WholeOr(dr, rect_)), df, sf, clip, 1);
}

// ---------------------------------------------------------------- rotate and zoom

int CDibRenderer::ComputeRotZoomQuad(DibQuad* out, const CDib* src, const DibRect* srcRect, int x,
                                     int y, int angle, int scale, int anchor) {
    if (!src || !out) return -1;
    const DibRect r = srcRect ? *srcRect : DibRect{0, 0, src->GetWidth(), src->GetHeight()};
    const i64 w = i64(r.right) - r.left, h = i64(r.bottom) - r.top;
    if (scale == 0 || w <= 0 || h <= 0 || w > INT32_MAX || h > INT32_MAX) return 1;
    const i64 W = MulDiv(static_cast<int>(w), scale, 65536),
              H = MulDiv(static_cast<int>(h), scale, 65536);
    if (W == 0 || H == 0) return 1;
    i64 px = x, py = y;
    switch (anchor) {
    case 1:
        px = i64(x) + W;
        break;
    case 2:
        py = i64(y) + H;
        break;
    case 3:
        px = i64(x) + W;
        py = i64(y) + H;
        break;
    case 4:
        px = i64(x) + (W >> 1);
        py = i64(y) + (H >> 1);
        break;
    default:
        break;
    }
    const double t =
        static_cast<double>(-static_cast<i64>(angle)) * std::numbers::pi * (1.0 / 180.0);
    const double s = std::sin(t), c = std::cos(t);
    const std::array<std::array<i64, 2>, 4> corners{
        {{x, y}, {x + W, y}, {x, y + H}, {x + W, y + H}}};
    for (int i = 0; i < 4; ++i) {
        const double rx = static_cast<double>(corners[i][0] - px),
                     ry = static_cast<double>(corners[i][1] - py);
        (*out)[i] = DibPoint{Clamp32(px + TruncToInt(rx * c - ry * s)),
                             Clamp32(py + TruncToInt(ry * c + rx * s))};
    }
    return 0;
}

int CDibRenderer::RotZoomBltKeyed(const CDib* src, const DibRect* sr, int x, int y, int angle,
                                  int scale, int anchor, const DibRect* clip) {
    DibQuad q;
    if (ComputeRotZoomQuad(&q, src, sr, x, y, angle, scale, anchor) != 0) return 0;
    return QuadBltKeyedFromRect(src, sr, q, clip);
}
int CDibRenderer::RotZoomBlt(const CDib* src, const DibRect* sr, int x, int y, int angle, int scale,
                             int anchor, const DibRect* clip) {
    DibQuad q;
    if (ComputeRotZoomQuad(&q, src, sr, x, y, angle, scale, anchor) != 0) return 0;
    return QuadBltFromRect(src, sr, q, clip);
}
int CDibRenderer::RotZoomBltKeyedBlend(const CDib* src, const DibRect* sr, int x, int y, int angle,
                                       std::uint32_t df, std::uint32_t sf, int scale, int anchor,
                                       const DibRect* clip) {
    DibQuad q;
    if (ComputeRotZoomQuad(&q, src, sr, x, y, angle, scale, anchor) != 0) return 0;
    return QuadBltKeyedBlendFromRect(src, sr, q, df, sf, clip);
}
int CDibRenderer::RotZoomBltBlend(const CDib* src, const DibRect* sr, int x, int y, int angle,
                                  std::uint32_t df, std::uint32_t sf, int scale, int anchor,
                                  const DibRect* clip) {
    DibQuad q;
    if (ComputeRotZoomQuad(&q, src, sr, x, y, angle, scale, anchor) != 0) return 0;
    return QuadBltBlendFromRect(src, sr, q, df, sf, clip);
}

// ---------------------------------------------------------------- displacement

int CDibRenderer::DisplaceBlt(const CDib* src, const CDisplacementMap* map, int dx, int dy,
                              const DibRect* srcRect, DibRect* clip) {
    if (!src || !map || !bits_) return 0;
    const DibRect& image = src->GetRect();
    const DibRect s = srcRect ? *srcRect : image;
    if (clip) IntersectRect(clip, clip);
    DibRect d;
    const DibRect want{dx, dy, Clamp32(i64(dx) + (i64(s.right) - s.left)),
                       Clamp32(i64(dy) + (i64(s.bottom) - s.top))};
    if (!IntersectRect(&d, &want)) return 0;
    if (clip) {
        d.left = std::max(d.left, clip->left);
        d.top = std::max(d.top, clip->top);
        d.right = std::min(d.right, clip->right);
        d.bottom = std::min(d.bottom, clip->bottom);
        if (d.left >= d.right || d.top >= d.bottom) return 0;
    }
    NoteDrawn(d);
    const CDibRenderer& sr = src->Renderer();
    // Drawing an image onto itself reads the picture as it was before.
    std::vector<std::uint32_t> before;
    if (&sr == this) before.assign(store_.begin(), store_.end());
    const std::uint32_t* pixels = &sr == this ? before.data() : sr.GetBits();
    for (int y = d.top; y < d.bottom; ++y) {
        std::uint32_t* row = RowAt(y);
        for (int x = d.left; x < d.right; ++x) {
            const int mx = x - dx, my = y - dy;
            const DibPoint o = map->Get(mx, my);
            const i64 sx = i64(s.left) + mx + o.x, sy = i64(s.top) + my + o.y;
            if (sx < 0 || sy < 0 || sx >= image.right || sy >= image.bottom) continue;
            row[x] = pixels[sy * image.right + sx];
        }
    }
    return 0;
}
