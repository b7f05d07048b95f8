// What the extras rooms (gallery, scene replay, music room) share: the tab
// bar and back button on every page, the room music, the click sounds, the
// back button's flash and the way out to the screen that opened the extras.
#pragma once

#include "platform/Platform.h"

#include <array>
#include <cstdint>

class CDib;

namespace frontend::extras_frame {

inline constexpr std::uint8_t kGalleryMode = 15;
inline constexpr std::uint8_t kReplayMode = 14;
inline constexpr std::uint8_t kMusicRoomMode = 16;

// Items of the tab bar, 1-based as the rooms' hover bytes count them.
enum Tab : std::uint8_t {
    kNoTab = 0,
    kGalleryTab = 1,
    kReplayTab = 2,
    kMusicTab = 3,
    kBackTab = 4
};

inline constexpr std::array<platform::Rect, 4> kTabRects{{
    {15, 80, 89, 106},   // gallery
    {90, 80, 174, 106},  // scene replay
    {174, 80, 286, 106}, // music room
    {730, 90, 780, 108}, // back
}};

// The tab under the mouse; the room's own tab counts as none.
std::uint8_t TabUnderMouse(Tab own);
// The three tabs onto a page, the room's own one lit.
void DrawTabs(CDib* page, const CDib* buttons, Tab own);
// A hover change on the screen: the tab or back button left goes back to its
// plain look (the back button from the clean page), the one entered is lit.
void RedrawTabHover(std::uint8_t hover, std::uint8_t previous, Tab own, const CDib* buttons,
                    const CDib* clean);
// The room music "n004.ogg": kept when it already plays, else started anew
// (unless music is switched off) and recorded as the current music.
void StartRoomMusic();
// A click on a tab or the back button of the hovered item. A tab plays its
// click and sets the other room's mode at once (true: the room is left);
// the back button plays its click and returns false: the room flashes it.
bool TakeTabClick(std::uint8_t hover);
// One frame of the back button's flash, `elapsed` ms in: false once it is
// over (300 ms, or the skip key or skip-effects).
bool BackFlashing(std::uint32_t elapsed, const CDib* buttons, const CDib* clean);
// Leaving the extras: cdib[first..last] freed, the data paths rebuilt and
// the mode that opened the extras runs next.
void LeaveExtras(int firstSlot, int lastSlot);

} // namespace frontend::extras_frame
