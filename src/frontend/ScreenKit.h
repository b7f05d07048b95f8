// What the front-end screens do alike: steps timed on the millisecond clock,
// cross-fades into the back buffer, work-surface slots replaced whole, the
// click sound, the title music and the quit question.
//
// Ownership: the surfaces live in the shared `cdib` slots and the channels in
// the shared sound slots; these helpers only replace or free what stands
// there, so whoever reads a slot afterwards finds a whole object or null.
#pragma once

#include "platform/Platform.h"

#include <cstdint>

class CDib;

namespace frontend {

inline constexpr int kScreenWidth = 800;
inline constexpr int kScreenHeight = 600;
inline constexpr int kCrossFade = 39;
inline constexpr std::uint32_t kFull = 255;
inline constexpr std::uint32_t kWhite = 0xFFFFFF;
inline constexpr std::uint32_t kBlack = 0x000000;

// elapsed × full / duration, capped at `full`. Worked in 64 bits: after a
// long stall (a suspended machine) a 32-bit product wraps to a small level
// and the step would start over instead of ending.
std::uint32_t StepLevel(std::uint32_t elapsed, std::uint32_t full, std::uint32_t duration);
inline std::uint32_t FadeLevel(std::uint32_t elapsed, std::uint32_t duration) {
    return StepLevel(elapsed, kFull, duration);
}

// The skip key or the skip-effects setting: every timed step ends at once.
bool SkipHeld();
// The skip key, the skip-effects setting or a click.
bool SkipOrClick();

// One frame of the cross-fade from `outgoing` to `incoming` into the back
// buffer at `level` (0..255).
void DrawFade(CDib* incoming, CDib* outgoing, std::uint32_t level);
// Copies a whole surface into the back buffer.
void ShowWhole(const CDib* picture);

// Loads a picture into a surface; a missing or refused one is reported and
// leaves the surface as it was.
bool LoadPicture(CDib* dib, const char* name);
// Slot replacement: what stands in cdib[slot] is freed first.
CDib* LoadSurface(int slot, const char* name);      // a picture; a missing one is reported
CDib* BlankSurface(int slot, std::uint32_t colour); // 800x600 of one colour
CDib* CopyOfBackBuffer(int slot);                   // 800x600 copy of the screen
CDib* CopyOfSurface(int slot, const CDib* picture); // 800x600 copy of a picture
void FreeSurface(int slot);
CDib* Slot(int slot);

// Sound-effect slot: StopFade, then the channel is freed.
void FreeSeSlot(int slot);
// A new effect channel in the slot, loaded, at the effect volume, played once.
void PlaySe(int slot, const char* name);
// The screens' click: "se\sys_010.ogg" on slot 0.
void PlayClickSound();
// Voice slot: Stop, then the channel is freed.
void FreeVoiceSlot(int slot);
// A new voice channel in the slot, loaded, at the effect volume, played once.
void PlayVoice(int slot, const char* name);

// Stops and frees the music channel (the current-music name stays).
void StopMusic();
// Frees the script object's current-music name.
void FreeMusicName();
// Replaces the script object's current-music name.
void SetMusicName(const char* name);
// True when the current-music name is `name`, letter case aside.
bool MusicNameIs(const char* name);
// Stops the music that plays; unless music is switched off, starts `name`
// endlessly at the music volume and marks screen music as playing.
void StartMusic(const char* name);

// "要退出游戏吗？" with OK and Cancel; true for OK.
bool AskQuit();

// PtInRect: left and top inside, right and bottom outside.
bool PointIn(const platform::Rect& r, int x, int y);
// The cursor is inside `r`.
bool MouseIn(const platform::Rect& r);

// (rand × clock × minute) mod n in unsigned 32-bit arithmetic, reading the
// local time, then rand, then the clock.
std::uint32_t RandomByMinute(std::uint32_t n);

} // namespace frontend
