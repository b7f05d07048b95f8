// The mahjong opening (mode 62): twelve captions wave in over a base picture,
// hold and wave out; a rule-mask wipe to black, a closing picture that stays
// up to ten seconds, then the heroine select (63). Clicks only shorten steps.
#pragma once

#include "platform/Platform.h"
#include "screenkit/Steps.h"

#include <cstdint>
#include <memory>

class CKofOpening {
public:
    static constexpr std::uint8_t kCaptions = 12;

    CKofOpening();
    ~CKofOpening() {}

    void Run(platform::WindowHandle window);
    void Open(platform::WindowHandle window);
    void FadeIn(platform::WindowHandle window);
    void LoadCaption(platform::WindowHandle window);
    void WaveIn(platform::WindowHandle window);
    void Hold(platform::WindowHandle window);
    void WaveOut(platform::WindowHandle window);
    void NextCaption(platform::WindowHandle window);
    void Wipe(platform::WindowHandle window);
    void FadeToClosing(platform::WindowHandle window);
    void HoldClosing(platform::WindowHandle window);
    void Leave(platform::WindowHandle window);

    // 0 Open, 1 FadeIn, 2 LoadCaption, 3 WaveIn, 4 Hold, 5 WaveOut,
    // 6 NextCaption, 7 Wipe, 8 FadeToClosing, 9 HoldClosing, 10 Leave.
    std::uint8_t State = 0;
    std::uint32_t StartTime = 0;
    std::uint32_t Elapsed = 0;
    std::uint8_t Caption = 0; // 1..12 while shown, 0 before the first

private:
    screenkit::StepClock Clock() { return {StartTime, Elapsed}; }
    void DrawWave(std::uint32_t amplitude, std::uint32_t phase, std::uint32_t opacity);
    void ShowCaption();
    void EndStep(std::uint8_t next, bool clearSkip);
};

// Surfaces: cdib[0] the previous screen, later copies of the screen;
// cdib[1] the base picture, later black, then the closing picture; cdib[2]
// the caption; g_maskImage the wipe's rule mask. Leave frees cdib[1] to
// cdib[5].
extern std::unique_ptr<CKofOpening> g_kofOpening;
