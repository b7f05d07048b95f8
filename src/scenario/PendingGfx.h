// Stand-ins for the surface blits and the glyph font until they land.
#pragma once

#include "gfx/Dib.h"

inline bool BltCopy(CDib*, int, int, const CDib*, int, int, int, int) { return true; }
inline bool BltAlpha(CDib*, int, int, const CDib*, int, int, int, int) { return true; }
inline bool BltStretchBlend(CDib*, int, int, int, int, const CDib*, int, int, int, int, int, int) { return true; }
inline bool BltStretchAlphaBlend(CDib*, int, int, int, int, const CDib*, int, int, int, int, int) { return true; }
inline bool LoadDib(CDib&, platform::WindowHandle, const char*) { return false; }
inline int BitCount(const CDib&) { return 0; }
