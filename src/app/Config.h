// The settings block: every setting and every flag that outlives a game, kept
// byte for byte as save\Config.dat.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

inline constexpr std::size_t kConfigSize = 61943;

// Offsets of the bytes the shell and screens name.
namespace config {
inline constexpr std::size_t kFullScreen = 0;
inline constexpr std::size_t kTextSpeed = 1;
inline constexpr std::size_t kSkipScope = 2;
inline constexpr std::size_t kBgmVolume = 4;
inline constexpr std::size_t kSeVolume = 5;
inline constexpr std::size_t kVoiceMuteB = 6;
inline constexpr std::size_t kVoiceMuteA = 7;
inline constexpr std::size_t kVoiceLevels = 8;       // 13 shown + 5 never shown
inline constexpr std::size_t kVoiceLevelCount = 18;
inline constexpr std::size_t kScriptByte = 26;
inline constexpr std::size_t kSkipEffects = 27;
inline constexpr std::size_t kNoTimedTransitions = 28;
inline constexpr std::size_t kNoQuake = 29;
inline constexpr std::size_t kMusicOff = 30;
inline constexpr std::size_t kSeOff = 31;
inline constexpr std::size_t kVoiceOff = 32;
inline constexpr std::size_t kCursorGlide = 33;
inline constexpr std::size_t kAutoSpeed = 34;
inline constexpr std::size_t kAutoAtStart = 35;
inline constexpr std::size_t kSavePage = 36;
inline constexpr std::size_t kLoadPage = 37;
inline constexpr std::size_t kMahjongBeaten = 39;    // heroine k (1..8) at 38 + k
inline constexpr std::size_t kContestBeaten = 47;    // opponent 0..5
inline constexpr std::size_t kChoiceFlags = 53;      // option k of point p at 52 + 3p + k
inline constexpr std::size_t kSceneSeen = 353;       // scene n (1..28) at 352 + n
inline constexpr std::size_t kScriptFlags = 383;     // 20 bytes
inline constexpr std::size_t kCgFlags = 403;         // 60 rows x 21
inline constexpr std::size_t kReadFlags = 1663;      // 60,000 text blocks
inline constexpr std::size_t kReadFlagCount = 60000;
inline constexpr std::size_t kSceneCheckFlags = 61663;
}  // namespace config

extern std::array<std::uint8_t, kConfigSize> g_config;

// Writes the defaults over the whole block; returns 0.
int ResetConfig();
// Defaults, then the file as far as it goes, with ranged bytes clamped.
void LoadConfig();
// Replaces save\Config.dat without ever leaving it half written. False when
// the file could not be written (the old one is then untouched).
bool SaveConfig();
