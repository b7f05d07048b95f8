// A picture opened full screen from an extras page (the CG gallery and the
// wallpaper room): placed in the middle when it fits, shown from its top or
// left edge where it is larger than the screen, cross-faded in from the page
// and back out to it.
//
// Surfaces: cdib[5] the picture as loaded, cdib[6] the view (black with the
// picture's visible part), cdib[7] the screen the fade-in starts from, and
// cdib[8] the page kept for the way back. The room frees them when it leaves.
#pragma once

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

} // namespace frontend
