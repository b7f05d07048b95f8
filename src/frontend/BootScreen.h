// The boot sequence (mode 0): the logo with a random title call, a fade to
// white, the warning page, another fade to white, then the main title.
// Nothing but the skip key and the skip-effects setting hurries it.
#pragma once

#include "platform/Platform.h"
#include "screenkit/Steps.h"

#include <array>
#include <cstdint>
#include <memory>

class CBootScreen {
public:
    CBootScreen();
    ~CBootScreen() {}

    bool Run(platform::WindowHandle window);
    void Open(platform::WindowHandle window);
    void ShowLogo(platform::WindowHandle window);
    void FadeToWarning(platform::WindowHandle window);
    void HoldWarning(platform::WindowHandle window);
    void FadeToWhite(platform::WindowHandle window);
    void Close(platform::WindowHandle window);

    // 0 Open, 1 ShowLogo, 2 FadeToWarning, 3 HoldWarning, 4 FadeToWhite,
    // 6 Close.
    std::uint8_t State = 0;
    std::uint8_t SubState = 0; // step of ShowLogo
    std::uint32_t StartTime = 0;
    std::uint32_t Elapsed = 0;

private:
    screenkit::StepClock Clock() { return {StartTime, Elapsed}; }
    void StartTitleCall();
};

// Surfaces: cdib[0] the picture before the screen opened (left for the next
// screen), cdib[1] the logo, cdib[2] white, cdib[3] the warning; the last
// three are freed by Close.
extern std::unique_ptr<CBootScreen> g_bootScreen;

// One title call per character, played over the logo.
extern const std::array<const char*, 10> g_titleVoices;
