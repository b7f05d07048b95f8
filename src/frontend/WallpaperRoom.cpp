#include "frontend/WallpaperRoom.h"

#include "app/Config.h"
#include "app/GameApp.h"
#include "frontend/ExtrasRoom.h"
#include "frontend/PictureView.h"
#include "frontend/WallpaperExport.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "scenario/CgNames.h"
#include "screenkit/ScreenKit.h"

using namespace screenkit;
using frontend::PictureView;
using platform::Rect;

std::unique_ptr<CWallpaperRoom> g_wallpaperRoom;

namespace {

constexpr int kColumns = 5;
constexpr int kThumbWidth = 140;
constexpr int kThumbHeight = 104;
constexpr int kSampleWidth = 330;
constexpr int kSampleHeight = 248;
constexpr int kSampleX = 19;
constexpr int kSampleY = 325;
constexpr int kLabelWidth = 200;
constexpr int kLabelHeight = 30;
// The guest pictures' rows of the CG table.
constexpr std::size_t kFirstGuestRow = 34;

constexpr int kSheetSlot = 2;
constexpr int kSampleSlot = 3;
constexpr int kThumbSlot = 4;

constexpr std::uint8_t kPreview = 1;
constexpr std::uint8_t kFirstSize = 2;
constexpr std::uint8_t kBack = 6;

constexpr std::array<Picture, 5> kPictures{{
    {1, "system\\wall_base.bmp"},
    {kSheetSlot, "system\\wall_p.bmp"},
    {kSampleSlot, "system\\wall_sam_b.bmp"},
    {kThumbSlot, "system\\wall_sam_l.bmp"},
    {10, "system\\cg_waku.bmp"},
}};

constexpr StateTable<CWallpaperRoom, 8> kStates{
    &CWallpaperRoom::Open,        &CWallpaperRoom::FadeIn,
    &CWallpaperRoom::Input,       nullptr,
    &CWallpaperRoom::Leave,       &CWallpaperRoom::FadeToPicture,
    &CWallpaperRoom::ShowPicture, &CWallpaperRoom::FadeBack,
};

} // namespace

CWallpaperRoom::CWallpaperRoom() {
    for (int i = 0; i < kCells; ++i) {
        const int x = (i % kColumns) * 156;
        const int y = (i / kColumns) * 117;
        CellRects[i] = Rect{x + 17, y + 92, x + 159, y + 198};
    }
    ButtonRects = {Rect{18, 324, 350, 574},  Rect{406, 394, 734, 427}, Rect{406, 437, 734, 470},
                   Rect{406, 480, 734, 513}, Rect{406, 523, 734, 556}, Rect{727, 565, 792, 595}};
    if (g_gameApp) g_gameApp->screenRect = Rect{0, 0, kScreenWidth, kScreenHeight};
}

void CWallpaperRoom::Run(platform::WindowHandle window) {
    RunState(*this, State, kStates, window);
}

void CWallpaperRoom::Open(platform::WindowHandle) {
    CopyOfBackBuffer(0);
    LoadPictures(kPictures);
    for (int i = 0; i < kCells; ++i) {
        const std::size_t row = kFirstGuestRow + static_cast<std::size_t>(i);
        int seen = 0;
        for (std::size_t column = 0; column < kCgColumns; ++column)
            seen += g_config[config::kCgFlags + row * kCgColumns + column] != 0 ? 1 : 0;
        Available[i] = static_cast<std::uint8_t>(seen);
        if (seen != 0)
            BltCopy(Slot(1), CellRects[i].left + 1, CellRects[i].top + 1, Slot(kThumbSlot),
                    (i % kColumns) * kThumbWidth, (i / kColumns) * kThumbHeight, kThumbWidth,
                    kThumbHeight);
    }
    frontend::extras::StartRoomMusic();
    HoverCell = PrevHoverCell = HoverButton = PrevHoverButton = 0;
    Selected = SelectedCell = SizeIndex = 0;
    Clock().Restart();
    State = 1;
}

void CWallpaperRoom::DrawButtonLit(std::uint8_t button) {
    const Rect& r = ButtonRects[button - 1];
    CDib* screen = g_backBuffer.get();
    if (button == kBack) {
        BltAlpha(screen, r.left, r.top, Slot(kSheetSlot), 144, 0, 65, 30);
    } else if (Selected && button == kPreview) {
        BltAlpha(screen, r.left - 1, r.top - 1, Slot(kSheetSlot), 0, 108, 334, 252);
    } else if (Selected) {
        BltAlpha(screen, r.left, r.top, Slot(kSheetSlot), 334, 33 * (button - kFirstSize), 328, 33);
    }
}

void CWallpaperRoom::RestoreButton(std::uint8_t button) {
    const Rect& r = ButtonRects[button - 1];
    // The preview's lit frame stands one pixel outside its rectangle.
    const int grow = button == kPreview ? 1 : 0;
    RestoreArea(Slot(1), r.left - grow, r.top - grow, RectWidth(r) + 2 * grow,
                RectHeight(r) + 2 * grow);
}

void CWallpaperRoom::Select(int cell) {
    Selected = 1;
    SelectedCell = static_cast<std::uint8_t>(cell + 1);
    for (CDib* dst : {g_backBuffer.get(), Slot(1)}) {
        BltCopy(dst, kSampleX, kSampleY, Slot(kSampleSlot), (cell % kColumns) * kSampleWidth,
                (cell / kColumns) * kSampleHeight, kSampleWidth, kSampleHeight);
        BltCopy(dst, 380, 340, Slot(kSheetSlot), 334, SelectedCell * kLabelHeight + 102,
                kLabelWidth, kLabelHeight);
    }
}

void CWallpaperRoom::Input(platform::WindowHandle) {
    PrevHoverButton = HoverButton;
    HoverButton = HitItem(ButtonRects);
    PrevHoverCell = HoverCell;
    HoverCell = HitItem(CellRects);
    if (HoverCell != 0 && Available[HoverCell - 1] == 0) HoverCell = 0;

    if (HoverCell != PrevHoverCell) {
        if (PrevHoverCell != 0) {
            const Rect& r = CellRects[PrevHoverCell - 1];
            RestoreArea(Slot(1), r.left - 1, r.top - 1, 144, 108);
        }
        if (HoverCell != 0) {
            const Rect& r = CellRects[HoverCell - 1];
            BltAlpha(g_backBuffer.get(), r.left - 1, r.top - 1, Slot(kSheetSlot), 0, 0, 144, 108);
        }
    }
    if (HoverButton != PrevHoverButton) {
        if (PrevHoverButton != 0) RestoreButton(PrevHoverButton);
        if (HoverButton != 0) DrawButtonLit(HoverButton);
    }

    if (TakeClick()) {
        if (HoverCell != 0) {
            Select(HoverCell - 1);
            // The sample covers the preview button: light it again if the
            // mouse stands on it.
            if (HoverButton != 0) DrawButtonLit(HoverButton);
        } else if (HoverButton == kBack) {
            PlayClickSound();
            State = 4;
            Leave(platform::WindowHandle::Main);
        } else if (HoverButton == kPreview && Selected) {
            View().Open(frontend::WallpaperPicture(SelectedCell, 0), PictureView::From::Page);
            Clock().Restart();
            State = 5;
        } else if (HoverButton >= kFirstSize && HoverButton < kBack && Selected) {
            SizeIndex = static_cast<std::uint8_t>(HoverButton - kFirstSize);
            frontend::ExportWallpaper(SelectedCell, SizeIndex);
            SizeIndex = 0;
        }
    } else if (TakeCancel()) {
        State = 4;
    }
}

void CWallpaperRoom::ShowPicture(platform::WindowHandle) {
    if (!TakeClick() && !TakeCancel()) return;
    View().Close();
    Clock().Restart();
    State = 7;
}

void CWallpaperRoom::Leave(platform::WindowHandle) {
    CopyOfBackBuffer(0);
    // Unlike the other extras rooms, this one takes its music with it.
    StopScreenSounds();
    State = 0;
    frontend::extras::LeaveExtras(1, 10);
}
