// A picture opened full screen from an extras page (the CG gallery and the
// wallpaper room): placed in the middle when it fits, shown from its top or
// left edge where it is larger than the screen, cross-faded in from the page
// and back out to it.
//
// Surfaces: cdib[5] the picture as loaded, cdib[6] the view (black with the
// picture's visible part), cdib[7] the screen the fade-in starts from, and
// cdib[8] the page kept for the way back. The room frees them when it leaves.
#pragma once

#include "platform/Platform.h"
#include "screenkit/Steps.h"

#include <cstdint>
#include <string_view>

namespace frontend {

inline constexpr int kViewPictureSlot = 5;
inline constexpr int kViewSlot = 6;
inline constexpr int kViewFromSlot = 7;
inline constexpr int kViewPageSlot = 8;
inline constexpr std::uint32_t kViewFadeMs = 500;

// A view of the screen's own placement fields.
struct PictureView {
    std::uint8_t& scrollable;
    std::int32_t& destX;
    std::int32_t& destY;
    std::int32_t& srcX;
    std::int32_t& srcY;
    std::int32_t& width;
    std::int32_t& height;

    // Loads "bmp\<name>", places it and composes the view. The screen as it
    // stands is what the fade starts from; opened from the page, it is also
    // kept as the page to come back to.
    enum class From : std::uint8_t { Page, Picture };
    void Open(std::string_view name, From from);
    // The picture's visible part from (x, y) of its own, clamped to its
    // size, drawn into the back buffer.
    void ScrollTo(std::int32_t x, std::int32_t y);
    // The screen as it stands becomes the picture the way back fades from.
    void Close();
};

// What the two rooms that open a picture full screen (the CG gallery and
// the wallpaper room) keep alike: their state byte, the hovered cell, the
// timing, the view's placement and drag, and the states of the view's
// fades. State 1 fades the composed page (cdib[1]) in from cdib[0] and 5
// fades the opened picture in, 7 fades the view back out to the page; 1
// and 7 go on to the room's input state 2, 5 to its view state 6.
struct PictureRoom {
    std::uint8_t State = 0;
    std::uint8_t HoverCell = 0; // 1.. of a cell that can be opened, 0 none
    std::uint8_t PrevHoverCell = 0;
    std::uint8_t Scrollable = 0;
    std::int32_t DragLastX = 0; // both 0: no drag runs
    std::int32_t DragLastY = 0;
    std::int32_t DragX = 0;
    std::int32_t DragY = 0;
    std::uint32_t StartTime = 0;
    std::uint32_t Elapsed = 0;
    std::int32_t ViewDestX = 0;
    std::int32_t ViewDestY = 0;
    std::int32_t ViewSrcX = 0;
    std::int32_t ViewSrcY = 0;
    std::int32_t ViewWidth = 0;
    std::int32_t ViewHeight = 0;

    void FadeIn(platform::WindowHandle window);
    void FadeToPicture(platform::WindowHandle window);
    void FadeBack(platform::WindowHandle window);

protected:
    screenkit::StepClock Clock() { return {StartTime, Elapsed}; }
    PictureView View() {
        return {Scrollable, ViewDestX, ViewDestY, ViewSrcX, ViewSrcY, ViewWidth, ViewHeight};
    }
};

} // namespace frontend
