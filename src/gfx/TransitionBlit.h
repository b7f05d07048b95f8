// Rectangle blits of the transition effects: plain and stretched copies and
// constant-alpha blends, drawn by the destination's renderer (its clipping,
// stepping and row kernels) with a clip rectangle added so that an effect
// never writes outside its own area.
//
// What they add to the surface blits: every coordinate is worked in 64 bits,
// a destination size of 0 or less draws nothing, and a blit of a surface
// onto itself reads the source as it was before the blit (as if it had been
// copied first).
#pragma once

#include <cstdint>

class CDib;

namespace transition_blit {

struct Rect {
    std::int64_t left = 0, top = 0, right = 0, bottom = 0;

    static Rect Xywh(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h) {
        return {x, y, x + w, y + h};
    }
    bool Empty() const { return left >= right || top >= bottom; }
    Rect Intersect(const Rect& o) const;
    Rect Union(const Rect& o) const;
};

// a * b, held at +-2^62 instead of overflowing. Positions and products that
// large lie far outside every surface whichever value they take.
inline std::int64_t MulSat(std::int64_t a, std::int64_t b) {
    std::int64_t r;
    constexpr std::int64_t kLimit = std::int64_t{1} << 62;
    if (__builtin_mul_overflow(a, b, &r) || r > kLimit || r < -kLimit)
        return ((a < 0) != (b < 0)) ? -kLimit : kLimit;
    return r;
}

// The image rectangle of a surface; empty for null or a surface without pixels.
Rect Bounds(const CDib* dib);

// Plain copy of src's (sx, sy, w, h) to (dx, dy) of dst. The source rectangle
// must lie inside src after clipping, else nothing is drawn.
void Copy(CDib* dst, std::int64_t dx, std::int64_t dy, const CDib* src, std::int64_t sx,
          std::int64_t sy, std::int64_t w, std::int64_t h, const Rect& clip);
// Plain copy of src's (sx, sy, sw, sh) stretched to dw x dh at (dx, dy); an
// equal size is an unscaled copy.
void Stretch(CDib* dst, std::int64_t dx, std::int64_t dy, std::int64_t dw, std::int64_t dh,
             const CDib* src, std::int64_t sx, std::int64_t sy, std::int64_t sw, std::int64_t sh,
             const Rect& clip);
// The blend kernel (source factor alpha, destination factor 255 - alpha, each
// 0..255), stretched like Stretch.
void StretchBlendKernel(CDib* dst, std::int64_t dx, std::int64_t dy, std::int64_t dw,
                        std::int64_t dh, const CDib* src, std::int64_t sx, std::int64_t sy,
                        std::int64_t sw, std::int64_t sh, std::uint32_t alpha, const Rect& clip);

// alpha (low 16 bits) 0: nothing; 1..255: blend; 256 and more: plain stretch.
void StretchBlend(CDib* dst, std::int64_t dx, std::int64_t dy, std::int64_t dw, std::int64_t dh,
                  const CDib* src, std::int64_t sx, std::int64_t sy, std::int64_t sw,
                  std::int64_t sh, std::int64_t alpha, const Rect& clip);
// Cross-fade of base and over, both read at (sx, sy, w, h), into (dx, dy) of
// dst. alpha (low 16 bits) 0: nothing at all; 1..255: base copied, then over
// blended onto it; 256 and more: over copied.
void BlendEx(CDib* dst, const CDib* base, std::int64_t dx, std::int64_t dy, const CDib* over,
             std::int64_t sx, std::int64_t sy, std::int64_t w, std::int64_t h, std::int64_t alpha,
             const Rect& clip);
// base (when not null) copied to (dx, dy), then BlendEx with dst as its own
// base: dst's (sx, sy) rectangle is copied to (dx, dy) and over blended on it.
void OverBlend(CDib* dst, std::int64_t dx, std::int64_t dy, const CDib* over, const CDib* base,
               std::int64_t sx, std::int64_t sy, std::int64_t w, std::int64_t h, std::int64_t alpha,
               const Rect& clip);
// Fills (x, y, w, h) with the surface's fill colour, clipped.
void FillWithFillColour(CDib* dst, std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h,
                        const Rect& clip);

} // namespace transition_blit
