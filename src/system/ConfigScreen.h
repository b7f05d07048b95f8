// The settings screen (mode 9): a translucent panel over the screen it was
// opened from, with sliders and two-way switches for the settings bytes and
// a second page of per-character voice levels. Every change takes effect at
// once; OK keeps the changes and writes them to the settings file, cancel or
// a right click puts back what the block held when the screen was entered.
#pragma once

#include "platform/Platform.h"
#include "screenkit/Steps.h"

#include <array>
#include <cstdint>
#include <memory>

class CDib;
class CSeChannel;

class CConfigScreen {
public:
    static constexpr int kVoiceChars = 13;

    CConfigScreen();
    ~CConfigScreen();

    void Update(platform::WindowHandle window);

    // Main page.
    void Open(platform::WindowHandle window);
    void FadeIn(platform::WindowHandle window);
    void Input(platform::WindowHandle window);
    void FadeOut(platform::WindowHandle window);
    void Leave(platform::WindowHandle window);
    void GlowIn(platform::WindowHandle window);
    void GlowOutAndAct(platform::WindowHandle window);
    // Voice page (ConfigVoicePage.cpp).
    void VoiceOpen(platform::WindowHandle window);
    void VoiceFade(platform::WindowHandle window);
    void VoiceInput(platform::WindowHandle window);
    void VoiceBack(platform::WindowHandle window);
    void VoiceClose(platform::WindowHandle window);
    void VoiceGlowIn(platform::WindowHandle window);
    void VoiceGlowOutAndAct(platform::WindowHandle window);

    // Draws the buttons, knobs, marks and volume numbers of the main page.
    void DrawControls(CDib* target);

    // 0 open, 1 fade in, 3 input, 4 fade out, 5 leave, 8 button glow in,
    // 9 glow out and action; 10..16 the voice page.
    std::uint8_t state = 0;
    std::uint8_t button = 0; // main page 1..3, voice page 1..21
    std::uint8_t prevButton = 0;
    std::uint8_t control = 0; // main page 1..21, voice page 1..13
    std::uint8_t prevControl = 0;
    std::uint32_t stateTime = 0;
    std::uint32_t elapsed = 0;
    std::int32_t previewPos = 0;
    std::uint32_t previewTime = 0;
    std::uint16_t previewAlpha = 0;
    std::uint16_t dragX = 0; // 0: no drag yet
    std::uint32_t tickTime = 0;
    std::uint8_t testChar = 0;
    std::uint8_t chosen = 0; // the button or control whose glow runs
    std::array<platform::Rect, 3> pageRects{};
    std::array<platform::Rect, 21> controlRects{};
    std::array<std::int32_t, 3> voiceColumnX{71, 274, 477};
    std::array<std::int32_t, 6> voiceRowY{176, 246, 313, 380, 448, 517};
    std::array<std::int32_t, 3> voiceTestX{161, 366, 586};
    std::array<platform::Rect, 21> voiceButtonRects{};
    std::array<platform::Rect, kVoiceChars> voiceSliderRects{};
    // Settings bytes +0..+25 and +27..+35 as the screen was entered.
    std::array<std::uint8_t, 35> saved{};

private:
    // The drag tick, owned by the screen: the shared effect slots are the
    // story's, and a loop it started there plays on while its settings are
    // changed.
    std::unique_ptr<CSeChannel> tick_;

    screenkit::StepClock Clock() { return {stateTime, elapsed}; }
    void DrawVolume(CDib* target, std::size_t byte, int y);
    void DrawButton(int k, int look);
    void PlainControl(int c);
    void LitControl(int c);
    void Drag(int c);
    void Preview(int c);
    void Switch(platform::WindowHandle window, int c);
    enum class Glow { Rising, Falling };
    void DrawGlow(std::uint32_t elapsed, Glow glow);
    void RestoreSaved(std::size_t first, std::size_t last);
    void Cancel();
    enum class FadeClock { Restart, Continue };
    void ToFadeOut(bool toSnapshot, FadeClock clock);
    void Tick();
    void RebuildPage();
    // Voice page.
    void DrawVoicePage(CDib* target);
    void DrawVoiceKnob(CDib* target, int i, bool lit);
    void DrawVoiceDigits(CDib* target, int i);
    void DrawVoiceButton(int k, int look);
    bool VoiceGlowing(std::uint32_t duration, Glow glow);
    enum class Levels { Keep, PutBack };
    void LeaveVoicePage(Levels levels);
};

// Surfaces: cdib[19] the clean main page, cdib[20] the page with knobs and
// later the fade-out target, cdib[21] the base, cdib[23] the picture faded
// from, cdib[24] the panels, cdib[25] the control sheet, cdib[26] the base
// over the screen left behind, cdib[27] the digits; the voice page adds
// cdib[30]..cdib[34]. Leaving frees cdib[19]..cdib[34]. Sound: the screen
// holds its drag tick itself, voice slot 0 plays the test lines.
extern std::unique_ptr<CConfigScreen> g_configScreen;
