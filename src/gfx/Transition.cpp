#include "gfx/Transition.h"

#include "gfx/TransitionEffects.h"
#include "platform/Platform.h"

#include <algorithm>
#include <cmath>

using namespace transition_detail;

std::unique_ptr<TransitionTables> g_transitionTables;

namespace {
template <std::size_t N> std::size_t Wrap(std::int64_t i) {
    const auto n = static_cast<std::int64_t>(N);
    return static_cast<std::size_t>(((i % n) + n) % n);
}
} // namespace

std::int32_t TransitionTables::Cos(std::int64_t i) const {
    return cosine[Wrap<kCosineCount>(i)];
}

std::uint8_t TransitionTables::Rnd(std::int64_t i) const {
    return random[Wrap<kRandomCount>(i)];
}

std::int64_t TransitionTables::Dist(std::int64_t x, std::int64_t y) const {
    x = x < 0 ? -x : x;
    y = y < 0 ? -y : y;
    if (x < kDistanceWidth && y < kDistanceHeight)
        return distance[static_cast<std::size_t>(y * kDistanceWidth + x)];
    const double fx = static_cast<double>(x);
    const double fy = static_cast<double>(y);
    return static_cast<std::int64_t>(std::sqrt(fx * fx + fy * fy) * 65536.0);
}

void BuildTransitionTables(TransitionTables& tables) {
    platform::Srand(0);
    for (auto& r : tables.random)
        r = static_cast<std::uint8_t>(platform::Rand() & 0xFF);
    const double pi = std::acos(-1.0);
    for (int i = 0; i < TransitionTables::kCosineCount; ++i)
        tables.cosine[static_cast<std::size_t>(i)] =
            static_cast<std::int32_t>(std::cos(i * pi / 256.0) * 65536.0);
    for (int y = 0; y < TransitionTables::kDistanceHeight; ++y) {
        for (int x = 0; x < TransitionTables::kDistanceWidth; ++x) {
            const double d = std::sqrt(static_cast<double>(x * x + y * y));
            tables.distance[static_cast<std::size_t>(y * TransitionTables::kDistanceWidth + x)] =
                static_cast<std::int32_t>(d * 65536.0);
        }
    }
}

const TransitionTables& EnsureTransitionTables() {
    if (!g_transitionTables) {
        auto tables = std::make_unique<TransitionTables>();
        BuildTransitionTables(*tables);
        g_transitionTables = std::move(tables);
    }
    return *g_transitionTables;
}

namespace transition_detail {

void CopyA(const TransitionArgs& t, const Rect& clip) {
    transition_blit::Copy(t.dst, t.dx, t.dy, t.a, t.dx, t.dy, t.w, t.h, clip);
}

WeightTables::WeightTables(std::int64_t p) {
    for (std::int64_t i = 0; i < 256; ++i) {
        a[static_cast<std::size_t>(i)] = static_cast<std::int32_t>((i * p) >> 8);
        b[static_cast<std::size_t>(i)] = static_cast<std::int32_t>((i * (256 - p)) >> 8);
    }
}

Span CommonSpan(std::int64_t w, std::int64_t h, std::initializer_list<Placed> surfaces,
                const Rect& dstClip, std::int64_t dstX, std::int64_t dstY) {
    Span s{0, w, 0, h};
    for (const Placed& p : surfaces) {
        const Rect b = transition_blit::Bounds(p.dib);
        s.x0 = std::max(s.x0, b.left - p.x);
        s.x1 = std::min(s.x1, b.right - p.x);
        s.y0 = std::max(s.y0, b.top - p.y);
        s.y1 = std::min(s.y1, b.bottom - p.y);
    }
    s.x0 = std::max(s.x0, dstClip.left - dstX);
    s.x1 = std::min(s.x1, dstClip.right - dstX);
    s.y0 = std::max(s.y0, dstClip.top - dstY);
    s.y1 = std::min(s.y1, dstClip.bottom - dstY);
    return s;
}

} // namespace transition_detail

const std::array<TransitionFunc, kTransitionCount> g_transitionFuncs = {
    TransitionIris,                       // 0
    TransitionLineJitter,                 // 1
    TransitionLineJitter2,                // 2
    TransitionMosaic,                     // 3
    TransitionInterlaceFade,              // 4
    TransitionBlindsRight,                // 5
    TransitionBlindsLeft,                 // 6
    TransitionBlindsDown,                 // 7
    TransitionBlindsUp,                   // 8
    TransitionOpenFromVerticalCentre,     // 9
    TransitionCloseFromSides,             // 10
    TransitionOpenFromHorizontalCentre,   // 11
    TransitionCloseFromTopBottom,         // 12
    TransitionBoxOpen,                    // 13
    TransitionCornerGrow,                 // 14
    TransitionDither,                     // 15
    TransitionWaveSwirlZoom,              // 16
    TransitionWaveSwirlBlend,             // 17
    TransitionWaveSwirlIn,                // 18
    TransitionWaveScatterIn,              // 19
    TransitionWaveScatterOut,             // 20
    TransitionWaveTileSwirl,              // 21
    TransitionWaveRows,                   // 22
    TransitionWaveRowsOpposite,           // 23
    TransitionWaveRowsBlend,              // 24
    TransitionWaveRowsSplit,              // 25
    TransitionRaggedWipe,                 // 26
    TransitionRaggedWipeColumns,          // 27
    TransitionSmearDown,                  // 28
    TransitionSmearRight,                 // 29
    TransitionBlindsFromCentre,           // 30
    TransitionBlindsFromEdges,            // 31
    TransitionRuleBlend,                  // 32
    TransitionZoomIn,                     // 33
    TransitionZoomInBlend,                // 34
    TransitionZoomOut,                    // 35
    TransitionRipple,                     // 36
    TransitionNegativeInterlace,          // 37
    TransitionMosaicIn,                   // 38
    TransitionCrossFade,                  // 39
    TransitionRuleWipe,                   // 40
    TransitionRuleWipe,                   // 41
    TransitionRuleWipe,                   // 42
    TransitionRuleWipe,                   // 43
    TransitionRuleWipe,                   // 44
    TransitionRuleWipe,                   // 45
    TransitionRuleWipe,                   // 46
    TransitionRuleWipe,                   // 47
    TransitionRuleWipe,                   // 48
    TransitionRuleWipe,                   // 49
    TransitionRuleWipe,                   // 50
    TransitionRuleWipe,                   // 51
    TransitionRuleWipe,                   // 52
    TransitionRuleWipe,                   // 53
    TransitionRuleWipe,                   // 54
    TransitionRuleWipe,                   // 55
    TransitionRuleWipe,                   // 56
    TransitionRuleWipe,                   // 57
    TransitionRuleWipe,                   // 58
    TransitionRuleWipe,                   // 59
    TransitionRaggedWipeLeft,             // 60
    TransitionRaggedWipeUp,               // 61
    TransitionSoftWipeRight,              // 62
    TransitionSoftWipeLeft,               // 63
    TransitionSoftWipeDown,               // 64
    TransitionSoftWipeUp,                 // 65
    TransitionSoftWipeOpenVertical,       // 66
    TransitionSoftWipeOpenHorizontal,     // 67
    TransitionBlend,                      // 68
    TransitionRuleWipe,                   // 69
    TransitionRuleWipe,                   // 70
    TransitionShapeTriangleDown,          // 71
    TransitionShapeTriangleUp,            // 72
    TransitionGreyBlend,                  // 73
    TransitionShapeDiagonal,              // 74
    TransitionShapeDiagonalOther,         // 75
    TransitionShapeDiagonalQuarters,      // 76
    TransitionShapeDiagonalQuartersOther, // 77
    TransitionBands,                      // 78
    TransitionBandsVertical,              // 79
};

int DrawTransition(int effect, CDib* dst, CDib* a, CDib* b, int dx, int dy, int sx, int sy, int w,
                   int h, int p, int flag) {
    // The script passes its own byte here; an unknown number is drawn as the
    // plain cross-fade rather than jumping through a wild table entry.
    if (effect < 0 || effect >= kTransitionCount) effect = kCrossFadeEffect;
    const TransitionArgs args{dst, a, b, dx, dy, sx, sy, w, h, p, flag};
    return g_transitionFuncs[static_cast<std::size_t>(effect)](args);
}
