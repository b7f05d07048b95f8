#include "gfx/TrigTables.h"

#include <cmath>
#include <numbers>

std::array<double, 180> g_sinTable{};
std::array<double, 180> g_tanTable{};

void InitTrigTables() {
    for (int i = 0; i < 180; ++i) {
        const double a = static_cast<double>(i) * std::numbers::pi * (1.0 / 180.0);
        g_sinTable[i] = std::sin(a);
        g_tanTable[i] = std::tan(a);
    }
}

namespace {
int Index(int i) {
    const int r = i % 180;
    return r < 0 ? r + 180 : r;
}
} // namespace

double SinDeg(int i) {
    return g_sinTable[Index(i)];
}
double TanDeg(int i) {
    return g_tanTable[Index(i)];
}
