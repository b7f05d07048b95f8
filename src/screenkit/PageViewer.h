// The rules page viewer that both mini-games use: one of a set of pages laid
// over the picture that was on screen, small numbered buttons that switch
// pages at once, and a close button or a right click to leave. A mini-game
// gives its own page set; the viewer's states, fade, hit tests and slots
// (cdib[20] to cdib[23]) are the same for every set.
#pragma once

#include "platform/Platform.h"
#include "screenkit/Steps.h"

#include <array>
#include <cstdint>

namespace screenkit {

// Where a viewer goes when it closes.
enum class PagesLeave : std::uint8_t {
    // Back to the application object's returnMode; the menu snapshot is put
    // back first when a menu left play for the viewer.
    ToReturnMode,
    // Always to `leaveMode`, with the screen sounds stopped, so the screen
    // there starts its own intro and music again.
    ToFixedMode,
};

struct PageSet {
    int pages;                  // 1..kMaxPages
    const char* pageFormat;     // printf form of a page file, given page + 1
    const char* buttonsPicture; // page-button highlights at (21(n - 1), 18), close at (0, 0)
    int firstButtonLeft;        // the page buttons stand 25 px apart from here
    PagesLeave leave;
    std::uint8_t leaveMode; // for ToFixedMode
};

class CPageViewer {
public:
    static constexpr int kMaxPages = 6;

    explicit CPageViewer(const PageSet& pages);
    ~CPageViewer() {}

    void Run(platform::WindowHandle window);
    void Open(platform::WindowHandle window);
    void FadeIn(platform::WindowHandle window);
    void Browse(platform::WindowHandle window);
    void Leave(platform::WindowHandle window);

    // 0 Open, 1 FadeIn, 2 Browse, 5 Leave.
    std::uint8_t State = 0;
    std::uint8_t Page = 0; // 0-based
    std::uint32_t StartTime = 0;
    std::uint32_t Elapsed = 0;
    std::uint16_t Level = 0;
    // 1..pages the page buttons, pages + 1 close, 0 none.
    std::uint8_t HoverButton = 0;
    std::uint8_t PrevHoverButton = 0;
    std::array<platform::Rect, kMaxPages> PageRects{};
    platform::Rect CloseRect{673, 563, 741, 581};

private:
    StepClock Clock() { return {StartTime, Elapsed, &Level}; }
    std::uint8_t CloseButton() const { return static_cast<std::uint8_t>(pages_.pages + 1); }
    const platform::Rect& ButtonRect(std::uint8_t button) const;
    std::uint8_t HitButton() const;
    // cdib[22] := the current page; cdib[21] := the opening picture with it.
    void ComposePage();

    const PageSet& pages_;
};

} // namespace screenkit
