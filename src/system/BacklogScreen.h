// The backlog (mode 6): the message history four entries at a time over the
// game's picture, paged by the wheel, the cursor keys and four buttons; a
// click on an entry replays its voice, the back button or a right click
// fades back to the game and the mode it was opened from.
//
// Surfaces (opened by Open, freed by Leave): cdib[10] the page with the
// entries (and the picture a fade runs from), cdib[11] the clean page
// without text that every redraw starts from, cdib[12] the button
// highlights, cdib[13] the frame over a hovered entry that has a voice.
#pragma once

#include "platform/Platform.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

class CDib;

class CBacklogScreen {
public:
    static constexpr int kBoxes = 4;
    static constexpr int kItems = 9;

    CBacklogScreen();

    // Runs the handler of `state`; returns true.
    bool Update(platform::WindowHandle window);
    void Open(platform::WindowHandle window);
    void FadeIn(platform::WindowHandle window);
    void Input(platform::WindowHandle window);
    void FadeOut(platform::WindowHandle window);
    void Leave(platform::WindowHandle window);

    // Entries first .. first + 3 into the boxes of `target`, which already
    // holds the clean page. Only entries the history holds are drawn.
    bool DrawPage(CDib* target, int first);
    // At a "#": carries out a size tag, steps over any other; returns the
    // index after what it consumed.
    std::size_t SkipTag(std::string_view text, std::size_t index);
    // At the second "<": the reading up to ">" centred over the run of text
    // between the two marks; returns the index after ">".
    std::size_t DrawRuby(CDib* target, std::string_view text, std::size_t index);
    // One wheel step while the list is shown (away from the player: older).
    void Wheel(bool up);

    std::int32_t top = 0;            // history index shown in box 1
    std::int32_t maxTop = 0;         // count − 5: the largest top
    std::int32_t lastIndex = 0;      // count − 1 (keys and buttons)
    std::int32_t wheelLastIndex = 0; // count − 1 (the wheel)
    std::uint8_t state = 0;          // 0 open, 1 fade in, 2 input, 3 fade out, 4 leave
    platform::WindowHandle hwnd = platform::WindowHandle::None;
    std::uint8_t hover = 0; // 1..9, 0 none
    std::uint8_t prevHover = 0;
    std::uint32_t stateTime = 0;
    std::int16_t rubyStartX = 0;
    std::int16_t rubyEndX = 0;
    std::int16_t rubyY = 0;
    std::uint8_t rubyOpen = 0;
    // Boxes 1..4, one back, one forward, four back, four forward, back.
    std::array<platform::Rect, kItems> itemRects{};

private:
    bool Scrolls() const { return lastIndex >= 4; }
    // The history holds entry `e`.
    static bool Exists(int e);
    void ShowPage();
    void DrawEntryText(CDib* target, std::string_view text, int y);
    void ClickItem();
    void ReplayVoice(int entry);
    void MoveKeys(platform::WindowHandle window);
    void ShowHover();
};

// The clean page (cdib[11]) copied whole to `target`; `first` is unused.
bool DrawBacklogBase(CDib* target, int first);

extern std::unique_ptr<CBacklogScreen> g_backlogScreen;
