// The mahjong title (mode 61): the title picture built in six animated steps
// over a band sweep, a heroine's title call, and a five-item menu: start
// (the opening, 62), rules pages (70), settings (9), the wallpaper room (72)
// and quit; a right click goes back to the mini-game chooser (57).
#pragma once

#include "platform/Platform.h"
#include "screenkit/Steps.h"

#include <array>
#include <cstdint>
#include <memory>

class CMahjongTitle {
public:
    static constexpr int kItems = 5;
    static constexpr int kBands = 8;
    static constexpr std::uint8_t kBack = 100; // the hovered item after a right click

    CMahjongTitle();
    ~CMahjongTitle() {}

    void Run(platform::WindowHandle window);
    void Open(platform::WindowHandle window);
    void FadeIn(platform::WindowHandle window);
    void BandSweep(platform::WindowHandle window);
    void LogoFade(platform::WindowHandle window);
    void EmblemSlide(platform::WindowHandle window);
    void EmblemBounce(platform::WindowHandle window);
    void MenuBuild(platform::WindowHandle window);
    void Menu(platform::WindowHandle window);
    void FadeToBlack(platform::WindowHandle window);
    void Leave(platform::WindowHandle window);

    // 0 Open, 1 FadeIn, 2 BandSweep, 3 LogoFade, 4 EmblemSlide, 5 EmblemBounce,
    // 6 MenuBuild, 7 Menu, 8 FadeToBlack, 9 Leave.
    std::uint8_t State = 0;
    std::uint32_t StartTime = 0;
    std::uint32_t Elapsed = 0;
    std::uint8_t HoverItem = 0; // 1..5, 0 none, kBack after a right click
    std::uint8_t PrevHoverItem = 0;
    std::uint8_t AllBeaten = 0; // heroines 0 to 6 all beaten
    // Per band k; the menu strips reuse the first five offsets as widths.
    std::array<std::int32_t, kBands> BandOffset{};
    std::array<std::uint8_t, kBands> BandRunning{};
    std::array<std::uint32_t, kBands> BandStart{};
    std::array<std::uint16_t, kBands> BandLevel{};
    std::array<platform::Rect, kItems> MenuRects{};
    // The heroine whose title call played (0..7).
    std::uint8_t CallHeroine = 0;

private:
    screenkit::StepClock Clock() { return {StartTime, Elapsed}; }
    screenkit::Strips Bands() { return {BandOffset, BandRunning, BandStart}; }
    void ClearBands();
    void EndStep(std::uint8_t next);
    void DrawBands(std::uint32_t now);
    void ComposeBands();
    void DrawEmblemBounce(CDib* target, std::uint32_t elapsed);
    void DrawMenuStrips(std::uint32_t now);
    void ComposeMenu();
    void KeyToItem(platform::WindowHandle window);
    void Choose(platform::WindowHandle window);
};

// Surfaces: cdib[0] the outgoing picture, later black; cdib[1] the title
// background into which each finished step is composed; cdib[2] the menu
// strips; cdib[3] the eight bands; cdib[4] the logo, its second layer and
// the emblem; cdib[10] the background with the bands alone, under the logo
// steps. Leave frees cdib[1] to cdib[4] and cdib[10].
extern std::unique_ptr<CMahjongTitle> g_mahjongTitle;
