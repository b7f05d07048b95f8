#include "frontend/MusicRoom.h"

#include "app/Config.h"
#include "app/GameApp.h"
#include "app/Input.h"
#include "frontend/ExtrasRoom.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "screenkit/ScreenKit.h"

using namespace screenkit;
namespace extras = frontend::extras;
using platform::Rect;

std::unique_ptr<CMusicRoom> g_musicRoom;

const std::array<const char*, CMusicRoom::kTracks> g_musicTracks{
    "bgm\\n001.ogg", "bgm\\n002.ogg", "bgm\\n003.ogg", "bgm\\n004.ogg", "bgm\\n005.ogg",
    "bgm\\n006.ogg", "bgm\\n007.ogg", "bgm\\n008.ogg", "bgm\\n009.ogg", "bgm\\c002.ogg",
    "bgm\\c003.ogg", "bgm\\c004.ogg", "bgm\\c005.ogg", "bgm\\c006.ogg", "bgm\\c007.ogg",
    "bgm\\c008.ogg", "bgm\\c009.ogg", "bgm\\c010.ogg", "bgm\\c011.ogg", "bgm\\c012.ogg",
    "bgm\\c013.ogg", "bgm\\c014.ogg", "bgm\\c015.ogg", "bgm\\c016.ogg", "bgm\\c017.ogg",
    "bgm\\c018.ogg", "bgm\\c019.ogg", "bgm\\c020.ogg", "bgm\\c022.ogg", "bgm\\c023.ogg",
    "bgm\\c027.ogg", "bgm\\p003.ogg", "bgm\\p004.ogg", "bgm\\p006.ogg", "bgm\\p007.ogg",
    "bgm\\p039.ogg",
};

namespace {

constexpr int kRowW = 367;
constexpr int kRowH = 37;
constexpr int kShadowW = 382;
constexpr int kShadowH = 53;
constexpr int kPlainLook = 0;
constexpr int kHoverLook = 37;
constexpr int kPlayingLook = 74;
constexpr int kControlW = 32;
constexpr int kControlH = 42;
constexpr int kControlLitX = 324;
constexpr int kPreviousPressedX = 324;
constexpr int kNextPressedX = 408;
constexpr int kPageButtonW = 23;
constexpr int kPageButtonH = 22;
constexpr int kDigitW = 8;
constexpr int kDigitH = 11;
constexpr std::uint32_t kFadeInMs = 1000;
constexpr std::uint8_t kPrevious = 1;
[[maybe_unused]] constexpr std::uint8_t kStop = 2;
constexpr std::uint8_t kNext = 3;

// Tracks locked until a script flag is set, and the flag of each.
constexpr std::array<std::array<int, 2>, 3> kLocks{{{0, 1}, {8, 3}, {30, 0}}};

constexpr std::array<Picture, 6> kPictures{{
    {1, "system\\music_base.bmp"},
    {2, extras::kButtonSheet},
    {4, "system\\music_drop.bmp"},
    {5, "system\\music_bar.bmp"},
    {6, "system\\music_name_02.bmp"},
    {7, "system\\page0-9.bmp"},
}};

constexpr StateTable<CMusicRoom, 6> kStates{
    &CMusicRoom::Open, &CMusicRoom::FadeIn, &CMusicRoom::Input,
    nullptr,           &CMusicRoom::Leave,  &CMusicRoom::BackFlash,
};

} // namespace

CMusicRoom::CMusicRoom() {
    for (int r = 0; r < kRows; ++r) {
        const int x = (r / 9) * 380 + 25;
        const int y = (r % 9) * 52 + 130;
        RowRects[r] = Rect{x, y, x + kRowW, y + kRowH};
    }
    PageRects = {Rect{657, 22, 680, 45}, Rect{680, 22, 703, 45}};
    TabRects = extras::kTabRects;
    ControlRects = {Rect{688, 46, 711, 88}, Rect{720, 46, 743, 88}, Rect{752, 46, 775, 88}};
    if (g_gameApp) g_gameApp->screenRect = Rect{0, 0, kScreenWidth, kScreenHeight};
}

bool CMusicRoom::Locked(int track) {
    for (const auto& [locked, flag] : kLocks)
        if (track == locked) return g_config[config::kScriptFlags + flag] == 0;
    return false;
}

void CMusicRoom::Run(platform::WindowHandle window) {
    RunState(*this, State, kStates, window);
}

void CMusicRoom::Open(platform::WindowHandle) {
    CopyOfBackBuffer(0);
    LoadPictures(kPictures);
    CopyOfSurface(3, Slot(1));
    DrawList(Slot(1));
    extras::StartRoomMusic();
    Clock().Restart();
    State = 1;
}

void CMusicRoom::FadeIn(platform::WindowHandle) {
    if (Fading(Clock(), Slot(1), Slot(0), kFadeInMs, Hurry::BySkip)) return;
    ClearClick();
    State = 2;
}

void CMusicRoom::DrawRow(CDib* target, int row, int look) {
    const int track = Page * kRows + row;
    const Rect& r = RowRects[row];
    BltAlpha(target, r.left, r.top, Slot(4), 0, 0, kShadowW, kShadowH);
    BltAlpha(target, r.left, r.top, Slot(5), 0, look, kRowW, kRowH);
    BltAlpha(target, r.left, r.top, Slot(6), (track / 9) * kRowW, (track % 9) * kRowH, kRowW,
             kRowH);
}

void CMusicRoom::DrawList(CDib* target) {
    BltCopy(target, 0, 0, Slot(3), 0, 0, kScreenWidth, kScreenHeight);
    extras::DrawTabs(target, Slot(2), extras::Room::Music);
    for (int row = 0; row < kRows && Page * kRows + row < kTracks; ++row)
        DrawRow(target, row, Page * kRows + row == CurrentTrack ? kPlayingLook : kPlainLook);
    for (int b = 0; b < 2; ++b)
        BltAlpha(target, PageRects[b].left, PageRects[b].top, Slot(2), kPageButtonW * b, 180,
                 kPageButtonW, kPageButtonH);
    BltAlpha(target, PageRects[Page].left, 23, Slot(2), kPageButtonW * Page, 203, kPageButtonW,
             kPageButtonH);
    BltAlpha(target, 755, 31, Slot(7), kDigitW * (Page + 1), 0, kDigitW, kDigitH);
    BltAlpha(target, 772, 31, Slot(7), kDigitW * 2, 0, kDigitW, kDigitH);
}

void CMusicRoom::RedrawRow(std::uint8_t row, int look) {
    if (row == 0 || Page * kRows + row - 1 == CurrentTrack) return;
    const Rect& r = RowRects[row - 1];
    RestoreArea(Slot(3), r.left, r.top, kShadowW, kShadowH);
    DrawRow(g_backBuffer.get(), row - 1, look);
}

void CMusicRoom::DrawControl(std::uint8_t control, bool lit) {
    if (control == 0) return;
    const Rect& r = ControlRects[control - 1];
    if (lit)
        BltAlpha(g_backBuffer.get(), r.left, r.top, Slot(2), kControlLitX,
                 22 + kControlH * (control - 1), kControlW, kControlH);
    else
        RestoreArea(Slot(3), r.left, r.top, kControlW, kControlH);
}

void CMusicRoom::PlayTrack(int track) {
    CurrentTrack = static_cast<std::int8_t>(track);
    // With music switched off the mark still moves; nothing sounds.
    if (g_config[config::kMusicOff] == 1) return;
    StartMusic(g_musicTracks[track]);
    SetMusicName(g_musicTracks[track]);
}

void CMusicRoom::StepTo(int track, int buttonSourceX) {
    PlayTrack(track);
    DrawList(g_backBuffer.get());
    const Rect& r = ControlRects[HoverControl - 1];
    BltAlpha(g_backBuffer.get(), r.left, r.top, Slot(2), buttonSourceX, 22, kControlW, kControlH);
}

void CMusicRoom::Input(platform::WindowHandle window) {
    PrevHoverRow = HoverRow;
    HoverRow = HitItem(RowRects);
    if (HoverRow != 0) {
        const int track = Page * kRows + HoverRow - 1;
        if (track >= kTracks || Locked(track)) HoverRow = 0;
    }
    PrevHoverPage = HoverPage;
    HoverPage = HitItem(PageRects);
    if (HoverPage == Page + 1) HoverPage = 0;
    PrevHoverTab = HoverTab;
    HoverTab = extras::HitTab(extras::Room::Music);
    PrevHoverControl = HoverControl;
    HoverControl = HitItem(ControlRects);

    if (HoverRow != PrevHoverRow) {
        RedrawRow(PrevHoverRow, kPlainLook);
        RedrawRow(HoverRow, kHoverLook);
    }
    if (HoverControl != PrevHoverControl) {
        DrawControl(PrevHoverControl, false);
        DrawControl(HoverControl, true);
    }
    if (HoverTab != PrevHoverTab)
        extras::RedrawTabs(Slot(3), Slot(2), extras::Room::Music, HoverTab);

    if (HoverPage != 0 && TakeClick()) {
        Page = static_cast<std::int8_t>(HoverPage - 1);
        HoverPage = 0;
        HoverRow = 0;
        DrawList(g_backBuffer.get());
    } else if (HoverRow != 0 && TakeClick()) {
        PlayTrack(Page * kRows + HoverRow - 1);
        DrawList(g_backBuffer.get());
    } else if (HoverControl != 0 && TakeClick()) {
        int t = CurrentTrack;
        if (HoverControl == kPrevious) {
            --t;
            if (t == 0 && Locked(0)) t = -1;
            if (t == 8 && Locked(8)) t = 7;
            if (t == 30 && Locked(30)) t = 29;
            if (t < 0) t = kTracks - 1;
            Page = t >= kRows ? 1 : 0;
            StepTo(t, kPreviousPressedX);
        } else if (HoverControl == kNext) {
            t = (t + 1) % kTracks;
            Page = t >= kRows ? 1 : 0;
            if (t == 0 && Locked(0)) t = 1;
            if (t == 8 && Locked(8)) t = 9;
            if (t == 30 && Locked(30)) t = 31;
            StepTo(t, kNextPressedX);
        } else {
            // The mark stays on the track that was playing.
            StopMusic();
            FreeMusicName();
        }
        ClearClick();
        HoverControl = 0;
    } else if (HoverTab != 0 && TakeClick()) {
        if (extras::ClickTab(HoverTab, Clock()) == extras::TabClick::Left) {
            FreeSurfaces(1, 7);
            State = 0;
            return;
        }
        State = 5;
    } else if (TakeCancel()) {
        CopyOfBackBuffer(0);
        State = 4;
        Leave(window);
    }
}

void CMusicRoom::BackFlash(platform::WindowHandle window) {
    if (extras::BackFlashing(Clock(), Slot(3), Slot(2))) return;
    State = 4;
    Leave(window);
}

void CMusicRoom::Leave(platform::WindowHandle) {
    State = 0;
    extras::LeaveExtras(1, 7);
}
