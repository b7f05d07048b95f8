// The mahjong heroine select (mode 63): eight heroine cards, of which only
// the open ones react, marks on the heroines beaten, and a back button to
// the mahjong title (61). A card starts that heroine's first story script;
// the script enters the match later.
#pragma once

#include "platform/Platform.h"
#include "screenkit/Steps.h"

#include <array>
#include <cstdint>
#include <memory>

class CCharSelectScreen {
public:
    static constexpr int kCards = 8;
    static constexpr std::uint8_t kBackButton = 9;

    struct MarkPos {
        std::int32_t x = 0;
        std::int32_t y = 0;
    };

    CCharSelectScreen();
    ~CCharSelectScreen() {}

    void Run(platform::WindowHandle window);
    void Open(platform::WindowHandle window);
    void FadeIn(platform::WindowHandle window);
    void Input(platform::WindowHandle window);
    void FadeOut(platform::WindowHandle window);
    void Leave(platform::WindowHandle window);

    // True when card `n` (1..8) may be hovered and chosen.
    bool CardOpen(int n) const;

    // 0 Open, 1 FadeIn, 2 Input, 3 FadeOut, 4 Leave.
    std::uint8_t State = 0;
    std::uint32_t StartTime = 0;
    std::uint32_t Elapsed = 0;
    std::uint8_t Chosen = 0; // heroine 0..7
    std::uint8_t AllBeaten = 0;
    std::uint8_t HoverButton = 0; // 1..8 the cards, 9 back, 0 none
    std::uint8_t PrevHoverButton = 0;
    std::array<MarkPos, kCards> MarkPositions{};
    // The eight cards, then the back button: the hit test's order.
    std::array<platform::Rect, kCards + 1> Rects{};

private:
    screenkit::StepClock Clock() { return {StartTime, Elapsed}; }
    void ApplyLocks();
    void KeyToCard(platform::WindowHandle window);
    void Light(std::uint8_t button);
    void Unlight(std::uint8_t button);
    void DrawMark(CDib* target, int heroine);
};

// Surfaces: cdib[0] the previous screen, later black or a copy; cdib[1] the
// background with the beaten marks, later a copy of the screen; cdib[2] the
// lit cards, the back button and the mark. Leave frees cdib[1] to cdib[4].
extern std::unique_ptr<CCharSelectScreen> g_charSelectScreen;
