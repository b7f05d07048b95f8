#include "gfx/Blend.h"

#include "gfx/Blit.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>

namespace {

inline int Chan(std::uint32_t v, int c) {
    return static_cast<int>((v >> (8 * c)) & 0xFFu);
}
inline int Sat(int v) {
    return v > 255 ? 255 : v;
}
inline std::uint32_t Put(std::uint32_t word, int c, int value) {
    const int shift = 8 * c;
    return (word & ~(0xFFu << shift)) | ((static_cast<std::uint32_t>(value) & 0xFFu) << shift);
}

int Low16(int v) {
    return v & 0xFFFF;
}
int S16(int v) {
    return static_cast<std::int16_t>(v);
}

// A rectangle of w x h pixels at (dx, dy) in the destination and (sx, sy) in
// the sources, trimmed until it lies inside every image.
struct Area {
    int dx, dy, sx, sy, w, h;
};

bool ClipArea(Area& a, const CDib* dst, std::initializer_list<const CDib*> sources) {
    int x0 = std::max({0, -a.dx, -a.sx}), y0 = std::max({0, -a.dy, -a.sy});
    int x1 = std::min(a.w, dst->GetWidth() - a.dx), y1 = std::min(a.h, dst->GetHeight() - a.dy);
    for (const CDib* s : sources) {
        x1 = std::min(x1, s->GetWidth() - a.sx);
        y1 = std::min(y1, s->GetHeight() - a.sy);
    }
    if (x0 >= x1 || y0 >= y1) return false;
    a = Area{a.dx + x0, a.dy + y0, a.sx + x0, a.sy + y0, x1 - x0, y1 - y0};
    return true;
}

// The forms that clear the source's fourth byte draw into the source too.
void SourceWritten(CDib* src) {
    if (src) src->Renderer().NoteDrawn(src->GetRect());
}

// Runs op(D, S) over the clipped area of one source, row by row through the
// images' pitches.
template <typename Op>
void ForEachPixel(CDib* dst, const CDib* src, int dx, int dy, int sx, int sy, int w, int h, Op op) {
    Area a{S16(dx), S16(dy), S16(sx), S16(sy), S16(w), S16(h)};
    if (!ClipArea(a, dst, {src})) return;
    CDibRenderer& to = dst->Renderer();
    // The source may be written too: the forms that clear its fourth byte
    // note that themselves (SourceWritten).
    CDibRenderer& from = const_cast<CDib*>(src)->Renderer();
    to.NoteDrawn(DibRect{a.dx, a.dy, a.dx + a.w, a.dy + a.h});
    for (int y = 0; y < a.h; ++y) {
        std::uint32_t* d = to.RowAt(a.dy + y) + a.dx;
        std::uint32_t* s = from.RowAt(a.sy + y) + a.sx;
        for (int x = 0; x < a.w; ++x)
            op(d[x], s[x]);
    }
}

// What a blend mode does at opacity 256 and above.
enum class AtFullOpacity : std::uint8_t { Copy, Blend };

// A blend mode over one source: nothing is drawn (false) without both images
// or at opacity 0 (low 16 bits); at full opacity the Copy modes copy the
// rectangle; otherwise op(D, S, o) runs for every pixel of the clipped area.
template <typename Op>
bool BlendEach(CDib* dst, int dx, int dy, const CDib* src, int sx, int sy, int w, int h,
               int opacity, AtFullOpacity full, Op op) {
    const int o = Low16(opacity);
    if (!dst || !src || o == 0) return false;
    if (full == AtFullOpacity::Copy && o >= 256) return BltCopy(dst, dx, dy, src, sx, sy, w, h);
    ForEachPixel(dst, src, dx, dy, sx, sy, w, h,
                 [o, &op](std::uint32_t& D, std::uint32_t& S) { op(D, S, o); });
    return true;
}

// The word whose colour channel c is channel(c), fourth byte taken from `base`.
template <typename Channel> std::uint32_t EachChannel(std::uint32_t base, Channel channel) {
    for (int c = 0; c < 3; ++c)
        base = Put(base, c, channel(c));
    return base;
}

// One pixel of the alpha-weighted add at weight `o`, a signed 16-bit value:
// a negative weight takes the source from the destination, which stops at
// black instead of wrapping round to a bright colour.
void AddAlpha(std::uint32_t& D, std::uint32_t S, int o) {
    const int a = static_cast<int>(S >> 24);
    if (a == 0) return;
    const int w = S16(o);
    D = EachChannel(0, [&](int c) {
        return std::max(0, Sat(Chan(D, c) + (((Chan(S, c) * a >> 8) * w) >> 8)));
    });
}

} // namespace

bool BlendAdd(CDib* dst, int dx, int dy, CDib* src, int sx, int sy, int w, int h, int opacity) {
    SourceWritten(src);
    return BlendEach(dst, dx, dy, src, sx, sy, w, h, opacity, AtFullOpacity::Copy,
                     [](std::uint32_t& D, std::uint32_t& S, int o) {
                         D = EachChannel(
                             0, [&](int c) { return Sat(Chan(D, c) + (Chan(S, c) * o >> 8)); });
                         S &= 0x00FFFFFFu;
                     });
}

bool BlendAdd2(CDib* dst, int dx, int dy, const CDib* srcA, const CDib* srcB, int sx, int sy, int w,
               int h, int opacity) {
    const int o = Low16(opacity);
    if (!dst || !srcA || !srcB || o == 0) return false;
    if (o >= 256) return BltCopy(dst, dx, dy, srcA, sx, sy, w, h);
    Area a{S16(dx), S16(dy), S16(sx), S16(sy), S16(w), S16(h)};
    if (!ClipArea(a, dst, {srcA, srcB})) return true;
    CDibRenderer& to = dst->Renderer();
    to.NoteDrawn(DibRect{a.dx, a.dy, a.dx + a.w, a.dy + a.h});
    for (int y = 0; y < a.h; ++y) {
        std::uint32_t* d = to.RowAt(a.dy + y) + a.dx;
        const std::uint32_t* pa = srcA->GetPixelPtr(a.sx, a.sy + y);
        const std::uint32_t* pb = srcB->GetPixelPtr(a.sx, a.sy + y);
        for (int x = 0; x < a.w; ++x) {
            std::uint32_t out = d[x];
            for (int c = 0; c < 3; ++c)
                out =
                    Put(out, c,
                        Sat(Chan(d[x], c) + (Chan(pa[x], c) * o >> 8) + (Chan(pb[x], c) * o >> 8)));
            d[x] = out;
        }
    }
    return true;
}

bool BlendMultiply(CDib* dst, int dx, int dy, const CDib* src, int sx, int sy, int w, int h,
                   int opacity) {
    return BlendEach(dst, dx, dy, src, sx, sy, w, h, opacity, AtFullOpacity::Copy,
                     [](std::uint32_t& D, std::uint32_t& S, int o) {
                         D = EachChannel(D, [&](int c) {
                             const int d = Chan(D, c);
                             return ((Chan(S, c) * d >> 8) * o >> 8) + (d * (255 - o) >> 8);
                         });
                     });
}

bool BlendMultiplyAlpha(CDib* dst, int dx, int dy, const CDib* src, int sx, int sy, int w, int h,
                        int opacity) {
    return BlendEach(dst, dx, dy, src, sx, sy, w, h, opacity, AtFullOpacity::Blend,
                     [](std::uint32_t& D, std::uint32_t& S, int o) {
                         const int a = static_cast<int>(S >> 24);
                         if (a == 0) return;
                         D = EachChannel(D, [&](int c) {
                             const int d = Chan(D, c);
                             const int mixed =
                                 ((d * (255 - a)) >> 8) + (((Chan(S, c) * a >> 8) * d) >> 8);
                             return (mixed * o >> 8) + (d * (255 - o) >> 8);
                         });
                     });
}

bool BlendAddAlpha(CDib* dst, int dx, int dy, const CDib* src, int sx, int sy, int w, int h,
                   int opacity) {
    return BlendEach(dst, dx, dy, src, sx, sy, w, h, opacity, AtFullOpacity::Blend,
                     [](std::uint32_t& D, std::uint32_t& S, int o) { AddAlpha(D, S, o); });
}

bool BlendDodge(CDib* dst, int dx, int dy, CDib* src, int sx, int sy, int w, int h, int opacity) {
    SourceWritten(src);
    return BlendEach(dst, dx, dy, src, sx, sy, w, h, opacity, AtFullOpacity::Copy,
                     [](std::uint32_t& D, std::uint32_t& S, int) {
                         D = EachChannel(0, [&](int c) {
                             const int s = Chan(S, c);
                             return s == 255 ? 255 : std::min(255, Chan(D, c) * 255 / (255 - s));
                         });
                         S &= 0x00FFFFFFu;
                     });
}

namespace {

// The stretch walk of the stretched blend forms, clipped to the screen and
// the destination; op(D, S) runs for every destination pixel whose source
// place lies inside the source image.
template <typename Op>
bool StretchEach(CDib* dst, int dx, int dy, int dw, int dh, const CDib* src, int sx, int sy, int sw,
                 int sh, int opacity, Op op) {
    dx = S16(dx), dy = S16(dy), dw = S16(dw), dh = S16(dh), sx = S16(sx), sy = S16(sy),
    sw = S16(sw), sh = S16(sh);
    if (!dst || !src || Low16(opacity) == 0 || dw < 1 || dh < 1) return false;
    const int right = std::min({dx + dw, platform::kClientWidth, dst->GetWidth()});
    const int bottom = std::min({dy + dh, platform::kClientHeight, dst->GetHeight()});
    long long ex = -dw, ey = -dh;
    if (dx < 0) {
        ex = -static_cast<long long>(dw) - static_cast<long long>(dx) * sw;
        if (ex > 0) {
            const long long k = ex / dw + 1;
            sx += static_cast<int>(k);
            ex -= k * dw;
        }
        dx = 0;
    }
    if (dy < 0) {
        ey = -static_cast<long long>(dh) - static_cast<long long>(dy) * sh;
        if (ey > 0) {
            const long long k = ey / dh + 1;
            sy += static_cast<int>(k);
            ey -= k * dh;
        }
        dy = 0;
    }
    --ex;
    --ey;
    const int qx = sw / dw, rx = sw % dw, qy = sh / dh, ry = sh % dh;
    const int sWidth = src->GetWidth(), sHeight = src->GetHeight();
    CDibRenderer& to = dst->Renderer();
    // As above, the source may be written.
    CDibRenderer& from = const_cast<CDib*>(src)->Renderer();
    to.NoteDrawn(DibRect{dx, dy, right, bottom});
    long long row = sy, e = ey;
    for (int y = dy; y < bottom; ++y) {
        std::uint32_t* d = to.RowAt(y);
        std::uint32_t* s =
            (row >= 0 && row < sHeight) ? from.RowAt(static_cast<int>(row)) : nullptr;
        long long col = sx, ec = ex;
        for (int x = dx; x < right && s; ++x) {
            if (col >= 0 && col < sWidth) op(d[x], s[col]);
            col += qx;
            ec += rx;
            if (ec >= 0) {
                ++col;
                ec -= dw;
            }
        }
        row += qy;
        e += ry;
        if (e >= 0) {
            ++row;
            e -= dh;
        }
    }
    return true;
}

} // namespace

bool BlendAddStretch(CDib* dst, int dx, int dy, int dw, int dh, CDib* src, int sx, int sy, int sw,
                     int sh, int opacity) {
    SourceWritten(src);
    return StretchEach(dst, dx, dy, dw, dh, src, sx, sy, sw, sh, opacity,
                       [](std::uint32_t& D, std::uint32_t& S) {
                           D = EachChannel(0, [&](int c) { return Sat(Chan(D, c) + Chan(S, c)); });
                           S &= 0x00FFFFFFu;
                       });
}

bool BlendAddAlphaStretch(CDib* dst, int dx, int dy, int dw, int dh, const CDib* src, int sx,
                          int sy, int sw, int sh, int opacity) {
    return StretchEach(dst, dx, dy, dw, dh, src, sx, sy, sw, sh, opacity,
                       [opacity](std::uint32_t& D, std::uint32_t& S) { AddAlpha(D, S, opacity); });
}
