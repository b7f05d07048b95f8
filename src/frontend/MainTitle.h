// The main title (mode 1): the new-game reset, the title music, the logo
// and five menu labels animated in, then the story chooser, the mini-game
// chooser, the settings, the extras or quitting.
#pragma once

#include "platform/Platform.h"
#include "screenkit/Steps.h"

#include <array>
#include <cstdint>
#include <memory>

class CMainTitle {
public:
    static constexpr int kItems = 5;

    CMainTitle();
    ~CMainTitle() {}

    void Run(platform::WindowHandle window);
    void Open(platform::WindowHandle window);
    void ShowLogo(platform::WindowHandle window);
    void Input(platform::WindowHandle window);
    void FadeToWhite(platform::WindowHandle window);
    void Exit(platform::WindowHandle window);
    void ChosenZoom(platform::WindowHandle window);

    // 0 Open, 1 ShowLogo, 2 Input, 4 FadeToWhite, 5 Exit, 6 ChosenZoom.
    std::uint8_t State = 0;
    std::uint8_t SubState = 0;
    std::uint32_t StartTime = 0;
    std::uint32_t Elapsed = 0;
    std::uint16_t Level = 0;
    std::uint8_t HoverItem = 0; // 1..5, 0 none; after a choice the chosen item
    std::uint8_t PrevHoverItem = 0;
    // Per item, index k - 1 for item k.
    std::array<std::int32_t, kItems> ItemSlide{};
    std::array<std::uint8_t, kItems> ItemStarted{};
    std::array<std::uint32_t, kItems> ItemStartTime{};
    std::array<platform::Rect, kItems> ItemRects{};
    std::array<platform::Rect, kItems> HighlightRects{};
    std::uint8_t HoverPhase = 0; // 0 none, 1 growing, 2 whole
    std::uint32_t HoverStart = 0;

private:
    screenkit::StepClock Clock() { return {StartTime, Elapsed, &Level}; }
    screenkit::Strips Labels() { return {ItemSlide, ItemStarted, ItemStartTime}; }
    void FinishIntro();
    void ComposeLogo(int slot);
    void ComposeLabels();
};

// Surfaces: cdib[0] the previous picture, later white; cdib[1] the
// background composed with logo and labels; cdib[2] the labels; cdib[3] the
// highlighted labels; cdib[4] the highlight plates; cdib[5] the two logo
// layers; cdib[10] the background as loaded. Exit frees cdib[1] to cdib[10].
extern std::unique_ptr<CMainTitle> g_mainTitle;
