// The game-mode table: the one place that names every screen class. Each
// screen mode owns one global object, made when its mode is entered and freed
// at the end of the first frame in another mode.
#pragma once

#include "platform/Platform.h"

#include <cstdint>
#include <memory>
#include <span>

struct ModeEntry {
    std::uint8_t mode;
    bool (*exists)();
    void (*create)(platform::WindowHandle window, platform::WindowHandle instance);
    void (*run)(platform::WindowHandle window);
    void (*free)();
};

// A mode without a screen object: a story mode, run by a method of the
// script object, or the match.
struct OtherEntry {
    std::uint8_t mode;
    void (*run)(platform::WindowHandle window);
};

struct ModeTable {
    // Screen modes in the fixed order of creation and freeing.
    std::span<const ModeEntry> screens;
    // Runs a mode that has no screen object (the story modes, the match);
    // does nothing for a mode without an entry.
    void (*runOther)(std::uint8_t mode, platform::WindowHandle window);
    // The entries the game's runOther dispatches from; a test's table may
    // leave them out.
    std::span<const OtherEntry> others = {};
};

// The table the frame uses. Tests may install a table of their own.
const ModeTable& ActiveModeTable();
void SetModeTable(const ModeTable* table); // null: the game's own table

// The wheel in the backlog (mode 6): one entry older (up) or newer, while
// its list is shown.
void BacklogWheel(bool up);

// Makes an entry for a screen class whose global is `std::unique_ptr<T> Global`.
// A frame runs the screen's `Update` where it has one (the system screens),
// else its `Run`.
template <typename T, auto& Global> constexpr ModeEntry ScreenEntry(std::uint8_t mode) {
    return ModeEntry{
        mode,
        [] { return Global != nullptr; },
        [](platform::WindowHandle, platform::WindowHandle) { Global = std::make_unique<T>(); },
        [](platform::WindowHandle window) {
            if constexpr (requires(T & screen) { screen.Update(window); })
                Global->Update(window);
            else
                Global->Run(window);
        },
        [] { Global.reset(); },
    };
}
