// The one application object: the current game mode, the mode to come back
// to, the names and history that outlive every screen, and the frame.
#pragma once

#include "platform/Platform.h"

#include <array>
#include <cstdint>
#include <memory>

inline constexpr int kModeCount = 73;  // modes 0..72
inline constexpr int kLogEntries = 256;
inline constexpr int kLogEntryBytes = 256;
inline constexpr int kNameBytes = 128;
inline constexpr int kCharSprites = 15;

using NameString = std::array<char, kNameBytes>;
using LogTable = std::array<std::array<char, kLogEntryBytes>, kLogEntries>;

class CGameApp {
public:
    CGameApp(platform::WindowHandle window, platform::WindowHandle instance);
    ~CGameApp();
    CGameApp(const CGameApp&) = delete;
    CGameApp& operator=(const CGameApp&) = delete;

    // One frame: make the current mode's screen, run it, free the others, pace.
    void RunFrame();
    void CreateModeObject();
    void FreeInactiveModeObjects();
    void Pace();

    std::uint8_t mode = 0;
    std::uint8_t returnMode = 0;
    std::array<NameString, 10> surfaceNames{};     // pictures in cdib[0..9]
    std::array<NameString, kCharSprites> charNames{};
    NameString bgmName{};
    NameString scriptName{};
    NameString seName{};
    std::int32_t logCount = 0;
    LogTable logText{};
    LogTable logNames{};
    LogTable logVoices{};
    std::array<std::uint8_t, kCharSprites> charParams{};
    std::array<std::int16_t, kCharSprites> charCentreX{};
    std::array<std::int16_t, kCharSprites> charShown{};
    platform::Rect screenRect{0, 0, 800, 600};
    std::uint8_t opponentIndex = 0;
    std::array<std::uint8_t, 2> contestResults{};
    platform::WindowHandle mainWindow = platform::WindowHandle::None;
    platform::WindowHandle instance = platform::WindowHandle::None;
};

extern std::unique_ptr<CGameApp> g_gameApp;

// Frees every screen object regardless of the mode (shut-down).
void FreeAllModeObjects();
