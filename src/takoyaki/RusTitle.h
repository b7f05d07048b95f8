// The contest title (mode 65): an intro of sliding panels, flashes and a
// spiralling emblem with a random call, then a six-item menu: the story
// start (after a warning page), the opponent select, the rules pages, the
// settings, the wallpaper room and quit. A right click goes back to the
// mini-game chooser.
#pragma once

#include "platform/Platform.h"
#include "screenkit/Steps.h"

#include <array>
#include <cstdint>
#include <memory>

class CRusTitle {
public:
    static constexpr int kItems = 6;
    static constexpr std::uint8_t kRightClick = 100;

    CRusTitle();
    ~CRusTitle() {}

    void Run(platform::WindowHandle window);
    void Open(platform::WindowHandle window);
    void SlideFirstPanel(platform::WindowHandle window);
    void SlideSecondPanel(platform::WindowHandle window);
    void FlashToWhite(platform::WindowHandle window);
    void FlashFromWhite(platform::WindowHandle window);
    void Spiral(platform::WindowHandle window);
    void FlashEmblem(platform::WindowHandle window);
    void FlashBand(platform::WindowHandle window);
    void ToFinished(platform::WindowHandle window);
    void ToMenu(platform::WindowHandle window);
    void Menu(platform::WindowHandle window);
    void FadeToBlack(platform::WindowHandle window);
    void Leave(platform::WindowHandle window);
    void ShowWarning(platform::WindowHandle window);
    void HoldWarning(platform::WindowHandle window);
    void StartStory(platform::WindowHandle window);

    // 0 Open, 1..9 the intro, 10 Menu, 11 FadeToBlack, 12 Leave,
    // 15 ShowWarning, 16 HoldWarning, 17 StartStory.
    std::uint8_t State = 0;
    std::uint32_t StartTime = 0;
    std::uint32_t Elapsed = 0;
    std::uint8_t HoverItem = 0; // 1..6, 0 none, kRightClick after a right click
    std::uint8_t PrevHoverItem = 0;
    std::array<platform::Rect, kItems> MenuRects{};
    std::array<std::uint16_t, kItems> HighlightRows{};

private:
    screenkit::StepClock Clock() { return {StartTime, Elapsed}; }
    // A slide or flash step that ended: the click that ended it is dropped.
    void NextStep(std::uint8_t state);
    void DrawPanels(CDib* target);
    void DrawLogoLayers(CDib* target);
    void ComposeTitle(bool emblem);
};

// Surfaces: cdib[0] black or white (the flashes), later the picture the next
// screen fades from; [1] the menu background; [2] the lit menu strips; [3]
// the finished title picture; [4] the logo parts; [5] the two panels; [10]
// the composition. Leaving frees [1] to [4].
extern std::unique_ptr<CRusTitle> g_rusTitle;
