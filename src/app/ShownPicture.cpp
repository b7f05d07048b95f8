#include "app/ShownPicture.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr int kW = platform::kClientWidth;
constexpr int kH = platform::kClientHeight;
} // namespace

CShownPicture::CShownPicture() : pixels_(static_cast<size_t>(kW) * kH, 0) {}

platform::Rect CShownPicture::Update(const std::uint32_t* rows, int pitch) {
    return Update(rows, pitch, {0, 0, kW, kH});
}

bool CShownPicture::Shows(const std::uint32_t* rows, int pitch) const {
    if (!known_) return false;
    for (int y = 0; y < kH; ++y)
        if (std::memcmp(&pixels_[static_cast<size_t>(y) * kW],
                        rows + static_cast<std::ptrdiff_t>(y) * pitch,
                        kW * sizeof(std::uint32_t)) != 0)
            return false;
    return true;
}

platform::Rect CShownPicture::Update(const std::uint32_t* rows, int pitch,
                                     const platform::Rect& drawn) {
    if (!known_) {
        for (int y = 0; y < kH; ++y)
            std::memcpy(&pixels_[static_cast<size_t>(y) * kW],
                        rows + static_cast<std::ptrdiff_t>(y) * pitch, kW * sizeof(std::uint32_t));
        known_ = true;
        return {0, 0, kW, kH};
    }
    const int x0 = std::max(drawn.left, 0), x1 = std::min(drawn.right, kW);
    const int y0 = std::max(drawn.top, 0), y1 = std::min(drawn.bottom, kH);
    platform::Rect box{kW, kH, 0, 0};
    for (int y = y0; y < y1 && x0 < x1; ++y) {
        const std::uint32_t* src = rows + static_cast<std::ptrdiff_t>(y) * pitch;
        std::uint32_t* dst = &pixels_[static_cast<size_t>(y) * kW];
        // Whole rows compare at the speed of memory; only a row that differs
        // is searched for its first and last changed pixel.
        if (std::memcmp(dst + x0, src + x0, static_cast<size_t>(x1 - x0) * sizeof(std::uint32_t)) ==
            0)
            continue;
        int left = x0;
        while (dst[left] == src[left])
            ++left;
        int right = x1;
        while (dst[right - 1] == src[right - 1])
            --right;
        std::memcpy(dst + left, src + left,
                    static_cast<size_t>(right - left) * sizeof(std::uint32_t));
        box.left = std::min(box.left, left);
        box.right = std::max(box.right, right);
        box.top = std::min(box.top, y);
        box.bottom = y + 1;
    }
    if (box.right <= box.left) return {};
    return box;
}
