// The music room (mode 16), one of the three extras rooms: the game's 36
// tracks in two pages of 18, the chosen one looping on the music channel,
// previous, stop and next buttons. Three tracks stay locked until the story
// has set their script flags.
#pragma once

#include "platform/Platform.h"
#include "screenkit/Steps.h"

#include <array>
#include <cstdint>
#include <memory>

class CDib;

class CMusicRoom {
public:
    static constexpr int kTracks = 36;
    static constexpr int kRows = 18;

    CMusicRoom();
    ~CMusicRoom() {}

    void Run(platform::WindowHandle window);
    void Open(platform::WindowHandle window);
    void FadeIn(platform::WindowHandle window);
    void Input(platform::WindowHandle window);
    void Leave(platform::WindowHandle window);
    void BackFlash(platform::WindowHandle window);
    // The whole page of the current `Page` onto `target`.
    void DrawList(CDib* target);

    // A locked track is drawn but never hovered, chosen or stepped to.
    static bool Locked(int track);

    // 0 Open, 1 fade-in, 2 Input, 4 Leave, 5 BackFlash.
    std::uint8_t State = 0;
    std::uint8_t HoverRow = 0; // 1..18, 0 none (or locked, or past the last track)
    std::uint8_t PrevHoverRow = 0;
    std::uint8_t HoverPage = 0; // 1..2, 0 none or the current page
    std::uint8_t PrevHoverPage = 0;
    std::uint8_t HoverTab = 0; // 1..4, 0 none or the music tab
    std::uint8_t PrevHoverTab = 0;
    std::uint8_t HoverControl = 0; // 1 previous, 2 stop, 3 next
    std::uint8_t PrevHoverControl = 0;
    std::int8_t Page = 0;
    std::uint32_t StartTime = 0;
    std::uint32_t Elapsed = 0;
    std::array<platform::Rect, kRows> RowRects{};
    std::array<platform::Rect, 2> PageRects{};
    std::array<platform::Rect, 4> TabRects{};
    std::array<platform::Rect, 3> ControlRects{};
    std::int8_t CurrentTrack = 3; // the room music "n004.ogg"

private:
    screenkit::StepClock Clock() { return {StartTime, Elapsed}; }
    void DrawRow(CDib* target, int row, int look);
    void RedrawRow(std::uint8_t row, int look);
    void DrawControl(std::uint8_t control, bool lit);
    void PlayTrack(int track);
    void StepTo(int track, int buttonSourceX);
};

// The track paths, relative to the data folders ("bgm\n001.ogg", ...).
extern const std::array<const char*, CMusicRoom::kTracks> g_musicTracks;

// Surfaces: cdib[0] the screen before entry; cdib[1] the composed page;
// cdib[2] the button sheet; cdib[3] the clean background; cdib[4] the row
// shadow; cdib[5] the row bars; cdib[6] the track names; cdib[7] the page
// digits. Leaving frees cdib[1] to cdib[7].
extern std::unique_ptr<CMusicRoom> g_musicRoom;
