#include "gfx/Dib.h"

CDib::CDib() = default;
CDib::~CDib() = default;

bool CDib::Create(platform::WindowHandle, int width, int height, int) {
    const int w = static_cast<std::uint16_t>(width);
    const int h = static_cast<std::uint16_t>(height);
    pixels_.clear();
    width_ = height_ = 0;
    if (w > 0 && h > 0) {
        pixels_.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
        width_ = w;
        height_ = h;
    }
    colorKey_ = 0x00FF00;
    return true;
}

bool CDib::FillRect(int x, int y, int w, int h, std::uint32_t colour) {
    if (pixels_.empty()) return false;
    if (colour == 0xFFFFFFFFu) colour = fillColor_;
    for (int row = y; row < y + h; ++row)
        for (int col = x; col < x + w; ++col)
            if (std::uint32_t* p = GetPixelPtr(col, row)) *p = colour;
    return true;
}

std::uint32_t* CDib::GetPixelPtr(int x, int y) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return nullptr;
    return pixels_.data() + static_cast<size_t>(y) * width_ + x;
}

const std::uint32_t* CDib::GetPixelPtr(int x, int y) const {
    return const_cast<CDib*>(this)->GetPixelPtr(x, y);
}

std::array<std::unique_ptr<CDib>, 64> cdib;
std::unique_ptr<CDib> g_backBuffer;
std::unique_ptr<CDib> g_menuSnapshot;
std::unique_ptr<CDib> g_maskImage;
std::unique_ptr<CDib> g_backupSurface;
std::unique_ptr<CDib> g_fullPage;
