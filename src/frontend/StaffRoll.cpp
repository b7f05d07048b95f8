#include "frontend/StaffRoll.h"

#include "app/Config.h"
#include "app/GameApp.h"
#include "app/Input.h"
#include "gfx/Blit.h"
#include "gfx/Dib.h"
#include "gfx/Transition.h"
#include "scenario/Scenario.h"
#include "screenkit/ScreenKit.h"
#include "sound/SoundChannel.h"

#include <algorithm>
#include <array>
#include <cstdio>

using namespace screenkit;
using Layout = StaffRollLayout;

std::unique_ptr<CStaffRoll1> g_staffRoll1;
std::unique_ptr<CStaffRoll2> g_staffRoll2;
std::unique_ptr<CStaffRoll3> g_staffRoll3;
std::unique_ptr<CStaffRoll4> g_staffRoll4;
std::unique_ptr<CStaffRoll5> g_staffRoll5;
std::unique_ptr<CStaffRoll6> g_staffRoll6;
std::unique_ptr<CStaffRoll7> g_staffRoll7;

namespace {

constexpr std::uint8_t kInterpreterMode = 2;
constexpr std::uint32_t kFirstWaitMs = 1500;
constexpr std::uint32_t kSecondWaitMs = 500;
constexpr std::uint32_t kBaseFadeMs = 1000;
constexpr std::uint32_t kMusicFadeMs = 3500;
constexpr std::uint32_t kCloseMs = 1000;
constexpr std::uint32_t kBarsMs = 1500;
constexpr int kBarHeight = 110;
// The seven backgrounds of the first roll: black hold, fade in, hold, fade out.
constexpr std::uint32_t kBlackHoldMs = 2000;
constexpr std::uint32_t kBackgroundFadeMs = 3500;
constexpr std::uint32_t kBackgroundHoldMs = 15000;
constexpr int kBackgroundCount = 7;
constexpr std::array<const char*, kBackgroundCount> kBackgrounds{
    "bmp\\bg02b.bmp", "bmp\\bg12b.bmp", "bmp\\bg05b.bmp", "bmp\\bg16b.bmp",
    "bmp\\bg20b.bmp", "bmp\\bg33b.bmp", "bmp\\bg13b.bmp",
};
// A sheet that ends by holding its last rows: from this far before the end
// of the travel only the rows above the last ones move, and those stand in
// the window until the end.
constexpr std::uint32_t kHoldBeforeEnd = 350;
constexpr std::uint32_t kHeldRows = 80;

using S = Layout::Scenery;
using E = Layout::Ending;
using B = Layout::Start;
using C = Layout::Close;

// clang-format off
constexpr std::array<Layout, 7> kRolls{{
    {"bgm045.ogg", "system\\s_r_font.bmp",   4550, 180000, 480, kBlack, B::Wait,       S::Backgrounds, nullptr,                  0,  0,  0,    0,     E::Scroll,   C::Letterbox,   0},
    {"c027.ogg",   "system\\s_r_font01.bmp", 3160, 115500, 240, kBlack, B::FadeAtOnce, S::Plain,       nullptr,                  0,  0,  0,    0,     E::Scroll,   C::FadeToBlack, 0},
    {"n001.ogg",   "system\\s_r_font02.bmp", 3160, 131500, 240, kWhite, B::FadeAtOnce, S::Plain,       nullptr,                  0,  0,  0,    0,     E::Scroll,   C::FadeToBlack, 1},
    {"c023.ogg",   "system\\s_r_font03.bmp", 2900, 134500, 240, kWhite, B::Wait,       S::Series,      "system\\bex_%d.bmp",     1,  7,  5000, 15000, E::Scroll,   C::FadeToBlack, 2},
    {"n009.ogg",   nullptr,                  0,    164000, 0,   kBlack, B::FadeAtOnce, S::Series,      "system\\pellory_%02d.bmp", 1, 14, 3000, 9000,  E::Scroll,   C::FadeToBlack, 3},
    {"bgm004.ogg", "system\\s_r_font02.bmp", 4550, 152000, 240, kBlack, B::Wait,       S::Plain,       nullptr,                  0,  0,  0,    0,     E::HeldLast, C::FadeToBlack, 5},
    {"bgm004.ogg", "system\\s_r_font02.bmp", 4550, 152000, 240, kBlack, B::Wait,       S::Plain,       nullptr,                  0,  0,  0,    0,     E::HeldLast, C::FadeToBlack, 6},
}};
// clang-format on

constexpr StateTable<CStaffRoll, 8> kStates{
    &CStaffRoll::Open,  &CStaffRoll::FadeToBase, &CStaffRoll::Roll,      &CStaffRoll::EndMusic,
    &CStaffRoll::Close, &CStaffRoll::LeaveEarly, &CStaffRoll::FirstWait, &CStaffRoll::SecondWait,
};

// A picture the size of the screen in the slot: a missing one is black and a
// smaller one stands on black, so the fades always have a whole picture.
void LoadScreenPicture(int slot, const char* name) {
    const CDib* picture = LoadSurface(slot, name);
    if (picture->GetWidth() != kScreenWidth || picture->GetHeight() != kScreenHeight)
        CopyOfSurface(slot, picture);
}

void CopySlot(int to, int from) {
    BltCopy(Slot(to), 0, 0, Slot(from), 0, 0, kScreenWidth, kScreenHeight);
}

void FillBlack(int y, int h) {
    if (h > 0) g_backBuffer->FillRect(0, y, kScreenWidth, h, kBlack);
}

} // namespace

CStaffRoll1::CStaffRoll1() : CStaffRoll(kRolls[0]) {}
CStaffRoll2::CStaffRoll2() : CStaffRoll(kRolls[1]) {}
CStaffRoll3::CStaffRoll3() : CStaffRoll(kRolls[2]) {}
CStaffRoll4::CStaffRoll4() : CStaffRoll(kRolls[3]) {}
CStaffRoll5::CStaffRoll5() : CStaffRoll(kRolls[4]) {}
CStaffRoll6::CStaffRoll6() : CStaffRoll(kRolls[5]) {}
CStaffRoll7::CStaffRoll7() : CStaffRoll(kRolls[6]) {}

CStaffRoll::CStaffRoll(const StaffRollLayout& layout) : layout_(layout) {}

void CStaffRoll::Run(platform::WindowHandle window) {
    // Once its ending has been seen, a roll may be left at any moment.
    if (g_config[config::kScriptFlags + static_cast<std::size_t>(layout_.earlyLeaveFlag)] != 0 &&
        g_mouse && (g_mouse->cancel || g_mouse->skip)) {
        g_mouse->cancel = 0;
        g_mouse->skip = 0;
        State = 5;
    }
    RunState(*this, State, kStates, window);
}

std::uint32_t CStaffRoll::SheetPosition(std::uint32_t elapsed) const {
    if (layout_.durationMs == 0) return 0;
    return static_cast<std::uint32_t>(std::uint64_t{elapsed} * layout_.travel / layout_.durationMs);
}

void CStaffRoll::Open(platform::WindowHandle) {
    if (g_gameApp) g_gameApp->screenRect = platform::Rect{0, 0, kScreenWidth, kScreenHeight};
    CopyOfBackBuffer(0);
    BlankSurface(1, layout_.base);
    if (layout_.scenery == S::Backgrounds) BlankSurface(3, layout_.base);
    if (layout_.sheet) LoadSurface(2, layout_.sheet);
    StartMusic(layout_.song, MusicLoop::Once);
    SetMusicName(layout_.song);
    State = layout_.start == B::Wait ? 6 : 1;
    Phase = 0;
    PictureIndex = 0;
    Clock().Restart();
}

void CStaffRoll::FirstWait(platform::WindowHandle) {
    if (Clock().Tick() < kFirstWaitMs) return;
    Clock().Restart();
    State = 7;
}

void CStaffRoll::SecondWait(platform::WindowHandle) {
    if (Clock().Tick() < kSecondWaitMs) return;
    Clock().Restart();
    State = 1;
}

void CStaffRoll::FadeToBase(platform::WindowHandle) {
    if (Fading(Clock(), Slot(1), Slot(0), kBaseFadeMs, Hurry::Never)) return;
    if (g_mouse) g_mouse->skip = 0;
    RollStart = platform::TimeGetTime();
    PhaseStart = RollStart;
    State = 2;
}

void CStaffRoll::NextPhase(std::uint8_t phase) {
    Phase = phase;
    PhaseStart = platform::TimeGetTime();
}

void CStaffRoll::FadeBackground(std::uint8_t next) {
    // From the outgoing picture (cdib[0]) to the incoming one (cdib[1]),
    // composed in cdib[3] under the sheet.
    const std::uint32_t level = FadeLevel(PhaseElapsed, kBackgroundFadeMs);
    if (level < kFull) {
        DrawTransition(kCrossFade, Slot(3), Slot(1), Slot(0), 0, 0, 0, 0, kScreenWidth,
                       kScreenHeight, static_cast<int>(level), 0);
        return;
    }
    CopySlot(0, 1);
    CopySlot(3, 1);
    NextPhase(next);
}

void CStaffRoll::StepBackgrounds() {
    switch (Phase) {
    case 0:
        if (PhaseElapsed < kBlackHoldMs) return;
        CopySlot(0, 1);
        CopySlot(3, 1);
        LoadScreenPicture(1, kBackgrounds[PictureIndex]);
        NextPhase(1);
        return;
    case 1:
        FadeBackground(2);
        return;
    case 2:
        if (PhaseElapsed < kBackgroundHoldMs) return;
        ++PictureIndex;
        if (PictureIndex < kBackgroundCount) {
            CopySlot(3, 1);
            BlankSurface(1, kBlack);
        }
        NextPhase(3);
        return;
    case 3:
        // After the seventh background the last one stays to the end.
        if (PictureIndex < kBackgroundCount) FadeBackground(0);
        return;
    default:
        return;
    }
}

void CStaffRoll::StepPictures() {
    switch (Phase) {
    case 0: {
        // The first picture comes in from the screen shown before the roll,
        // kept in cdib[0] since Open; later ones from the picture before.
        char name[64];
        std::snprintf(name, sizeof name, layout_.pictureFormat,
                      layout_.firstPicture + PictureIndex);
        LoadScreenPicture(1, name);
        ShowWhole(Slot(0));
        NextPhase(1);
        return;
    }
    case 1: {
        const std::uint32_t level = FadeLevel(PhaseElapsed, layout_.pictureFadeMs);
        if (level < kFull) {
            DrawFade(Slot(1), Slot(0), level);
            return;
        }
        ShowWhole(Slot(1));
        CopyOfSurface(0, Slot(1));
        NextPhase(2);
        return;
    }
    case 2:
        ShowWhole(Slot(0));
        if (PhaseElapsed < layout_.pictureHoldMs) return;
        PictureIndex = static_cast<std::uint8_t>(std::min(PictureIndex + 1, layout_.lastIndex));
        NextPhase(0);
        return;
    default:
        return;
    }
}

void CStaffRoll::DrawSheet(std::uint32_t pos) {
    const CDib* sheet = Slot(2);
    const int height = sheet ? sheet->GetHeight() : 0;
    const int p = static_cast<int>(pos);
    // The rows of the sheet in the window: it enters from the bottom, fills
    // the window, and leaves at the top. The travel is the table's, whatever
    // the sheet's height: rows past the sheet's end are never drawn, so a
    // short or missing sheet leaves the window empty while the song plays on.
    const int first = std::max(0, p - kScreenHeight);
    const int y = std::max(0, kScreenHeight - p);
    int last = p;
    int restored = kScreenHeight;
    const auto travel = static_cast<int>(layout_.travel);
    if (layout_.ending == E::HeldLast && p >= travel - static_cast<int>(kHoldBeforeEnd)) {
        // The last rows stop where they stand; only the rows above them move.
        restored = travel - static_cast<int>(kHeldRows) - p;
        last = first + restored;
    }
    if (layout_.scenery == S::Plain && restored > 0)
        BltCopy(g_backBuffer.get(), layout_.sheetX, 0, Slot(1), layout_.sheetX, 0, kSheetWidth,
                restored);
    const int rows = std::min(last, height) - first;
    if (rows > 0)
        BltAlpha(g_backBuffer.get(), layout_.sheetX, y, sheet, 0, first, kSheetWidth, rows);
}

void CStaffRoll::Roll(platform::WindowHandle) {
    const std::uint32_t now = platform::TimeGetTime();
    Elapsed = now - RollStart;
    PhaseElapsed = now - PhaseStart;
    if (layout_.scenery == S::Backgrounds) {
        StepBackgrounds();
        ShowWhole(Slot(3));
    } else if (layout_.scenery == S::Series) {
        StepPictures();
    }
    if (!layout_.sheet) {
        // A picture series alone lasts its song.
        if (Elapsed < layout_.durationMs) return;
        RollStart = now;
        State = 3;
        return;
    }
    const std::uint32_t pos = SheetPosition(Elapsed);
    if (pos < layout_.travel) {
        DrawSheet(pos);
        return;
    }
    if (g_bgmChannel && (g_config[config::kBgmVolume] != 0 || g_config[config::kMusicOff] != 1)) {
        g_bgmChannel->FadeOut(kMusicFadeMs);
        if (g_scenario) g_scenario->bgmPlaying = 0;
    }
    RollStart = now;
    State = 3;
}

void CStaffRoll::EndMusic(platform::WindowHandle) {
    if (Clock().Tick() < kMusicFadeMs && !TakeClick()) return;
    // The fade's timer is stopped before the channel goes.
    StopMusic();
    FreeMusicName();
    CopyOfBackBuffer(0);
    BlankSurface(1, kBlack);
    ClearClick();
    Clock().Restart();
    State = 4;
}

void CStaffRoll::Close(platform::WindowHandle) {
    if (layout_.close == C::Letterbox) {
        ShowWhole(Slot(3));
        const auto h = static_cast<int>(StepLevel(Clock().Tick(), kBarHeight, kBarsMs));
        if (h < kBarHeight && !SkipHeld()) {
            FillBlack(0, h);
            FillBlack(kScreenHeight - h, h);
            return;
        }
        FillBlack(0, kBarHeight);
        FillBlack(kScreenHeight - kBarHeight, kBarHeight);
    } else if (Fading(Clock(), Slot(1), Slot(0), kCloseMs, Hurry::BySkip)) {
        return;
    }
    if (g_mouse) g_mouse->skip = 0;
    CopyOfBackBuffer(0);
    FreeSurfaces(2, 3);
    LeaveTo(kInterpreterMode);
}

void CStaffRoll::LeaveEarly(platform::WindowHandle) {
    // The ending song plays on into the story.
    FreeSurfaces(1, 4);
    g_backBuffer->FillRect(0, 0, kScreenWidth, kScreenHeight, kBlack);
    LeaveTo(kInterpreterMode);
}
