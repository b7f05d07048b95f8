#include "gfx/DibRenderer.h"

#include "gfx/BitmapHeader.h"
#include "gfx/Dib.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>

int g_cpuRendererClass = 0;

int GetCpuRendererClass() {
    if (g_cpuRendererClass != 0) return g_cpuRendererClass;
    const std::optional<platform::CpuidRegs> regs = platform::Cpuid(1);
    int cls = 1;
    if (regs) {
        const bool mmx = (regs->edx >> 23) & 1u;
        const bool cmov = (regs->edx >> 15) & 1u;
        cls = mmx ? (cmov ? 4 : 3) : 2;
    }
    g_cpuRendererClass = cls;
    return cls;
}

// ---------------------------------------------------------------- pixel store

bool CDibRenderer::Allocate(int w, int h, std::vector<std::uint32_t>& out) {
    try {
        out.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0u);
    } catch (const std::bad_alloc&) {
        out = {};
        return false;
    }
    return true;
}

int CDibRenderer::Create(int w, int h) {
    return CreateDibSection(w, h);
}

int CDibRenderer::CreateDibSection(int w, int h) {
    Destroy();
    if (w <= 0 || h <= 0) return 1;
    std::vector<std::uint32_t> fresh;
    if (!Allocate(w, h, fresh)) return 1;
    store_ = std::move(fresh);
    bits_ = store_.data();
    rect_ = DibRect{0, 0, w, h};
    NoteAllDrawn();
    return 1;
}

int CDibRenderer::Resize(int w, int h) {
    if (w == rect_.right && h == rect_.bottom) return 0;
    return CreateDibSection(w, h);
}

int CDibRenderer::Destroy() {
    store_ = {};
    bits_ = nullptr;
    rect_ = DibRect{};
    return 0;
}

int CDibRenderer::Fill(std::uint32_t colour, const DibRect* rect) {
    if (!bits_) return 1;
    if (colour == 0xFFFFFFFFu) colour = fillColor_;
    if (!rect) {
        std::fill(store_.begin(), store_.end(), colour);
        NoteAllDrawn();
        return 0;
    }
    DibRect r;
    if (!IntersectRect(&r, rect)) return 0;
    NoteDrawn(r);
    for (int y = r.top; y < r.bottom; ++y)
        std::fill(RowAt(y) + r.left, RowAt(y) + r.right, colour);
    return 0;
}

void CDibRenderer::NoteDrawn(const DibRect& r) {
    DibRect in;
    if (IntersectRect(&in, &r)) platform::Unite(drawn_, in);
}

void CDibRenderer::GetSize(int* w, int* h) const {
    if (w) *w = rect_.right;
    if (h) *h = rect_.bottom;
}

bool CDibRenderer::IntersectRect(DibRect* out, const DibRect* r) const {
    DibRect i = rect_;
    if (r) {
        i.left = std::max(i.left, r->left);
        i.top = std::max(i.top, r->top);
        i.right = std::min(i.right, r->right);
        i.bottom = std::min(i.bottom, r->bottom);
    }
    const bool any = i.left < i.right && i.top < i.bottom;
    if (!any) i = DibRect{};
    if (out) *out = i;
    return any;
}

int CDibRenderer::SetColorKey(int r, int g, int b) {
    colorKey_ = ((static_cast<std::uint32_t>(r) & 0xFF) << 16) |
                ((static_cast<std::uint32_t>(g) & 0xFF) << 8) |
                (static_cast<std::uint32_t>(b) & 0xFF);
    return 0;
}

int CDibRenderer::SetColorKeyFromPixel(int x, int y) {
    const std::uint32_t* p = std::as_const(*this).GetPixelPtr(x, y);
    if (!p) return 1;
    colorKey_ = *p & 0xFFFFFF;
    return 0;
}

std::uint32_t* CDibRenderer::GetPixelPtr(int x, int y) {
    if (!bits_ || x < 0 || y < 0 || x >= rect_.right || y >= rect_.bottom) return nullptr;
    NoteAllDrawn();
    return RowAt(y) + x;
}

const std::uint32_t* CDibRenderer::GetPixelPtr(int x, int y) const {
    if (!bits_ || x < 0 || y < 0 || x >= rect_.right || y >= rect_.bottom) return nullptr;
    return Row(y) + x;
}

std::uint32_t CDibRenderer::GetPixel(int x, int y) const {
    const std::uint32_t* p = GetPixelPtr(x, y);
    return p ? *p : 0;
}

void CDibRenderer::SetPixel(int x, int y, std::uint32_t colour) {
    if (!bits_ || x < 0 || y < 0 || x >= rect_.right || y >= rect_.bottom) return;
    NoteDrawn(DibRect{x, y, x + 1, y + 1});
    RowAt(y)[x] = colour;
}

// ---------------------------------------------------------------- bitmap conversion

int CDibRenderer::CreateFromDib(std::span<const std::uint8_t> block) {
    namespace bh = bitmap_header;
    if (block.empty()) return kDibNoBlock;
    const std::optional<bh::Info> info = bh::Parse(block);
    if (!info) return kDibUnsupported;

    // The table: 2^bits entries (or biClrUsed) below 16 bits; masks and any
    // listed colours above. Pixels follow it.
    std::uint64_t tableBytes;
    if (info->bitCount <= 8)
        tableBytes =
            4 * std::uint64_t(info->colorsUsed ? info->colorsUsed : (1u << info->bitCount));
    else
        tableBytes = 4 * std::uint64_t(info->colorsUsed) +
                     (info->compression == bh::kCompressionBitfields ? 12 : 0);
    if (bh::kInfoHeaderSize + tableBytes > block.size()) return kDibUnsupported;

    // Entries the table does not hold read as black.
    std::array<std::uint32_t, 256> palette{};
    if (info->bitCount <= 8) {
        const std::uint64_t entries = std::min<std::uint64_t>(tableBytes / 4, 256);
        for (std::uint64_t i = 0; i < entries; ++i) {
            const std::uint8_t* q = block.data() + bh::kInfoHeaderSize + 4 * i;
            palette[i] = q[0] | (std::uint32_t(q[1]) << 8) | (std::uint32_t(q[2]) << 16);
        }
    }

    const int w = info->width, h = info->Rows();
    if (w != rect_.right || h != rect_.bottom || !bits_) {
        std::vector<std::uint32_t> fresh;
        if (!Allocate(w, h, fresh)) return kDibNoBlock;
        store_ = std::move(fresh);
        bits_ = store_.data();
        rect_ = DibRect{0, 0, w, h};
    }
    NoteAllDrawn();

    const std::span<const std::uint8_t> pixels = block.subspan(bh::kInfoHeaderSize + tableBytes);
    const std::uint32_t stride = info->Stride();
    std::vector<std::uint8_t> padded(stride, 0);
    for (int r = 0; r < h; ++r) {
        // Rows are stored bottom row first unless the height is negative.
        std::uint32_t* d = RowAt(info->TopDown() ? r : h - 1 - r);
        const std::uint64_t at = std::uint64_t(r) * stride;
        const std::uint8_t* s;
        if (at + stride <= pixels.size()) {
            s = pixels.data() + at;
        } else {
            // Rows beyond the end of a short file read as zero.
            std::fill(padded.begin(), padded.end(), 0);
            if (at < pixels.size())
                std::memcpy(padded.data(), pixels.data() + at, pixels.size() - at);
            s = padded.data();
        }
        switch (info->bitCount) {
        case 1:
            for (int x = 0; x < w; ++x)
                d[x] = palette[(s[x >> 3] >> (7 - (x & 7))) & 1];
            break;
        case 4:
            for (int x = 0; x < w; ++x)
                d[x] = palette[(x & 1) ? (s[x >> 1] & 0x0F) : (s[x >> 1] >> 4)];
            break;
        case 8:
            for (int x = 0; x < w; ++x)
                d[x] = palette[s[x]];
            break;
        case 16:
            // Always 5-5-5, whatever masks a bitfields file gives.
            for (int x = 0; x < w; ++x) {
                const std::uint32_t v = s[2 * x] | (std::uint32_t(s[2 * x + 1]) << 8);
                d[x] = ((v & 0x1F) << 3) | (((v >> 5) & 0x1F) << 11) | (((v >> 10) & 0x1F) << 19);
            }
            break;
        case 24:
            for (int x = 0; x < w; ++x)
                d[x] = s[3 * x] | (std::uint32_t(s[3 * x + 1]) << 8) |
                       (std::uint32_t(s[3 * x + 2]) << 16);
            break;
        case 32:
            std::memcpy(d, s, static_cast<std::size_t>(w) * 4);
            break;
        default:
            break;
        }
    }
    return kDibConverted;
}

// ---------------------------------------------------------------- clipping and the blit driver

int CDibRenderer::ClipBlt(const CDib* src, int dx, int dy, const DibRect* srcRect,
                          const DibSize* dstSize, DibRect* clip) {
    if (!src) {
        blit_ = BlitState{};
        return kClipNothing;
    }
    const DibRect s = srcRect ? *srcRect : src->GetRect();
    Placement p{dx, dy, s.left, s.top, s.right, s.bottom, 0, 0};
    p.dw = dstSize ? dstSize->cx : p.sr - p.sl;
    p.dh = dstSize ? dstSize->cy : p.sb - p.st;
    return ClipPlaced(src, p, clip);
}

int CDibRenderer::ClipPlaced(const CDib* src, const Placement& p, DibRect* clip,
                             long long productCap) {
    blit_ = BlitState{};
    if (!src) return kClipNothing;
    const DibRect& image = src->GetRect();
    if (clip) {
        clip->left = std::max(clip->left, rect_.left);
        clip->top = std::max(clip->top, rect_.top);
        clip->right = std::min(clip->right, rect_.right);
        clip->bottom = std::min(clip->bottom, rect_.bottom);
    }
    const DibRect k = clip ? *clip : rect_;

    // 64-bit throughout: positions far outside either image must not wrap.
    using i64 = long long;
    i64 sl = p.sl, st = p.st, sr = p.sr, sb = p.sb;
    const i64 sw = sr - sl, sh = sb - st;
    auto inside = [&] { return sl >= 0 && st >= 0 && sr <= image.right && sb <= image.bottom; };

    if (p.dw == sw && p.dh == sh) {
        i64 dl = p.dx, dt = p.dy, dr = dl + sw, db = dt + sh;
        if (k.left > dl) {
            sl += k.left - dl;
            dl = k.left;
        }
        if (k.top > dt) {
            st += k.top - dt;
            dt = k.top;
        }
        if (dr > k.right) {
            sr -= dr - k.right;
            dr = k.right;
        }
        if (db > k.bottom) {
            sb -= db - k.bottom;
            db = k.bottom;
        }
        if (sl >= sr || st >= sb) return kClipNothing;
        if (!inside()) return kClipSourceOutside;
        blit_.src = DibRect{int(sl), int(st), int(sr), int(sb)};
        blit_.dst = DibRect{int(dl), int(dt), int(dr), int(db)};
        blit_.unscaled = true;
        return kClipDraw;
    }

    // Stretched: a Bresenham walk, the error terms starting at -dw and -dh.
    const i64 dw = p.dw, dh = p.dh;
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return kClipNothing;
    i64 dl = p.dx, dt = p.dy, dr = dl + dw, db = dt + dh;
    i64 ex = -dw, ey = -dh;
    // A clip of the whole width (or height) leaves nothing.
    if (k.left - dl >= dw || k.top - dt >= dh) return kClipNothing;
    // A destination edge clipped in by c pixels starts the walk c steps on:
    // the source edge moves by the whole steps and the error keeps the rest.
    auto clipEdge = [productCap](i64 c, i64 sourceSize, i64 size, i64& source, i64& error) {
        if (c < 1) return;
        i64 product;
        if (__builtin_mul_overflow(c, sourceSize, &product) || product > productCap)
            product = productCap;
        error = -size + product;
        if (error > 0) {
            const i64 step = error / size + 1;
            source += step;
            error -= step * size;
        }
    };
    clipEdge(k.left - dl, sw, dw, sl, ex);
    clipEdge(k.top - dt, sh, dh, st, ey);
    dl = std::max<i64>(dl, k.left);
    dt = std::max<i64>(dt, k.top);
    dr = std::min<i64>(dr, k.right);
    db = std::min<i64>(db, k.bottom);
    if (sl >= sr || st >= sb || dl >= dr || dt >= db) return kClipNothing;
    blit_.qx = sw / dw;
    blit_.rx = sw % dw;
    blit_.qy = sh / dh;
    blit_.ry = sh % dh;
    blit_.ex = ex - 1;
    blit_.ey = ey - 1;
    blit_.dw = dw;
    blit_.dh = dh;
    if (!inside()) return kClipSourceOutside;
    blit_.src = DibRect{int(sl), int(st), int(sr), int(sb)};
    blit_.dst = DibRect{int(dl), int(dt), int(dr), int(db)};
    blit_.unscaled = false;
    return kClipDraw;
}

int CDibRenderer::BltPlaced(const CDib* src, const Placement& p, DibRect* clip,
                            long long productCap) {
    if (ClipPlaced(src, p, clip, productCap) != kClipDraw) return 0;
    return DrawClipped(src, nullptr, {});
}

int CDibRenderer::BltBlendPlaced(const CDib* src, const Placement& p, std::uint32_t dstFactor,
                                 std::uint32_t srcFactor, DibRect* clip, long long productCap) {
    if (ClipPlaced(src, p, clip, productCap) != kClipDraw) return 0;
    return DrawClipped(src, kernels_().blend, {0, dstFactor, srcFactor});
}

int CDibRenderer::RunBlit(const CDib* src, int dx, int dy, const DibRect* srcRect,
                          const DibSize* dstSize, DibRect* clip, blit_kernels::RowFn fn,
                          const blit_kernels::RowArgs& args) {
    if (ClipBlt(src, dx, dy, srcRect, dstSize, clip) != kClipDraw) return 0;
    return DrawClipped(src, fn, args);
}

namespace {

// d[j] = s[cols[j]]. Four to a step: the loop is bound by its own overhead,
// and a one-pixel body ran at half speed or full speed depending on where
// the code happened to land.
void Gather(std::uint32_t* d, const std::uint32_t* s, const int* cols, int n) {
    int j = 0;
    for (; j + 4 <= n; j += 4) {
        const std::uint32_t p0 = s[cols[j]], p1 = s[cols[j + 1]];
        const std::uint32_t p2 = s[cols[j + 2]], p3 = s[cols[j + 3]];
        d[j] = p0;
        d[j + 1] = p1;
        d[j + 2] = p2;
        d[j + 3] = p3;
    }
    for (; j < n; ++j)
        d[j] = s[cols[j]];
}

} // namespace

int CDibRenderer::DrawClipped(const CDib* src, blit_kernels::RowFn fn,
                              const blit_kernels::RowArgs& args) {
    const CDibRenderer& s = src->Renderer();
    // Reading and writing the same image: each source row is taken whole
    // before its destination row is drawn, so every kernel width gives the
    // same picture.
    const bool same = &s == this;
    const DibRect& S = blit_.src;
    const DibRect& D = blit_.dst;
    const int w = D.right - D.left, h = D.bottom - D.top;
    NoteDrawn(D);

    if (blit_.unscaled) {
        if (!fn) {
            // Whole rows of two images of one width lie back to back: one block.
            if (!same && w == rect_.right && w == s.rect_.right) {
                std::memcpy(RowAt(D.top) + D.left, s.Row(S.top) + S.left,
                            static_cast<std::size_t>(w) * h * 4);
                return 0;
            }
            for (int i = 0; i < h; ++i) {
                std::uint32_t* d = RowAt(D.top + i) + D.left;
                const std::uint32_t* sp = s.Row(S.top + i) + S.left;
                if (same)
                    std::memmove(d, sp, static_cast<std::size_t>(w) * 4);
                else
                    blit_kernels::CopyPixels(d, sp, w);
            }
            return 0;
        }
        if (same) rowScratch_.resize(static_cast<std::size_t>(w));
        for (int i = 0; i < h; ++i) {
            std::uint32_t* d = RowAt(D.top + i) + D.left;
            const std::uint32_t* sp = s.Row(S.top + i) + S.left;
            if (same) {
                std::memcpy(rowScratch_.data(), sp, static_cast<std::size_t>(w) * 4);
                sp = rowScratch_.data();
            }
            fn(d, sp, w, args);
        }
        return 0;
    }

    // Every row samples the same columns: walk them once.
    colScratch_.resize(static_cast<std::size_t>(w));
    {
        long long col = S.left, e = blit_.ex;
        for (int i = 0; i < w; ++i) {
            colScratch_[i] = static_cast<int>(col);
            col += blit_.qx;
            e += blit_.rx;
            if (e >= 0) {
                ++col;
                e -= blit_.dw;
            }
        }
    }
    rowScratch_.resize(static_cast<std::size_t>(w));
    long long row = S.top, e = blit_.ey, previous = -1;
    for (int i = 0; i < h; ++i) {
        const std::uint32_t* sp = s.Row(static_cast<int>(row));
        std::uint32_t* d = RowAt(D.top + i) + D.left;
        if (!fn && !same) {
            // A plain copy that samples the same source row again repeats the
            // destination row above it.
            if (row == previous)
                blit_kernels::CopyPixels(d, d - rect_.right, w);
            else
                Gather(d, sp, colScratch_.data(), w);
        } else {
            std::uint32_t* g = rowScratch_.data();
            Gather(g, sp, colScratch_.data(), w);
            if (fn)
                fn(d, g, w, args);
            else
                std::memcpy(d, g, static_cast<std::size_t>(w) * 4);
        }
        previous = row;
        row += blit_.qy;
        e += blit_.ry;
        if (e >= 0) {
            ++row;
            e -= blit_.dh;
        }
    }
    return 0;
}

// ---------------------------------------------------------------- rectangle blits

int CDibRenderer::BltKeyed(const CDib* src, int dx, int dy, const DibRect* srcRect,
                           const DibSize* dstSize, DibRect* clip) {
    const blit_kernels::RowArgs args{src ? src->GetColorKey() : 0, 0, 0};
    return RunBlit(src, dx, dy, srcRect, dstSize, clip, kernels_().keyed, args);
}

int CDibRenderer::Blt(const CDib* src, int dx, int dy, const DibRect* srcRect,
                      const DibSize* dstSize, DibRect* clip) {
    return RunBlit(src, dx, dy, srcRect, dstSize, clip, nullptr, {});
}

int CDibRenderer::BltAlpha(const CDib* src, int dx, int dy, const DibRect* srcRect,
                           const DibSize* dstSize, DibRect* clip) {
    return RunBlit(src, dx, dy, srcRect, dstSize, clip, kernels_().alpha, {});
}

int CDibRenderer::BltBlend(const CDib* src, int dx, int dy, std::uint32_t dstFactor,
                           std::uint32_t srcFactor, const DibRect* srcRect, const DibSize* dstSize,
                           DibRect* clip) {
    return RunBlit(src, dx, dy, srcRect, dstSize, clip, kernels_().blend,
                   {0, dstFactor, srcFactor});
}

int CDibRenderer::BltAlphaBlend(const CDib* src, int dx, int dy, std::uint32_t dstFactor,
                                std::uint32_t srcFactor, const DibRect* srcRect,
                                const DibSize* dstSize, DibRect* clip) {
    return RunBlit(src, dx, dy, srcRect, dstSize, clip, kernels_().alphaBlend,
                   {0, dstFactor, srcFactor});
}
