#include "frontend/CgGallery.h"

#include "app/Config.h"
#include "app/GameApp.h"
#include "app/Input.h"
#include "frontend/ExtrasRoom.h"
#include "frontend/PictureView.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "scenario/CgNames.h"
#include "screenkit/ScreenKit.h"

#include <cstdio>

using namespace screenkit;
using frontend::PictureView;
using platform::Rect;
namespace extras = frontend::extras;

std::unique_ptr<CCgGallery> g_cgGallery;

namespace {

constexpr int kColumns = 5;
constexpr int kThumbWidth = 142;
constexpr int kThumbHeight = 106;
constexpr int kFrameWidth = 152;
constexpr int kFrameHeight = 116;
constexpr int kFrameInset = 5;
// Below the tab bar: the cells' area, restored whole when the hover moves.
constexpr int kCellsTop = 103;
constexpr int kPageButtonsLeft = 713;
constexpr int kPageButtonStep = 23;
constexpr int kPageButtonsTop = 22;

constexpr int kSheetSlot = 2;
constexpr int kCleanSlot = 3;
constexpr int kThumbSlot = 4;
constexpr int kFrameSlot = 10;

constexpr std::array<Picture, 3> kPictures{{
    {kSheetSlot, extras::kButtonSheet},
    {9, "system\\page0-9.bmp"},
    {kFrameSlot, "system\\cg_waku.bmp"},
}};

constexpr StateTable<CCgGallery, 10> kStates{
    &CCgGallery::Open,        &CCgGallery::FadeIn,
    &CCgGallery::Input,       nullptr,
    &CCgGallery::Leave,       &CCgGallery::FadeToPicture,
    &CCgGallery::ShowPicture, &CCgGallery::FadeBack,
    &CCgGallery::BackFlash,   &CCgGallery::DrawPage,
};

int CellX(int i) {
    return (i % kColumns) * 156 + 18;
}
int CellY(int i) {
    return (i / kColumns) * 119 + 121;
}

std::size_t RowOf(int page, int cell) {
    return static_cast<std::size_t>(page * CCgGallery::kCells + cell);
}

// A variant counts as seen when its flag is set and the table names it, so
// a damaged settings file cannot open a picture that has no name.
bool Seen(std::size_t row, std::size_t column) {
    return !g_cgNames[row][column].empty() &&
           g_config[config::kCgFlags + row * kCgColumns + column] != 0;
}

} // namespace

CCgGallery::CCgGallery() {
    for (int i = 0; i < kCells; ++i)
        CellRects[i] = Rect{CellX(i), CellY(i), CellX(i) + kThumbWidth, CellY(i) + kThumbHeight};
    for (int p = 0; p < kPages; ++p) {
        const int x = kPageButtonsLeft + kPageButtonStep * p;
        PageRects[p] = Rect{x, kPageButtonsTop, x + 23, 45};
    }
    TabRects = extras::kTabRects;
    if (g_gameApp) g_gameApp->screenRect = Rect{0, 0, kScreenWidth, kScreenHeight};
}

void CCgGallery::Run(platform::WindowHandle window) {
    RunState(*this, State, kStates, window);
}

void CCgGallery::Open(platform::WindowHandle) {
    CopyOfBackBuffer(0);
    LoadPictures(kPictures);
    ComposePage();
    extras::StartRoomMusic();
    HoverCell = PrevHoverCell = HoverPage = PrevHoverPage = HoverTab = PrevHoverTab = 0;
    Clock().Restart();
    State = 1;
}

void CCgGallery::ComposePage() {
    char name[32];
    std::snprintf(name, sizeof name, "system\\cg_base%02d.bmp", Page + 1);
    LoadSurface(kCleanSlot, name);
    std::snprintf(name, sizeof name, "system\\sam_cg%02d.bmp", Page + 1);
    LoadSurface(kThumbSlot, name);
    for (int i = 0; i < kCells; ++i) {
        int seen = 0;
        for (std::size_t column = 0; column < kCgColumns; ++column)
            seen += Seen(RowOf(Page, i), column) ? 1 : 0;
        SeenCount[i] = static_cast<std::uint8_t>(seen);
    }
    CDib* page = CopyOfSurface(1, Slot(kCleanSlot));
    DrawThumbnails(page);
    const CDib* sheet = Slot(kSheetSlot);
    for (int p = 0; p < kPages; ++p)
        BltAlpha(page, PageRects[p].left, kPageButtonsTop, sheet, kPageButtonStep * p, 180,
                 kPageButtonStep, 22);
    BltAlpha(page, PageRects[Page].left, kPageButtonsTop + 1, sheet, kPageButtonStep * Page, 203,
             kPageButtonStep, 23);
    extras::DrawTabs(page, sheet, extras::Room::Gallery);
}

void CCgGallery::DrawThumbnails(CDib* dst) const {
    for (int i = 0; i < kCells; ++i)
        if (SeenCount[i] != 0)
            BltCopy(dst, CellX(i), CellY(i), Slot(kThumbSlot), (i % kColumns) * kThumbWidth,
                    (i / kColumns) * kThumbHeight, kThumbWidth, kThumbHeight);
}

void CCgGallery::RedrawCells() {
    RestoreArea(Slot(kCleanSlot), 0, kCellsTop, kScreenWidth, kScreenHeight - kCellsTop);
    if (HoverCell != 0) {
        const int i = HoverCell - 1;
        BltAlpha(g_backBuffer.get(), CellX(i) - kFrameInset, CellY(i) - kFrameInset,
                 Slot(kFrameSlot), 0, 0, kFrameWidth, kFrameHeight);
    }
    DrawThumbnails(g_backBuffer.get());
    // The cells' area reaches into the foot of the tab bar: draw it again.
    extras::RedrawTabs(Slot(kCleanSlot), Slot(kSheetSlot), extras::Room::Gallery, HoverTab);
}

void CCgGallery::RedrawPageButtons() {
    RestoreArea(Slot(1), kPageButtonsLeft, kPageButtonsTop, kPageButtonStep * kPages, 24);
    if (HoverPage != 0) {
        const int p = HoverPage - 1;
        BltAlpha(g_backBuffer.get(), PageRects[p].left, kPageButtonsTop + 1, Slot(kSheetSlot),
                 kPageButtonStep * p, 203, kPageButtonStep, 23);
    }
}

void CCgGallery::Input(platform::WindowHandle) {
    PrevHoverCell = HoverCell;
    HoverCell = HitItem(CellRects);
    if (HoverCell != 0 && SeenCount[HoverCell - 1] == 0) HoverCell = 0;
    PrevHoverPage = HoverPage;
    HoverPage = HitItem(PageRects);
    if (HoverPage == Page + 1) HoverPage = 0;
    PrevHoverTab = HoverTab;
    HoverTab = extras::HitTab(extras::Room::Gallery);

    if (HoverCell != PrevHoverCell) RedrawCells();
    if (HoverPage != PrevHoverPage) RedrawPageButtons();
    if (HoverTab != PrevHoverTab)
        extras::RedrawTabs(Slot(kCleanSlot), Slot(kSheetSlot), extras::Room::Gallery, HoverTab);

    if (TakeClick()) {
        if (HoverPage != 0) {
            Page = static_cast<std::int8_t>(HoverPage - 1);
            State = 9;
        } else if (HoverCell != 0) {
            VariantCursor = 0; // every picture opens at its first seen variant
            NextVariant(PictureView::From::Page);
        } else if (HoverTab != 0) {
            if (extras::ClickTab(HoverTab, Clock()) == extras::TabClick::Back) {
                State = 8;
            } else {
                FreeSurfaces(1, 10);
                State = 0;
            }
        }
    } else if (TakeCancel()) {
        State = 4;
    }
}

void CCgGallery::NextVariant(PictureView::From from) {
    if (HoverCell == 0) {
        CloseView();
        return;
    }
    const std::size_t row = RowOf(Page, HoverCell - 1);
    std::size_t column = static_cast<std::size_t>(VariantCursor);
    while (column < kCgColumns && !Seen(row, column))
        ++column;
    if (column >= kCgColumns) {
        CloseView();
        return;
    }
    VariantCursor = static_cast<std::int32_t>(column + 1);
    View().Open(g_cgNames[row][column], from);
    DragLastX = DragLastY = DragX = DragY = 0;
    Clock().Restart();
    State = 5;
}

void CCgGallery::Drag() {
    if (!g_mouse->click) {
        // Released: the next drag starts from the view as it stands.
        DragLastX = DragLastY = 0;
        DragX = ViewSrcX;
        DragY = ViewSrcY;
        return;
    }
    if (DragLastX != 0 || DragLastY != 0) {
        // The picture follows the mouse: moving left shows more of its right.
        DragX += DragLastX - g_mouse->x;
        DragY += DragLastY - g_mouse->y;
    }
    DragLastX = g_mouse->x;
    DragLastY = g_mouse->y;
    View().ScrollTo(DragX, DragY);
}

void CCgGallery::ShowPicture(platform::WindowHandle) {
    if (TakeCancel()) {
        CloseView();
        return;
    }
    if (Scrollable) {
        Drag();
        return;
    }
    if (TakeClick()) NextVariant(PictureView::From::Picture);
}

void CCgGallery::CloseView() {
    View().Close();
    VariantCursor = 0;
    DragLastX = DragLastY = 0;
    Clock().Restart();
    State = 7;
}

void CCgGallery::BackFlash(platform::WindowHandle) {
    if (extras::BackFlashing(Clock(), Slot(kCleanSlot), Slot(kSheetSlot))) return;
    State = 4;
}

void CCgGallery::Leave(platform::WindowHandle) {
    State = 0;
    extras::LeaveExtras(1, 10);
}

void CCgGallery::DrawPage(platform::WindowHandle) {
    ComposePage();
    ShowWhole(Slot(1));
    HoverCell = PrevHoverCell = HoverPage = PrevHoverPage = HoverTab = PrevHoverTab = 0;
    State = 2;
}
