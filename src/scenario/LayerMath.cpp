#include "scenario/LayerMath.h"

#include "gfx/TrigTables.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace layer_math {

namespace {

// An int16 field from a value truncated toward zero; values beyond the
// field's range are held at its ends instead of wrapping.
std::int16_t ToField(double v) {
    return static_cast<std::int16_t>(std::clamp(std::trunc(v), -32768.0, 32767.0));
}

std::int16_t ToField(std::int64_t v) {
    return static_cast<std::int16_t>(std::clamp<std::int64_t>(v, -32768, 32767));
}

} // namespace

double SinDegrees(double degrees) {
    return std::sin(degrees * std::numbers::pi / 180.0);
}
double CosDegrees(double degrees) {
    return std::cos(degrees * std::numbers::pi / 180.0);
}

std::uint32_t CurveP(const TweenClock& c, bool byDuration) {
    const std::uint64_t divisor = byDuration ? std::max<std::uint64_t>(c.duration, 1)
                                             : static_cast<std::uint64_t>(c.duration) + 1;
    const std::uint64_t p = static_cast<std::uint64_t>(c.easeSpan) * c.t / divisor;
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(p, c.easeSpan));
}

std::uint32_t CurveQ(const TweenClock& c) {
    const std::uint64_t q = 90ull * c.t / (static_cast<std::uint64_t>(c.duration) + 1);
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(q, 90));
}

Curve CurveFor(std::uint8_t tweenType, int index, bool& byDuration) {
    byDuration = false;
    switch (tweenType) {
    case 1:
        return Curve::SineOut;
    case 2:
        return Curve::SineBack;
    case 3:
        return Curve::LogOut;
    case 4:
        return Curve::LogBack;
    case 5:
        return Curve::DecaySwing;
    case 6:
        return Curve::GrowSwing;
    // Types 10 and 11 curve the destination rectangle only; its source
    // (values 4..7) moves linearly.
    case 10:
        byDuration = true;
        return index == 0 || index == 2 ? Curve::SineOut : Curve::Linear; // x and w
    case 11:
        return index == 1 || index == 3 ? Curve::SineOut : Curve::Linear; // y and h
    default:
        return Curve::Linear;
    }
}

bool TweenHolds(std::uint8_t tweenType, const TweenClock& c) {
    switch (tweenType) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 11:
        return CurveP(c, false) == 0;
    case 10:
        return CurveP(c, true) == 0;
    case 5:
    case 6:
        return CurveQ(c) == 0;
    default:
        return false;
    }
}

std::int16_t TweenValue(std::uint8_t tweenType, int index, std::int16_t start, std::int16_t end,
                        std::int16_t current, const TweenClock& c) {
    if (start == end) return current;
    bool byDuration = false;
    const Curve curve = CurveFor(tweenType, index, byDuration);
    const std::int64_t s = start;
    const std::int64_t e = end;
    std::int64_t v = 0;
    if (curve == Curve::Linear) {
        const std::uint64_t divisor = static_cast<std::uint64_t>(c.duration) + 1;
        const std::uint64_t span = static_cast<std::uint64_t>(s > e ? s - e : e - s);
        const auto moved = static_cast<std::int64_t>(span * c.t / divisor);
        v = s > e ? s - moved : s + moved;
    } else {
        const auto p = static_cast<int>(CurveP(c, byDuration) % 360u);
        const auto q = static_cast<int>(CurveQ(c));
        const double d = static_cast<double>(e - s);
        double f = 0;
        switch (curve) {
        case Curve::SineOut:
            f = s + SinDeg(p) * d;
            break;
        case Curve::SineBack:
            f = s + SinDeg(p + 90) * d;
            break;
        case Curve::LogOut:
            f = s + std::log10(9 * SinDeg(p) + 1) * d;
            break;
        case Curve::LogBack:
            f = e + std::log10(9 * SinDeg(p + 90) + 1) * -d;
            break;
        case Curve::DecaySwing:
            f = s + SinDeg(q + 90) * d * SinDegrees(2.0 * p);
            break;
        case Curve::GrowSwing:
            f = s + SinDeg(q) * d * SinDegrees(2.0 * p);
            break;
        case Curve::Linear:
            break;
        }
        v = static_cast<std::int64_t>(std::trunc(f));
    }
    if (s > e ? v <= e : v >= e) return end;
    return ToField(v);
}

std::int16_t AlphaAt(const AlphaCurve& a, std::uint32_t t2) {
    if (t2 > a.ramp) return SettledAlpha(a);
    const std::uint32_t span = a.sweep - a.phase;
    const std::uint64_t d = std::min<std::uint64_t>(
        static_cast<std::uint64_t>(span) * t2 / (static_cast<std::uint64_t>(a.ramp) + 1), a.sweep);
    const double angle = static_cast<double>(a.phase) + static_cast<double>(d);
    const double swing = std::trunc(SinDegrees(angle) * (a.target - a.base));
    return ToField(std::fabs(swing) + a.base);
}

std::int16_t SettledAlpha(const AlphaCurve& a) {
    const double angle = static_cast<double>(a.sweep) + static_cast<double>(a.phase);
    return ToField(SinDegrees(angle) * a.target);
}

std::uint32_t AngleAt(std::uint32_t fixedAngle, std::uint32_t startAngle, std::uint32_t endAngle,
                      std::uint32_t t2, std::uint32_t duration) {
    if (fixedAngle != 0) return fixedAngle;
    if (duration == 0) return startAngle;
    const std::uint64_t turned = static_cast<std::uint64_t>(endAngle - startAngle) * t2 / duration;
    // Whole turns are dropped: the drawing reads the angle modulo 360.
    return startAngle + static_cast<std::uint32_t>(turned % 360u);
}

} // namespace layer_math
