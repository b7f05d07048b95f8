#include "gfx/TransitionBlit.h"

#include "gfx/Dib.h"
#include "gfx/TransitionKernels.h"

#include <algorithm>
#include <cstring>
#include <vector>

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

// Where a blit reads and writes, after clipping: the destination rectangle D,
// the source start, and for a stretch the stepping terms of the walk.
struct Plan {
    Rect d;
    std::int64_t srcLeft = 0, srcTop = 0;
    Rect s; // source rectangle the walk stays inside
    bool scaled = false;
    std::int64_t qx = 0, rx = 0, qy = 0, ry = 0, ex = 0, ey = 0, dw = 1, dh = 1;
};

bool Contains(const Rect& outer, const Rect& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// The clipping of the renderer kernels, unscaled or with the stepping walk.
bool MakePlan(const CDib* dst, std::int64_t dx, std::int64_t dy, std::int64_t dw, std::int64_t dh,
              const CDib* src, Rect s, const Rect& clip, Plan& out) {
    const Rect k = clip.Intersect(Bounds(dst));
    const Rect srcImage = Bounds(src);
    if (k.Empty() || srcImage.Empty()) return false;
    const std::int64_t sw = s.right - s.left;
    const std::int64_t sh = s.bottom - s.top;
    if (dw == sw && dh == sh) {
        Rect d = Rect::Xywh(dx, dy, sw, sh);
        if (k.left > dx) {
            s.left += k.left - dx;
            d.left = k.left;
        }
        if (k.top > dy) {
            s.top += k.top - dy;
            d.top = k.top;
        }
        if (d.right > k.right) {
            s.right -= d.right - k.right;
            d.right = k.right;
        }
        if (d.bottom > k.bottom) {
            s.bottom -= d.bottom - k.bottom;
            d.bottom = k.bottom;
        }
        if (s.Empty()) return false;
        if (!Contains(srcImage, s)) return false;
        out = Plan{};
        out.d = d;
        out.s = s;
        out.srcLeft = s.left;
        out.srcTop = s.top;
        return true;
    }

    // A size of 0 or less is an empty span: nothing to draw.
    if (dw <= 0 || dh <= 0) return false;
    Rect d = Rect::Xywh(dx, dy, dw, dh);
    std::int64_t ex = -dw;
    std::int64_t ey = -dh;
    if (const std::int64_t c = k.left - d.left; c >= 1) {
        ex = -dw + MulSat(c, sw);
        if (ex > 0) {
            const std::int64_t step = ex / dw + 1;
            s.left += step;
            ex -= step * dw;
        }
        d.left = k.left;
    }
    if (const std::int64_t c = k.top - d.top; c >= 1) {
        ey = -dh + MulSat(c, sh);
        if (ey > 0) {
            const std::int64_t step = ey / dh + 1;
            s.top += step;
            ey -= step * dh;
        }
        d.top = k.top;
    }
    d.right = std::min(d.right, k.right);
    d.bottom = std::min(d.bottom, k.bottom);
    if (s.Empty() || d.Empty()) return false;
    if (!Contains(srcImage, s)) return false;
    out = Plan{};
    out.d = d;
    out.s = s;
    out.srcLeft = s.left;
    out.srcTop = s.top;
    out.scaled = true;
    out.qx = sw / dw;
    out.rx = sw % dw;
    out.qy = sh / dh;
    out.ry = sh % dh;
    out.ex = ex - 1;
    out.ey = ey - 1;
    out.dw = dw;
    out.dh = dh;
    return true;
}

// Pixels of the source as the blit reads them. A surface drawn onto itself
// is read from a snapshot of the source rectangle taken before the blit.
class SourceView {
public:
    SourceView(const CDib* src, const CDib* dst, const Rect& s) {
        if (src == dst) {
            const std::int64_t w = s.right - s.left;
            snapshot_.resize(static_cast<size_t>(w * (s.bottom - s.top)));
            for (std::int64_t y = s.top; y < s.bottom; ++y) {
                std::memcpy(snapshot_.data() + (y - s.top) * w,
                            src->GetPixelPtr(static_cast<int>(s.left), static_cast<int>(y)),
                            static_cast<size_t>(w) * 4);
            }
            base_ = snapshot_.data();
            stride_ = w;
            originX_ = s.left;
            originY_ = s.top;
        } else {
            base_ = src->GetBits();
            stride_ = src->GetWidth();
        }
    }
    const std::uint32_t* Row(std::int64_t y) const {
        return base_ + (y - originY_) * stride_ - originX_;
    }

private:
    std::vector<std::uint32_t> snapshot_;
    const std::uint32_t* base_ = nullptr;
    std::int64_t stride_ = 0;
    std::int64_t originX_ = 0, originY_ = 0;
};

// Walks the plan: `row(dstRow, srcRow, n)` for unscaled rows,
// `pixel(dstPixel, srcPixel)` for every pixel of a stretch.
template <typename RowOp, typename PixelOp>
void Walk(CDib* dst, const CDib* src, const Plan& plan, RowOp row, PixelOp pixel) {
    const SourceView view(src, dst, plan.s);
    const std::int64_t n = plan.d.right - plan.d.left;
    if (!plan.scaled) {
        for (std::int64_t y = plan.d.top; y < plan.d.bottom; ++y) {
            std::uint32_t* d = dst->GetPixelPtr(static_cast<int>(plan.d.left), static_cast<int>(y));
            const std::uint32_t* s = view.Row(plan.srcTop + (y - plan.d.top)) + plan.srcLeft;
            row(d, s, static_cast<size_t>(n));
        }
        return;
    }
    // Every row starts at the same source column with the same error, so the
    // columns are worked out once.
    std::vector<std::int64_t> cols(static_cast<size_t>(n));
    {
        std::int64_t col = plan.srcLeft;
        std::int64_t e = plan.ex;
        for (auto& c : cols) {
            c = col;
            col += plan.qx;
            e += plan.rx;
            if (e >= 0) {
                ++col;
                e -= plan.dw;
            }
        }
    }
    std::int64_t srcY = plan.srcTop;
    std::int64_t e = plan.ey;
    for (std::int64_t y = plan.d.top; y < plan.d.bottom; ++y) {
        std::uint32_t* d = dst->GetPixelPtr(static_cast<int>(plan.d.left), static_cast<int>(y));
        const std::uint32_t* s = view.Row(srcY);
        for (std::int64_t i = 0; i < n; ++i)
            pixel(d[i], s[cols[static_cast<size_t>(i)]]);
        srcY += plan.qy;
        e += plan.ry;
        if (e >= 0) {
            ++srcY;
            e -= plan.dh;
        }
    }
}

void CopyRow(std::uint32_t* d, const std::uint32_t* s, size_t n) {
    std::memcpy(d, s, n * sizeof(std::uint32_t));
}

} // namespace

void Copy(CDib* dst, std::int64_t dx, std::int64_t dy, const CDib* src, std::int64_t sx,
          std::int64_t sy, std::int64_t w, std::int64_t h, const Rect& clip) {
    Stretch(dst, dx, dy, w, h, src, sx, sy, w, h, clip);
}

void Stretch(CDib* dst, std::int64_t dx, std::int64_t dy, std::int64_t dw, std::int64_t dh,
             const CDib* src, std::int64_t sx, std::int64_t sy, std::int64_t sw, std::int64_t sh,
             const Rect& clip) {
    Plan plan;
    if (!MakePlan(dst, dx, dy, dw, dh, src, Rect::Xywh(sx, sy, sw, sh), clip, plan)) return;
    Walk(dst, src, plan, CopyRow, [](std::uint32_t& d, std::uint32_t s) { d = s; });
}

void StretchBlendKernel(CDib* dst, std::int64_t dx, std::int64_t dy, std::int64_t dw,
                        std::int64_t dh, const CDib* src, std::int64_t sx, std::int64_t sy,
                        std::int64_t sw, std::int64_t sh, std::uint32_t alpha, const Rect& clip) {
    Plan plan;
    if (!MakePlan(dst, dx, dy, dw, dh, src, Rect::Xywh(sx, sy, sw, sh), clip, plan)) return;
    Walk(
        dst, src, plan,
        [alpha](std::uint32_t* d, const std::uint32_t* s, size_t n) {
            transition_kernels::BlendRow(d, s, d, n, alpha);
        },
        [alpha](std::uint32_t& d, std::uint32_t s) {
            transition_kernels::BlendRowScalar(&d, &s, &d, 1, alpha);
        });
}

void StretchBlend(CDib* dst, std::int64_t dx, std::int64_t dy, std::int64_t dw, std::int64_t dh,
                  const CDib* src, std::int64_t sx, std::int64_t sy, std::int64_t sw,
                  std::int64_t sh, std::int64_t alpha, const Rect& clip) {
    const auto a = static_cast<std::uint32_t>(alpha & 0xFFFF);
    if (a == 0) return;
    if (a >= 256) {
        Stretch(dst, dx, dy, dw, dh, src, sx, sy, sw, sh, clip);
        return;
    }
    StretchBlendKernel(dst, dx, dy, dw, dh, src, sx, sy, sw, sh, a, clip);
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
    if (base != dst && over != dst) {
        const Rect s = Rect::Xywh(sx, sy, w, h);
        Plan pb, po;
        if (MakePlan(dst, dx, dy, w, h, base, s, clip, pb) &&
            MakePlan(dst, dx, dy, w, h, over, s, clip, po)) {
            const auto n = static_cast<size_t>(po.d.right - po.d.left);
            for (std::int64_t y = po.d.top; y < po.d.bottom; ++y) {
                const std::int64_t row = po.srcTop + (y - po.d.top);
                transition_kernels::BlendRow(
                    dst->GetPixelPtr(static_cast<int>(po.d.left), static_cast<int>(y)),
                    over->GetPixelPtr(static_cast<int>(po.srcLeft), static_cast<int>(row)),
                    base->GetPixelPtr(static_cast<int>(po.srcLeft), static_cast<int>(row)), n, a);
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
