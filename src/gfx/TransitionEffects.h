// The effect functions behind g_transitionFuncs, grouped by family, and the
// helpers they share. Only the transition sources include this.
#pragma once

#include "gfx/Dib.h"
#include "gfx/Transition.h"
#include "gfx/TransitionBlit.h"

#include <array>
#include <cstdint>
#include <initializer_list>

namespace transition_detail {

using transition_blit::Rect;

// The screen rectangle the fixed-size effects work on.
inline Rect ScreenArea() {
    return {0, 0, 800, 600};
}
inline Rect ArgsArea(const TransitionArgs& t) {
    return Rect::Xywh(t.dx, t.dy, t.w, t.h);
}
// The rectangle of the size of the arguments at the top left.
inline Rect OriginArea(const TransitionArgs& t) {
    return Rect::Xywh(0, 0, t.w, t.h);
}

// The last step of many effects at full progress: A copied over the rectangle.
void CopyA(const TransitionArgs& t, const Rect& clip);

// Weights of one call: tA[i] = (i * p) >> 8, tB[i] = (i * (256 - p)) >> 8.
struct WeightTables {
    std::array<std::int32_t, 256> a{};
    std::array<std::int32_t, 256> b{};
    explicit WeightTables(std::int64_t p);
};

// Pointer to pixel (x, y), null outside the surface (or for a null surface).
// The writable form counts as drawing all of dst (CDibRenderer::TakeDrawn).
inline std::uint32_t* Pixel(CDib* dib, std::int64_t x, std::int64_t y) {
    if (!dib || x < 0 || y < 0 || x > 0xFFFF || y > 0xFFFF) return nullptr;
    return dib->GetPixelPtr(static_cast<int>(x), static_cast<int>(y));
}
inline const std::uint32_t* Pixel(const CDib* dib, std::int64_t x, std::int64_t y) {
    if (!dib || x < 0 || y < 0 || x > 0xFFFF || y > 0xFFFF) return nullptr;
    return dib->GetPixelPtr(static_cast<int>(x), static_cast<int>(y));
}

using transition_blit::MulSat;

// Byte c (0 blue, 1 green, 2 red, 3 fourth) of a pixel word.
inline std::uint32_t Byte(std::uint32_t px, int c) {
    return (px >> (8 * c)) & 0xFF;
}
// The pixel with its three colour bytes replaced and the fourth kept.
inline std::uint32_t WithColour(std::uint32_t px, std::uint32_t b0, std::uint32_t b1,
                                std::uint32_t b2) {
    return (px & 0xFF000000u) | (b2 << 16) | (b1 << 8) | b0;
}

// Rows of a rectangle of size (w, h) that lie inside every surface when
// read or written at the given offsets: for each surface an origin; the
// result is the range of rectangle offsets (x0..x1, y0..y1) for which all
// pixels exist and lie inside the clip.
struct Span {
    std::int64_t x0 = 0, x1 = 0, y0 = 0, y1 = 0;
    bool Empty() const { return x0 >= x1 || y0 >= y1; }
};
struct Placed {
    const CDib* dib;
    std::int64_t x, y;
};
Span CommonSpan(std::int64_t w, std::int64_t h, std::initializer_list<Placed> surfaces,
                const Rect& dstClip, std::int64_t dstX, std::int64_t dstY);

// Geometric wipes.
int TransitionIris(const TransitionArgs& t);
int TransitionBlindsRight(const TransitionArgs& t);
int TransitionBlindsLeft(const TransitionArgs& t);
int TransitionBlindsDown(const TransitionArgs& t);
int TransitionBlindsUp(const TransitionArgs& t);
int TransitionOpenFromVerticalCentre(const TransitionArgs& t);
int TransitionCloseFromSides(const TransitionArgs& t);
int TransitionOpenFromHorizontalCentre(const TransitionArgs& t);
int TransitionCloseFromTopBottom(const TransitionArgs& t);
int TransitionBoxOpen(const TransitionArgs& t);
int TransitionCornerGrow(const TransitionArgs& t);
int TransitionRaggedWipe(const TransitionArgs& t);
int TransitionRaggedWipeColumns(const TransitionArgs& t);
int TransitionSmearDown(const TransitionArgs& t);
int TransitionSmearRight(const TransitionArgs& t);
int TransitionBlindsFromCentre(const TransitionArgs& t);
int TransitionBlindsFromEdges(const TransitionArgs& t);
int TransitionZoomIn(const TransitionArgs& t);
int TransitionZoomInBlend(const TransitionArgs& t);
int TransitionZoomOut(const TransitionArgs& t);
int TransitionRaggedWipeLeft(const TransitionArgs& t);
int TransitionRaggedWipeUp(const TransitionArgs& t);
int TransitionShapeTriangleDown(const TransitionArgs& t);
int TransitionShapeTriangleUp(const TransitionArgs& t);
int TransitionShapeDiagonal(const TransitionArgs& t);
int TransitionShapeDiagonalOther(const TransitionArgs& t);
int TransitionShapeDiagonalQuarters(const TransitionArgs& t);
int TransitionShapeDiagonalQuartersOther(const TransitionArgs& t);
int TransitionBands(const TransitionArgs& t);
int TransitionBandsVertical(const TransitionArgs& t);

// Blending transitions.
int TransitionMosaic(const TransitionArgs& t);
int TransitionInterlaceFade(const TransitionArgs& t);
int TransitionDither(const TransitionArgs& t);
int TransitionRuleBlend(const TransitionArgs& t);
int TransitionNegativeInterlace(const TransitionArgs& t);
int TransitionMosaicIn(const TransitionArgs& t);
int TransitionCrossFade(const TransitionArgs& t);
int TransitionRuleWipe(const TransitionArgs& t);
int TransitionSoftWipeRight(const TransitionArgs& t);
int TransitionSoftWipeLeft(const TransitionArgs& t);
int TransitionSoftWipeDown(const TransitionArgs& t);
int TransitionSoftWipeUp(const TransitionArgs& t);
int TransitionSoftWipeOpenVertical(const TransitionArgs& t);
int TransitionSoftWipeOpenHorizontal(const TransitionArgs& t);
int TransitionBlend(const TransitionArgs& t);
int TransitionGreyBlend(const TransitionArgs& t);

// Distortion transitions.
int TransitionLineJitter(const TransitionArgs& t);
int TransitionLineJitter2(const TransitionArgs& t);
int TransitionWaveSwirlZoom(const TransitionArgs& t);
int TransitionWaveSwirlBlend(const TransitionArgs& t);
int TransitionWaveSwirlIn(const TransitionArgs& t);
int TransitionWaveScatterIn(const TransitionArgs& t);
int TransitionWaveScatterOut(const TransitionArgs& t);
int TransitionWaveTileSwirl(const TransitionArgs& t);
int TransitionWaveRows(const TransitionArgs& t);
int TransitionWaveRowsOpposite(const TransitionArgs& t);
int TransitionWaveRowsBlend(const TransitionArgs& t);
int TransitionWaveRowsSplit(const TransitionArgs& t);
int TransitionRipple(const TransitionArgs& t);

} // namespace transition_detail
