// The demo generator's drawing surface: pictures made of gradients, discs,
// rounded plates and labels drawn with the game's own glyph font, shared by
// the files that draw the demo game's pictures.
#pragma once

#include "gfx/Dib.h"
#include "gfx/GlyphFont.h"
#include "lib/BmpWriter.h"
#include "platform/Glyph.h"
#include "platform/Platform.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace demo {

// ---------------------------------------------------------------- colours

constexpr std::uint32_t Argb(std::uint32_t a, std::uint32_t rgb) {
    return (a << 24) | (rgb & 0xFFFFFF);
}

inline std::uint32_t Lerp(std::uint32_t c0, std::uint32_t c1, int t, int n) {
    if (n <= 0) return c0;
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const int a = static_cast<int>((c0 >> shift) & 0xFF);
        const int b = static_cast<int>((c1 >> shift) & 0xFF);
        out |= static_cast<std::uint32_t>(a + (b - a) * t / n) << shift;
    }
    return out;
}

// ---------------------------------------------------------------- pictures

// The one glyph font of the generator: labels are drawn with the game's own
// text renderer, so the pictures show what the game's font looks like.
inline CGlyphFont& Font() {
    static CGlyphFont font(platform::CreateGlyphSource());
    return font;
}

inline std::string Gbk(std::string_view utf8) {
    return platform::Utf8ToGbk(utf8).value_or(std::string());
}

// Bytes of the character that starts at `i` of a GBK string.
inline std::size_t CharBytes(const std::string& gbk, std::size_t i) {
    return static_cast<unsigned char>(gbk[i]) >= 0x80 && i + 1 < gbk.size() ? 2 : 1;
}

class Canvas {
public:
    Canvas(int w, int h, std::uint32_t argb = 0xFF000000)
        : w_(w), h_(h), px_(std::size_t(w) * h, argb) {}

    int Width() const { return w_; }
    int Height() const { return h_; }

    // Lays `rgb` over a pixel at coverage `a` (0..255), "over" compositing:
    // the fourth byte becomes the union of both coverages, and a clear pixel
    // takes the colour as it is (no darkening towards its black).
    void Blend(int x, int y, std::uint32_t rgb, int a) {
        if (x < 0 || y < 0 || x >= w_ || y >= h_ || a <= 0) return;
        std::uint32_t& d = px_[std::size_t(y) * w_ + x];
        const int da = static_cast<int>(d >> 24);
        const int below = da * (255 - a) / 255; // what still shows of the old pixel
        const int na = a + below;
        std::uint32_t out = 0;
        for (int shift = 0; shift < 24; shift += 8) {
            const int s = static_cast<int>((rgb >> shift) & 0xFF);
            const int o = static_cast<int>((d >> shift) & 0xFF);
            out |= static_cast<std::uint32_t>((s * a + o * below) / na) << shift;
        }
        d = out | (static_cast<std::uint32_t>(na) << 24);
    }
    void Set(int x, int y, std::uint32_t argb) {
        if (x >= 0 && y >= 0 && x < w_ && y < h_) px_[std::size_t(y) * w_ + x] = argb;
    }

    void Fill(int x, int y, int w, int h, std::uint32_t argb) {
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i)
                Set(i, j, argb);
    }
    void VGradient(int x, int y, int w, int h, std::uint32_t top, std::uint32_t bottom) {
        for (int j = 0; j < h; ++j) {
            const std::uint32_t c = Lerp(top, bottom, j, std::max(1, h - 1));
            for (int i = 0; i < w; ++i)
                Set(x + i, y + j, c);
        }
    }
    void HGradient(int x, int y, int w, int h, std::uint32_t left, std::uint32_t right) {
        for (int i = 0; i < w; ++i) {
            const std::uint32_t c = Lerp(left, right, i, std::max(1, w - 1));
            for (int j = 0; j < h; ++j)
                Set(x + i, y + j, c);
        }
    }
    // A filled disc with a one-pixel soft edge, blended over what is there.
    void Disc(int cx, int cy, int r, std::uint32_t rgb, int alpha = 255) {
        for (int y = cy - r - 1; y <= cy + r + 1; ++y)
            for (int x = cx - r - 1; x <= cx + r + 1; ++x) {
                const double d = std::hypot(x - cx, y - cy);
                const double cover = std::clamp(r + 0.5 - d, 0.0, 1.0);
                Blend(x, y, rgb, static_cast<int>(cover * alpha));
            }
    }
    void Ring(int cx, int cy, int r, int thickness, std::uint32_t rgb, int alpha = 255) {
        for (int y = cy - r - 1; y <= cy + r + 1; ++y)
            for (int x = cx - r - 1; x <= cx + r + 1; ++x) {
                const double d = std::hypot(x - cx, y - cy);
                const double cover =
                    std::clamp(std::min(r + 0.5 - d, d - (r - thickness) + 0.5), 0.0, 1.0);
                Blend(x, y, rgb, static_cast<int>(cover * alpha));
            }
    }
    // A rectangle with rounded corners, blended over what is there.
    void RoundRect(int x, int y, int w, int h, int r, std::uint32_t rgb, int alpha = 255) {
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i) {
                const int cx = std::clamp(i, x + r, x + w - 1 - r);
                const int cy = std::clamp(j, y + r, y + h - 1 - r);
                const double d = std::hypot(i - cx, j - cy);
                const double cover = std::clamp(r + 0.5 - d, 0.0, 1.0);
                Blend(i, j, rgb, static_cast<int>(cover * alpha));
            }
    }
    void Border(int x, int y, int w, int h, int t, std::uint32_t argb) {
        Fill(x, y, w, t, argb);
        Fill(x, y + h - t, w, t, argb);
        Fill(x, y, t, h, argb);
        Fill(x + w - t, y, t, h, argb);
    }

    // Width of a UTF-8 text at a glyph size, as the glyph font advances.
    static int TextWidth(std::string_view utf8, int size) {
        const std::string gbk = Gbk(utf8);
        CGlyphFont& font = Font();
        font.SetFont(size, 0);
        int w = 0;
        for (std::size_t i = 0; i < gbk.size(); i += CharBytes(gbk, i))
            w += font.DrawChar(nullptr, 0, 0, std::string_view(gbk).substr(i), 0xFFFFFF);
        return w;
    }
    // Draws a UTF-8 text with the top-left of its first cell at (x, y).
    void Text(int x, int y, std::string_view utf8, int size, std::uint32_t rgb, int alpha = 255) {
        const std::string gbk = Gbk(utf8);
        if (gbk.empty()) return;
        const int width = TextWidth(utf8, size) + size;
        const int height = size + size / 2;
        CDib scratch;
        scratch.Create(platform::WindowHandle::None, width, height, 32);
        CGlyphFont& font = Font();
        font.SetFont(size, 0);
        int pen = 0;
        for (std::size_t i = 0; i < gbk.size(); i += CharBytes(gbk, i))
            pen += font.DrawChar(&scratch, pen, 0, std::string_view(gbk).substr(i), 0xFFFFFF);
        // The glyph font inks the fourth byte with the coverage.
        for (int j = 0; j < height; ++j)
            for (int i = 0; i < width; ++i) {
                const std::uint32_t* p = scratch.GetPixelPtr(i, j);
                if (!p) continue;
                const int cover = static_cast<int>(*p >> 24) * alpha / 255;
                Blend(x + i, y + j, rgb, cover);
            }
    }
    // Centred on a box of width w starting at x.
    void TextCentred(int x, int w, int y, std::string_view utf8, int size, std::uint32_t rgb,
                     int alpha = 255) {
        Text(x + (w - TextWidth(utf8, size)) / 2, y, utf8, size, rgb, alpha);
    }
    // A text as large as its ink fits a box of w x h at (x, y), centred in it.
    void FittedText(int x, int y, int w, int h, std::string_view utf8, std::uint32_t rgb) {
        for (int size = 2 * h; size >= 4; --size) {
            Canvas ink(TextWidth(utf8, size) + size, 2 * size, 0);
            ink.Text(0, 0, utf8, size, rgb);
            int left = ink.w_, top = ink.h_, right = -1, bottom = -1;
            for (int j = 0; j < ink.h_; ++j)
                for (int i = 0; i < ink.w_; ++i)
                    if (ink.px_[std::size_t(j) * ink.w_ + i] >> 24) {
                        left = std::min(left, i);
                        right = std::max(right, i);
                        top = std::min(top, j);
                        bottom = std::max(bottom, j);
                    }
            if (right < 0) return;
            if (right - left + 1 > w || bottom - top + 1 > h) continue;
            const int dx = x + (w - (right - left + 1)) / 2 - left;
            const int dy = y + (h - (bottom - top + 1)) / 2 - top;
            for (int j = top; j <= bottom; ++j)
                for (int i = left; i <= right; ++i) {
                    const std::uint32_t p = ink.px_[std::size_t(j) * ink.w_ + i];
                    Blend(dx + i, dy + j, p & 0xFFFFFF, static_cast<int>(p >> 24));
                }
            return;
        }
    }
    // A text with a dark outline, readable on any background.
    void OutlinedText(int x, int y, std::string_view utf8, int size, std::uint32_t rgb) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (dx || dy) Text(x + dx, y + dy, utf8, size, 0x101018, 200);
        Text(x, y, utf8, size, rgb);
    }

    const std::vector<std::uint32_t>& Pixels() const { return px_; }

    bmp_writer::BmpImage Image(int bits) const {
        bmp_writer::BmpImage img;
        img.width = w_;
        img.height = h_;
        img.bitCount = bits;
        img.pixels = px_;
        return img;
    }

private:
    int w_;
    int h_;
    std::vector<std::uint32_t> px_;
};

} // namespace demo
