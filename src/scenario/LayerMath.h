// The arithmetic of the sprite layers, kept apart from the drawing so that it
// can be checked over time grids: the rectangle tween curves, the sine opacity
// and the rotation. Times are milliseconds; products are widened to 64 bits so
// that a layer left running for days cannot wrap its values.
#pragma once

#include <cstdint>
#include <optional>

namespace layer_math {

// Tween curves by `tweenType`; anything else is linear.
enum class Curve : std::uint8_t {
    Linear,
    SineOut,    // 1
    SineBack,   // 2
    LogOut,     // 3
    LogBack,    // 4
    DecaySwing, // 5
    GrowSwing,  // 6
};

struct TweenClock {
    std::uint32_t t = 0;        // ms since the tween started
    std::uint32_t duration = 0; // not 0
    std::uint32_t easeSpan = 0; // degrees swept by the sine-table curves
};

// p of the curves: easeSpan * t / (duration + 1) (type 10: / duration), at
// most easeSpan.
std::uint32_t CurveP(const TweenClock& c, bool byDuration);
// q of the swings: 90 * t / (duration + 1), at most 90.
std::uint32_t CurveQ(const TweenClock& c);

// The curve of value `index` (0..3 rect x, y, w, h; 4..7 source x, y, w, h)
// for `tweenType`, and whether its p uses the duration alone as divisor.
Curve CurveFor(std::uint8_t tweenType, int index, bool& byDuration);

// True when the frame changes nothing: p = 0 for types 1-4, 10 and 11, q = 0
// for types 5 and 6.
bool TweenHolds(std::uint8_t tweenType, const TweenClock& c);

// One value stepped along its curve: `current` when start equals end, else
// the curve value truncated toward zero and cut at `end`.
std::int16_t TweenValue(std::uint8_t tweenType, int index, std::int16_t start, std::int16_t end,
                        std::int16_t current, const TweenClock& c);

struct AlphaCurve {
    std::uint32_t sweep = 0; // degrees swept
    std::uint32_t phase = 0; // degrees added to the angle
    std::uint32_t ramp = 0;  // ms
    std::int16_t base = 0;
    std::int16_t target = 0;
};

// Opacity t2 ms into the animation.
std::int16_t AlphaAt(const AlphaCurve& a, std::uint32_t t2);
// The settled opacity: trunc(sin((sweep + phase) deg) * target).
std::int16_t SettledAlpha(const AlphaCurve& a);

// startAngle + (endAngle - startAngle) * t2 / duration in 32-bit unsigned
// degrees (the product taken in 64 bits); `fixedAngle` wins when not 0.
std::uint32_t AngleAt(std::uint32_t fixedAngle, std::uint32_t startAngle, std::uint32_t endAngle,
                      std::uint32_t t2, std::uint32_t duration);

// sin of whole degrees in floating point (not the table).
double SinDegrees(double degrees);
double CosDegrees(double degrees);

} // namespace layer_math
