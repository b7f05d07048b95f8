#include "gfx/DisplacementMap.h"

#include <cmath>
#include <cstdint>
#include <new>

namespace {

int TruncToInt(double v) {
    if (!(v > -2147483648.0)) return INT32_MIN; // also NaN
    if (v >= 2147483647.0) return INT32_MAX;
    return static_cast<int>(v);
}

} // namespace

bool CDisplacementMap::Create(int width, int height) {
    offsets_ = {};
    width_ = height_ = 0;
    if (width <= 0 || height <= 0) return false;
    try {
        offsets_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                        DibPoint{});
    } catch (const std::bad_alloc&) {
        offsets_ = {};
        return false;
    }
    width_ = width;
    height_ = height;
    return true;
}

DibPoint CDisplacementMap::Get(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return {};
    return offsets_[static_cast<std::size_t>(y) * width_ + x];
}

void CDisplacementMap::Set(int x, int y, DibPoint offset) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    offsets_[static_cast<std::size_t>(y) * width_ + x] = offset;
}

void CDisplacementMap::BuildLens(int strength) {
    const long long limit = static_cast<long long>(width_) * height_ / 4;
    for (int py = 0; py < height_; ++py)
        for (int px = 0; px < width_; ++px) {
            const long long x = px - width_ / 2, y = py - height_ / 2;
            DibPoint o{};
            if (strength != 0 && x * x + y * y < limit)
                o = DibPoint{static_cast<int>(-x / strength), static_cast<int>(-y / strength)};
            Set(px, py, o);
        }
}

void CDisplacementMap::BuildSwirl(double k) {
    for (int py = 0; py < height_; ++py)
        for (int px = 0; px < width_; ++px) {
            const double x = px - width_ / 2, y = py - height_ / 2;
            DibPoint o{};
            if (k != 0.0) {
                const double a = std::sqrt(x * x + y * y) / k;
                const double c = std::cos(a), s = std::sin(a);
                o = DibPoint{TruncToInt(x * c - y * s - x), TruncToInt(x * s + y * c - y)};
            }
            Set(px, py, o);
        }
}

void CDisplacementMap::BuildRipple(double wavelength, double amplitude) {
    for (int py = 0; py < height_; ++py)
        for (int px = 0; px < width_; ++px) {
            const double x = px - width_ / 2, y = py - height_ / 2;
            const double r = std::sqrt(x * x + y * y);
            DibPoint o{};
            if (wavelength != 0.0 && r > 0.0) {
                const double m = amplitude * std::sin(r / wavelength) / r;
                o = DibPoint{TruncToInt(x * m), TruncToInt(y * m)};
            }
            Set(px, py, o);
        }
}
