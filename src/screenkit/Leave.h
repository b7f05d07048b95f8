// Leaving a screen: the last state frees the screen's surfaces (Slots.h),
// then writes the next mode through one of these. A screen that may be
// entered again also sets its own state back to 0 on the way out.
#pragma once

#include "platform/Platform.h"

#include <cstdint>

namespace screenkit {

// The next frame runs `mode`.
void LeaveTo(std::uint8_t mode);
// To a screen that comes back (settings, load, extras, rules, wallpaper):
// the menu-return byte is cleared, so that screen fades to black, and it
// returns to `returnMode`.
void LeaveAndComeBack(std::uint8_t mode, std::uint8_t returnMode);
// Into a story: the screen sounds stop, the play context is set and the
// menu-return byte cleared, the script is loaded, the particles and the
// click cleared, and the interpreter (mode 2) runs it from the next frame.
void LeaveForStory(const char* script, std::uint8_t playContext);
// The quit item: the music stops and the window closes.
void Quit(platform::WindowHandle window);

inline constexpr std::uint8_t kSettingsMode = 9;
inline constexpr std::uint8_t kGalleryMode = 15;   // the first extras room
inline constexpr std::uint8_t kWallpaperMode = 72; // the mini-games' extras room
// A menu's ways to the screens that come back to it. The menu's state byte
// goes back to 0, so that it opens afresh on the way back.
// The settings screen:
void OpenSettings(std::uint8_t& state, std::uint8_t returnMode);
// An extras room, entered in the replay play context:
void OpenExtras(std::uint8_t& state, std::uint8_t room, std::uint8_t returnMode);

// The script object's bytes that the exits set.
void SetPlayContext(std::uint8_t context);
void SetMenuReturn(std::uint8_t menuReturn);
void ClearParticles();
// The story's paging and window-button bytes, which a mini-game's title
// clears so that a story left in skip or auto mode does not carry into the
// game's own stories.
void ClearStoryState();

} // namespace screenkit
