// Blend-mode blits that work pixel by pixel without the renderer. Positions
// and sizes count as signed 16-bit values and the opacity by its low 16 bits.
// Each clips its rectangle to every image it touches, so a rectangle partly
// outside draws only the inside. The fourth byte of a destination pixel is
// kept unless said. Channels: S source, D destination, o opacity; sat(x) =
// min(255, x); shifts truncate.
#pragma once

#include "gfx/Dib.h"

// D := sat(D + (S*o >> 8)); the fourth byte of the destination and of the
// source pixel becomes 0. Opacity 0: false, nothing drawn; 256 and more:
// BltCopy.
bool BlendAdd(CDib* dst, int dx, int dy, CDib* src, int sx, int sy, int w, int h, int opacity);
// Both sources read at (sx, sy): D := sat(D + (A*o >> 8) + (B*o >> 8)).
// Opacity 256 and more: BltCopy of srcA.
bool BlendAdd2(CDib* dst, int dx, int dy, const CDib* srcA, const CDib* srcB, int sx, int sy, int w,
               int h, int opacity);
// D := ((S*D >> 8)*o >> 8) + (D*(255 - o) >> 8). Opacity 256 and more: BltCopy.
bool BlendMultiply(CDib* dst, int dx, int dy, const CDib* src, int sx, int sy, int w, int h,
                   int opacity);
// a = source alpha; a = 0 leaves the pixel; else D := ((((D*(255 - a)) >> 8)
// + (((S*a >> 8)*D) >> 8))*o >> 8) + (D*(255 - o) >> 8), o used as given
// (the channel keeps the low byte). False for opacity 0.
bool BlendMultiplyAlpha(CDib* dst, int dx, int dy, const CDib* src, int sx, int sy, int w, int h,
                        int opacity);
// a = 0 leaves the pixel; else D := sat(D + (((S*a >> 8)*o) >> 8)) and the
// destination's fourth byte := 0. The opacity counts as a signed 16-bit
// value: a negative one darkens, each channel stopping at 0. False for
// opacity 0.
bool BlendAddAlpha(CDib* dst, int dx, int dy, const CDib* src, int sx, int sy, int w, int h,
                   int opacity);
// S = 255: D := 255; else D := min(255, D*255 / (255 - S)); fourth byte of
// destination and source := 0. Opacity 0: false; 256 and more: BltCopy.
bool BlendDodge(CDib* dst, int dx, int dy, CDib* src, int sx, int sy, int w, int h, int opacity);

// Stretched forms: src's (sx, sy, sw, sh) onto dst's (dx, dy, dw, dh), the
// source sampled by the stretch walk of the renderers. Drawing stops at the
// 800x600 screen and at the destination's edges; source places outside the
// source image leave their pixel. False when the opacity is 0 or dw or dh is
// below 1.
// D := sat(D + S); fourth byte of destination and source := 0.
bool BlendAddStretch(CDib* dst, int dx, int dy, int dw, int dh, CDib* src, int sx, int sy, int sw,
                     int sh, int opacity);
// As BlendAddAlpha per pixel.
bool BlendAddAlphaStretch(CDib* dst, int dx, int dy, int dw, int dh, const CDib* src, int sx,
                          int sy, int sw, int sh, int opacity);
