#include "gfx/TransitionBlit.h"

#include "gfx/Dib.h"
#include "gfx/TransitionKernels.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace transition_blit {

Rect Rect::Intersect(const Rect& o) const {
    return {std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
            std::min(bottom, o.bottom)};
}

Rect Rect::Union(const Rect& o) const {
    if (Empty()) return o;
    if (o.Empty()) return *this;
    return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right),
            std::max(bottom, o.bottom)};
}

Rect Bounds(const CDib* dib) {
    if (!dib || !dib->GetBits()) return {};
    return {0, 0, dib->GetWidth(), dib->GetHeight()};
}

namespace {

using Placement = CDibRenderer::Placement;

// The clip stepping of the transitions holds its products where MulSat does.
constexpr std::int64_t kProductCap = std::int64_t{1} << 62;

Placement Place(std::int64_t dx, std::int64_t dy, std::int64_t dw, std::int64_t dh, std::int64_t sx,
                std::int64_t sy, std::int64_t sw, std::int64_t sh) {
    return {dx, dy, sx, sy, sx + sw, sy + sh, dw, dh};
}

// The clip rectangle within dst, or false when nothing of dst is left.
bool DestinationClip(const CDib* dst, const Rect& clip, DibRect& out) {
    const Rect k = clip.Intersect(Bounds(dst));
    if (k.Empty()) return false;
    out = DibRect{static_cast<int>(k.left), static_cast<int>(k.top), static_cast<int>(k.right),
                  static_cast<int>(k.bottom)};
    return true;
}

// A copy of src's part of the placed source rectangle, with the placement
// moved onto it. Where the rectangle reaches outside src the copy ends as
// src does, so the renderer refuses the same placements.
std::unique_ptr<CDib> Snapshot(const CDib* src, Placement& p) {
    const Rect r = Rect{p.sl, p.st, p.sr, p.sb}.Intersect(Bounds(src));
    if (r.Empty()) return nullptr;
    auto copy = std::make_unique<CDib>();
    const std::int64_t w = r.right - r.left;
    copy->CreateSurface(static_cast<int>(w), static_cast<int>(r.bottom - r.top));
    if (!copy->GetBits()) return nullptr;
    for (std::int64_t y = r.top; y < r.bottom; ++y) {
        std::memcpy(copy->GetPixelPtr(0, static_cast<int>(y - r.top)),
                    src->GetPixelPtr(static_cast<int>(r.left), static_cast<int>(y)),
                    static_cast<size_t>(w) * 4);
    }
    p.sl -= r.left;
    p.sr -= r.left;
    p.st -= r.top;
    p.sb -= r.top;
    return copy;
}

// Draws src placed at p into dst, clipped; alpha 0..255 blends (source
// factor alpha, destination factor 255 - alpha), kCopy copies. A surface
// drawn onto itself reads the source as it was before the blit: the
// renderer reads each source row whole and walks down the rows, which is
// the same only for an unscaled blit that does not move down.
constexpr std::uint32_t kCopy = 256;

void Draw(CDib* dst, const CDib* src, Placement p, std::uint32_t alpha, const Rect& clip) {
    DibRect k;
    if (!dst || !src || !DestinationClip(dst, clip, k)) return;
    std::unique_ptr<CDib> snapshot;
    const bool unscaled = p.dw == p.sr - p.sl && p.dh == p.sb - p.st;
    if (src == dst && !(unscaled && p.dy <= p.st)) {
        snapshot = Snapshot(src, p);
        if (!snapshot) return;
        src = snapshot.get();
    }
    CDibRenderer& r = dst->Renderer();
    if (alpha >= kCopy)
        r.BltPlaced(src, p, &k, kProductCap);
    else
        r.BltBlendPlaced(src, p, (255 - alpha) * 0x010101u, alpha * 0x010101u, &k, kProductCap);
}

} // namespace

void Copy(CDib* dst, std::int64_t dx, std::int64_t dy, const CDib* src, std::int64_t sx,
          std::int64_t sy, std::int64_t w, std::int64_t h, const Rect& clip) {
    Stretch(dst, dx, dy, w, h, src, sx, sy, w, h, clip);
}

void Stretch(CDib* dst, std::int64_t dx, std::int64_t dy, std::int64_t dw, std::int64_t dh,
             const CDib* src, std::int64_t sx, std::int64_t sy, std::int64_t sw, std::int64_t sh,
             const Rect& clip) {
    Draw(dst, src, Place(dx, dy, dw, dh, sx, sy, sw, sh), kCopy, clip);
}

void StretchBlendKernel(CDib* dst, std::int64_t dx, std::int64_t dy, std::int64_t dw,
                        std::int64_t dh, const CDib* src, std::int64_t sx, std::int64_t sy,
                        std::int64_t sw, std::int64_t sh, std::uint32_t alpha, const Rect& clip) {
    Draw(dst, src, Place(dx, dy, dw, dh, sx, sy, sw, sh), alpha, clip);
}

void StretchBlend(CDib* dst, std::int64_t dx, std::int64_t dy, std::int64_t dw, std::int64_t dh,
                  const CDib* src, std::int64_t sx, std::int64_t sy, std::int64_t sw,
                  std::int64_t sh, std::int64_t alpha, const Rect& clip) {
    const auto a = static_cast<std::uint32_t>(alpha & 0xFFFF);
    if (a == 0) return;
    Draw(dst, src, Place(dx, dy, dw, dh, sx, sy, sw, sh), std::min(a, kCopy), clip);
}

void BlendEx(CDib* dst, const CDib* base, std::int64_t dx, std::int64_t dy, const CDib* over,
             std::int64_t sx, std::int64_t sy, std::int64_t w, std::int64_t h, std::int64_t alpha,
             const Rect& clip) {
    const auto a = static_cast<std::uint32_t>(alpha & 0xFFFF);
    if (a == 0) return;
    if (a >= 256) {
        Copy(dst, dx, dy, over, sx, sy, w, h, clip);
        return;
    }
    // With three distinct surfaces and both rectangles drawable the copy and
    // the blend touch the same pixels, so they are done in one pass.
    DibRect k;
    if (base != dst && over != dst && dst && DestinationClip(dst, clip, k)) {
        const Placement p = Place(dx, dy, w, h, sx, sy, w, h);
        CDibRenderer& r = dst->Renderer();
        if (r.ClipPlaced(base, p, &k, kProductCap) == kClipDraw &&
            r.ClipPlaced(over, p, &k, kProductCap) == kClipDraw) {
            const DibRect& s = r.ClippedSource();
            const DibRect& d = r.ClippedDestination();
            const auto n = static_cast<size_t>(d.right - d.left);
            r.NoteDrawn(d);
            for (int y = 0; y < d.bottom - d.top; ++y) {
                transition_kernels::BlendRow(r.RowAt(d.top + y) + d.left,
                                             over->GetPixelPtr(s.left, s.top + y),
                                             base->GetPixelPtr(s.left, s.top + y), n, a);
            }
            return;
        }
    }
    Copy(dst, dx, dy, base, sx, sy, w, h, clip);
    StretchBlendKernel(dst, dx, dy, w, h, over, sx, sy, w, h, a, clip);
}

void OverBlend(CDib* dst, std::int64_t dx, std::int64_t dy, const CDib* over, const CDib* base,
               std::int64_t sx, std::int64_t sy, std::int64_t w, std::int64_t h, std::int64_t alpha,
               const Rect& clip) {
    if (base) Copy(dst, dx, dy, base, sx, sy, w, h, clip);
    BlendEx(dst, dst, dx, dy, over, sx, sy, w, h, alpha, clip);
}

void FillWithFillColour(CDib* dst, std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h,
                        const Rect& clip) {
    const Rect r = Rect::Xywh(x, y, w, h).Intersect(clip).Intersect(Bounds(dst));
    if (r.Empty()) return;
    dst->FillRect(static_cast<int>(r.left), static_cast<int>(r.top),
                  static_cast<int>(r.right - r.left), static_cast<int>(r.bottom - r.top),
                  0xFFFFFFFFu);
}

} // namespace transition_blit
