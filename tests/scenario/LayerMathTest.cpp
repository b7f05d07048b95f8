// The layer curves over time grids. Every expected value is worked by hand
// from the curve formulas: SinDeg is the sine of whole degrees, products are
// truncated toward zero, p = span * t / (duration + 1) at most the span.
#include "scenario/LayerMath.h"
#include "gfx/TrigTables.h"

#include <gtest/gtest.h>

namespace {

using namespace layer_math;

class LayerMathTest : public ::testing::Test {
protected:
    void SetUp() override { InitTrigTables(); }
    // Value 0 (rect x) of a tween from `start` to `end`.
    static int X(std::uint8_t type, int start, int end, std::uint32_t t, std::uint32_t duration,
                 std::uint32_t span, int current = -999) {
        return TweenValue(type, 0, static_cast<std::int16_t>(start), static_cast<std::int16_t>(end),
                          static_cast<std::int16_t>(current), TweenClock{t, duration, span});
    }
};

TEST_F(LayerMathTest, LinearStepsByTheDurationPlusOneAndStopsAtTheEnd) {
    // 10 -> 110 over 199 ms: 10 + 100 * t / 200.
    EXPECT_EQ(X(0, 10, 110, 0, 199, 0), 10);
    EXPECT_EQ(X(0, 10, 110, 50, 199, 0), 35);
    EXPECT_EQ(X(0, 10, 110, 199, 199, 0), 109);
    EXPECT_EQ(X(0, 10, 110, 200, 199, 0), 110);
    EXPECT_EQ(X(0, 10, 110, 90000, 199, 0), 110); // never past the end
    // Downwards: 110 - 100 * t / 200.
    EXPECT_EQ(X(0, 110, 10, 50, 199, 0), 85);
    EXPECT_EQ(X(0, 110, 10, 5000, 199, 0), 10);
    // Types without a curve of their own are linear too.
    for (std::uint8_t type : {7, 8, 9, 12, 255})
        EXPECT_EQ(X(type, 10, 110, 50, 199, 0), 35) << int(type);
    // Equal start and end leave the value where it is.
    EXPECT_EQ(X(0, 40, 40, 50, 199, 0, 17), 17);
}

TEST_F(LayerMathTest, SineCurvesAtTheirEndsAndMidpoints) {
    // Type 1, span 90, 0 -> 100 over 99 ms: p = 90 t / 100.
    EXPECT_EQ(X(1, 0, 100, 50, 99, 90), 70);   // sin 45 = .7071
    EXPECT_EQ(X(1, 0, 100, 99, 99, 90), 99);   // p 89: sin 89 = .99985
    EXPECT_EQ(X(1, 0, 100, 100, 99, 90), 100); // p 90: the end exactly
    EXPECT_EQ(X(1, 100, 0, 50, 99, 90), 29);   // 100 - 70.71
    // Span 180 goes out to the end and back to the start.
    EXPECT_EQ(X(1, 0, 100, 50, 99, 180), 100);
    EXPECT_EQ(X(1, 0, 100, 75, 99, 180), 70); // p 135: sin 135 = .7071
    EXPECT_EQ(X(1, 0, 100, 100, 99, 180), 0);
    // Type 2 starts next to the end and settles at the start.
    EXPECT_EQ(X(2, 0, 100, 2, 99, 90), 99); // p 1: sin 91 = .99985
    EXPECT_EQ(X(2, 0, 100, 50, 99, 90), 70);
    EXPECT_EQ(X(2, 0, 100, 100, 99, 90), 0);
}

TEST_F(LayerMathTest, LogarithmicCurves) {
    // log10(9 * sin 45 + 1) = log10(7.36396) = .86711
    EXPECT_EQ(X(3, 0, 100, 50, 99, 90), 86);
    EXPECT_EQ(X(3, 0, 100, 100, 99, 90), 100); // log10(10) = 1
    // Type 4 runs from the end side: 100 + .86711 * (0 - 100).
    EXPECT_EQ(X(4, 0, 100, 50, 99, 90), 13);
    EXPECT_EQ(X(4, 0, 100, 100, 99, 90), 100); // sin 180 = 0: log10(1) = 0, the end
}

TEST_F(LayerMathTest, SwingsOvershootTheStartButNotTheEnd) {
    // Type 5, span 90, t 25: p = q = 22; sin 112 = .92718, sin 44 = .69466.
    EXPECT_EQ(X(5, 0, 100, 25, 99, 90), 64);
    // Span 180, t 75: p 135, q 67; sin 270 = -1.
    EXPECT_EQ(X(5, 0, 100, 75, 99, 180), -39); // sin 157 = .39073
    EXPECT_EQ(X(6, 0, 100, 75, 99, 180), -92); // sin 67 = .92050
    EXPECT_EQ(X(6, 0, 100, 25, 99, 180), 37);  // p 45: sin 90 = 1, q 22: sin 22 = .37461
    // At q = 90 and sin(2p) = 1 type 6 lands on the end.
    EXPECT_EQ(X(6, 0, 100, 100, 99, 45), 100);
}

TEST_F(LayerMathTest, SplitCurvesTenAndEleven) {
    const TweenClock c{50, 100, 90};
    // Type 10: x and w on the sine with p = 90 * 50 / 100 = 45; y and h linear: 100 * 50 / 101.
    EXPECT_EQ(TweenValue(10, 0, 0, 100, 0, c), 70);
    EXPECT_EQ(TweenValue(10, 2, 0, 100, 0, c), 70);
    EXPECT_EQ(TweenValue(10, 1, 0, 100, 0, c), 49);
    // Type 11: y and h on the sine with p = 4500 / 101 = 44 (sin 44 = .69466).
    EXPECT_EQ(TweenValue(11, 1, 0, 100, 0, c), 69);
    EXPECT_EQ(TweenValue(11, 3, 0, 100, 0, c), 69);
    EXPECT_EQ(TweenValue(11, 0, 0, 100, 0, c), 49);
    // The source rectangle (values 4..7) moves linearly under both.
    for (std::uint8_t type : {10, 11})
        for (int index = 4; index < 8; ++index)
            EXPECT_EQ(TweenValue(type, index, 0, 100, 0, c), 49) << int{type} << " " << index;
}

TEST_F(LayerMathTest, AFrameWithZeroProgressChangesNothing) {
    // p = 90 * 1 / 100 = 0 for the curves, q likewise for the swings.
    for (std::uint8_t type : {1, 2, 3, 4, 11})
        EXPECT_TRUE(TweenHolds(type, {1, 99, 90})) << int(type);
    EXPECT_TRUE(TweenHolds(10, {1, 100, 90}));
    EXPECT_FALSE(TweenHolds(10, {2, 100, 90})); // 180 / 100 = 1
    EXPECT_TRUE(TweenHolds(5, {1, 99, 90}));
    EXPECT_FALSE(TweenHolds(5, {2, 99, 90}));
    EXPECT_FALSE(TweenHolds(0, {0, 99, 90})); // linear never holds
}

TEST_F(LayerMathTest, LongRunningLayersDoNotWrap) {
    // 3e9 ms: 90 * t no longer fits 32 bits; the values sit at their ends.
    EXPECT_EQ(X(1, 0, 100, 3000000000u, 1000, 90), 100);
    EXPECT_EQ(X(0, 0, 100, 3000000000u, 1000, 0), 100);
    EXPECT_EQ(X(0, 100, -100, 4000000000u, 1, 0), -100);
    EXPECT_EQ(CurveP({4000000000u, 1000, 90}, false), 90u);
    EXPECT_EQ(CurveQ({4000000000u, 1000, 0}), 90u);
    // 90 degrees per second for 4e9 ms is exactly 1,000,000 turns.
    EXPECT_EQ(AngleAt(0, 10, 100, 4000000000u, 1000) % 360, 10u);
}

TEST_F(LayerMathTest, OpacityRisesOnAQuarterSineAndPulses) {
    // Sweep 90, ramp 1000, 0 -> 256: d = 90 * t2 / 1001.
    const AlphaCurve rise{90, 0, 1000, 0, 256};
    EXPECT_EQ(AlphaAt(rise, 0), 0);
    EXPECT_EQ(AlphaAt(rise, 500), 177);  // d 44: .69466 * 256 = 177.8
    EXPECT_EQ(AlphaAt(rise, 1000), 255); // d 89: 255.96
    EXPECT_EQ(AlphaAt(rise, 1001), 256); // past the ramp: sin 90 * 256
    // From a base: |trunc(sin a * (T - B))| + B.
    EXPECT_EQ(AlphaAt({90, 0, 1000, 50, 256}, 1000), 255); // 205.97 -> 205, + 50
    // Sweep 180 is one pulse: up at the middle, back down at the end.
    const AlphaCurve pulse{180, 0, 1000, 0, 256};
    EXPECT_EQ(AlphaAt(pulse, 500), 255); // d 89
    EXPECT_EQ(AlphaAt(pulse, 1001), 0);  // sin 180 * 256 = 3e-14, truncated
    // Sweep 270 folds the negative half-wave while ramping, not after it.
    const AlphaCurve fold{270, 0, 1000, 0, 256};
    EXPECT_EQ(AlphaAt(fold, 834), 177);   // d 224: sin 224 = -.69466
    EXPECT_EQ(AlphaAt(fold, 1001), -256); // settled: not drawn
    // A phase starts the curve further on: sin 45 * 100.
    EXPECT_EQ(AlphaAt({90, 45, 1000, 0, 100}, 0), 70);
    EXPECT_EQ(SettledAlpha({90, 0, 0, 0, 200}), 200);
}

TEST_F(LayerMathTest, RotationIsLinearInTheAlphaClockAndKeepsTurning) {
    EXPECT_EQ(AngleAt(0, 10, 100, 500, 1000), 55u);
    EXPECT_EQ(AngleAt(0, 10, 100, 2000, 1000), 190u); // not clamped
    EXPECT_EQ(AngleAt(33, 10, 100, 500, 1000), 33u);  // a fixed angle wins
}

} // namespace
