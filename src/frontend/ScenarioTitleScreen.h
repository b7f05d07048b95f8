// The title screen of one story scenario: the new-game reset, the
// scenario's save group and music, a fade-in and five items (start, load,
// settings, extras, quit); a right click goes back to the story chooser.
// The three scenario titles differ only in their layout.
#pragma once

#include "platform/Platform.h"
#include "screenkit/Steps.h"

#include <array>
#include <cstdint>

struct ScenarioTitleLayout {
    std::uint8_t ownMode;
    const char* background;
    const char* highlightStrip;
    const char* music;
    std::int8_t saveGroup;
    const char* firstScript;
    std::array<platform::Rect, 5> itemRects;
    // Item k's highlight stands at (x, y0 + h × k), w × h; its row in the
    // strip starts at h × (k − 1).
    int x, y0, w, h;
    bool voiceLine; // a random voice line on entry
};

class CScenarioTitleScreen {
public:
    static constexpr int kItems = 5;
    static constexpr std::uint8_t kBack = 100;

    explicit CScenarioTitleScreen(const ScenarioTitleLayout& layout);
    ~CScenarioTitleScreen() {}

    void Run(platform::WindowHandle window);
    void Open(platform::WindowHandle window);
    void FadeIn(platform::WindowHandle window);
    void Input(platform::WindowHandle window);
    void FadeOut(platform::WindowHandle window);
    void Exit(platform::WindowHandle window);

    // 0 Open, 1 FadeIn, 2 Input, 4 FadeOut, 5 Exit.
    std::uint8_t State = 0;
    std::uint32_t StartTime = 0;
    std::uint32_t Elapsed = 0;
    std::uint16_t Level = 0;
    std::uint8_t HoverItem = 0; // 1..5, 0 none; after a choice the item, or 100 for back
    std::uint8_t PrevHoverItem = 0;
    std::array<platform::Rect, kItems> ItemRects{};

protected:
    screenkit::StepClock Clock() { return {StartTime, Elapsed, &Level}; }
    // Leaves for the black fade-out (state 4).
    void StartFadeOut();

    const ScenarioTitleLayout& layout_;
};

// The voice lines of the third title, one of which plays on entry.
extern const std::array<const char*, 11> g_scenarioVoices;
