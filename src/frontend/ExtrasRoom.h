// What the three extras rooms (CG gallery, scene replay, music room) share:
// the tab bar that switches among them, the back button with its flash, the
// room music and the way out to the screen that opened the extras.
//
// The tab and button pictures come from the rooms' button sheet
// "system\extra_p.bmp"; each room keeps it in a surface slot of its own and
// passes it in, with the clean page that hover marks are restored from.
#pragma once

#include "platform/Platform.h"
#include "screenkit/Steps.h"

#include <array>
#include <cstdint>

class CDib;

namespace frontend::extras {

inline constexpr std::uint8_t kGalleryMode = 15;
inline constexpr std::uint8_t kReplayMode = 14;
inline constexpr std::uint8_t kMusicMode = 16;

inline constexpr char kButtonSheet[] = "system\\extra_p.bmp";
inline constexpr char kRoomMusic[] = "bgm\\n004.ogg";
inline constexpr char kRoomMusicName[] = "n004.ogg";

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

// Draws the three tabs onto `dst`: the room's own tab and `hoverTab` lit,
// the others plain.
void DrawTabs(CDib* dst, const CDib* sheet, Room own, std::uint8_t hoverTab);

// A hover change on the tab bar: the bar and the back button are restored
// from `page` and drawn again, the hovered one lit.
void RedrawTabs(const CDib* page, const CDib* sheet, Room own, std::uint8_t hoverTab);

// A click on another room's tab: the tab sound, and that room runs from the
// next frame (the return mode stays, so every room goes back to the screen
// that opened the extras).
void SwitchRoom(std::uint8_t tab);

// One frame of the back button's flash; true while it runs. The flash ends
// after 300 ms, or at once for the skip key or the skip-effects setting.
bool BackFlashing(const screenkit::StepClock& clock, const CDib* page, const CDib* sheet);

// Out of the extras: the data folders are rebuilt and the screen that
// opened the extras runs from the next frame. The room music plays on.
void LeaveExtras();

} // namespace frontend::extras
