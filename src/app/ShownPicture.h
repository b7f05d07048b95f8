// The picture the window shows, as last handed to the platform. Each paint
// compares the new picture with it row by row (only where something was
// drawn, when the caller knows that) and takes over only what differs, so a frame that changed
// nothing is not presented again and a small change (a wait icon, a lit button) uploads a small
// rectangle.
#pragma once

#include "platform/Platform.h"

#include <cstdint>
#include <span>
#include <vector>

class CShownPicture {
public:
    CShownPicture();

    // Takes over the pixels of `rows` (800x600, rows `pitch` words apart,
    // top row first) that differ from the shown picture and returns the
    // rectangle that bounds them: empty when nothing changed, the whole
    // picture on the first call after Forget.
    platform::Rect Update(const std::uint32_t* rows, int pitch);
    // The same where only `drawn` may differ from the shown picture (the
    // rest is known to be as shown): only that part is compared.
    platform::Rect Update(const std::uint32_t* rows, int pitch, const platform::Rect& drawn);
    // True when `rows` are the shown picture, pixel for pixel.
    bool Shows(const std::uint32_t* rows, int pitch) const;
    // The window no longer shows this picture (a new window, another
    // picture put over it): the next Update reports everything.
    void Forget() { known_ = false; }
    // The shown picture, 800x600, top row first; owned here.
    std::span<const std::uint32_t> Pixels() const { return pixels_; }

private:
    std::vector<std::uint32_t> pixels_;
    bool known_ = false;
};
