#include "gfx/MulDiv.h"

#include <cstdint>

int MulDiv(int number, int numerator, int denominator) {
    if (denominator == 0) return -1;
    std::int64_t p = static_cast<std::int64_t>(number) * numerator;
    std::int64_t d = denominator;
    if (d < 0) {
        d = -d;
        p = -p;
    }
    const std::int64_t q = p >= 0 ? (p + d / 2) / d : (p - d / 2) / d;
    if (q > INT32_MAX || q < -INT32_MAX) return -1;
    return static_cast<int>(q);
}
