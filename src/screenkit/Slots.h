// A screen's pictures and sounds: work-surface slots and sound slots replaced
// whole, the click sound, the screen music and its name.
//
// Ownership: the surfaces live in the shared `cdib` slots and the channels in
// the shared sound slots; these helpers only replace or free what stands
// there, so whoever reads a slot afterwards finds a whole object or null.
// A screen owns the slots it loads from its first state to its last, which
// frees them; `cdib[0]` (the picture the next screen fades from) is left.
#pragma once

#include <cstdint>
#include <span>

class CDib;

namespace screenkit {

inline constexpr int kScreenWidth = 800;
inline constexpr int kScreenHeight = 600;
inline constexpr std::uint32_t kWhite = 0xFFFFFF;
inline constexpr std::uint32_t kBlack = 0x000000;

// One picture file of a screen and the slot it is loaded into.
struct Picture {
    int slot;
    const char* file;
};

// Loads a picture into a surface; a missing or refused one is reported and
// leaves the surface as it was.
bool LoadPicture(CDib* dib, const char* name);
// Slot replacement: what stands in cdib[slot] is freed first.
CDib* LoadSurface(int slot, const char* name);      // a picture; a missing one is reported
CDib* BlankSurface(int slot, std::uint32_t colour); // 800x600 of one colour
CDib* CopyOfBackBuffer(int slot);                   // 800x600 copy of the screen
CDib* CopyOfSurface(int slot, const CDib* picture); // 800x600 copy of a picture
// Each picture into its slot, in the order given.
void LoadPictures(std::span<const Picture> pictures);
void FreeSurface(int slot);
// Frees cdib[first] to cdib[last].
void FreeSurfaces(int first, int last);
CDib* Slot(int slot);

// Copies a whole surface into the back buffer.
void ShowWhole(const CDib* picture);
// Copies (sx, sy, w, h) of `src` to (dx, dy) of `dst`, leaving out the
// pixels of the source's colour key.
bool KeyedCopy(CDib* dst, int dx, int dy, const CDib* src, int sx, int sy, int w, int h);

// Sound-effect slot: StopFade, then the channel is freed.
void FreeSeSlot(int slot);
// A new effect channel in the slot, loaded, at the effect volume, played once.
void PlaySe(int slot, const char* name);
// A new effect channel in the slot, loaded at the effect volume and left
// idle until ReplaySe: the sounds of an intro are loaded when it opens.
void LoadSe(int slot, const char* name);
// Plays what the slot holds once more from its start, at the effect volume.
void ReplaySe(int slot);
// The screens' click: "se\sys_010.ogg" on slot 0.
void PlayClickSound();
// Voice slot: Stop, then the channel is freed.
void FreeVoiceSlot(int slot);
// A new voice channel in the slot, loaded, at the effect volume, played once.
void PlayVoice(int slot, const char* name);
// The same at a voice level of its own (a character's voice setting).
void PlayVoiceAt(int slot, const char* name, int level);

// Stops and frees every voice channel.
void FreeVoiceSlots();

// Stops and frees the music channel (the current-music name stays).
void StopMusic();
// Frees the script object's current-music name.
void FreeMusicName();
// Replaces the script object's current-music name.
void SetMusicName(const char* name);
// True when the current-music name is `name`, letter case aside.
bool MusicNameIs(const char* name);
enum class MusicLoop : std::uint8_t { Endless, Once };
// Stops the music that plays; unless music is switched off, starts `name`
// (endlessly, or once for an ending song) at the music volume and marks
// screen music as playing.
void StartMusic(const char* name, MusicLoop loop = MusicLoop::Endless);
// Unless `name` is the current-music name (letter case aside), `file`
// starts as StartMusic starts it and `name` is recorded: a screen that
// finds its own music playing keeps it.
void KeepOrStartMusic(const char* file, const char* name);
// The first half of StartMusic: the old music stops and, unless music is
// switched off, `name` is loaded into the music slot without playing.
void LoadMusic(const char* name);
// The second half: the loaded music, if any, plays at the music volume and
// screen music is marked as playing. With music switched off there is no
// channel and nothing is touched.
void PlayLoadedMusic(MusicLoop loop = MusicLoop::Endless);
// Fades the music out over `ms` when there is music; the script object's
// music-playing byte is cleared.
void FadeOutMusic(std::uint32_t ms);
// Effect slot 0, the music and the current-music name: what a screen stops
// when it leaves for a story or for the extras.
void StopScreenSounds();

} // namespace screenkit
