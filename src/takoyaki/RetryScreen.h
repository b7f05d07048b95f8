// The contest's retry question (mode 69), which the contest stories set: a
// two-button panel over the picture the story left, leading to a new
// contest against the same opponent or back to the contest title.
#pragma once

#include "platform/Platform.h"
#include "screenkit/Steps.h"

#include <array>
#include <cstdint>
#include <memory>

class CRetryScreen {
public:
    CRetryScreen();
    ~CRetryScreen() {}

    void Run(platform::WindowHandle window);
    void Open(platform::WindowHandle window);
    void FadeIn(platform::WindowHandle window);
    void Input(platform::WindowHandle window);
    void FadeOut(platform::WindowHandle window);
    void Leave(platform::WindowHandle window);

    // 0 Open, 1 FadeIn, 2 Input, 3 FadeOut, 4 Leave.
    std::uint8_t State = 0;
    std::uint8_t SubStep = 0;
    std::uint32_t StartTime = 0;
    std::uint32_t Elapsed = 0;
    std::uint16_t Level = 0;
    std::uint8_t HoverButton = 0; // 1 play again, 2 back to the title, 0 none
    std::uint8_t PrevHoverButton = 0;
    std::array<platform::Rect, 2> ButtonRects{};

private:
    screenkit::StepClock Clock() { return {StartTime, Elapsed, &Level}; }
    void DrawLit(std::uint8_t button);
};

// Surfaces: cdib[0] the screen as the story left it, later the last frame;
// [1] it with the panel, later black; [2] the panel; [3] the lit buttons.
// Leaving frees [1] to [47].
extern std::unique_ptr<CRetryScreen> g_retryScreen;
