// Pictures for the transition tests: small surfaces with chosen pixels, and
// 800x600 surfaces whose every pixel says where it came from.
#pragma once

#include "gfx/Dib.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace transition_test {

using Picture = std::unique_ptr<CDib>;

inline Picture MakePicture(int w, int h, const std::function<std::uint32_t(int, int)>& pixel) {
    auto dib = std::make_unique<CDib>();
    dib->Create(platform::WindowHandle::None, w, h, 24);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            *dib->GetPixelPtr(x, y) = pixel(x, y);
    return dib;
}

inline Picture Solid(int w, int h, std::uint32_t colour) {
    return MakePicture(w, h, [colour](int, int) { return colour; });
}

// A grey of one value in the three colour bytes and a chosen fourth byte.
constexpr std::uint32_t Grey(std::uint32_t v, std::uint32_t fourth = 0) {
    return (fourth << 24) | (v << 16) | (v << 8) | v;
}

// A pixel that names its picture and place: the colour bytes hold a tag
// nibble, the row and the column; the fourth byte is the picture's own.
constexpr std::uint32_t Code(std::uint32_t tag, int x, int y) {
    return ((tag & 0xFF) << 24) | ((tag & 0xF) << 20) | (static_cast<std::uint32_t>(y) << 10) |
           static_cast<std::uint32_t>(x);
}
constexpr std::uint32_t kTagA = 0x1A, kTagB = 0x2B, kTagD = 0x3D;

inline Picture Coded(std::uint32_t tag, int w = 800, int h = 600) {
    return MakePicture(w, h, [tag](int x, int y) { return Code(tag, x, y); });
}

inline std::uint32_t Px(const CDib& dib, int x, int y) {
    return *dib.GetPixelPtr(x, y);
}

inline std::vector<std::uint32_t> Pixels(const CDib& dib) {
    const std::uint32_t* p = dib.GetBits();
    return p ? std::vector<std::uint32_t>(p,
                                          p + static_cast<size_t>(dib.GetWidth()) * dib.GetHeight())
             : std::vector<std::uint32_t>{};
}

inline Picture Clone(const CDib& dib) {
    return MakePicture(dib.GetWidth(), dib.GetHeight(),
                       [&dib](int x, int y) { return Px(dib, x, y); });
}

inline std::uint64_t Hash(const CDib& dib) {
    std::uint64_t h = 1469598103934665603ull;
    for (std::uint32_t v : Pixels(dib)) {
        for (int i = 0; i < 4; ++i) {
            h ^= (v >> (8 * i)) & 0xFF;
            h *= 1099511628211ull;
        }
    }
    return h;
}

} // namespace transition_test
