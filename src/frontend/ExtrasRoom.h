// What the extras rooms (CG gallery, scene replay, music room, and for its
// music and way out the wallpaper room) share: the tab bar that switches
// among the first three, the back button with its flash, the room music and
// the way out to the screen that opened the extras.
//
// The tab and button pictures come from the rooms' button sheet
// "system\extra_p.bmp"; each room keeps it in a surface slot of its own and
// passes it in, with the clean background that the bar is restored from.
#pragma once

#include "platform/Platform.h"
#include "screenkit/Leave.h"
#include "screenkit/Steps.h"

#include <array>
#include <cstdint>

class CDib;

namespace frontend::extras {

inline constexpr std::uint8_t kGalleryMode = screenkit::kGalleryMode;
inline constexpr std::uint8_t kReplayMode = 14;
inline constexpr std::uint8_t kMusicMode = 16;

inline constexpr char kButtonSheet[] = "system\\extra_p.bmp";

// The rooms in the order of their tabs.
enum class Room : std::uint8_t { Gallery = 1, Replay = 2, Music = 3 };

// Tabs 1 to 3 and the back button (4), the same in every room.
inline constexpr std::uint8_t kBackButton = 4;
inline constexpr std::array<platform::Rect, 4> kTabRects{{
    {15, 80, 89, 106},
    {90, 80, 174, 106},
    {174, 80, 286, 106},
    {730, 90, 780, 108},
}};

// Unless "n004.ogg" already plays (its name recorded, letter case aside),
// the music stops and "n004.ogg" starts looping, music switch allowing; the
// name is recorded either way.
void StartRoomMusic();

// The tab or back button under the mouse, 1..4; the room's own tab counts
// as none.
std::uint8_t HitTab(Room own);

// Draws the three tabs onto a page being composed, the room's own tab lit.
void DrawTabs(CDib* page, const CDib* sheet, Room own);

// The tab bar and the back button on the screen: restored from `clean`
// (the room's background without them) and drawn again, the own tab and
// `hoverTab` lit. Every tab is drawn once over the background, so a
// translucent tab looks the same after any number of hover changes.
void RedrawTabs(const CDib* clean, const CDib* sheet, Room own, std::uint8_t hoverTab);

// A click (taken by the room) on the hovered tab bar item `tab`.
enum class TabClick : std::uint8_t {
    Back, // the click sound played and the flash's clock restarted
    Left, // another room's tab: its sound, and that room runs from the
          // next frame (the return mode stays, so every room goes back to
          // the screen that opened the extras); the room frees its surfaces
};
TabClick ClickTab(std::uint8_t tab, const screenkit::StepClock& clock);

// One frame of the back button's flash; true while it runs. The flash ends
// after 300 ms, or at once for the skip key or the skip-effects setting;
// its last frame draws nothing.
bool BackFlashing(const screenkit::StepClock& clock, const CDib* clean, const CDib* sheet);

// Out of the extras: cdib[first..last] freed, the data folders rebuilt and
// the screen that opened the extras runs from the next frame. The room
// music plays on.
void LeaveExtras(int firstSlot, int lastSlot);

} // namespace frontend::extras
