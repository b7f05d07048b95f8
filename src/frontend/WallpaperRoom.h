// The wallpaper room (mode 72), opened from the two mini-game titles: ten
// wallpapers, one per guest picture of the CG gallery, available once the
// picture has been seen; the chosen one can be viewed full screen and
// exported in one of four screen sizes.
#pragma once

#include "frontend/PictureView.h"
#include "platform/Platform.h"

#include <array>
#include <cstdint>
#include <memory>

class CWallpaperRoom : public frontend::PictureRoom {
public:
    static constexpr int kCells = 10;
    static constexpr int kButtons = 6;

    CWallpaperRoom();
    ~CWallpaperRoom() {}

    void Run(platform::WindowHandle window);
    void Open(platform::WindowHandle window);
    void Input(platform::WindowHandle window);
    void Leave(platform::WindowHandle window);
    void ShowPicture(platform::WindowHandle window);

    // 0 Open, 1 fade-in, 2 Input, 4 Leave, 5 fade to the picture, 6
    // ShowPicture, 7 fade back. HoverCell: 1..10 of an available cell.
    std::uint8_t HoverButton = 0; // 1 preview, 2..5 the sizes, 6 back
    std::uint8_t PrevHoverButton = 0;
    std::array<platform::Rect, kCells> CellRects{};
    std::array<platform::Rect, kButtons> ButtonRects{};
    std::array<std::uint8_t, kCells> Available{};
    std::uint8_t Selected = 0;
    std::uint8_t SelectedCell = 0; // 1..10
    std::uint8_t SizeIndex = 0;

private:
    void DrawButtonLit(std::uint8_t button);
    void RestoreButton(std::uint8_t button);
    void Select(int cell);
};

// Surfaces: cdib[0] the screen before entry, and at the way out the room's
// last picture; cdib[1] the page (background, thumbnails, the chosen
// sample); cdib[2] the button and label sheet; cdib[3] the large samples;
// cdib[4] the thumbnails; cdib[5] to cdib[8] the picture view
// (PictureView.h); cdib[10] the hover frame. Leaving frees cdib[1] to
// cdib[10].
extern std::unique_ptr<CWallpaperRoom> g_wallpaperRoom;
