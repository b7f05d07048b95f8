// Button rectangles under the mouse, the lit item and the clean page it is
// restored from, and the mouse's left and right flags.
//
// Hover is found each frame as the first rectangle that holds the mouse
// point, 1-based, 0 for none. When it changes, the item left is restored from
// a clean copy of the page and the new one drawn lit; what "lit" looks like
// is each screen's own.
#pragma once

#include "platform/Platform.h"

#include <cstdint>
#include <span>

class CDib;

namespace screenkit {

inline int RectWidth(const platform::Rect& r) {
    return r.right - r.left;
}
inline int RectHeight(const platform::Rect& r) {
    return r.bottom - r.top;
}

// PtInRect: left and top inside, right and bottom outside.
bool PointIn(const platform::Rect& r, int x, int y);
// The cursor is inside `r`.
bool MouseIn(const platform::Rect& r);
// The first rectangle under the mouse, 1-based; 0 for none.
std::uint8_t HitItem(std::span<const platform::Rect> rects);
// `previous` := `hover`; `hover` := the item under the mouse. True when the
// item changed.
bool TrackHover(std::uint8_t& hover, std::uint8_t& previous, std::span<const platform::Rect> rects);

// Copies the area (x, y, w, h) of the clean page into the back buffer at the
// same place: the item the mouse left loses its lit look.
void RestoreArea(const CDib* page, int x, int y, int w, int h);

// The left flag: true when it was set; it is cleared.
bool TakeClick();
// The right flag (back or cancel): true when it was set; it is cleared.
bool TakeCancel();
// Clears the left flag, so that a click that ended a step chooses nothing.
void ClearClick();
// Clears the left flag and the skip key.
void ClearClickAndSkip();

// The cursor glide: the pointer eases from (fromX, fromY) to (toX, toY)
// over 150 ms along a quarter cosine, `elapsed` ms after it started. True
// while it moves; when the time is up or the skip key is held the pointer
// stands on the target and it returns false.
bool GlideCursor(platform::WindowHandle window, std::uint32_t elapsed, int fromX, int fromY,
                 int toX, int toY);

// "要退出游戏吗？" with OK and Cancel; true for OK. The left flag is clear
// afterwards whatever the answer.
bool ConfirmQuit();

} // namespace screenkit
