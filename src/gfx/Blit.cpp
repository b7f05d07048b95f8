#include "gfx/Blit.h"

#include <algorithm>
#include <cstdint>

namespace {

int Far(int from, int size) {
    return static_cast<int>(
        std::clamp<long long>(static_cast<long long>(from) + size, INT32_MIN, INT32_MAX));
}

DibRect SourceRect(int sx, int sy, int w, int h) {
    return DibRect{sx, sy, Far(sx, w), Far(sy, h)};
}

std::uint32_t Grey(std::uint32_t weight) {
    return weight * 0x010101u;
}

int Low16(int v) {
    return v & 0xFFFF;
}

} // namespace

bool BltCopy(CDib* dst, int dx, int dy, const CDib* src, int sx, int sy, int w, int h) {
    if (!dst) return true;
    const DibRect r = SourceRect(sx, sy, w, h);
    dst->Blt(src, dx, dy, &r, nullptr, nullptr);
    return true;
}

bool BltCopyTwin(CDib* dst, int dx, int dy, const CDib* src, int sx, int sy, int w, int h) {
    return BltCopy(dst, dx, dy, src, sx, sy, w, h);
}

bool BltColorKey(CDib* dst, int dx, int dy, const CDib* src, int sx, int sy, int w, int h) {
    if (!dst) return true;
    const DibRect r = SourceRect(sx, sy, w, h);
    dst->BltKeyed(src, dx, dy, &r, nullptr, nullptr);
    return true;
}

bool BltAlpha(CDib* dst, int dx, int dy, const CDib* src, int sx, int sy, int w, int h) {
    if (!dst) return true;
    const DibRect r = SourceRect(sx, sy, w, h);
    dst->BltAlpha(src, dx, dy, &r, nullptr, nullptr);
    return true;
}

bool CDib::BltTo(CDib* dst, int dx, int dy, int sx, int sy, int w, int h) const {
    return BltCopy(dst, dx, dy, this, sx, sy, w, h);
}

bool BltAlphaBlend(CDib* dst, int dx, int dy, const CDib* src, int sx, int sy, int w, int h,
                   int opacity) {
    const int o = Low16(opacity);
    if (!dst || o == 0) return true;
    const DibRect r = SourceRect(sx, sy, w, h);
    if (o >= 255)
        dst->BltAlpha(src, dx, dy, &r, nullptr, nullptr);
    else
        dst->BltAlphaBlend(src, dx, dy, Grey(255 - o), Grey(o), &r, nullptr, nullptr);
    return true;
}

bool BltStretchAlphaBlend(CDib* dst, int dx, int dy, int dw, int dh, const CDib* src, int sx,
                          int sy, int sw, int sh, int opacity) {
    const int o = Low16(opacity);
    if (!dst || o == 0) return true;
    const DibRect r = SourceRect(sx, sy, sw, sh);
    const DibSize size{dw, dh};
    if (o >= 255)
        dst->BltAlpha(src, dx, dy, &r, &size, nullptr);
    else
        dst->BltAlphaBlend(src, dx, dy, Grey(255 - o), Grey(o), &r, &size, nullptr);
    return true;
}

bool BltStretch(CDib* dst, int dx, int dy, int dw, int dh, const CDib* src, int sx, int sy, int sw,
                int sh) {
    if (!dst) return true;
    const DibRect r = SourceRect(sx, sy, sw, sh);
    const DibSize size{dw, dh};
    dst->Blt(src, dx, dy, &r, &size, nullptr);
    return true;
}

bool BltStretchBlend(CDib* dst, int dx, int dy, int dw, int dh, const CDib* src, int, int sx,
                     int sy, int sw, int sh, int alpha) {
    const int a = Low16(alpha);
    if (!dst || a == 0) return true;
    if (a >= 256) return BltStretch(dst, dx, dy, dw, dh, src, sx, sy, sw, sh);
    const DibRect r = SourceRect(sx, sy, sw, sh);
    const DibSize size{dw, dh};
    dst->BltBlend(src, dx, dy, Grey(255 - a), Grey(a), &r, &size, nullptr);
    return true;
}

bool CDib::BltBlendEx(const CDib* base, int dx, int dy, const CDib* over, int sx, int sy, int w,
                      int h, int alpha, int) {
    const int a = Low16(alpha);
    if (a == 0) return true;
    const DibRect r = SourceRect(sx, sy, w, h);
    if (a >= 256) {
        Blt(over, dx, dy, &r, nullptr, nullptr);
        return true;
    }
    Blt(base, dx, dy, &r, nullptr, nullptr);
    BltBlend(over, dx, dy, Grey(255 - a), Grey(a), &r, nullptr, nullptr);
    return true;
}

void BltOverBlend(CDib* dst, int dx, int dy, const CDib* over, const CDib* base, int sx, int sy,
                  int w, int h, int alpha) {
    if (!dst) return;
    if (base) BltCopy(dst, dx, dy, base, sx, sy, w, h);
    dst->BltBlendEx(dst, dx, dy, over, sx, sy, w, h, alpha, 0);
}

bool BltCopyBytes(CDib* dst, int dx, int dy, CDib* src, int sx, int sy, int w, int h) {
    if (!dst || !src) return true;
    // Clip the rectangle against both images at once.
    long long x0 = 0, y0 = 0, x1 = w, y1 = h;
    x0 = std::max({x0, -static_cast<long long>(dx), -static_cast<long long>(sx)});
    y0 = std::max({y0, -static_cast<long long>(dy), -static_cast<long long>(sy)});
    x1 = std::min({x1, static_cast<long long>(dst->GetWidth()) - dx,
                   static_cast<long long>(src->GetWidth()) - sx});
    y1 = std::min({y1, static_cast<long long>(dst->GetHeight()) - dy,
                   static_cast<long long>(src->GetHeight()) - sy});
    for (long long y = y0; y < y1; ++y) {
        std::uint32_t* d = dst->GetPixelPtr(static_cast<int>(dx + x0), static_cast<int>(dy + y));
        std::uint32_t* s = src->GetPixelPtr(static_cast<int>(sx + x0), static_cast<int>(sy + y));
        for (long long i = 0; i < x1 - x0; ++i) {
            const std::uint32_t v = s[i];
            s[i] = v & 0x00FFFFFFu;
            d[i] = ~v & 0x00FFFFFFu;
        }
    }
    return true;
}

bool BltNothing(CDib*, int, int, const CDib*, int, int, int, int) {
    return true;
}
