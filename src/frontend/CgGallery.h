// The CG gallery (mode 15), the first extras room: the event pictures the
// player has seen in the story, twenty thumbnails a page on three pages; a
// seen picture opens full screen and steps through its seen variants, and
// one larger than the screen is dragged about with the left button held.
#pragma once

#include "frontend/PictureView.h"
#include "platform/Platform.h"

#include <array>
#include <cstdint>
#include <memory>

class CCgGallery : public frontend::PictureRoom {
public:
    static constexpr int kCells = 20;
    static constexpr int kPages = 3;

    CCgGallery();
    ~CCgGallery() {}

    void Run(platform::WindowHandle window);
    void Open(platform::WindowHandle window);
    void Input(platform::WindowHandle window);
    void Leave(platform::WindowHandle window);
    void ShowPicture(platform::WindowHandle window);
    void BackFlash(platform::WindowHandle window);
    void DrawPage(platform::WindowHandle window);

    // 0 Open, 1 fade-in, 2 Input, 4 Leave, 5 fade to the picture, 6
    // ShowPicture, 7 fade back to the page, 8 BackFlash, 9 DrawPage.
    // HoverCell: 1..20 of a seen cell.
    std::uint8_t HoverPage = 0; // 1..3, 0 none or the page shown
    std::uint8_t PrevHoverPage = 0;
    std::uint8_t HoverTab = 0; // 2, 3 the other rooms, 4 back; 0 none
    std::uint8_t PrevHoverTab = 0;
    std::int8_t Page = 0;
    std::array<platform::Rect, kCells> CellRects{};
    std::array<platform::Rect, kPages> PageRects{};
    std::array<platform::Rect, 4> TabRects{};
    std::array<std::uint8_t, kCells> SeenCount{};
    // The column after the variant on screen, where the next search starts.
    std::int32_t VariantCursor = 0;

private:
    void ComposePage();
    void DrawThumbnails(CDib* dst) const;
    void RedrawCells();
    void RedrawPageButtons();
    // Opens the next seen variant of the hovered cell's row from
    // VariantCursor on; closes the view when none is left.
    void NextVariant(frontend::PictureView::From from);
    void CloseView();
    void Drag();
};

// Surfaces: cdib[0] the screen before entry; cdib[1] the page as composed;
// cdib[2] the button sheet; cdib[3] the page background, clean; cdib[4] the
// thumbnails; cdib[5] to cdib[8] the picture view (PictureView.h); cdib[9]
// the digits sheet; cdib[10] the hover frame. Leaving frees cdib[1] to
// cdib[10].
extern std::unique_ptr<CCgGallery> g_cgGallery;
