// Small surface helpers shared by the script object's files. The caller owns
// what they return.
#pragma once

#include "data/PathTable.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"

#include <memory>

namespace scenario_surfaces {

// The folder of a data kind (kDataBmp, kDataSystem, ...), with its separator.
inline std::string Folder(int kind) {
    return g_pathTable ? g_pathTable->GetPath(kind) : CPathTable().GetPath(kind);
}

inline std::unique_ptr<CDib> NewSurface(platform::WindowHandle window, int width, int height) {
    auto dib = std::make_unique<CDib>();
    dib->Create(window, width, height, 24);
    return dib;
}

// A new 800x600 surface holding a copy of `source` (black without one).
inline std::unique_ptr<CDib> ScreenCopyOf(platform::WindowHandle window, const CDib* source) {
    auto dib = NewSurface(window, 800, 600);
    dib->FillRect(0, 0, 800, 600, 0);
    if (source) BltCopy(dib.get(), 0, 0, source, 0, 0, 800, 600);
    return dib;
}

// A new 800x600 surface filled with `colour`.
inline std::unique_ptr<CDib> ScreenFilled(platform::WindowHandle window, std::uint32_t colour) {
    auto dib = NewSurface(window, 800, 600);
    dib->FillRect(0, 0, 800, 600, colour);
    return dib;
}

// Copies the pixels of `src` into `dst` (made black and 800x600 first when
// absent), so two surfaces never share pixels.
inline void CopyScreenInto(platform::WindowHandle window, std::unique_ptr<CDib>& dst,
                           const CDib* src) {
    if (!dst) dst = ScreenFilled(window, 0);
    if (src)
        BltCopy(dst.get(), 0, 0, src, 0, 0, 800, 600);
    else
        dst->FillRect(0, 0, 800, 600, 0);
}

} // namespace scenario_surfaces
