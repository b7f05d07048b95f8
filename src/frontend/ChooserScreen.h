// The twin choosers reached from the main title: large panels that slide in
// on the right (the three stories, or the two mini-games) and four small
// buttons at the lower left (the other chooser, settings, extras, quit).
// The two differ only in their layout and where they lead.
#pragma once

#include "platform/Platform.h"
#include "screenkit/Slots.h"
#include "screenkit/Steps.h"

#include <array>
#include <cstdint>

// What tells the two choosers apart.
struct ChooserLayout {
    std::uint8_t ownMode;
    std::uint8_t otherChooser;
    // cdib[1] background, [2] highlighted panels, [3] highlighted buttons, [4] panels.
    std::array<screenkit::Picture, 4> pictures;
    platform::Rect firstButton;
    int panelCount;
    int panelHeight;
    // Panel 1's level at which panel p (2, 3) starts; 0 for none.
    std::array<std::uint16_t, 4> startAt;
    // A panel shown locked while a script flag is 0 (0: none).
    int lockedPanel;
    int lockFlag;
    // Fade the music out on a panel choice (else fade the screen to black).
    bool fadeMusicOnPanel;
    std::array<std::uint8_t, 3> panelModes;
};

class CChooserScreen {
public:
    static constexpr int kMaxPanels = 3;
    static constexpr int kButtons = 4;

    explicit CChooserScreen(const ChooserLayout& layout);
    ~CChooserScreen() {}

    void Run(platform::WindowHandle window);
    void Open(platform::WindowHandle window);
    void Intro(platform::WindowHandle window);
    void Input(platform::WindowHandle window);
    void FadeOut(platform::WindowHandle window);
    void LeaveByPanel(platform::WindowHandle window);
    void LeaveByButton(platform::WindowHandle window);

    // 0 Open, 1 Intro, 2 Input, 4 FadeOut, 5 LeaveByPanel, 6 LeaveByButton.
    std::uint8_t State = 0;
    std::uint8_t SubState = 0;
    std::uint32_t StartTime = 0;
    std::uint32_t Elapsed = 0;
    std::uint16_t Level = 0;
    std::uint8_t HoverButton = 0; // 1..4, 0 none
    std::uint8_t PrevHoverButton = 0;
    std::uint8_t HoverPanel = 0; // 1..panel count, 0 none
    std::uint8_t PrevHoverPanel = 0;
    // Per panel, index p - 1 for panel p.
    std::array<std::int32_t, 5> PanelSlide{};
    std::array<std::uint8_t, 5> PanelStarted{};
    std::array<std::uint32_t, 5> PanelStartTime{};
    std::array<platform::Rect, kButtons> ButtonRects{};
    std::array<platform::Rect, kMaxPanels> PanelRects{};

protected:
    screenkit::StepClock Clock() { return {StartTime, Elapsed, &Level}; }
    screenkit::Strips Panels() { return {PanelSlide, PanelStarted, PanelStartTime}; }
    bool Locked(int panel) const;
    // The panels' normal look composed onto the background (cdib[1]).
    void ComposePanels();
    void FreeSurfaces();
    void ShowPanelArea();

    const ChooserLayout& layout_;
};
