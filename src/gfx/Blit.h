// The blit functions screens call: a destination, a position, a source and a
// source rectangle given as (sx, sy, w, h). They build the rectangle and size
// records and hand the work to the destination's renderer, which clips to the
// destination and draws nothing when the source rectangle reaches outside its
// image. Opacity and alpha arguments count by their low 16 bits. Every one
// returns true, also when nothing was drawn.
#pragma once

#include "gfx/Dib.h"

// Plain copy (unscaled).
bool BltCopy(CDib* dst, int dx, int dy, const CDib* src, int sx, int sy, int w, int h);
bool BltCopyTwin(CDib* dst, int dx, int dy, const CDib* src, int sx, int sy, int w, int h);
// Copies every source pixel except those equal to the source's colour key
// (all four bytes compared: pure green with a zero fourth byte by default).
bool BltColorKey(CDib* dst, int dx, int dy, const CDib* src, int sx, int sy, int w, int h);
// Per-pixel alpha from the source's fourth byte.
bool BltAlpha(CDib* dst, int dx, int dy, const CDib* src, int sx, int sy, int w, int h);
// Opacity 0: nothing; 1..254: per-pixel alpha times the opacity; 255 and
// more: BltAlpha.
bool BltAlphaBlend(CDib* dst, int dx, int dy, const CDib* src, int sx, int sy, int w, int h,
                   int opacity);
// As BltAlphaBlend, stretched to (dw, dh).
bool BltStretchAlphaBlend(CDib* dst, int dx, int dy, int dw, int dh, const CDib* src, int sx,
                          int sy, int sw, int sh, int opacity);
// Stretched plain copy.
bool BltStretch(CDib* dst, int dx, int dy, int dw, int dh, const CDib* src, int sx, int sy, int sw,
                int sh);
// Alpha 0: nothing; 1..255: constant blend (255 is not a copy); 256 and
// more: stretched copy. `reserved` is not read.
bool BltStretchBlend(CDib* dst, int dx, int dy, int dw, int dh, const CDib* src, int reserved,
                     int sx, int sy, int sw, int sh, int alpha);
// Copies base's rectangle to (dx, dy) when base is given, then cross-fades
// over onto dst: dst's own rectangle at (sx, sy) is copied to (dx, dy) and
// over's rectangle blended onto it with alpha.
void BltOverBlend(CDib* dst, int dx, int dy, const CDib* over, const CDib* base, int sx, int sy,
                  int w, int h, int alpha);
// The colour negative: dst blue, green, red := 255 minus src's; the fourth
// byte of both the destination and the source pixel becomes 0. Clipped to
// both images.
bool BltCopyBytes(CDib* dst, int dx, int dy, CDib* src, int sx, int sy, int w, int h);
// Draws nothing.
bool BltNothing(CDib* dst, int dx, int dy, const CDib* src, int sx, int sy, int w, int h);
